// The Create Regions dialog offscreen: its show step and enabling rules, the typing
// filter, Create, Undo and Clear on mesh windows of both kinds, cancelling, the window it
// is bound to, and the road from a picture through Raster to Vector to the saved files,
// compared with what quarvel-cli writes for the same values.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>
#include <memory>
#include <set>

#include "geom/ordering.h"
#include "raster/sampling.h"
#include "meshview/dxf_view.h"
#include "meshview/region_tools.h"
#include "meshview/toolpaths_dialog.h"
#include "picture/picture_setup.h"
#include "picture/picture_window.h"
#include "scripted_prompts.h"
#include "shell/quarvel_frame.h"
#include "surface/machine_choice.h"

using namespace quarvel::app;
using quarvel::engine::RegionField;
using quarvel::engine::RegionStyle;
using quarvel::test::ScriptedPrompts;

namespace {

// A cone 4.1 high over a 16 x 16 grid (z as in a file, edges none): every level between
// 0 and 4.1 is one closed ring, and no grid corner lies exactly on a multiple of 0.25.
void giveCone(quarvel::engine::MeshDocument& mesh) {
    const auto z = [](int x, int y) {
        return std::max(0.0, 4.1 - std::hypot(x - 8.0, y - 8.0) / 2.0);
    };
    quarvel::TTriangleArray list;
    for (int i = 0; i < 16; ++i) {
        for (int j = 0; j < 16; ++j) {
            const quarvel::Vertex3 a{double(i), double(j), z(i, j)};
            const quarvel::Vertex3 b{double(i + 1), double(j), z(i + 1, j)};
            const quarvel::Vertex3 c{double(i + 1), double(j + 1), z(i + 1, j + 1)};
            const quarvel::Vertex3 d{double(i), double(j + 1), z(i, j + 1)};
            for (quarvel::Triangle t : {quarvel::Triangle{a, b, c}, quarvel::Triangle{a, c, d}}) {
                quarvel::SortCorners(t);
                if (t.p3.z != t.p1.z) list.push_back(t);
            }
        }
    }
    quarvel::NullProgress quiet;
    quarvel::SortByLowestZ(list, 0, static_cast<std::int64_t>(list.size()) - 1, quiet);
    mesh.Triangles = list;
    mesh.Bounds = {0, 16, 0, 16, -4.1, 0, 16, 16};  // edges hold z negated
}

std::set<double> depthsOf(const quarvel::engine::MeshDocument& mesh) {
    std::set<double> depths;
    for (const auto& r : mesh.Regions) depths.insert(r.depth);
    return depths;
}

void type(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
}

// A picture whose dark disc in the middle gives rings at every grey level it crosses.
QString writeDiscPicture(const QString& folder, int size) {
    QImage image(size, size, QImage::Format_RGB888);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double r = std::hypot(x - size / 2.0, y - size / 2.0) / (size / 2.0);
            const int grey = std::clamp(static_cast<int>(r * 255), 0, 255);
            image.setPixel(x, y, qRgb(grey, grey, grey));
        }
    }
    const QString path = folder + QStringLiteral("/disc.bmp");
    image.save(path);
    return path;
}

QByteArray afterFirstLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray all = file.readAll();
    return all.mid(all.indexOf('\n') + 1);
}

int bluePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) count += (row[x] & 0xffffff) == 0x0000ff;
    }
    return count;
}

}  // namespace

class ToolPathsDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TQuarvelFrame> frame;
    ScriptedPrompts* prompts = nullptr;
    TfrmToolPaths* dialog = nullptr;

    TfrmDXFView* coneWindow() {
        frame->jobState().JobMode = quarvel::JobModeCode::MeshImport;
        auto* w = qobject_cast<TfrmDXFView*>(frame->OpenMeshWindow());
        w->parentWidget()->resize(400, 300);
        giveCone(w->document());
        return w;
    }
    void openFor(TfrmDXFView* w) {
        frame->mdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
        w->mnuCreateToolpaths->trigger();
    }
    void topography(const QString& step, const QString& opDepth, bool multiple) {
        dialog->styleButton(RegionStyle::Topography)->click();
        (multiple ? dialog->rbMultipleDepths : dialog->rbOneDepth)->click();
        type(dialog->Edit2, step);
        type(dialog->Edit1, opDepth);
    }

