#include "shell/status_panels.h"

#include <QHBoxLayout>

#include <algorithm>

namespace quarvel::app {

namespace {
QLabel* makeTextPanel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setContentsMargins(4, 0, 4, 0);
    label->setMinimumWidth(20);
    return label;
}
}  // namespace

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    message_ = makeTextPanel(row);
    detail_ = makeTextPanel(row);
    gauge_ = new GaugePanel(row);
    layout->addWidget(message_);
    layout->addWidget(detail_);
    layout->addWidget(gauge_, 1);
    addWidget(row, 1);
    setMessage(kReadyText);
}

void StatusPanels::setMessage(const QString& text) { message_->setText(text); }
QString StatusPanels::message() const { return message_->text(); }
void StatusPanels::setDetail(const QString& text) {
    detail_->setText(text);
    fitDetail();
}
QString StatusPanels::detail() const { return detail_->text(); }

void StatusPanels::repaintNow() { repaint(); }

void StatusPanels::setPanelWidths(int messageWidth, int detailWidth) {
    message_->setFixedWidth(std::max(messageWidth, 20));
    detailWidth_ = std::max(detailWidth, 20);
    fitDetail();
}

// The designed width, or more when the text needs it: the panel never cuts its text off.
void StatusPanels::fitDetail() {
    const QMargins margins = detail_->contentsMargins();
    const int textWidth = detail_->fontMetrics().horizontalAdvance(detail_->text()) +
                          margins.left() + margins.right() + 2 * detail_->frameWidth() + 2;
    detail_->setFixedWidth(std::max(detailWidth_, textWidth));
}

}  // namespace quarvel::app
