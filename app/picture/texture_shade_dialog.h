#pragma once
// "3D Texture Shade": previews Lambert shading with a light direction and a roughness on
// its own copy of the picture; Apply sends the preview to the picture window at
// TargetWindowIndex through the clipboard.
#include <QLineEdit>
#include <QPushButton>

#include "picture/twisted_pixel.h"

namespace quarvel::app {

class TQuarvelFrame;

class TfrmLambert : public QWidget {
    Q_OBJECT
public:
    explicit TfrmLambert(TQuarvelFrame& frame);

    TTwistedPixel* TP;
    QLineEdit *Edit1, *Edit2, *Edit3;
    QPushButton *btnPreview, *btnReset, *btnCancel, *btnApply;

    void PreviewClick();
    void ResetClick();
    void ApplyClick();

private:
    TQuarvelFrame& frame_;
};

}  // namespace quarvel::app
