// The mesh window offscreen: its menus and activation rules, the mouse rules of the
// view, what a paint draws (scale, draft box, pen colours), and the import of DXF and
// STL files through the frame with their status texts, cancellation and bad files.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "meshview/dxf_view.h"
#include "meshview/mesh_import.h"
#include "scripted_prompts.h"
#include "shell/quarvel_frame.h"

using namespace quarvel::app;
using quarvel::test::ScriptedPrompts;

namespace {

QStringList captionsOf(const QMenu* menu) {
    QStringList captions;
    for (const QAction* action : menu->actions()) {
        if (!action->isVisible()) continue;
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return captions;
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QMouseEvent event(type, at, target->mapToGlobal(at), button, held, keys);
    QCoreApplication::sendEvent(target, &event);
}

// Press at `from`, move to `to`, release: one drag with `button` and `keys` held.
void drag(QWidget* target, QPoint from, QPoint to, Qt::MouseButton button,
          Qt::KeyboardModifiers keys = Qt::NoModifier) {
    sendMouse(target, QEvent::MouseButtonPress, from, button, button, keys);
    sendMouse(target, QEvent::MouseMove, to, Qt::NoButton, button, keys);
    sendMouse(target, QEvent::MouseButtonRelease, to, button, Qt::NoButton, keys);
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

// The outline of a square 0..2 x 0..2 at height 0 and a diagonal down to -1.
void giveSquareMesh(quarvel::engine::MeshDocument& mesh) {
    mesh.Edges = {{{0, 0, 0}, {2, 0, 0}},
                  {{2, 0, 0}, {2, 2, 0}},
                  {{2, 2, 0}, {0, 2, 0}},
                  {{0, 2, 0}, {0, 0, 0}},
                  {{0, 0, 0}, {2, 2, 1}}};
    mesh.Bounds = {0, 2, 0, 2, 0, 1, 2, 2};
}

quarvel::engine::TRegion squareRegion() {
    quarvel::engine::TRegion r;
    r.depth = 0.5;
    r.segments = {quarvel::engine::makeSegment(0.5, 0.5, 1.5, 0.5),
                  quarvel::engine::makeSegment(1.5, 0.5, 1.5, 1.5)};
    return r;
}

}  // namespace

class MeshViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TQuarvelFrame> frame;
    ScriptedPrompts* prompts = nullptr;
    MeshWindowCommands commands;
    QTemporaryDir dir;

    TfrmDXFView* newWindow() {
        auto* w = qobject_cast<TfrmDXFView*>(frame->OpenMeshWindow());
        w->parentWidget()->resize(400, 300);
        return w;
    }

private slots:
    // A mesh window opened by an import (not Raster to Vector, which sets its own size)
    // has room to draw in.
    void importedMeshWindowOpensAtAUsableSize() {
        frame->jobState().JobMode = quarvel::JobModeCode::MeshImport;
        auto* w = qobject_cast<TfrmDXFView*>(frame->OpenMeshWindow());
        QVERIFY(w);
        QVERIFY(w->width() >= 400);
        QVERIFY(w->height() >= 300);
    }

    void init() {
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        frame = std::make_unique<TQuarvelFrame>(std::move(scripted));
        frame->resize(900, 700);
        InstallMeshWindows(*frame, commands);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    }
    void cleanup() { frame.reset(); }

    void importIsEnabledAndMenusFollowTheWindow() {
        QVERIFY(frame->ImportDXFMesh1->isEnabled());
        TfrmDXFView* w = newWindow();
        QCOMPARE(w->windowTitle(), QStringLiteral("DXF Surface Mesh"));
        QCOMPARE(w->kind(), MeshWindowKind::ImportedMesh);
        const QList<QMenu*> menus = w->windowMenus();
        QCOMPARE(menus.size(), 6);
        QCOMPARE(captionsOf(menus[0]),
                 (QStringList{"&New Image", "&Load Image", "Import &DNC File", "&Import DXF Mesh",
                              "-", "Save D&NC", "Save &DXF", "-", "&Close", "&Exit"}));
        QCOMPARE(captionsOf(menus[1]), QStringList{"&Copy"});
        QCOMPARE(captionsOf(menus[2]),
                 (QStringList{"&Top", "&Isometric", "&Fit", "-", "&Mesh", "&Tool&paths"}));
        QCOMPARE(menus[3]->title(), QStringLiteral("Create"));
        QVERIFY(w->mnuMesh->isChecked() && w->mnuToolpaths->isChecked());
        QVERIFY(!w->mnuCreateToolpaths->isEnabled());  // the regions dialog is not wired here
        const auto& o = w->Draw3D->View3DOptions();
        QVERIFY(!o.Orthogonal);
        QCOMPARE(o.Rotation, 0);
        QCOMPARE(o.Elevation, 0);
        QCOMPARE(o.Perspective, 0);
    }

    void saveCommandsNeedRegionsAtActivation() {
        int saves = 0;
        frame.reset();
        auto scripted = std::make_unique<ScriptedPrompts>();
        frame = std::make_unique<TQuarvelFrame>(std::move(scripted));
        InstallMeshWindows(
            *frame, {{}, [&](TfrmDXFView&) { ++saves; }, [&](TfrmDXFView&) { ++saves; }, {}});
        frame->show();
        TfrmDXFView* w = newWindow();
        w->FormActivate();
        QVERIFY(!w->SaveDNC1->isEnabled());
        QVERIFY(!w->SaveDXF1->isEnabled());
        QVERIFY(!frame->ToolButton3->isEnabled());
        w->document().Regions.push_back(squareRegion());
        QVERIFY(!w->SaveDNC1->isEnabled());  // only the next activation looks again
        w->FormActivate();
        QVERIFY(w->SaveDNC1->isEnabled());
        QVERIFY(w->SaveDXF1->isEnabled());
        w->SaveDNC1->trigger();
        w->SaveDXF1->trigger();
        QCOMPARE(saves, 2);
    }

    void saveDxfWritesTheRegionsAsPolylines() {
        TfrmDXFView* w = newWindow();
        w->document().Regions.push_back(squareRegion());
        w->FormActivate();
        QVERIFY(w->SaveDXF1->isEnabled());
        QVERIFY(!w->SaveDNC1->isEnabled());  // its command comes with the regions dialog
        const QString path = dir.filePath("regions");
        prompts->fileChoice = [path](QFileDialog& d) {
            d.selectFile(path);
            return true;
        };
        w->SaveDXF1->trigger();
        QFile written(path + ".Dxf");
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray text = written.readAll();
        QVERIFY(text.startsWith("0\r\nSECTION\r\n"));
        QVERIFY(text.endsWith("0\r\nEOF\r\n"));
        QCOMPARE(text.count("\r\nVERTEX\r\n"), 3);  // the first end and two second ends
        QVERIFY(text.contains("30\r\n0.5000\r\n"));
        QVERIFY(prompts->messages.isEmpty());
    }

    void vectorConversionWindowHidesTheMeshItems() {
        frame->jobState().JobMode = quarvel::JobModeCode::RasterToVector;
        TfrmDXFView* w = newWindow();
        frame->jobState().JobMode =
            quarvel::JobModeCode::MeshImport;  // the kind was fixed when the window was made
        w->FormActivate();
        QCOMPARE(w->windowTitle(), QStringLiteral("Vector Conversion"));
        QVERIFY(!w->mnuCreate->menuAction()->isVisible());
        QCOMPARE(captionsOf(w->windowMenus()[2]), (QStringList{"&Top", "&Isometric", "&Fit"}));
    }

    void mouseRulesChangeTheViewOptions() {
        TfrmDXFView* w = newWindow();
        TDraw3D* panel = w->Draw3D;
        const auto& o = panel->View3DOptions();
        drag(panel, {100, 100}, {130, 90}, Qt::LeftButton);
        QCOMPARE(o.Rotation, -30);
        QCOMPARE(o.Elevation, -10);
        drag(panel, {100, 100}, {130, 90}, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(o.HorizOffset, 30);
        QCOMPARE(o.VertOffset, -10);
        const auto before = o;
        drag(panel, {100, 100}, {170, 20}, Qt::LeftButton, Qt::ControlModifier);
        drag(panel, {100, 100}, {170, 20}, Qt::RightButton, Qt::ShiftModifier);
        QVERIFY(o == before);
        QCOMPARE(w->LastMouseX, 170);  // tracked all the same
        const int h = panel->height();
        drag(panel, {50, h - 1}, {50, h - 1 - h / 2}, Qt::RightButton);
        QCOMPARE(o.Zoom, 150);
        drag(panel, {50, 0}, {50, 3 * h}, Qt::RightButton);  // would give -150
        QCOMPARE(o.Zoom, 150);
        drag(panel, {50, 0}, {50, h * 149 / 100}, Qt::RightButton);
        QVERIFY(o.Zoom > 0);
        QVERIFY(!w->DraftMode);
    }

    void draftModeLastsFromPressToRelease() {
        TfrmDXFView* w = newWindow();
        sendMouse(w->Draw3D, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
        QVERIFY(w->DraftMode);
        sendMouse(w->Draw3D, QEvent::MouseButtonRelease, {10, 10}, Qt::LeftButton, Qt::NoButton);
        QVERIFY(!w->DraftMode);
    }

    void wheelNotchZoomsAsATenthOfThePanel() {
        TfrmDXFView* w = newWindow();
        const QPointF at(20, 20);
        QWheelEvent notch(at, w->Draw3D->mapToGlobal(at), {}, {0, 120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w->Draw3D, &notch);
        QCOMPARE(w->Draw3D->View3DOptions().Zoom, 110);
    }

    void paintScalesToTheWindowAndSitsOnTheBaseLine() {
        TfrmDXFView* w = newWindow();
        giveSquareMesh(w->document());
        w->Draw3D->paintPicture();
        const QSize outer = w->parentWidget()->size();
        QCOMPARE(w->Draw3D->size(), outer);
        QCOMPARE(w->ViewScale, std::min(outer.width() / 2.0, outer.height() / 2.0));
        // Top view, zoom 100: model (0, 0) is at the panel's left on the chart bottom.
        const int base = w->Draw3D->chartRect().bottom;
        QCOMPARE(w->Draw3D->picture().pixelColor(10, base), QColor(Qt::black));
        QCOMPARE(w->Draw3D->picture().pixelColor(40, base - 10), QColor(Qt::white));
    }

    void flatInYMeshUsesScaleOneAtTheTop() {
        TfrmDXFView* w = newWindow();
        auto& mesh = w->document();
        mesh.Edges = {{{0, -5, 0}, {40, -5, 0}}};
        mesh.Bounds = {0, 40, -5, -5, 0, 0, 0, 40};
        w->Draw3D->paintPicture();
        QCOMPARE(w->ViewScale, 1.0);
        QCOMPARE(mesh.Bounds.minX, 0.0);
        QCOMPARE(mesh.Bounds.maxX, 1.0);
        QCOMPARE(mesh.Bounds.maxY, 1.0);
        // Base line 0 at the panel's top: model y -5 is drawn on row 5, one unit a pixel.
        QCOMPARE(w->Draw3D->picture().pixelColor(20, 5), QColor(Qt::black));
        QCOMPARE(w->Draw3D->picture().pixelColor(60, 5), QColor(Qt::white));
    }

    void meshAndToolpathTogglesChangeThePens() {
        TfrmDXFView* w = newWindow();
        giveSquareMesh(w->document());
        w->document().Regions.push_back(squareRegion());
        const QColor grey = w->palette().color(QPalette::Button);
        const QColor blue(0, 0, 255);
        auto paintCounts = [&] {
            w->Draw3D->paintPicture();
            const QImage& p = w->Draw3D->picture();
            return std::array<int, 3>{pixelsOf(p, Qt::black), pixelsOf(p, grey), pixelsOf(p, blue)};
        };
        auto counts = paintCounts();  // regions shown: the mesh in grey
        QVERIFY(counts[1] > 0 && counts[2] > 0);
        w->mnuToolpaths->setChecked(false);
        counts = paintCounts();
        QVERIFY(counts[0] > 0);
        QCOMPARE(counts[2], 0);
        w->mnuToolpaths->setChecked(true);
        w->mnuMesh->setChecked(false);
        counts = paintCounts();
        QVERIFY(counts[2] > 0);
        QCOMPARE(counts[1], 0);
    }

    void draftPaintDrawsOnlyTheBox() {
        TfrmDXFView* w = newWindow();
        giveSquareMesh(w->document());
        w->Draw3D->paintPicture();
        const QSize size = w->Draw3D->size();
        const int area = size.width() * size.height();
        QVERIFY(pixelsOf(w->Draw3D->picture(), Qt::black) < area / 20);  // the wire frame
        w->DraftMode = true;
        w->Draw3D->paintPicture();
        // A filled square of the mesh's extent, 300 pixels wide, clipped at the top.
        QVERIFY(pixelsOf(w->Draw3D->picture(), Qt::black) > area * 6 / 10);
    }

    void offscreenPictureIsKeptUntilTheSizeChanges() {
        TfrmDXFView* w = newWindow();
        w->Draw3D->paintPicture();
        w->Draw3D->paintPicture();
        QCOMPARE(w->Draw3D->pictureAllocations(), 1);
        w->parentWidget()->resize(420, 310);
        w->Draw3D->paintPicture();
        QCOMPARE(w->Draw3D->pictureAllocations(), 2);
        QTest::qWait(20);  // the paints the resize asked for
        const int paints = w->Draw3D->paintCount();
        w->Draw3D->setRotation(0);  // unchanged: no repaint asked for
        w->Draw3D->setZoom(100);
        QTest::qWait(20);
        QCOMPARE(w->Draw3D->paintCount(), paints);
    }

    void importsADxfWrittenByTheCommandLine() {
        const QString dxf = dir.filePath("relief.dxf");
        QCOMPARE(QProcess::execute(
                     QStringLiteral(QUARVEL_CLI_PATH),
                     {"dxf", QStringLiteral(QUARVEL_TEST_DATA) + "/surface/relief_12x9.bmp", "-o",
                      dxf, "--no-gouge"}),
                 0);
        frame->jobState().JobMode = quarvel::JobModeCode::MeshImport;
        TfrmDXFView* w = ImportMeshFile(*frame, dxf);
        QVERIFY(w);
        const std::size_t facets = w->document().Triangles.size();
        QVERIFY(facets > 0);
        QCOMPARE(frame->status().message(), dxf + " Succesfully loaded... " +
                                                QString::number(facets) +
                                                " Facets displayed. Use mouse to change view.");
        QCOMPARE(frame->status().detail(), QStringLiteral("Done"));
        QCOMPARE(w->windowTitle(), dxf);
        QCOMPARE(w->Draw3D->View3DOptions().Rotation, 345);
        QCOMPARE(w->Draw3D->View3DOptions().Elevation, 300);
        QVERIFY(!w->DraftMode);

        // The same faces as an ASCII STL (quadrilaterals split along corner 1 - corner 3).
        const QString stl = dir.filePath("relief.stl");
        QVERIFY(writeStlOfDxf(dxf, stl));
        TfrmDXFView* s = ImportMeshFile(*frame, stl);
        QVERIFY(s);
        QCOMPARE(s->document().Triangles.size(), facets);
        QVERIFY(s->document().Triangles == w->document().Triangles);
        QVERIFY(s->document().Bounds == w->document().Bounds);
    }

    void escapeDuringTheImportClosesTheWindow() {
        const QString stl = dir.filePath("cancel.stl");
        writeFile(stl,
                  "solid c\n facet normal 0 0 1\n  outer loop\n   vertex 0 0 0\n"
                  "   vertex 1 0 1\n   vertex 0 1 2\n  endloop\n endfacet\nendsolid c\n");
        QCoreApplication::postEvent(
            frame.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        QVERIFY(!ImportMeshFile(*frame, stl));
        QVERIFY(!frame->jobState().CancelRequested);
        QTest::qWait(20);
        QVERIFY(frame->mdiArea().subWindowList().isEmpty());
    }

    void badFilesAreReportedWithTheirNames() {
        const QString stl = dir.filePath("short.stl");
        QByteArray head(80, ' ');
        head += QByteArray("\x05\0\0\0", 4);
        writeFile(stl, head + QByteArray(60, '\0'));
        QVERIFY(!ImportMeshFile(*frame, stl));
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(prompts->messages[0].text.contains(stl));
        QVERIFY(prompts->messages[0].text.contains("counts 5 facets"));
        const QString dxf = dir.filePath("bad.dxf");
        writeFile(dxf, "0\r\n3DFACE\r\n10\r\n1.5x\r\n0\r\nEOF\r\n");
        QVERIFY(!ImportMeshFile(*frame, dxf));
        QVERIFY(prompts->messages[1].text.startsWith("Invalid numeric input"));
        QVERIFY(prompts->messages[1].text.contains(dxf));
        QTest::qWait(20);
        QVERIFY(frame->mdiArea().subWindowList().isEmpty());
        QCOMPARE(frame->status().message(), QStringLiteral("Ready..."));
    }

    void missingFileLeavesTheEmptyWindow() {
        TfrmDXFView* w = ImportMeshFile(*frame, dir.filePath("none.dxf"));
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("DXF Surface Mesh"));
        QVERIFY(prompts->messages.isEmpty());
    }

private:
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Faces of a DXF from the program's surface writer (twelve corner values each) as
    // ASCII STL facets, the decimal text kept as it is.
    static bool writeStlOfDxf(const QString& dxfPath, const QString& stlPath) {
        QFile in(dxfPath);
        if (!in.open(QIODevice::ReadOnly)) return false;
        const QList<QByteArray> lines = in.readAll().split('\n');
        QByteArray out = "solid relief\n";
        auto facet = [&](const QByteArray* a, const QByteArray* b, const QByteArray* c) {
            out += " facet normal 0 0 0\n  outer loop\n";
            for (const QByteArray* v : {a, b, c})
                out += "   vertex " + v[0] + " " + v[1] + " " + v[2] + "\n";
            out += "  endloop\n endfacet\n";
        };
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].trimmed() != "3DFACE") continue;
            QByteArray c[4][3];
            for (int k = 0; k < 12; ++k)
                c[k / 3][k % 3] = lines[i + 2 + 2 * k].trimmed();  // codes 10 20 30 11 21 ...
            facet(c[0], c[1], c[2]);
            if (c[3][0] != c[2][0] || c[3][1] != c[2][1] || c[3][2] != c[2][2])
                facet(c[0], c[2], c[3]);
        }
        QFile f(stlPath);
        if (!f.open(QIODevice::WriteOnly)) return false;
        return f.write(out + "endsolid relief\n") > 0;
    }
};

QTEST_MAIN(MeshViewTest)
#include "mesh_view_test.moc"
