// The main frame built offscreen: menus, tool buttons, status bar, Escape, dialogs.
#include <QAction>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

#include "scripted_prompts.h"
#include "shell/about_box.h"
#include "shell/escape_filter.h"
#include "shell/file_filters.h"
#include "shell/help_window.h"
#include "shell/quarvel_frame.h"
#include "shell/status_progress.h"

using namespace quarvel::app;
using quarvel::test::ScriptedPrompts;

namespace {

// Captions of a menu's items, separators as "-".
QStringList captionsOf(const QMenu* menu) {
    QStringList captions;
    for (const QAction* action : menu->actions()) {
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return captions;
}

// A child that counts how often the error handler asked it to recover.
class FakePicture : public QWidget, public PictureDocument {
public:
    void LoadPictureFile(const QString&) override {}
    void mnuSaveClick() override { ++saves; }
    void mnuCutClick() override {}
    void mnuCopyClick() override {}
    void mnuPasteClick() override {}
    void RecoverFromError() override { ++recoveries; }
    QString statusDetail() const override { return QStringLiteral("detail"); }
    int saves = 0;
    int recoveries = 0;
};

}  // namespace

class FrameTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TQuarvelFrame> frame;
    ScriptedPrompts* prompts = nullptr;

private slots:
    void init() {
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        frame = std::make_unique<TQuarvelFrame>(std::move(scripted));
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    }
    void cleanup() { frame.reset(); }

    void menuCaptionsAndMnemonics() {
        const QList<QAction*> bar = frame->menuBar()->actions();
        QCOMPARE(bar.size(), 3);
        QCOMPARE(bar[0]->text(), QStringLiteral("&File"));
        QCOMPARE(bar[1]->text(), QStringLiteral("&Window"));
        QCOMPARE(bar[2]->text(), QStringLiteral("&Help"));
        QCOMPARE(captionsOf(bar[0]->menu()),
                 (QStringList{"&New Image", "&Load Image", "Import &DNC File", "&Import DXF Mesh",
                              "-", "&Set Plugin Path", "-", "&Exit"}));
        QCOMPARE(captionsOf(bar[1]->menu()), (QStringList{"&Tile", "&Cascade"}));
        QCOMPARE(captionsOf(bar[2]->menu()),
                 (QStringList{"&Contents", "-", "Quarvel HomePage", "-", "&About"}));
        QVERIFY(!frame->New1->icon().isNull());
        QVERIFY(!frame->Load1->icon().isNull());
        QVERIFY(!frame->Contents1->icon().isNull());
    }

    void importsWithoutTheirWindowsAreDisabled() {
        QVERIFY(!frame->ImportDNCFile1->isEnabled());
        QVERIFY(!frame->ImportDXFMesh1->isEnabled());
        frame->setDncImporter([](TQuarvelFrame&, const QString&) {});
        QVERIFY(frame->ImportDNCFile1->isEnabled());
    }

    void pictureButtonsDisabledAtStartAndStatusReady() {
        for (QAction* a :
             {frame->ToolButton3, frame->ToolButton4, frame->ToolButton6, frame->ToolButton7}) {
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        }
        QVERIFY(frame->ToolButton1->isEnabled());
        QCOMPARE(frame->ToolButton7->toolTip(), QStringLiteral("Paste Image"));
        QCOMPARE(frame->status().message(), QStringLiteral("Ready..."));
        QVERIFY(!frame->status().gauge().isGaugeEnabled());
    }

    void frameCreationSetsJobState() {
        const auto& job = frame->jobState();
        QCOMPARE(job.LightDirection, std::uint8_t{1});
        QCOMPARE(job.GridColumns, 1);
        QCOMPARE(job.GridRows, 1);
        QVERIFY(prompts->messages.isEmpty());  // offscreen screens have full colour
    }

    void escapeSetsCancelRequestedUntilAnOperationClearsIt() {
        QVERIFY(!frame->jobState().CancelRequested);
        QTest::keyClick(frame->menuBar(), Qt::Key_Escape);
        QVERIFY(frame->jobState().CancelRequested);
        frame->jobState().CancelRequested = false;  // what an operation does when it starts
        QTest::keyClick(frame.get(), Qt::Key_A);
        QVERIFY(!frame->jobState().CancelRequested);
    }

