#include "shell/gauge_panel.h"

#include <QPainter>

namespace quarvel::app {

GaugePanel::GaugePanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumHeight(fontMetrics().height() + 6);
}

void GaugePanel::setPosition(int percent) {
    if (state_.setPosition(percent)) requestRepaint();
}

void GaugePanel::setGaugeEnabled(bool enabled) {
    if (state_.enabled == enabled) return;
    state_.enabled = enabled;
    requestRepaint();
}

void GaugePanel::setPanelText(const QString& text) {
    if (panelText_ == text) return;
    panelText_ = text;
    requestRepaint();
}

void GaugePanel::requestRepaint() {
    ++repaintRequests_;
    update();
}

void GaugePanel::repaintNow() { repaint(); }

void GaugePanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect panel = rect().adjusted(1, 1, -1, -1);
    const QColor background = palette().color(QPalette::Window);
    painter.fillRect(rect(), background);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!state_.enabled) return;

    const int splitX = GaugeSplitX(panel.left(), panel.width(), state_.position);
    const QRect filled(panel.left(), panel.top(), splitX - panel.left(), panel.height());
    const QRect rest(splitX, panel.top(), panel.right() + 1 - splitX, panel.height());
    painter.fillRect(filled, palette().color(QPalette::Highlight));

    const QString text =
        QString::fromStdString(GaugeText(panelText_.toStdString(), state_.position));
    painter.setClipRect(filled);
    painter.setPen(palette().color(QPalette::HighlightedText));
    painter.drawText(panel, Qt::AlignCenter, text);
    painter.setClipRect(rest);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(panel, Qt::AlignCenter, text);
}

}  // namespace quarvel::app
