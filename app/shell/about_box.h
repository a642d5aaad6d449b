#pragma once
// The about box: made once, shown modally, only hidden when closed.
#include <QDialog>

namespace quarvel::app {

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);
};

}  // namespace quarvel::app