    void escapeInWindowThatIgnoresItIsNotSeen() {
        auto* child = new QWidget;
        child->setProperty(kIgnoresEscape, true);
        child->setFocusPolicy(Qt::StrongFocus);
        frame->addChildWindow(child);
        child->setFocus();
        QTest::keyClick(child, Qt::Key_Escape);
        QVERIFY(!frame->jobState().CancelRequested);
    }

    void gaugeRepaintsOnlyForANewPosition() {
        GaugePanel& gauge = frame->status().gauge();
        gauge.setGaugeEnabled(true);
        const int before = gauge.repaintRequests();
        gauge.setPosition(40);
        gauge.setPosition(40);
        QCOMPARE(gauge.repaintRequests(), before + 1);
        gauge.setPosition(41);
        QCOMPARE(gauge.repaintRequests(), before + 2);
    }

    void gaugeFillEndsAtItsSplitAndDisabledDrawsNothing() {
        GaugePanel gauge;
        gauge.resize(102, 20);  // a 100-pixel inside between one-pixel borders
        gauge.setGaugeEnabled(true);
        gauge.setPosition(40);
        const QColor fill = gauge.palette().color(QPalette::Highlight);
        const QColor rest = gauge.palette().color(QPalette::Window);
        QImage image = gauge.grab().toImage();
        QCOMPARE(image.pixelColor(40, 2), fill);  // split at 1 + 100 * 40 / 100
        QCOMPARE(image.pixelColor(41, 2), rest);
        gauge.setGaugeEnabled(false);
        image = gauge.grab().toImage();
        QCOMPARE(image.pixelColor(10, 2), rest);
    }

    void countedLoopMovesTheGauge() {
        StatusProgress progress(frame->status(), frame->jobState());
        quarvel::LoopProgress loop(progress, 4);
        QList<int> shown;
        for (int i = 0; i <= 4; ++i) {
            QVERIFY(loop.step(i));
            shown << frame->status().gauge().position();
        }
        QCOMPARE(shown, (QList<int>{0, 25, 50, 75, 100}));
        frame->jobState().CancelRequested = true;
        quarvel::LoopProgress stopped(progress, 4);
        QVERIFY(stopped.step(0));
        QVERIFY(!stopped.step(1));
    }

    void imagingProgressDrivesGaugeAndDone() {
        auto& job = frame->jobState();
        StatusPanels& status = frame->status();
        job.ProgressCounter = 30;
        ShowImagingProgress(status, job, 40, 100);
        QCOMPARE(job.ProgressCounter, 40);
        QCOMPARE(status.gauge().position(), 40);
        QVERIFY(status.gauge().isGaugeEnabled());
        ShowImagingProgress(status, job, 41, 100);
        QCOMPARE(job.ProgressCounter, 50);
        QCOMPARE(status.gauge().position(), 41);
        ShowImagingProgress(status, job, 95, 100);
        QVERIFY(status.detail().isEmpty());
        ShowImagingProgress(status, job, 96, 100);
        QCOMPARE(job.ProgressCounter, 0);
        QVERIFY(!status.gauge().isGaugeEnabled());
        QCOMPARE(status.detail(), QStringLiteral("Done"));
    }

    void colorDepthWarning_data() {
        QTest::addColumn<int>("bits");
        QTest::addColumn<QString>("warning");
        QTest::newRow("8 bits") << 8
                                << "This program requires a Color Depth > 256 256 colors detected.";
        QTest::newRow("4 bits") << 4
                                << "This program requires a Color Depth > 256 16 colors detected.";
        QTest::newRow("9 bits") << 9 << QString();
        QTest::newRow("24 bits") << 24 << QString();
        QTest::newRow("32 bits") << 32 << QString();
    }
    void colorDepthWarning() {
        QFETCH(int, bits);
        QFETCH(QString, warning);
        QCOMPARE(ColorDepthWarning(ScreenColorCount(bits)), warning);
    }

    void filtersMatchAnyLetterCase_data() {
        QTest::addColumn<QString>("glob");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("lower") << "*.Bmp"
                               << "x.bmp" << true;
        QTest::newRow("upper") << "*.Bmp"
                               << "X.BMP" << true;
        QTest::newRow("mixed") << "*.Bmp"
                               << "x.bMp" << true;
        QTest::newRow("other ext") << "*.Bmp"
                                   << "x.bmpx" << false;
        QTest::newRow("all files") << "*.*"
                                   << "a.DnC" << true;
    }
    void filtersMatchAnyLetterCase() {
        QFETCH(QString, glob);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        const QRegularExpression re(
            QRegularExpression::wildcardToRegularExpression(anyCaseGlob(glob)));
        QCOMPARE(re.match(name).hasMatch(), matches);
    }

