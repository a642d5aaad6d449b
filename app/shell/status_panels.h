#pragma once
// The frame's three-panel status bar: 0 the activity message ("Ready..." when idle),
// 1 a short detail, 2 the percentage gauge.
#include <QLabel>
#include <QStatusBar>

#include "shell/gauge_panel.h"

namespace quarvel::app {

inline const QString kReadyText = QStringLiteral("Ready...");

class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent = nullptr);

    void setMessage(const QString& text);  // panel 0
    QString message() const;
    void setDetail(const QString& text);  // panel 1, widened to show all of its text
    QString detail() const;
    GaugePanel& gauge() { return *gauge_; }
    // Makes a message visible before a long step begins.
    void repaintNow();
    // Widths of the two text panels; the gauge takes the rest.
    void setPanelWidths(int messageWidth, int detailWidth);

private:
    void fitDetail();

    int detailWidth_ = 20;
    QLabel* message_;
    QLabel* detail_;
    GaugePanel* gauge_;
};

}  // namespace quarvel::app
