#include "picture/texture_shade_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "picture/picture_window.h"
#include "shell/busy_cursor.h"
#include "shell/quarvel_frame.h"

namespace quarvel::app {

namespace {
QLineEdit* makeEdit(QWidget* parent, const QString& text, const QString& hint) {
    auto* edit = new QLineEdit(text, parent);
    edit->setToolTip(hint);
    edit->setMaximumWidth(80);
    return edit;
}
}  // namespace

TfrmLambert::TfrmLambert(TQuarvelFrame& frame, TfrmPicture& picture)
    : frame_(frame), picture_(&picture) {
    setWindowTitle(QStringLiteral("3D Texture Shade"));
    Edit1 =
        makeEdit(this, QStringLiteral("45"), QStringLiteral("Angle of Light Source Y Direction"));
    Edit2 =
        makeEdit(this, QStringLiteral("45"), QStringLiteral("Angle of Light Source X Direction"));
    Edit3 = makeEdit(this, QStringLiteral(".1"), QStringLiteral("Amount of Texture"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Lattitude"), Edit1);
    form->addRow(QStringLiteral("Longitude"), Edit2);
    form->addRow(QStringLiteral("Roughness"), Edit3);

    TP = new TTwistedPixel(this);
    TP->setKeepAspect(true);
    TP->model().SetFitToSize(true);
    TP->setFixedSize(160, 160);

    btnPreview = new QPushButton(QStringLiteral("Preview"), this);
    btnPreview->setToolTip(QStringLiteral("Preview Settings"));
    btnReset = new QPushButton(QStringLiteral("Reset"), this);
    btnReset->setToolTip(QStringLiteral("Undo All Changes"));
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnApply = new QPushButton(QStringLiteral("Apply"), this);
    btnApply->setToolTip(QStringLiteral("Copy Preview Image to Work Image"));
    connect(btnPreview, &QPushButton::clicked, this, &TfrmLambert::PreviewClick);
    connect(btnReset, &QPushButton::clicked, this, &TfrmLambert::ResetClick);
    connect(btnApply, &QPushButton::clicked, this, &TfrmLambert::ApplyClick);
    connect(btnCancel, &QPushButton::clicked, this, [this] {
        if (QWidget* sub = parentWidget()) sub->close();
    });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {btnPreview, btnReset, btnCancel, btnApply}) buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(TP);
    layout->addLayout(buttons);

    TP->apply([](imaging::ImagingModel& m) { m.Paste(); });
    original_ = TP->model().Picture();
}

void TfrmLambert::PreviewClick() {
    // Text that is not a number counts as 0, as the number conversion gives it.
    const int latitude = Edit1->text().trimmed().toInt();
    const int longitude = Edit2->text().trimmed().toInt();
    const double roughness = Edit3->text().trimmed().toDouble();
    BusyCursor busy;
    TP->apply([&](imaging::ImagingModel& m) {
        m.LambertShade(static_cast<float>(latitude), static_cast<float>(longitude), 3,
                       static_cast<float>(roughness));
    });
}

void TfrmLambert::ResetClick() { RestorePreview(*TP, original_); }

void TfrmLambert::ApplyClick() {
    TfrmPicture* picture = BoundPicture(picture_, frame_, this);
    if (!picture) return;
    TP->model().Copy();
    picture->TP->apply([](imaging::ImagingModel& m) { m.Paste(); });
    picture->FormResize();
    picture->markChanged();
}

}  // namespace quarvel::app
