#include "picture/resize_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "picture/picture_window.h"
#include "shell/busy_cursor.h"
#include "shell/quarvel_frame.h"

namespace quarvel::app {

TfrmResize::TfrmResize(TQuarvelFrame& frame, TfrmPicture& picture)
    : frame_(frame), picture_(&picture) {
    setWindowTitle(QStringLiteral("Resize"));
    auto* label = new QLabel(QStringLiteral("Ratio"), this);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    Edit1 = new QLineEdit(QStringLiteral("1"), this);
    btnResize = new QPushButton(QStringLiteral("Resize"), this);
    btnResize->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(Edit1, &QLineEdit::returnPressed, this, &TfrmResize::ResizeClick);
    connect(btnResize, &QPushButton::clicked, this, &TfrmResize::ResizeClick);
    connect(btnCancel, &QPushButton::clicked, this, [this] {
        if (QWidget* sub = parentWidget()) sub->close();
    });
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(Edit1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnResize);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
}

void TfrmResize::ResizeClick() {
    TfrmPicture* picture = BoundPicture(picture_, frame_, this);
    if (!picture) return;
    const double ratio = Edit1->text().trimmed().toDouble();  // not a number: 0
    if (!(ratio > 0)) return;
    auto& model = picture->TP->model();
    {
        BusyCursor busy;
        picture->TP->apply([ratio](imaging::ImagingModel& m) { m.ResizeImage(ratio); });
    }
    // A ratio that would make the picture too large changes nothing; say why.
    if (!model.LastError().empty()) {
        frame_.prompts().message(this, MessageKind::Information,
                                 QString::fromStdString(model.LastError()));
        return;
    }
    picture->FormResize();
    picture->markChanged();
}

}  // namespace quarvel::app
