#include "picture/adjustment_dialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "picture/picture_window.h"
#include "shell/busy_cursor.h"
#include "shell/quarvel_frame.h"

namespace quarvel::app {

std::pair<int, int> ContrastLimits(int sliderPosition) {
    // Exact in binary: position * 125 is an integer, and halves are exactly representable.
    const int x = static_cast<int>(std::nearbyint(sliderPosition * 125 / 100.0));
    return {x, 255 - x};
}

TfrmAdjustment1::TfrmAdjustment1(TQuarvelFrame& frame, TfrmPicture& picture)
    : frame_(frame), picture_(&picture) {
    setWindowTitle(QStringLiteral("Color, Brightness, and Contrast Adjustment"));
    auto* grid = new QGridLayout;
    Slider1 = addSlider(grid, 0, QStringLiteral("Red"), -100, 20, "Adjust Red Intensity");
    Slider2 = addSlider(grid, 1, QStringLiteral("Green"), -100, 20, "Adjust Green Intensity");
    Slider3 = addSlider(grid, 2, QStringLiteral("Blue"), -100, 20, "Adjust Blue Intensity");
    Slider4 = addSlider(grid, 3, QStringLiteral("Brightness"), -100, 20, "Adjust Brightness");
    Slider5 = addSlider(grid, 4, QStringLiteral("Contrast"), 0, 10, "Increase Contrast");

    TP = new TTwistedPixel(this);
    TP->setKeepAspect(true);
    TP->model().SetFitToSize(true);
    TP->setFixedSize(150, 150);

    btnPreview = new QPushButton(QStringLiteral("Preview"), this);
    btnPreview->setDefault(true);
    btnPreview->setToolTip(QStringLiteral("Preview Settings"));
    btnReset = new QPushButton(QStringLiteral("Reset"), this);
    btnReset->setToolTip(QStringLiteral("Undo All Changes to Preview"));
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setShortcut(QKeySequence(Qt::Key_Escape));
    btnApply = new QPushButton(QStringLiteral("Apply"), this);
    btnApply->setToolTip(QStringLiteral("Copy Adjusted Image to Work Image"));
    connect(btnPreview, &QPushButton::clicked, this, &TfrmAdjustment1::PreviewClick);
    connect(btnReset, &QPushButton::clicked, this, &TfrmAdjustment1::ResetClick);
    connect(btnApply, &QPushButton::clicked, this, &TfrmAdjustment1::ApplyClick);
    connect(btnCancel, &QPushButton::clicked, this, [this] {
        if (QWidget* sub = parentWidget()) sub->close();
    });

    auto* right = new QVBoxLayout;
    right->addWidget(TP, 0, Qt::AlignHCenter);
    right->addWidget(buildChannelBox());
    auto* top = new QHBoxLayout;
    top->addLayout(grid, 1);
    top->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {btnPreview, btnReset, btnCancel, btnApply}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    // Creation: the picture arrives through the clipboard.
    TP->apply([](imaging::ImagingModel& m) { m.Paste(); });
    original_ = TP->model().Picture();
    btnReset->setEnabled(false);
    btnApply->setEnabled(false);
}

QSlider* TfrmAdjustment1::addSlider(QGridLayout* grid, int row, const QString& name, int minimum,
                                    int tickStep, const QString& hint) {
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setRange(minimum, 100);
    slider->setTickInterval(tickStep);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setToolTip(hint);
    slider->setMinimumWidth(140);
    auto* percent = new QLabel(QStringLiteral("0%"), this);
    percent->setMinimumWidth(QFontMetrics(percent->font()).horizontalAdvance("-100%"));
    grid->addWidget(new QLabel(name, this), row, 0);
    grid->addWidget(slider, row, 1);
    grid->addWidget(percent, row, 2);
    connect(slider, &QSlider::valueChanged, this, [this, slider, percent](int value) {
        percent->setText(QString::number(value) + QLatin1Char('%'));
        if (slider == Slider5) btnReset->setEnabled(true);
    });
    return slider;
}

QWidget* TfrmAdjustment1::buildChannelBox() {
    auto* box = new QGroupBox(QStringLiteral("Channel"), this);
    auto* row = new QHBoxLayout(box);
    auto* group = new QButtonGroup(box);
    const std::pair<const char*, ColorChannel> channels[] = {{"Red", ColorChannel::Red},
                                                             {"Green", ColorChannel::Green},
                                                             {"Blue", ColorChannel::Blue},
                                                             {"All", ColorChannel::All}};
    for (const auto& [name, channel] : channels) {
        auto* button = new QRadioButton(QString::fromLatin1(name), box);
        button->setObjectName(QStringLiteral("rb") + QString::fromLatin1(name));
        group->addButton(button, static_cast<int>(channel));
        row->addWidget(button);
        if (channel == ColorChannel::All) button->setChecked(true);
    }
    connect(group, &QButtonGroup::idClicked, this,
            [this](int id) { AdjustChannel = static_cast<ColorChannel>(id); });
    AdjustChannel = ColorChannel::All;
    return box;
}

void TfrmAdjustment1::PreviewClick() {
    btnReset->setEnabled(true);
    BusyCursor busy;
    TP->apply([this](imaging::ImagingModel& m) {
        if (Slider1->value() != 0 || Slider2->value() != 0 || Slider3->value() != 0) {
            m.AdjustColor(Slider1->value(), Slider2->value(), Slider3->value());
        }
        if (Slider5->value() != 0) {
            const auto [low, high] = ContrastLimits(Slider5->value());
            m.Contrast(low, high, static_cast<int>(AdjustChannel));
        }
        m.Brightness(Slider4->value(), static_cast<int>(AdjustChannel));
    });
    btnApply->setEnabled(true);
}

void TfrmAdjustment1::ResetClick() {
    RestorePreview(*TP, original_);
    btnReset->setEnabled(false);
}

void TfrmAdjustment1::ApplyClick() {
    TfrmPicture* picture = BoundPicture(picture_, frame_, this);
    if (!picture) return;
    TP->model().Copy();
    picture->TP->apply([](imaging::ImagingModel& m) { m.Paste(); });
    picture->FormResize();
    picture->markChanged();
}

}  // namespace quarvel::app
