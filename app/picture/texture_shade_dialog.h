#pragma once
// "3D Texture Shade": previews Lambert shading with a light direction and a roughness on
// its own copy of the picture; Apply sends the preview to the picture window it was
// opened for, through the clipboard.
#include <QLineEdit>
#include <QPushButton>

#include <QPointer>

#include "picture/twisted_pixel.h"

namespace quarvel::app {

class TQuarvelFrame;
class TfrmPicture;

class TfrmLambert : public QWidget {
    Q_OBJECT
public:
    // Works on `picture`, whose image the opening command put on the clipboard.
    TfrmLambert(TQuarvelFrame& frame, TfrmPicture& picture);

    TTwistedPixel* TP;
    QLineEdit *Edit1, *Edit2, *Edit3;
    QPushButton *btnPreview, *btnReset, *btnCancel, *btnApply;

    void PreviewClick();
    void ResetClick();
    void ApplyClick();

private:
    TQuarvelFrame& frame_;
    QPointer<TfrmPicture> picture_;
    imaging::PixelImage original_;  // what Reset returns to
};

}  // namespace quarvel::app
