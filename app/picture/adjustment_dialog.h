#pragma once
// "Color, Brightness, and Contrast Adjustment": previews colour, contrast and brightness
// changes on its own copy of the picture and sends the result back through the
// clipboard to the picture window it was opened for.
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <array>
#include <utility>

#include <QPointer>

#include "picture/twisted_pixel.h"

namespace quarvel::app {

class TQuarvelFrame;
class TfrmPicture;

// The low and high limits Contrast gets for a contrast slider position 0..100:
// x = position * 125 / 100 rounded half to even, then (x, 255 - x).
std::pair<int, int> ContrastLimits(int sliderPosition);

// The channel brightness and contrast act on; the values are the imaging control's codes.
enum class ColorChannel : int { Blue = 0, Green = 1, Red = 2, All = 3 };

class TfrmAdjustment1 : public QWidget {
    Q_OBJECT
public:
    // Works on `picture`, whose image the opening command put on the clipboard.
    TfrmAdjustment1(TQuarvelFrame& frame, TfrmPicture& picture);

    TTwistedPixel* TP;
    QSlider *Slider1, *Slider2, *Slider3, *Slider4, *Slider5;
    QPushButton *btnPreview, *btnReset, *btnCancel, *btnApply;
    ColorChannel AdjustChannel = ColorChannel::All;

    void PreviewClick();
    void ResetClick();
    void ApplyClick();

private:
    QSlider* addSlider(QGridLayout* grid, int row, const QString& name, int minimum, int tickStep,
                       const QString& hint);
    QWidget* buildChannelBox();

    TQuarvelFrame& frame_;
    QPointer<TfrmPicture> picture_;
    imaging::PixelImage original_;  // what Reset returns to
};

}  // namespace quarvel::app
