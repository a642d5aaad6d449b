#include "shell/escape_filter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QWidget>

namespace quarvel::app {

namespace {
bool insideWindowIgnoringEscape(QObject* watched) {
    for (const QWidget* w = qobject_cast<QWidget*>(watched); w; w = w->parentWidget()) {
        if (w->property(kIgnoresEscape).toBool()) return true;
        // A key the child left unhandled travels on to its subwindow frame.
        const auto* sub = qobject_cast<const QMdiSubWindow*>(w);
        if (sub && sub->widget() && sub->widget()->property(kIgnoresEscape).toBool()) return true;
    }
    return false;
}
}  // namespace

bool EscapeFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        !insideWindowIgnoringEscape(watched) &&
        !insideWindowIgnoringEscape(QApplication::focusWidget())) {
        job_.CancelRequested = true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quarvel::app
