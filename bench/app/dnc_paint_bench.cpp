// The DNC viewer offscreen with a 1,000,000-line raster relief program: loading it
// through the import (reading, text pane, first plot), a full paint of the moves into the
// panel's off-screen picture in the Isometric view (panel points kept from the last
// paint, and made anew), and the draft box each mouse move of a drag paints.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>

#include "dncview/dnc_import.h"
#include "dncview/dnc_view.h"
#include "shell/quarvel_frame.h"
#include "support/raster_program.h"

namespace {

using namespace quarvel;

const QString& programFile() {
    static const QString path = [] {
        const QString file = QDir::temp().filePath("quarvel_bench_dnc_view_1m.dnc");
        QFile out(file);
        if (out.open(QIODevice::WriteOnly))
            out.write(QByteArray::fromStdString(bench::RasterProgramText()));
        return file;
    }();
    return path;
}

struct Scene {
    app::TQuarvelFrame frame;
    app::TfrmDnc* window = nullptr;
    Scene() {
        app::InstallDncViewer(frame);
        frame.resize(1900, 900);
        frame.show();
        window = app::ImportDncFile(frame, programFile());
        // A panel of about 800 x 600, the size the mesh window's benchmark paints.
        window->parentWidget()->resize(2400, 640);
        QApplication::processEvents();
        window->placeSplitter();
        QApplication::processEvents();
        window->Draw3D->paintPicture();
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

void BM_ImportDnc1M(benchmark::State& state) {
    app::TQuarvelFrame& frame = scene().frame;
    for (auto _ : state) {
        app::TfrmDnc* w = app::ImportDncFile(frame, programFile());
        w->Draw3D->paintPicture();
        state.PauseTiming();
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) sub->close();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["lines"] = static_cast<double>(scene().window->document().lineCount);
}

void BM_FullPaint1MLines(benchmark::State& state) {
    app::TfrmDnc* w = scene().window;
    w->DraftMode = false;
    w->Draw3D->paintPicture();
    for (auto _ : state) w->Draw3D->paintPicture();
    state.SetItemsProcessed(
        static_cast<std::int64_t>(state.iterations() * w->document().moves.size()));
    state.counters["panel_w"] = w->Draw3D->width();
    state.counters["panel_h"] = w->Draw3D->height();
}

// Each resize by one pixel changes the scale, so the panel points are made again.
void BM_FullPaintNewScale1MLines(benchmark::State& state) {
    app::TfrmDnc* w = scene().window;
    w->DraftMode = false;
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w->Draw3D->resize(w->Draw3D->width(), w->Draw3D->height() + (++step % 2 == 0 ? 1 : -1));
        state.ResumeTiming();
        w->Draw3D->paintPicture();
    }
    state.SetItemsProcessed(
        static_cast<std::int64_t>(state.iterations() * w->document().moves.size()));
}

void BM_DraftBoxPerMove(benchmark::State& state) {
    app::TfrmDnc* w = scene().window;
    w->DraftMode = true;
    int turn = 0;
    for (auto _ : state) {
        w->Draw3D->setRotation(345 - (++turn % 360));
        w->Draw3D->paintPicture();
    }
    w->DraftMode = false;
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_ImportDnc1M)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FullPaint1MLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullPaintNewScale1MLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DraftBoxPerMove)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
