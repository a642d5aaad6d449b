#pragma once
// The application object. An exception that escapes an event handler does not end the
// program: it goes to the installed error handler and the event loop goes on.
#include <QApplication>
#include <functional>
#include <string>

namespace quarvel::app {

class QuarvelApplication : public QApplication {
    Q_OBJECT
public:
    using ErrorHandler = std::function<void(QObject* receiver, const std::string& what)>;

    QuarvelApplication(int& argc, char** argv);
    void setErrorHandler(ErrorHandler handler) { handler_ = std::move(handler); }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    void reportError(QObject* receiver, const std::string& what);

    ErrorHandler handler_;
};

}  // namespace quarvel::app
