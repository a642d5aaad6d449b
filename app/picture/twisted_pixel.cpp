#include "picture/twisted_pixel.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "picture/image_convert.h"
#include "picture/qt_clipboard.h"
#include "shell/busy_cursor.h"

namespace quarvel::app {

TTwistedPixel::TTwistedPixel(QWidget* parent)
    : QWidget(parent), model_(QtClipboardPort::instance()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    model_.OnProgressReport = [this](long done, long total) { emit progressReport(done, total); };
    model_.OnPluginFilterComplete = [this] { emit pluginFilterComplete(); };
}

void TTwistedPixel::apply(const std::function<void(imaging::ImagingModel&)>& operation) {
    try {
        operation(model_);
    } catch (...) {
        pictureChanged();
        throw;
    }
    pictureChanged();
}

void TTwistedPixel::pictureChanged() {
    shown_ = toQImage(model_.Picture());
    update();
}

QSize TTwistedPixel::sizeHint() const {
    return model_.HasImage() ? QSize(model_.ImageWidth(), model_.ImageHeight()) : QSize(250, 250);
}

// Where the picture is drawn: 1:1 at the origin, or stretched over the whole control.
QRect TTwistedPixel::pictureRect() const {
    if (shown_.isNull()) return {};
    if (!model_.FitToSize()) return QRect(QPoint(0, 0), shown_.size());
    if (!keepAspect_) return rect();
    const QSize fitted = shown_.size().scaled(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

QPoint TTwistedPixel::toImage(QPoint p) const {
    const QRect area = pictureRect();
    if (area.isEmpty()) return {};
    const int x = (p.x() - area.left()) * shown_.width() / area.width();
    const int y = (p.y() - area.top()) * shown_.height() / area.height();
    return {std::clamp(x, 0, shown_.width()), std::clamp(y, 0, shown_.height())};
}

QRect TTwistedPixel::toWidget(const imaging::SelectionRect& s) const {
    const QRect area = pictureRect();
    if (area.isEmpty() || shown_.isNull()) return {};
    const auto mapX = [&](int x) { return area.left() + x * area.width() / shown_.width(); };
    const auto mapY = [&](int y) { return area.top() + y * area.height() / shown_.height(); };
    return QRect(QPoint(mapX(s.x), mapY(s.y)),
                 QPoint(mapX(s.x + s.width) - 1, mapY(s.y + s.height) - 1));
}

imaging::SelectionRect TTwistedPixel::dragRect() const {
    const QRect r = QRect(dragStart_, dragEnd_).normalized();
    return {r.left(), r.top(), r.width() - 1, r.height() - 1};
}

void TTwistedPixel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (shown_.isNull()) return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, model_.FitToSize());
    painter.drawImage(pictureRect(), shown_);
    const imaging::SelectionRect selection = dragging_ ? dragRect() : model_.Selection();
    if (selection.empty()) return;
    const QRect outline = toWidget(selection);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(outline);
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.drawRect(outline);
}

void TTwistedPixel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || model_.Tool() != 1 || !model_.HasImage()) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    dragStart_ = dragEnd_ = toImage(event->position().toPoint());
    update();
}

void TTwistedPixel::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    dragEnd_ = toImage(event->position().toPoint());
    update();
}

void TTwistedPixel::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    dragging_ = false;
    dragEnd_ = toImage(event->position().toPoint());
    const imaging::SelectionRect selection = dragRect();
    if (selection.empty()) {
        model_.SelectNone();
    } else {
        model_.SetSelection(selection);
    }
    update();
}

void TTwistedPixel::contextMenuEvent(QContextMenuEvent* event) {
    const auto& plugins = model_.Plugins();
    if (plugins.empty() || !model_.HasImage()) return;
    QMenu menu(this);
    for (std::size_t i = 0; i < plugins.size(); ++i) {
        menu.addAction(QString::fromStdString(plugins[i].name), this, [this, i] { runPlugin(i); });
    }
    menu.exec(event->globalPos());
}

void TTwistedPixel::runPlugin(std::size_t index) {
    imaging::PluginOutcome outcome;
    {
        BusyCursor busy;
        outcome = model_.RunPlugin(index);
    }
    pictureChanged();
    if (!outcome.succeeded) emit pluginFailed(QString::fromStdString(outcome.message));
}

}  // namespace quarvel::app
