#pragma once
// "Resize": scales the picture window it was opened for by a ratio; stays open so the
// same ratio can be applied again.
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace quarvel::app {

class TQuarvelFrame;
class TfrmPicture;

class TfrmResize : public QWidget {
    Q_OBJECT
public:
    TfrmResize(TQuarvelFrame& frame, TfrmPicture& picture);

    QLineEdit* Edit1;
    QPushButton *btnResize, *btnCancel;

    void ResizeClick();

private:
    TQuarvelFrame& frame_;
    QPointer<TfrmPicture> picture_;
};

}  // namespace quarvel::app
