// Painting a mesh window offscreen: the full wire frame of a 1,000,000-edge mesh into the
// panel's off-screen picture in the Isometric view, and the draft box that each mouse
// move of a drag paints.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiSubWindow>
#include <cmath>

#include "meshview/dxf_view.h"
#include "meshview/mesh_import.h"
#include "shell/quarvel_frame.h"
#include "geom/ordering.h"

namespace {

using namespace quarvel;

double heightAt(int x, int y) { return 0.25 * (1 + std::sin(x / 41.0) * std::cos(y / 29.0)); }

// 500 x 1000 squares of three edges each (two sides and the diagonal): 1,500,000 edges
// trimmed to exactly 1,000,000.
TEdgeArray surfaceEdges() {
    TEdgeArray edges;
    edges.reserve(1'000'000);
    for (int r = 0; r < 1000 && edges.size() < 1'000'000; ++r) {
        for (int c = 0; c < 500 && edges.size() < 1'000'000; ++c) {
            const Vertex3 a{c * 0.01, r * 0.01, -heightAt(c, r)};
            const Vertex3 b{(c + 1) * 0.01, r * 0.01, -heightAt(c + 1, r)};
            const Vertex3 d{(c + 1) * 0.01, (r + 1) * 0.01, -heightAt(c + 1, r + 1)};
            for (const Edge& e : {Edge{a, b}, Edge{b, d}, Edge{d, a}}) {
                if (edges.size() < 1'000'000) edges.push_back(e);
            }
        }
    }
    return edges;
}

struct Scene {
    app::TQuarvelFrame frame;
    app::TfrmDXFView* window = nullptr;
    Scene() {
        app::InstallMeshWindows(frame);
        frame.resize(1000, 800);
        window = qobject_cast<app::TfrmDXFView*>(frame.OpenMeshWindow());
        window->parentWidget()->resize(800, 600);
        engine::MeshDocument& mesh = window->document();
        mesh.Edges = surfaceEdges();
        EdgeExtents(mesh.Edges, mesh.Bounds);
        window->mnuIsometricClick();
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

void BM_FullPaint1MEdges(benchmark::State& state) {
    app::TfrmDXFView* w = scene().window;
    w->DraftMode = false;
    w->Draw3D->paintPicture();  // the picture is made once, then kept
    for (auto _ : state) w->Draw3D->paintPicture();
    state.SetItemsProcessed(
        static_cast<std::int64_t>(state.iterations() * w->document().Edges.size()));
}

void BM_DraftBoxPerMove(benchmark::State& state) {
    app::TfrmDXFView* w = scene().window;
    w->DraftMode = true;
    int turn = 0;
    for (auto _ : state) {
        w->Draw3D->setRotation(345 - (++turn % 360));  // what a one-pixel drag does
        w->Draw3D->paintPicture();
    }
    w->DraftMode = false;
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_FullPaint1MEdges)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DraftBoxPerMove)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
