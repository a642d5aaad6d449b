#pragma once
// What the slicers read of a triangle list, whether a mesh's full triangles or a
// picture's compact ones: its length, the sorted corner heights of each triangle, and
// the triangle itself. Two pointers; the list must outlive the view.
#include <cstddef>

#include "geom/picture_facets.h"
#include "geom/types.h"

namespace quarvel {

class FacetView {
public:
    // Implicit, so that either list passes where a view is asked for.
    FacetView(const TTriangleArray& triangles) : mesh_(&triangles) {}
    FacetView(const PictureFacetList& facets) : picture_(&facets) {}

    std::size_t size() const { return mesh_ ? mesh_->size() : picture_->size(); }
    bool empty() const { return size() == 0; }
    double lowZ(std::size_t k) const { return mesh_ ? (*mesh_)[k].p1.z : picture_->facets[k].low; }
    double midZ(std::size_t k) const { return mesh_ ? (*mesh_)[k].p2.z : picture_->facets[k].mid; }
    double topZ(std::size_t k) const { return mesh_ ? (*mesh_)[k].p3.z : picture_->facets[k].top; }
    Triangle triangle(std::size_t k) const { return mesh_ ? (*mesh_)[k] : picture_->triangle(k); }

private:
    const TTriangleArray* mesh_ = nullptr;
    const PictureFacetList* picture_ = nullptr;
};

}  // namespace quarvel
