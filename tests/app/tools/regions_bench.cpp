// Times a Topography run of 32 levels on a 1000 x 1000 picture through the windows
// (Raster to Vector, the dialog's Create with each level drawn, Save DNC) against
// quarvel-cli contours with the same values, and checks both files agree after line 1.
// usage: quarvel_regions_bench QUARVEL_CLI [SIZE]   (run with QT_QPA_PLATFORM=offscreen)
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cmath>
#include <iostream>

#include "engine/raster_to_vector.h"
#include "meshview/dxf_view.h"
#include "meshview/region_tools.h"
#include "meshview/toolpaths_dialog.h"
#include "picture/picture_setup.h"
#include "picture/picture_window.h"
#include "scripted_prompts.h"
#include "shell/quarvel_application.h"
#include "shell/quarvel_frame.h"

using namespace quarvel::app;

namespace {

// Rings around the centre on a slope: every level crosses the picture many times.
QString writePicture(const QString& folder, int size) {
    QImage image(size, size, QImage::Format_RGB888);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double r = std::hypot(x - size / 2.0, y - size / 2.0);
            const double level =
                127.5 + 90 * std::sin(r / 37.0) * std::cos(x / 91.0) + 30 * std::sin(y / 53.0);
            const int grey = std::clamp(static_cast<int>(level), 0, 255);
            image.setPixel(x, y, qRgb(grey, grey, grey));
        }
    }
    const QString path = folder + QStringLiteral("/bench.bmp");
    image.save(path);
    return path;
}

QByteArray afterFirstLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray all = file.readAll();
    return all.mid(all.indexOf('\n') + 1);
}

}  // namespace

int main(int argc, char** argv) {
    QuarvelApplication app(argc, argv);
    if (argc < 2) return 2;
    const QString cliPath = QString::fromLocal8Bit(argv[1]);
    const int size = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1000;
    QTemporaryDir dir;
    const QString picturePath = writePicture(dir.path(), size);

    auto scripted = std::make_unique<quarvel::test::ScriptedPrompts>();
    auto* prompts = scripted.get();
    TQuarvelFrame frame(std::move(scripted));
    installPictureWindows(frame);
    TfrmToolPaths* dialog = InstallRegionTools(frame);
    frame.resize(1100, 900);
    frame.show();
    auto* picture = qobject_cast<TfrmPicture*>(frame.openPicture(picturePath));
    QElapsedTimer clock;
    clock.start();
    picture->mnuRasterToVector->trigger();
    const qint64 prepareMs = clock.restart();
    auto* window = qobject_cast<TfrmDXFView*>(frame.activeChild());
    dialog->styleButton(quarvel::engine::RegionStyle::Topography)->click();
    dialog->rbMultipleDepths->click();
    dialog->Edit2->setText(QStringLiteral(".03125"));
    dialog->Edit1->setText(QStringLiteral("1"));
    dialog->Button1Click();
    const qint64 createMs = clock.restart();
    window->FormActivate();
    prompts->fileChoice = [&](QFileDialog& d) {
        d.selectFile(dir.path() + QStringLiteral("/app.dnc"));
        return true;
    };
    window->SaveDNC1->trigger();
    const qint64 saveMs = clock.restart();
    const qint64 windowsMs = prepareMs + createMs + saveMs;

    // The same run without windows, drawing or event passes, in this process.
    quarvel::engine::MeshDocument plain;
    quarvel::NullProgress quiet;
    clock.restart();
    (void)quarvel::engine::RunCreateRegions(plain, true, dialog->form().readParams(true),
                                            frame.jobState(), quiet);
    const qint64 plainMs = clock.restart();
    const quarvel::imaging::PixelImage& pixels = picture->TP->model().Picture();
    const quarvel::PixelView24 view{pixels.width, pixels.height, pixels.rowBytes(),
                                    pixels.pixels.data()};
    quarvel::JobState job;
    clock.restart();
    (void)quarvel::engine::PrepareRasterToVector(view, job, plain, quiet);
    const qint64 plainPrepareMs = clock.restart();

    QProcess cli;
    clock.restart();
    cli.start(cliPath, {QStringLiteral("contours"), picturePath, QStringLiteral("-o"),
                        dir.path() + QStringLiteral("/cli.dnc"), "--style", "topography",
                        "--multiple-depths", "--z-step", ".03125", "--op-depth", "1"});
    cli.waitForFinished(-1);
    const qint64 cliMs = clock.elapsed();
    const bool same =
        afterFirstLine(dir.path() + "/app.dnc") == afterFirstLine(dir.path() + "/cli.dnc");
    std::cout << "without windows: raster to vector " << plainPrepareMs << " ms, create " << plainMs
              << " ms\n";
    std::cout << "picture " << size << " x " << size << ", " << window->document().Regions.size()
              << " regions\n"
              << "windows: raster to vector " << prepareMs << " ms, create " << createMs << " ms ("
              << window->Draw3D->paintCount() << " full paints), save dnc " << saveMs
              << " ms, total " << windowsMs << " ms\n"
              << "quarvel-cli contours: " << cliMs << " ms (whole process, BMP read included)\n"
              << "ratio windows / cli: " << static_cast<double>(windowsMs) / cliMs << "\n"
              << "files after line 1: " << (same ? "identical" : "DIFFERENT") << "\n";
    return same ? 0 : 1;
}