    void pairedFilterBecomesQtFilters() {
        QCOMPARE(qtNameFilters("Bmp Files *.Bmp|*.bmp|All image files|*.Bmp;*.Jpg"),
                 (QStringList{"Bmp Files *.Bmp (*.[bB][mM][pP])",
                              "All image files (*.[bB][mM][pP] *.[jJ][pP][gG])"}));
        // A trailing description without patterns gives no entry.
        QCOMPARE(qtNameFilters("DXF files|*.Dxf|*.dxf").size(), 1);
    }

    void aboutBoxIsOneInstanceShownModallyAgain() {
        TfrmAbout* first = frame->frmAbout;
        QCOMPARE(first->windowTitle(), QStringLiteral("About Quarvel"));
        QList<QDialog*> shown;
        prompts->onModal = [&](QDialog& d) { shown << &d; };
        frame->About1Click();
        frame->About1Click();
        QCOMPARE(shown, (QList<QDialog*>{first, first}));
        QCOMPARE(frame->frmAbout, first);
        QVERIFY(first->findChild<QLabel*>() != nullptr);
    }

    void contentsShowsTheManual() {
        frame->Contents1Click();
        auto* help = frame->findChild<HelpWindow*>();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(help->browser().toPlainText().contains(QStringLiteral("The main window")));
    }

    void setPluginPathStartsAtHomeAndKeepsChoice() {
        prompts->folder = QStringLiteral("/tmp/plugins");
        frame->SetPluginPath1Click();
        QCOMPARE(prompts->folderCaptions, QStringList{"Select Plug Ins Path"});
        QCOMPARE(prompts->folderStarts, QStringList{QDir::homePath()});
        QCOMPARE(frame->jobState().PluginPath, std::string("/tmp/plugins"));
        prompts->folder.clear();
        frame->SetPluginPath1Click();
        QCOMPARE(frame->jobState().PluginPath, std::string("/tmp/plugins"));
    }

    void importDxfMeshResetsJobModeEvenWhenCancelled() {
        frame->jobState().JobMode = quarvel::JobModeCode::GCode;
        frame->ImportDXFMesh1Click();
        QCOMPARE(prompts->fileDialogs, 1);
        QCOMPARE(frame->jobState().JobMode, quarvel::JobModeCode::MeshImport);
        QVERIFY(frame->openDialog().selectedFiles().value(0, QString()).isEmpty() ||
                QFileInfo(frame->openDialog().selectedFiles().value(0)).isDir());
    }

    void tileStacksChildrenFullWidth() {
        for (int i = 0; i < 3; ++i) frame->addChildWindow(new QWidget);
        frame->Tile1Click();
        const QRect area = frame->mdiArea().viewport()->rect();
        QList<QMdiSubWindow*> windows = frame->mdiArea().subWindowList();
        std::sort(windows.begin(), windows.end(), [](auto* a, auto* b) { return a->y() < b->y(); });
        int expectedTop = 0;
        for (QMdiSubWindow* w : windows) {
            QCOMPARE(w->width(), area.width());
            QCOMPARE(w->y(), expectedTop);
            expectedTop = w->geometry().bottom() + 1;
        }
        QCOMPARE(expectedTop, area.height());
    }

    void childListIsNewestFirst() {
        auto* older = new QWidget;
        auto* newer = new QWidget;
        frame->addChildWindow(older);
        frame->addChildWindow(newer);
        QCOMPARE(frame->childAt(0), newer);
        QCOMPARE(frame->childAt(1), older);
        QCOMPARE(frame->childAt(2), nullptr);
        QCOMPARE(frame->childAt(-1), nullptr);
    }

    void escapedErrorsRecoverTheActivePicture() {
        auto* picture = new FakePicture;
        frame->addChildWindow(picture);
        frame->mdiArea().setActiveSubWindow(frame->mdiArea().subWindowList().first());
        QVERIFY(frame->ToolButton3->isEnabled());
        frame->ToolButton3->trigger();
        QCOMPARE(picture->saves, 1);
        frame->HandleAppException(picture, "test failure");
        QCOMPARE(picture->recoveries, 1);
    }
};

QTEST_MAIN(FrameTest)
#include "frame_test.moc"
