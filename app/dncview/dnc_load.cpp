// Loading a file into the DNC viewer.
#include <QCoreApplication>
#include <QFile>

#include "dncview/dnc_view.h"
#include "gcode/dnc_reader.h"
#include "shell/busy_cursor.h"
#include "shell/quarvel_frame.h"
#include "shell/status_progress.h"
#include "text/error.h"

namespace quarvel::app {

gcode::DncReadResult TfrmDnc::readFile(const QString& fileName) {
    StatusPanels& status = frame_.status();
    status.setMessage(QStringLiteral("Loading ") + fileName + QStringLiteral("... Esc to Cancel."));
    status.gauge().setGaugeEnabled(true);
    status.repaintNow();
    StatusProgress progress(status, frame_.jobState());
    return gcode::LoadDncFile(fileName.toStdString(), progress);
}

DncLoadResult TfrmDnc::LoadDnc(const QString& fileName) {
    if (fileName.isEmpty()) return DncLoadResult::NoFile;
    BusyCursor busy;
    QCoreApplication::processEvents();
    DraftMode = false;
    gcode::DncReadResult read;
    QByteArray text;
    try {
        read = readFile(fileName);
        frame_.status().gauge().setGaugeEnabled(false);
        if (read.status == RunStatus::Cancelled) return DncLoadResult::Cancelled;
        QFile file(fileName);
        // The reader has just read it whole; a failure now is a file that went away.
        if (!file.open(QIODevice::ReadOnly))
            throw IoError(fileName.toStdString(), file.errorString().toStdString());
        text = file.readAll();
    } catch (const quarvel::Error& e) {
        frame_.status().gauge().setGaugeEnabled(false);
        frame_.prompts().message(this, MessageKind::Warning, QString::fromStdString(e.what()));
        return DncLoadResult::Failed;
    }
    DncText->setText(text);
    showLoaded(fileName, std::move(read));
    return DncLoadResult::Loaded;
}

void TfrmDnc::showLoaded(const QString& fileName, gcode::DncReadResult read) {
    read_ = std::move(read);
    plot_.reset();
    loaded_ = true;
    setWindowTitle(fileName);
    mnuFirstNotUnderstood->setEnabled(read_.notUnderstoodCount > 0);
    frame_.status().setDetail(notUnderstoodText());
    mnuIsometricClick();
    Draw3D->update();
}

}  // namespace quarvel::app
