#pragma once
// The user manual (HTML shipped with the program) in a browser window of our own.
#include <QString>
#include <QWidget>

class QTextBrowser;

namespace quarvel::app {

// Where the manual's index page is: beside an installed program, else in the source tree.
QString manualIndexPath();

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent);
    // Shows the manual's contents page.
    void showContents();
    QTextBrowser& browser() { return *browser_; }

private:
    QTextBrowser* browser_;
};

}  // namespace quarvel::app