private slots:
    void init() {
        {
            // Every case starts from the first run's machine choice.
            QWidget parent;
            MachineChoice plain(&parent, 0, 0, 160, 25);
            plain.machines->setCurrentIndex(0);
            plain.units->setCurrentIndex(0);
            plain.remember();
        }
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        frame = std::make_unique<TQuarvelFrame>(std::move(scripted));
        frame->resize(900, 700);
        installPictureWindows(*frame);
        dialog = InstallRegionTools(*frame);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    }
    void cleanup() { frame.reset(); }

    void showStepResetsTheGroupsAndFollowsTheWindowKind() {
        TfrmDXFView* w = coneWindow();
        dialog->CheckBox3->click();
        dialog->styleButton(RegionStyle::Vectorize)->click();
        openFor(w);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Create Regions"));
        QCOMPARE(dialog->size(), QSize(261, 274));
        QCOMPARE(frame->jobState().JobMode, quarvel::JobModeCode::MeshToolpaths);
        QCOMPARE(frame->jobState().TargetWindowIndex, 0);
        QVERIFY(dialog->styleButton(RegionStyle::SingleDepth)->isChecked());
        QVERIFY(dialog->rbOneDepth->isChecked());
        QVERIFY(!dialog->TopGroup->isEnabled());
        QVERIFY(dialog->Edit1->isEnabled() && dialog->Edit4->isEnabled());
        QVERIFY(!dialog->Edit2->isEnabled() && !dialog->Button3->isEnabled());
        QVERIFY(!dialog->Edit8->isEnabled() && !dialog->Edit10->isEnabled());
        QVERIFY(dialog->CheckBox3->isChecked() && !dialog->Edit7->isEnabled());
        QCOMPARE(dialog->Edit1->text(), QStringLiteral("2.05"));  // half of 4.1

        // Style and Region Depths clicks.
        dialog->styleButton(RegionStyle::Topography)->click();
        QVERIFY(dialog->Edit1->isEnabled() && dialog->Edit2->isEnabled());
        QVERIFY(dialog->TopGroup->isEnabled() && dialog->Edit4->isEnabled());
        dialog->rbMultipleDepths->click();
        QVERIFY(!dialog->Edit4->isEnabled());
        dialog->styleButton(RegionStyle::Vectorize)->click();
        QVERIFY(!dialog->Edit1->isEnabled() && !dialog->Edit2->isEnabled());
        QVERIFY(!dialog->Edit4->isEnabled() && dialog->TopGroup->isEnabled());
        dialog->rbOneDepth->click();
        QVERIFY(dialog->Edit4->isEnabled());
        dialog->styleButton(RegionStyle::SingleDepth)->click();
        QVERIFY(dialog->Edit1->isEnabled() && !dialog->TopGroup->isEnabled());
        dialog->CheckBox1->click();
        QVERIFY(dialog->Edit5->isEnabled());
        dialog->CheckBox1->click();
        QVERIFY(!dialog->Edit5->isEnabled());

        // A Vector Conversion window enables Width and Depth.
        frame->jobState().JobMode = quarvel::JobModeCode::RasterToVector;
        auto* picture = qobject_cast<TfrmDXFView*>(frame->OpenMeshWindow());
        QCOMPARE(picture->kind(), MeshWindowKind::VectorConversion);
        dialog->showFor(picture);
        QVERIFY(dialog->Edit8->isEnabled() && dialog->Edit10->isEnabled());
    }

    void typingFilterDropsOtherCharactersBackspaceIncluded() {
        openFor(coneWindow());
        type(dialog->Edit1, QStringLiteral("1a-2.5"));
        QCOMPARE(dialog->Edit1->text(), QStringLiteral("12.5"));
        QTest::keyClick(dialog->Edit1, Qt::Key_Backspace);
        QCOMPARE(dialog->Edit1->text(), QStringLiteral("12.5"));
        dialog->Edit1->setCursorPosition(0);
        QTest::keyClick(dialog->Edit1, Qt::Key_Delete);
        QCOMPARE(dialog->Edit1->text(), QStringLiteral("2.5"));
        QTest::keyClick(dialog->Edit1, Qt::Key_Return);  // Enter is Create's
        QCOMPARE(frame->status().message(), QStringLiteral("1 Regions Created..."));
        type(dialog->Edit4, QStringLiteral("-0.1"));  // Cut Depth takes anything
        QCOMPARE(dialog->Edit4->text(), QStringLiteral("-0.1"));
        QTest::keyClick(dialog->Edit4, Qt::Key_Backspace);
        QCOMPARE(dialog->Edit4->text(), QStringLiteral("-0."));
    }

    void valueBoxesAreStoredWithinTheirLimits() {
        openFor(coneWindow());
        dialog->CheckBox2->click();
        dialog->CheckBox3->click();
        type(dialog->Edit6, QStringLiteral("0"));
        type(dialog->Edit7, QStringLiteral("-3"));
        const auto settings = quarvel::engine::MakeRunSettings(dialog->form().readParams(false), 1);
        QCOMPARE(settings.ReduceEvery, 1);
        QCOMPARE(settings.FilterMinSegments, 0);
    }

    void createOnAWindowThatIsNoMeshWindowDoesNothing() {
        frame->New1Click();
        dialog->showFor(frame->activeChild());
        frame->status().setMessage(QStringLiteral("before"));
        dialog->Button1Click();
        dialog->Button3Click();
        dialog->btnClearClick();
        QCOMPARE(frame->status().message(), QStringLiteral("before"));
        QVERIFY(prompts->messages.isEmpty());
    }

    void topographyRunsAppendAndUndoRemovesTheLastBatch() {
        TfrmDXFView* w = coneWindow();
        openFor(w);
        topography(QStringLiteral(".5"), QStringLiteral("2"), true);
        dialog->Button1Click();
        QCOMPARE(depthsOf(w->document()), (std::set<double>{0.5, 1.0, 1.5, 2.0}));
        const std::size_t first = w->document().Regions.size();
        QCOMPARE(frame->status().message(), QString::number(first) + " Regions Created...");
        QCOMPARE(frame->status().detail(), QString::number(first));
        QVERIFY(dialog->Button3->isEnabled());
        // Each level after the first was drawn onto the kept picture as it finished.
        QVERIFY(w->Draw3D->paintCount() >= 1);

        type(dialog->Edit2, QStringLiteral("3"));  // Z Step beyond Op Depth: one slice at 3
        dialog->Button1Click();
        const std::size_t second = w->document().Regions.size() - first;
        QCOMPARE(second, std::size_t{1});
        QVERIFY(depthsOf(w->document()).count(3.0));
        dialog->Button3Click();
        QCOMPARE(frame->status().message(),
                 QStringLiteral("The last %1 Regions were removed..").arg(second));
        QCOMPARE(w->document().Regions.size(), first);
        QCOMPARE(frame->status().detail(), QString::number(first));
        QVERIFY(!dialog->Button3->isEnabled());

        // Save commands follow the regions at the window's next activation.
        QVERIFY(!w->SaveDNC1->isEnabled());
        w->FormActivate();
        QVERIFY(w->SaveDNC1->isEnabled() && w->SaveDXF1->isEnabled());
    }

    void eachLevelIsDrawnOntoTheKeptPictureAsItFinishes() {
        TfrmDXFView* w = coneWindow();
        openFor(w);
        topography(QStringLiteral(".5"), QStringLiteral("4"), true);
        // At every pass of the event loop during the run: what the window shows so far.
        QList<int> blue, paints;
        std::function<void()> look = [&] {
            if (!dialog->isRunning()) return;
            blue << bluePixels(w->Draw3D->picture());
            paints << w->Draw3D->paintCount();
            QTimer::singleShot(0, dialog, look);
        };
        QCoreApplication::processEvents();  // the new window's own first paints
        QTimer::singleShot(0, dialog, look);
        const int paintsBefore = w->Draw3D->paintCount();
        dialog->Button1Click();
        QVERIFY(!blue.isEmpty());
        QCOMPARE(blue.first(), 0);
        QVERIFY(blue.last() > 0);  // levels appeared before the run ended
        for (int i = 1; i < blue.size(); ++i) QVERIFY(blue[i] >= blue[i - 1]);
        // One full paint puts the mesh on screen; the levels are only added to it.
        QVERIFY2(paints.last() - paintsBefore <= 1,
                 qPrintable(QStringLiteral("%1 full paints").arg(paints.last() - paintsBefore)));
    }

    void clearDisablesUndo() {
        TfrmDXFView* w = coneWindow();
        openFor(w);
        dialog->Button1Click();
        QVERIFY(dialog->Button3->isEnabled());
        dialog->btnClearClick();
        QVERIFY(w->document().Regions.empty());
        QCOMPARE(frame->status().detail(), QStringLiteral("0"));
        QCOMPARE(frame->status().message(), QStringLiteral("Ready..."));
        QVERIFY(!dialog->Button3->isEnabled());
    }

    void escapeDuringATopographyRunAppendsNothing() {
        TfrmDXFView* w = coneWindow();
        openFor(w);
        topography(QStringLiteral(".25"), QStringLiteral("4"), true);
        // Delivered at the run's first pass of the event loop.
        QCoreApplication::postEvent(
            dialog->Edit1, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        dialog->Button1Click();
        QVERIFY(w->document().Regions.empty());
        QCOMPARE(frame->status().message(), QStringLiteral("Process Cancelled..."));
        QVERIFY(!frame->jobState().CancelRequested);
    }

    void cancelButtonDuringARunStopsItAndHides() {
        TfrmDXFView* w = coneWindow();
        openFor(w);
        topography(QStringLiteral(".25"), QStringLiteral("4"), false);
        QTimer::singleShot(0, dialog->Button2, &QPushButton::click);
        dialog->Button1Click();
        QVERIFY(w->document().Regions.empty());
        QCOMPARE(frame->status().message(), QStringLiteral("Process Cancelled..."));
        QVERIFY(!dialog->isVisible());
    }

    void theDialogStaysWithItsWindowAndForgetsItWhenClosed() {
        TfrmDXFView* first = coneWindow();
        openFor(first);
        TfrmDXFView* other = coneWindow();  // becomes the active child
        dialog->Button1Click();
        QVERIFY(!first->document().Regions.empty());
        QVERIFY(other->document().Regions.empty());
        QCOMPARE(dialog->target(), first);

        first->parentWidget()->close();
        frame->status().setMessage(QStringLiteral("before"));
        dialog->Button1Click();
        QCOMPARE(frame->status().message(), QStringLiteral("No mesh window"));
        dialog->btnClearClick();
        QCOMPARE(frame->status().message(), QStringLiteral("No mesh window"));
        QVERIFY(other->document().Regions.empty());
    }

    void theRunFollowsTheWindowKindNotJobMode() {
        frame->jobState().JobMode = quarvel::JobModeCode::RasterToVector;
        auto* picture = qobject_cast<TfrmDXFView*>(frame->OpenMeshWindow());
        TfrmDXFView* mesh = coneWindow();  // an import meanwhile: JobMode 0
        // The picture: one pixel 5 levels darker than the white around it.
        quarvel::TZGrid grid(5, 5, 255);
        grid.at(2, 2) = 250;
        quarvel::PictureFacetList facets = quarvel::BuildFacetList(grid);
        quarvel::NullProgress quiet;
        quarvel::SortByLowestZ(facets, 0, static_cast<std::int64_t>(facets.size()) - 1, quiet);
        frame->jobState().FacetList = facets;
        frame->jobState().MeshBounds = mesh->document().Bounds;
        frame->jobState().GridColumns = 16;
        dialog->showFor(picture);
        type(dialog->Edit10, QStringLiteral("255"));  // Depth 255: Op Depth 2 is level 2
        type(dialog->Edit1, QStringLiteral("2"));
        dialog->Button1Click();
        QCOMPARE(frame->jobState().JobMode, quarvel::JobModeCode::MeshImport);
        QCOMPARE(frame->status().message(), QStringLiteral("1 Regions Created..."));
        QCOMPARE(picture->document().Regions.size(), std::size_t{1});
        QVERIFY(mesh->document().Regions.empty());
    }

    void aFieldThatIsNoNumberIsRefusedAndFocused() {
        TfrmDXFView* w = coneWindow();
        openFor(w);
        type(dialog->Edit4, QStringLiteral("1,5"));
        frame->status().setMessage(QStringLiteral("before"));
        dialog->Button1Click();
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(prompts->messages[0].text.startsWith(QStringLiteral("Cut Depth")));
        QVERIFY(w->document().Regions.empty());
        QCOMPARE(frame->status().message(), QStringLiteral("before"));
        QCOMPARE(dialog->focusWidget(), dialog->Edit4);
        QVERIFY(!dialog->Button3->isEnabled());
    }

    void duringARunOnlyCancelAndEscapeStayLive() {
        QTemporaryDir dir;
        auto* picture =
            qobject_cast<TfrmPicture*>(frame->openPicture(writeDiscPicture(dir.path(), 20)));
        TfrmDXFView* w = coneWindow();
        w->document().Regions.push_back({});
        w->FormActivate();
        w->document().Regions.clear();
        openFor(w);
        topography(QStringLiteral(".5"), QStringLiteral("3"), true);
        bool checked = false;
        QTimer::singleShot(0, dialog, [&] {
            checked = true;
            QVERIFY(dialog->isRunning());
            QVERIFY(!dialog->Button1->isEnabled() && !dialog->Button3->isEnabled());
            QVERIFY(!dialog->btnClear->isEnabled() && dialog->Button2->isEnabled());
            QVERIFY(!w->SaveDNC1->isEnabled() && !w->SaveDXF1->isEnabled());
            QVERIFY(!w->mnuClose->isEnabled());
            QVERIFY(!w->parentWidget()->close());  // the window stays open
            dialog->Button1Click();                // no second run inside the first
            dialog->btnClearClick();
            // Nor a new facet list and window while a run may be slicing the old list.
            const int windows = static_cast<int>(frame->childWindows().size());
            picture->mnuRasterToVector->trigger();
            QCOMPARE(static_cast<int>(frame->childWindows().size()), windows);
        });
        dialog->Button1Click();
        QVERIFY(checked);
        QCOMPARE(depthsOf(w->document()), (std::set<double>{0.5, 1.0, 1.5, 2.0, 2.5, 3.0}));
        QVERIFY(dialog->Button1->isEnabled() && dialog->btnClear->isEnabled());
        QVERIFY(w->SaveDNC1->isEnabled() && w->mnuClose->isEnabled());
    }

    void saveDialogsStartBesideTheMeshFile() {
        QTemporaryDir dir;
        TfrmDXFView* w = coneWindow();
        w->document().Caption = (dir.path() + QStringLiteral("/part.v2.dxf")).toStdString();
        openFor(w);
        dialog->Button1Click();
        w->FormActivate();
        QString folder, offered, suffix;
        prompts->fileChoice = [&](QFileDialog& d) {
            folder = d.directory().absolutePath();
            offered = QFileInfo(d.selectedFiles().value(0)).fileName();
            suffix = d.defaultSuffix();
            return false;  // the user cancels: nothing is written or reported
        };
        frame->status().setMessage(QStringLiteral("before"));
        w->SaveDXF1->trigger();
        QCOMPARE(folder, QDir(dir.path()).absolutePath());
        QCOMPARE(offered, QStringLiteral("part.v2.dxf"));
        QCOMPARE(suffix, QStringLiteral("Dxf"));
        w->SaveDNC1->trigger();
        QCOMPARE(offered, QStringLiteral("part.v2.dnc"));
        QCOMPARE(frame->status().message(), QStringLiteral("before"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 0);
    }

    // Save DNC writes for the machine and units chosen in the dialog, shows the run-time
    // estimate beside the count it keeps, and the next dialog offers the same choice.
    void saveDncWritesForTheChosenMachineAndRemembersIt() {
        TfrmDXFView* w = coneWindow();
        openFor(w);
        topography(QStringLiteral(".5"), QStringLiteral("2"), true);
        dialog->Button1Click();
        QVERIFY(w->document().Regions.size() > 1);
        w->FormActivate();
        QVERIFY(w->SaveDNC1->isEnabled());
        MachineChoice& choice = *dialog->machineChoice;
        QCOMPARE(choice.machines->currentText(), QStringLiteral("plain"));
        choice.machines->setCurrentIndex(choice.machines->findText(QStringLiteral("grbl")));

        QTemporaryDir dir;
        QString name;
        prompts->fileChoice = [&](QFileDialog& d) {
            d.selectFile(dir.path() + QLatin1Char('/') + name);
            return true;
        };
        QStringList estimates;
        for (const char* units : {"mm", "inch"}) {
            name = QLatin1String(units) + QStringLiteral(".dnc");
            choice.units->setCurrentIndex(choice.units->findText(QLatin1String(units)));
            w->SaveDNC1->trigger();
            QFile file(dir.path() + QLatin1Char('/') + name);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
            QVERIFY(lines.contains(qstrcmp(units, "mm") == 0 ? "G21" : "G20"));
            QCOMPARE(lines.last().trimmed(), QByteArray("M2"));
            QCOMPARE(frame->status().message(), QStringLiteral("%1 Regions written to %2")
                                                    .arg(w->document().Regions.size())
                                                    .arg(name));
            const QString detail = frame->status().detail();
            QVERIFY2(detail.startsWith(QStringLiteral("Estimated run time on grbl: 0:")),
                     qPrintable(detail));
            estimates << detail;
        }
        // The same numbers in inches are 25.4 times the distances.
        QVERIFY(estimates[0] < estimates[1]);

        TfrmToolPaths again(*frame);
        QCOMPARE(again.machineChoice->machines->currentText(), QStringLiteral("grbl"));
        QCOMPARE(again.machineChoice->units->currentText(), QStringLiteral("inch"));

        // A choice made in the other dialog shows when this one is shown again.
        {
            QWidget parent;
            MachineChoice other(&parent, 0, 0, 160, 25);
            other.machines->setCurrentIndex(other.machines->findText(QStringLiteral("mach3")));
            other.units->setCurrentIndex(other.units->findText(QStringLiteral("mm")));
            other.remember();
        }
        dialog->hide();
        openFor(w);
        QCOMPARE(choice.machines->currentText(), QStringLiteral("mach3"));
        QCOMPARE(choice.units->currentText(), QStringLiteral("mm"));
    }

    void rasterToVectorThenSavesMatchTheCommandLine() {
        QTemporaryDir dir;
        const QString picturePath = writeDiscPicture(dir.path(), 60);
        auto* picture = qobject_cast<TfrmPicture*>(frame->openPicture(picturePath));
        QVERIFY(picture && picture->mnuRasterToVector->isEnabled());
        picture->mnuRasterToVector->trigger();
        auto* w = qobject_cast<TfrmDXFView*>(frame->activeChild());
        QVERIFY(w);
        QCOMPARE(w->kind(), MeshWindowKind::VectorConversion);
        QCOMPARE(w->windowTitle(), QStringLiteral("Vector Conversion"));
        QCOMPARE(w->parentWidget()->size(), picture->parentWidget()->size());
        QCOMPARE(frame->status().message(), QStringLiteral("Done..."));
        QCOMPARE(dialog->target(), w);
        QCOMPARE(frame->jobState().TargetWindowIndex, 0);
        QVERIFY(dialog->Edit8->isEnabled());

        topography(QStringLiteral(".1"), QStringLiteral(".9"), true);
        type(dialog->Edit8, QStringLiteral("3"));
        type(dialog->Edit10, QStringLiteral("1"));
        type(dialog->Edit3, QStringLiteral("20"));
        type(dialog->Edit9, QStringLiteral(".5"));
        dialog->CheckBox2->click();
        type(dialog->Edit6, QStringLiteral("2"));
        dialog->Button1Click();
        QVERIFY(w->document().Regions.size() > 4);
        w->FormActivate();

        QString startFolder, offered;
        prompts->fileChoice = [&](QFileDialog& d) {
            startFolder = d.directory().absolutePath();
            offered = d.selectedFiles().value(0);
            const QString name = d.defaultSuffix() == QStringLiteral("Dnc")
                                     ? QStringLiteral("/app.dnc")
                                     : QStringLiteral("/app.dxf");
            d.selectFile(dir.path() + name);
            return true;
        };
        w->SaveDNC1->trigger();
        QCOMPARE(startFolder, QDir(dir.path()).absolutePath());
        QVERIFY2(offered.endsWith(QStringLiteral("disc.dnc")), qPrintable(offered));
        QCOMPARE(frame->status().message(),
                 QStringLiteral("%1 Regions written to app.dnc").arg(w->document().Regions.size()));
        w->SaveDXF1->trigger();
        QVERIFY(offered.endsWith(QStringLiteral("disc.dxf")));

        for (const QString& ext : {QStringLiteral("dnc"), QStringLiteral("dxf")}) {
            QProcess cli;
            cli.start(QStringLiteral(QUARVEL_CLI_PATH), {QStringLiteral("contours"),
                                                         picturePath,
                                                         QStringLiteral("-o"),
                                                         dir.path() + "/cli." + ext,
                                                         "--style",
                                                         "topography",
                                                         "--multiple-depths",
                                                         "--z-step",
                                                         ".1",
                                                         "--op-depth",
                                                         ".9",
                                                         "--width",
                                                         "3",
                                                         "--depth",
                                                         "1",
                                                         "--feed",
                                                         "20",
                                                         "--rapid",
                                                         ".5",
                                                         "--reduce",
                                                         "2"});
            QVERIFY(cli.waitForFinished(60000));
            QCOMPARE(cli.exitCode(), 0);
            const QByteArray mine = afterFirstLine(dir.path() + "/app." + ext);
            QVERIFY(!mine.isEmpty());
            QCOMPARE(mine, afterFirstLine(dir.path() + "/cli." + ext));
        }
    }
};

QTEST_MAIN(ToolPathsDialogTest)
#include "toolpaths_dialog_test.moc"
