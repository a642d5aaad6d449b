#pragma once
// The Create Regions dialog: one for the whole program, shown without being modal above
// the main frame. It works on the mesh window it was opened for; its fields and their
// enabling rules live in RegionRunForm, the run in the engine; this widget shows the
// form, forwards clicks and typing, runs Create, Undo and Clear and reports on the
// status bar.
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "engine/region_form.h"
#include "machine/program_frame.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quarvel::app {

class MachineChoice;
class TQuarvelFrame;
class TfrmDXFView;

inline const QString kNoMeshWindowText = QStringLiteral("No mesh window");

class TfrmToolPaths : public QWidget {
    Q_OBJECT
public:
    explicit TfrmToolPaths(TQuarvelFrame& frame);
    ~TfrmToolPaths() override;

    // Binds the dialog to `window` (kept while the window lives), notes its position in
    // TargetWindowIndex and shows the dialog; the show step runs when the dialog becomes
    // visible or changes window. A window that is no mesh window binds nothing.
    void showFor(QWidget* window);
    TfrmDXFView* target() const { return target_; }
    // The window is closing: the dialog no longer acts on it.
    void windowClosing(TfrmDXFView& window);

    const engine::RegionRunForm& form() const { return form_; }
    QLineEdit* fieldEdit(engine::RegionField field) const;
    QRadioButton* styleButton(engine::RegionStyle style) const;
    QCheckBox* checkBox(engine::RegionCheck box) const;
    // The feed rate of the last run started in any window (what Save DNC writes).
    double feedRate() const { return feedRate_; }
    bool isRunning() const { return running_; }
    // The machine and units Save DNC writes for; kept for the next run once used.
    machine::MachineJob machineJob() const;
    void rememberMachine() const;

    void Button1Click();  // Create
    void Button3Click();  // Undo
    void btnClearClick();
    void Button2Click();  // Cancel

    // Components under their designer names.
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit9, *Edit10;
    QPushButton *Button1, *Button2, *Button3, *btnClear;
    QGroupBox *RadioGroup1, *TopGroup;
    QRadioButton *rbOneDepth, *rbMultipleDepths;
    QCheckBox *CheckBox1, *CheckBox2, *CheckBox3;
    std::unique_ptr<MachineChoice> machineChoice;  // machine and units lists

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void buildButtons();
    void buildGroups();
    QLineEdit* addField(engine::RegionField field, int row);
    QCheckBox* addCheck(engine::RegionCheck box, engine::RegionField value, const char* caption,
                        int y);
    void FormShow();
    void RadioGroup1Click(engine::RegionStyle style);
    void TopGroupClick(bool multiple);
    void checkClicked(engine::RegionCheck box, bool checked);
    void refreshControls();
    // The bound window, or null with "No mesh window" when it has closed.
    TfrmDXFView* boundWindow();
    bool readFields(bool pictureRun, engine::RegionRunParams& params);
    void runOn(TfrmDXFView& window, const engine::RegionRunParams& params);
    void setRunning(TfrmDXFView& window, bool running);

    TQuarvelFrame& frame_;
    engine::RegionRunForm form_;
    QPointer<TfrmDXFView> target_;
    bool bound_ = false;  // a mesh window was given, whether or not it still lives
    bool running_ = false;
    double feedRate_ = 10.0;
    std::array<QLineEdit*, engine::kRegionFieldCount> edits_{};
    std::array<QRadioButton*, 3> styles_{};
    std::array<QCheckBox*, 3> checks_{};
};

}  // namespace quarvel::app
