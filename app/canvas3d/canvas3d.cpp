#include "canvas3d/canvas3d.h"

namespace quarvel::app {

namespace {
constexpr std::size_t kBatchLines = 16384;

QPoint projected(const view3d::Projection& p, int x, int y, int z) {
    const view3d::ScreenPoint s = view3d::Project(p, x, y, z);
    return {s.x, s.y};
}
}  // namespace

TCanvas3D::TCanvas3D(QPainter& painter, const view3d::Projection& projection)
    : painter_(painter), projection_(projection) {
    pending_.reserve(kBatchLines);
}

TCanvas3D::~TCanvas3D() { flush(); }

void TCanvas3D::MovePen3D(int x, int y, int z) { pen_ = projected(projection_, x, y, z); }

void TCanvas3D::DrawLine3D(int x, int y, int z) {
    const QPoint to = projected(projection_, x, y, z);
    pending_.emplace_back(pen_, to);
    pen_ = to;
    if (pending_.size() == kBatchLines) flush();
}

void TCanvas3D::FillQuadAtDepth(const view3d::PixelRect& r, int z) {
    flush();
    const QPoint corners[4] = {
        projected(projection_, r.left, r.top, z), projected(projection_, r.right, r.top, z),
        projected(projection_, r.right, r.bottom, z), projected(projection_, r.left, r.bottom, z)};
    painter_.drawPolygon(corners, 4);
}

void TCanvas3D::setPenColor(const QColor& color) {
    if (color == painter_.pen().color()) return;
    flush();
    QPen pen = painter_.pen();
    pen.setColor(color);
    painter_.setPen(pen);
}

void TCanvas3D::flush() {
    if (pending_.empty()) return;
    painter_.drawLines(pending_.data(), static_cast<int>(pending_.size()));
    pending_.clear();
}

}  // namespace quarvel::app
