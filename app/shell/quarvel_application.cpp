#include "shell/quarvel_application.h"

#include <exception>
#include <iostream>
#include <new>

namespace quarvel::app {

QuarvelApplication::QuarvelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QuarvelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        // Nearly always a file far larger than this machine can hold in memory.
        reportError(receiver, "The input is too large for the available memory.");
    } catch (const std::exception& error) {
        reportError(receiver, error.what());
    } catch (...) {
        reportError(receiver, "unknown error");
    }
    return false;
}

void QuarvelApplication::reportError(QObject* receiver, const std::string& what) {
    if (handler_) {
        handler_(receiver, what);
    } else {
        std::cerr << "quarvel: " << what << '\n';
    }
}

}  // namespace quarvel::app
