#pragma once
// The percentage gauge of the status bar's third panel. The left part, up to
// left + width * position / 100, is filled with the highlight colour; the text is centred
// over the whole panel, highlight-text coloured over the fill and window-text elsewhere.
// A disabled gauge draws nothing at all.
#include <QString>
#include <QWidget>

#include "progress/gauge.h"

namespace quarvel::app {

class GaugePanel : public QWidget {
    Q_OBJECT
public:
    explicit GaugePanel(QWidget* parent = nullptr);

    // Only a new value asks for a repaint.
    void setPosition(int percent);
    int position() const { return state_.position; }
    void setGaugeEnabled(bool enabled);
    bool isGaugeEnabled() const { return state_.enabled; }
    // Text shown instead of "<position>%" when not empty.
    void setPanelText(const QString& text);
    // How many repaints the gauge has asked for (each new position asks once).
    int repaintRequests() const { return repaintRequests_; }
    // Paints at once rather than at the next event-loop turn.
    void repaintNow();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void requestRepaint();

    GaugeState state_;
    QString panelText_;
    int repaintRequests_ = 0;
};

}  // namespace quarvel::app
