// The DNC viewer offscreen: the import through the frame (caption, text pane, status
// texts, dialog filter), the plot's colours and arcs, the draft box while dragging,
// Escape during a load, unreadable files and the lines the reader did not understand.
#include <QAction>
#include <QFile>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "dncview/dnc_import.h"
#include "dncview/dnc_view.h"
#include "scripted_prompts.h"
#include "shell/quarvel_frame.h"
#include "view3d/dnc_preview.h"

using namespace quarvel::app;
using quarvel::test::ScriptedPrompts;

namespace {

void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

int pixelsOf(const QImage& image, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            count += (row[x] & 0xffffff) == (colour.rgb() & 0xffffff);
    }
    return count;
}

const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 128, 0);

// A small program: up, across, down, a square cut and back up (CR LF lines).
const char kSquareProgram[] =
    "(square)\r\nG90 T0\r\nF10\r\nG00 Z0.25\r\nX1 Y1\r\nG01 Z-0.1\r\nX3\r\nY3\r\nX1\r\nY1\r\n"
    "G00 Z0.25\r\n";

}  // namespace

class DncViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TQuarvelFrame> frame;
    ScriptedPrompts* prompts = nullptr;
    QTemporaryDir dir;

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write(bytes);
        return path;
    }

private slots:
    void init() {
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        frame = std::make_unique<TQuarvelFrame>(std::move(scripted));
        frame->resize(900, 700);
        InstallDncViewer(*frame);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    }
    void cleanup() { frame.reset(); }

    void newViewerShowsNoFileAndItsMenus() {
        auto* w = new TfrmDnc(*frame);
        frame->addChildWindow(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("View DNC File"));
        QCOMPARE(w->DncText->toPlainText(), QStringLiteral("No File Loaded"));
        QStringList titles;
        for (const QMenu* menu : w->windowMenus()) titles << menu->title();
        QCOMPARE(titles, (QStringList{"&File", "&View", "&Window", "&Help"}));
        QStringList file;
        for (const QAction* a : w->windowMenus()[0]->actions())
            file << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(file, (QStringList{"&New Image", "&Load Image", "Import &DNC File",
                                    "&Import DXF Mesh", "-", "&Close", "&Exit"}));
        QVERIFY(!w->mnuFirstNotUnderstood->isEnabled());
        const auto& o = w->Draw3D->View3DOptions();
        QVERIFY(!o.Orthogonal);
        QCOMPARE(o.Perspective, 0);
    }

    void importThroughTheFrameShowsTextAndPlot() {
        const QString path = writeFile("square.nc", kSquareProgram);
        QStringList filters;
        prompts->fileChoice = [&](QFileDialog& d) {
            filters = d.nameFilters();
            d.selectFile(path);
            return true;
        };
        QVERIFY(frame->ImportDNCFile1->isEnabled());
        frame->ImportDNCFile1->trigger();
        QCOMPARE(filters.size(), 3);
        QVERIFY(filters[0].startsWith("DNC files *.Dnc ("));
        QVERIFY(filters[1].contains("[nN][gG][cC]"));
        auto* w = qobject_cast<TfrmDnc*>(frame->activeChild());
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), path);
        QCOMPARE(w->DncText->lineCount(), 11);
        QCOMPARE(w->DncText->lineText(6), QStringLiteral("G01 Z-0.1"));
        QCOMPARE(frame->status().message(), QStringLiteral("Ready..."));
        QCOMPARE(frame->status().detail(), QStringLiteral("All lines understood"));
        const auto& o = w->Draw3D->View3DOptions();
        QCOMPARE(o.Rotation, 345);
        QCOMPARE(o.Elevation, 300);
        w->mnuTopClick();
        w->Draw3D->paintPicture();
        const QImage& plot = w->Draw3D->picture();
        QVERIFY(pixelsOf(plot, kBlue) > 0);
        QVERIFY(pixelsOf(plot, kGreen) > 0);
        // Every child's File menu offers the import (the frame's own action).
        QVERIFY(w->windowMenus()[0]->actions().contains(frame->ImportDNCFile1));
    }

    void arcsAreDrawnAlongTheirCircle() {
        // A clockwise half circle from (0, 0) about (1, 0), above the x axis.
        const QString path = writeFile("arc.dnc", "G1 X0 Y0\nG2 X2 Y0 I1 J0\nG1 X2 Y-1\n");
        TfrmDnc* w = ImportDncFile(*frame, path);
        QVERIFY(w);
        w->mnuTopClick();
        w->Draw3D->paintPicture();
        const QImage& plot = w->Draw3D->picture();
        const double s = w->ViewScale;
        const int base = w->Draw3D->chartRect().bottom;
        // The highest point of the circle, (1, 1), is drawn green.
        const QPoint top(qRound(1 * s), base - qRound(1 * s));
        int near = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                near += plot.pixelColor(top + QPoint(dx, dy)) == kGreen;
        QVERIFY(near > 0);
    }

    // The window and `quarvel-cli preview` draw the same projected polyline.
    void plotMatchesThePreviewOfThePanelsSize() {
        TfrmDnc* w = ImportDncFile(*frame, writeFile("square.dnc", kSquareProgram));
        QVERIFY(w);
        for (const auto view :
             {quarvel::view3d::PresetView::Top, quarvel::view3d::PresetView::Isometric}) {
            view == quarvel::view3d::PresetView::Top ? w->mnuTopClick() : w->mnuIsometricClick();
            w->Draw3D->paintPicture();
            const QImage& plot = w->Draw3D->picture();
            const int width = plot.width(), height = plot.height();
            const auto preview =
                quarvel::view3d::RenderDncPreview(w->document(), {width, height, view});
            const auto options = quarvel::view3d::PresetOptions(view);
            QCOMPARE(w->Draw3D->View3DOptions(), options);
            const auto chart =
                quarvel::view3d::ChartRect({0, 0, width, height}, quarvel::view3d::kPanelBorder);
            QCOMPARE(w->Draw3D->chartRect(), chart);
            const auto scale =
                quarvel::view3d::FitModelScale(w->document().bounds, width, height, chart.bottom);
            const auto projected =
                quarvel::view3d::ProjectPlot(quarvel::view3d::DncPlotPoints(w->document(), scale),
                                             quarvel::view3d::MakeProjection(&options, chart));
            int inside = 0;
            for (const auto& p : projected.points) {
                if (p.at.x < 2 || p.at.y < 2 || p.at.x >= width - 2 || p.at.y >= height - 2)
                    continue;
                ++inside;
                const auto rgb = preview.at(p.at.x, p.at.y);
                QVERIFY(plot.pixelColor(p.at.x, p.at.y) != Qt::white);
                QVERIFY(QColor(rgb.red, rgb.green, rgb.blue) != Qt::white);
            }
            QVERIFY(inside >= 3);
        }
    }

    void draftBoxWhileDragging() {
        TfrmDnc* w = ImportDncFile(*frame, writeFile("square.dnc", kSquareProgram));
        QVERIFY(w);
        TDraw3D* panel = w->Draw3D;
        sendMouse(panel, QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton, Qt::LeftButton);
        QVERIFY(w->DraftMode);
        sendMouse(panel, QEvent::MouseMove, {60, 45}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(panel->View3DOptions().Rotation, 335);
        QCOMPARE(panel->View3DOptions().Elevation, 295);
        panel->paintPicture();
        QCOMPARE(pixelsOf(panel->picture(), kGreen), 0);
        QVERIFY(pixelsOf(panel->picture(), Qt::black) > 200);  // the filled box
        sendMouse(panel, QEvent::MouseButtonRelease, {60, 45}, Qt::LeftButton, Qt::NoButton);
        QVERIFY(!w->DraftMode);
        panel->paintPicture();
        QVERIFY(pixelsOf(panel->picture(), kGreen) > 0);
    }

    void escapeDuringTheLoadClosesTheWindow() {
        QByteArray program;
        for (int i = 0; i < 2000; ++i) program += "G1 X" + QByteArray::number(i % 7) + " Y1\n";
        const QString path = writeFile("long.dnc", program);
        QCoreApplication::postEvent(
            frame.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        QVERIFY(!ImportDncFile(*frame, path));
        QVERIFY(!frame->jobState().CancelRequested);
        QTest::qWait(20);
        QVERIFY(frame->mdiArea().subWindowList().isEmpty());
        QCOMPARE(frame->status().message(), QStringLiteral("Ready..."));
    }

    void cancelFlagStopsTheReading() {
        QByteArray program;
        for (int i = 0; i < 2000; ++i) program += "G1 X" + QByteArray::number(i % 7) + " Y1\n";
        auto* w = new TfrmDnc(*frame);
        frame->addChildWindow(w);
        // Unlike a picture window, the viewer lets Escape through to the cancel flag.
        w->DncText->setFocus();
        QTest::keyClick(w->DncText, Qt::Key_Escape);
        QVERIFY(frame->jobState().CancelRequested);
        QCOMPARE(w->LoadDnc(writeFile("long.dnc", program)), DncLoadResult::Cancelled);
        QCOMPARE(w->windowTitle(), QStringLiteral("View DNC File"));
        QCOMPARE(w->DncText->toPlainText(), QStringLiteral("No File Loaded"));
        QVERIFY(w->document().moves.empty());
    }

    void unreadableFileIsReportedAndTheWindowStays() {
        const QString missing = dir.filePath("missing.dnc");
        TfrmDnc* w = ImportDncFile(*frame, missing);
        QVERIFY(w);
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(prompts->messages[0].text.contains(missing));
        QCOMPARE(w->DncText->toPlainText(), QStringLiteral("No File Loaded"));
        QCOMPARE(w->windowTitle(), QStringLiteral("View DNC File"));
        QVERIFY(!frame->status().gauge().isGaugeEnabled());
    }

    void linesNotUnderstoodAreCountedAndFound() {
        const QString path =
            writeFile("odd.tap", "G0 Z1\nG1 X1 Q5\nG1 X2\nG91 X1\nX1.2.3\nG1 X0\n");
        TfrmDnc* w = ImportDncFile(*frame, path);
        QVERIFY(w);
        const qint64 count = w->document().notUnderstoodCount;
        QVERIFY(count >= 2);
        QCOMPARE(frame->status().detail(), QString::number(count) + " lines not understood");
        QVERIFY(w->mnuFirstNotUnderstood->isEnabled());
        w->mnuFirstNotUnderstood->trigger();
        QCOMPARE(w->DncText->markedLine(), w->document().linesNotUnderstood.front());
        QCOMPARE(w->DncText->markedLine(), 2);
        // Activating another window and coming back shows this window's count again.
        frame->status().setDetail("Done");
        w->FormActivate();
        QCOMPARE(frame->status().detail(), QString::number(count) + " lines not understood");
    }

    void textPaneSplitsLinesAsTheReaderDoes() {
        DncTextPane pane;
        pane.resize(200, 100);
        pane.setText("G0 X1\rG1 Y2\r\n\nX\xe9\nY\xc3\xa9\r\n");
        QCOMPARE(pane.lineCount(), 5);  // the last line end closes the fifth line
        QCOMPARE(pane.lineText(1), QStringLiteral("G0 X1"));
        QCOMPARE(pane.lineText(2), QStringLiteral("G1 Y2"));
        QCOMPARE(pane.lineText(3), QString());
        QCOMPARE(pane.lineText(4), QStringLiteral("X\u00e9"));  // Latin-1
        QCOMPARE(pane.lineText(5), QStringLiteral("Y\u00e9"));  // UTF-8
        QVERIFY(!pane.showLine(6));
        QVERIFY(!pane.showLine(0));
        QCOMPARE(pane.markedLine(), 0);
        QVERIFY(pane.showLine(5));
        QCOMPARE(pane.markedLine(), 5);
        pane.setText({});
        QCOMPARE(pane.lineCount(), 1);
        QCOMPARE(pane.markedLine(), 0);
    }

    void commandLineNamesOpenInTheViewer() {
        for (const char* name : {"a.dnc", "B.NC", "c.ngc", "d.GCode", "e.tap"})
            QVERIFY2(IsDncFileName(name), name);
        for (const char* name : {"a.dxf", "b.png", "c.dnc.bak", "nc"})
            QVERIFY2(!IsDncFileName(name), name);
    }
};

QTEST_MAIN(DncViewTest)
#include "dnc_view_test.moc"
