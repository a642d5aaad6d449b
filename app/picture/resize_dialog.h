#pragma once
// "Resize": scales the picture window at TargetWindowIndex by a ratio; stays open so the
// same ratio can be applied again.
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace quarvel::app {

class TQuarvelFrame;

class TfrmResize : public QWidget {
    Q_OBJECT
public:
    explicit TfrmResize(TQuarvelFrame& frame);

    QLineEdit* Edit1;
    QPushButton *btnResize, *btnCancel;

    void ResizeClick();

private:
    TQuarvelFrame& frame_;
};

}  // namespace quarvel::app
