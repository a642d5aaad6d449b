#pragma once
// Hourglass for the length of a scope; the destructor restores the cursor on every path,
// cancellation and exceptions included.
#include <QApplication>
#include <QCursor>

namespace quarvel::app {

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace quarvel::app
