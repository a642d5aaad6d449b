#pragma once
// The machine and units a G-code file is written for, as the surface and Create Regions
// dialogs offer them; the last choice (and spindle speed) is remembered between runs,
// shared by both dialogs.
#include <QComboBox>
#include <QWidget>

#include "machine/program_frame.h"
#include "machine_files/profile_catalogue.h"

namespace quarvel::app {

class MachineChoice {
public:
    // Two lists, machine then units, in one row of `height` from (x, y), `width` wide.
    MachineChoice(QWidget* parent, int x, int y, int width, int height);

    void setVisible(bool visible);
    // Shows the remembered choice again (another dialog may have changed it).
    void reload();
    // The chosen machine with the remembered spindle speed.
    machine::MachineJob job() const;
    // Keeps the choice for the next run (the user's settings file).
    void remember() const;

    QComboBox* machines;
    QComboBox* units;

private:
    machine::ProfileCatalogue catalogue_;
    double spindleSpeed_ = 0.0;  // rpm; 0 for the profile's own
};

// "Estimated run time on grbl: 0:05:37" for the G-code file at `path` run on `job`'s
// machine; empty when `path` is no regular file or cannot be read.
QString RunTimeStatusText(const QString& path, const machine::MachineJob& job);

}  // namespace quarvel::app
