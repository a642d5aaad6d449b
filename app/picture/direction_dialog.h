#pragma once
// Picks one of eight compass directions for emboss, gradient edge and 3D shade. Made once
// for the whole run; closing only hides it, and a click stores the choice at once.
#include <QDialog>
#include <QRadioButton>
#include <array>

#include "state/job_state.h"

namespace quarvel::app {

class TfrmDirection : public QDialog {
    Q_OBJECT
public:
    TfrmDirection(JobState& job, QWidget* parent);
    // The button of direction code 1..8 (1 North, clockwise to 8 North West).
    QRadioButton& directionButton(int code) { return *buttons_.at(code - 1); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    JobState& job_;
    std::array<QRadioButton*, 8> buttons_{};
};

}  // namespace quarvel::app
