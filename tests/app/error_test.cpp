// Errors that escape an event handler: the program reports them, asks the active
// picture to recover and keeps running.
#include <QMdiSubWindow>
#include <QTest>
#include <stdexcept>

#include "scripted_prompts.h"
#include "shell/quarvel_application.h"
#include "shell/quarvel_frame.h"

using namespace quarvel::app;

namespace {

class Thrower : public QObject {
protected:
    bool event(QEvent*) override { throw std::runtime_error("handler failed"); }
};

class CountingPicture : public QWidget, public PictureDocument {
public:
    void LoadPictureFile(const QString&) override {}
    void mnuSaveClick() override {}
    void mnuCutClick() override {}
    void mnuCopyClick() override {}
    void mnuPasteClick() override {}
    void RecoverFromError() override { ++recoveries; }
    QString statusDetail() const override { return {}; }
    int recoveries = 0;
};

}  // namespace

class ErrorTest : public QObject {
    Q_OBJECT

private slots:
    void escapedErrorGoesToTheActivePictureAndTheLoopGoesOn() {
        TQuarvelFrame frame(std::make_unique<quarvel::test::ScriptedPrompts>());
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        auto* picture = new CountingPicture;
        frame.addChildWindow(picture);
        frame.mdiArea().setActiveSubWindow(frame.mdiArea().subWindowList().first());

        Thrower thrower;
        QEvent event(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&thrower, &event));
        QCOMPARE(picture->recoveries, 1);

        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(picture->recoveries, 2);
    }

    void withoutAPictureNothingIsAskedToRecover() {
        TQuarvelFrame frame(std::make_unique<quarvel::test::ScriptedPrompts>());
        Thrower thrower;
        QEvent event(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&thrower, &event));
    }
};

int main(int argc, char** argv) {
    QuarvelApplication app(argc, argv);
    ErrorTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "error_test.moc"
