#include "shell/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/artwork.h"

namespace quarvel::app {

QString manualIndexPath() {
    const QDir exeDir(QCoreApplication::applicationDirPath());
    const QStringList candidates = {
        exeDir.filePath(QStringLiteral("../share/doc/quarvel/manual/index.html")),
        exeDir.filePath(QStringLiteral("docs/manual/index.html")),
        QStringLiteral(QUARVEL_SOURCE_DIR "/docs/manual/index.html"),
    };
    for (const QString& path : candidates) {
        if (QFileInfo::exists(path)) return QFileInfo(path).canonicalFilePath();
    }
    return candidates.back();
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Quarvel Help"));
    resize(720, 600);
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);
    auto* bar = new QToolBar(this);
    bar->addAction(toolIcon(QStringLiteral("go-previous")), QStringLiteral("Back"), browser_,
                   &QTextBrowser::backward);
    bar->addAction(toolIcon(QStringLiteral("go-home")), QStringLiteral("Contents"), this,
                   &HelpWindow::showContents);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(browser_);
}

void HelpWindow::showContents() {
    const QString path = manualIndexPath();
    if (QFileInfo::exists(path)) {
        browser_->setSource(QUrl::fromLocalFile(path));
    } else {
        browser_->setPlainText(QStringLiteral("The manual was not found at ") + path);
    }
    show();
    raise();
    activateWindow();
}

}  // namespace quarvel::app
