#include "surface/machine_choice.h"

#include <QFileInfo>
#include <QSettings>
#include <cstdlib>

#include "gcode/dnc_reader.h"
#include "machine/run_time_estimate.h"
#include "text/error.h"
#include "progress/progress.h"

namespace quarvel::app {

namespace {

const QString kMachineKey = QStringLiteral("machine/name");
const QString kUnitsKey = QStringLiteral("machine/units");
const QString kSpindleKey = QStringLiteral("machine/spindleSpeed");

// ~/.config/quarvel/quarvel.conf, beside the machines folder.
QSettings userSettings() { return QSettings(QStringLiteral("quarvel"), QStringLiteral("quarvel")); }

}  // namespace

MachineChoice::MachineChoice(QWidget* parent, int x, int y, int width, int height)
    : machines(new QComboBox(parent)),
      units(new QComboBox(parent)),
      catalogue_(machine::LoadProfileCatalogue(
          machine::DefaultMachinesFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")))) {
    const int unitsWidth = 56;
    machines->setGeometry(x, y, width - unitsWidth - 4, height);
    units->setGeometry(x + width - unitsWidth, y, unitsWidth, height);
    QString tip = QStringLiteral("Machine the G-code is written for");
    for (const machine::ProfileEntry& e : catalogue_.entries)
        machines->addItem(QString::fromStdString(e.profile.name));
    for (const machine::ProfileProblem& p : catalogue_.problems)
        tip += QStringLiteral("\nSkipped: ") + QString::fromStdString(p.message);
    machines->setToolTip(tip);
    units->addItem(QStringLiteral("inch"));
    units->addItem(QStringLiteral("mm"));
    units->setToolTip(QStringLiteral("Units of the job's numbers (G20 or G21)"));
    reload();
}

void MachineChoice::reload() {
    const QSettings settings = userSettings();
    const int found = machines->findText(settings.value(kMachineKey).toString());
    machines->setCurrentIndex(found >= 0 ? found : 0);
    units->setCurrentIndex(settings.value(kUnitsKey).toString() == QStringLiteral("mm") ? 1 : 0);
    spindleSpeed_ = settings.value(kSpindleKey, 0.0).toDouble();
}

void MachineChoice::setVisible(bool visible) {
    machines->setVisible(visible);
    units->setVisible(visible);
}

machine::MachineJob MachineChoice::job() const {
    machine::MachineJob job;
    if (const machine::ProfileEntry* e = catalogue_.find(machines->currentText().toStdString()))
        job.profile = e->profile;
    job.units =
        units->currentIndex() == 1 ? machine::JobUnits::Millimetre : machine::JobUnits::Inch;
    if (spindleSpeed_ > 0.0) job.spindleSpeed = spindleSpeed_;
    return job;
}

void MachineChoice::remember() const {
    QSettings settings = userSettings();
    settings.setValue(kMachineKey, machines->currentText());
    settings.setValue(kUnitsKey, units->currentText());
    if (spindleSpeed_ > 0.0) settings.setValue(kSpindleKey, spindleSpeed_);
}

// Read back from the file, so that the estimate is of what was written: the profile's
// decimals, units and spindle start included.
QString RunTimeStatusText(const QString& path, const machine::MachineJob& job) {
    if (!QFileInfo(path).isFile()) return {};
    machine::RunTimeEstimate estimate;
    try {
        const gcode::DncReadResult read = gcode::LoadDncFile(path.toStdString(), NoProgress());
        estimate = machine::EstimateRunTime(read, job.profile.limits, job.units);
    } catch (const quarvel::Error&) {
        return {};
    }
    if (job.profile.startsSpindle) estimate.dwellSeconds = job.profile.dwellSeconds;
    return QStringLiteral("Estimated run time on ") + QString::fromStdString(job.profile.name) +
           QStringLiteral(": ") +
           QString::fromStdString(machine::DurationText(estimate.totalSeconds()));
}

}  // namespace quarvel::app
