#pragma once
// The surface job dialog: sizes, steps, depth and tool of a relief, then Create writes
// the picture's height grid as a DXF surface (job mode 10) or a raster G-code file
// (job mode 20). The fields and their linking live in SurfaceJobForm; this widget shows
// them, forwards what the user types and runs the job the mode asks for.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "progress/progress.h"
#include "state/job_state.h"
#include "surface/surface_form.h"
#include "surface/surface_jobs.h"

class QFileDialog;

namespace quarvel::app {

class MachineChoice;
class StatusPanels;
class UserPrompts;

inline const QString kProcessCancelledText = QStringLiteral("Process Cancelled...");
inline const QString kZeroDiameterText = QStringLiteral("Tool Diameter can not be 0!");

// Everything the dialog uses from the rest of the program, so that it can be built
// without a frame or a picture window.
struct SurfaceDialogContext {
    JobState& job;
    StatusPanels& status;           // the frame's status bar (message panel and gauge)
    UserPrompts& prompts;           // message boxes and the save dialog are shown through it
    QFileDialog& saveDialog;        // the frame's shared save dialog
    surface::PictureFacts picture;  // pixel size and resolution (0 = none given)
    // Receives the resolutions after the missing ones were filled in; may be empty.
    std::function<void(int xRes, int yRes)> writeResolution;
    // The picture's file, whose base name the save dialog offers; empty for a new picture.
    QString pictureFile;
};

class TDXF : public QWidget, private quarvel::Progress {
    Q_OBJECT
public:
    // Fills the fields from the picture and the size of job.HeightGrid (FormCreate).
    explicit TDXF(SurfaceDialogContext context, QWidget* parent = nullptr);
    ~TDXF() override;

    bool Running = false;
    bool CancelPressed = false;

    double AspectRatio() const { return form_.aspectRatio(); }
    const surface::SurfaceJobForm& form() const { return form_; }
    QLineEdit* fieldEdit(surface::SurfaceField field) const;

    void Button1Click();  // Create
    void Button2Click();  // Cancel
    void chkGougeClick();

    // Components under their designer names.
    QCheckBox *CheckBox1, *chkGouge;
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8;
    QGroupBox* Frm1;
    QLabel *lblType, *lblDia;
    QComboBox* cmbType;
    QLineEdit* txtDia;
    QPushButton *Button1, *Button2;
    QProgressBar* ProgressBar1;
    std::unique_ptr<MachineChoice> machineChoice;  // G-code only: machine and units

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Progress: the dialog's own bar and Cancel button during a job.
    void setPosition(int percent) override;
    void pump() override;
    bool cancelRequested() const override { return CancelPressed; }

    void buildControls();
    QLineEdit* addField(surface::SurfaceField field, QLabel*& label, int x, int y,
                        const char* hint);
    void placeGougeGroup();
    void placeButtons();
    void showGCodeFields(bool show);
    void fieldEdited(surface::SurfaceField field, const QString& text);
    void refreshFields();
    void watchKeys();
    void makeSubWindowPlain();

    void readJob(surface::SurfaceJobValues& values, surface::GougeSettings& gouge);
    void runDxfSurfaceJob();
    void runRasterGCodeJob();
    void showStage(surface::JobStage stage);
    bool askFileName(const QString& filter, const QString& extension, QString& path);
    void finishJob();
    void stopRunning();
    void setStatus(const QString& text);
    void showMessage(const QString& text);
    void closeDialog();

    SurfaceDialogContext context_;
    surface::SurfaceJobForm form_;
    TZGrid work_;  // the grid a running job reads and corrects
    std::map<surface::SurfaceField, QLineEdit*> fields_;
    bool refreshing_ = false;
    bool subWindowStyled_ = false;
};

}  // namespace quarvel::app
