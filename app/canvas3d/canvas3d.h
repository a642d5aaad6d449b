#pragma once
// The drawing a 3D panel hands to its paint handler: integer 3D points, projected by
// the core projection of the panel's view options, drawn with one pen and brush.
#include <QColor>
#include <QLine>
#include <QPainter>
#include <vector>

#include "view3d/projection.h"

namespace quarvel::app {

class TCanvas3D {
public:
    TCanvas3D(QPainter& painter, const view3d::Projection& projection);
    ~TCanvas3D();  // draws what is still gathered
    TCanvas3D(const TCanvas3D&) = delete;
    TCanvas3D& operator=(const TCanvas3D&) = delete;

    // Moves the pen to the projected point without drawing.
    void MovePen3D(int x, int y, int z);
    // A line with the current pen from the pen position to the projected point, which
    // becomes the new pen position.
    void DrawLine3D(int x, int y, int z);
    // The rectangle's corners (left, top), (right, top), (right, bottom), (left, bottom)
    // at depth z, drawn as one polygon with the current pen and brush.
    void FillQuadAtDepth(const view3d::PixelRect& rect, int z);
    void setPenColor(const QColor& color);
    QColor penColor() const { return painter_.pen().color(); }
    const view3d::Projection& projection() const { return projection_; }
    // Draws the lines gathered so far (done before any change of pen and at the end).
    void flush();

private:
    QPainter& painter_;
    view3d::Projection projection_;
    QPoint pen_;
    // Lines are drawn in batches: one call per thousands of lines instead of one each.
    std::vector<QLine> pending_;
};

}  // namespace quarvel::app
