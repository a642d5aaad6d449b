#pragma once
// The view options of a 3D panel: how its integer model points are turned, tilted,
// zoomed and shifted onto the screen.
namespace quarvel::view3d {

struct TView3DOptions {
    int Rotation = 345;    // degrees, turn about the vertical screen axis
    int Elevation = 345;   // degrees, tilt towards or away from the viewer
    int Tilt = 0;          // degrees, roll in the screen plane
    int Perspective = 15;  // strength of perspective; 0 = parallel projection
    int Zoom = 100;        // percent; 100 draws one unit per pixel
    bool ZoomText = true;
    int HorizOffset = 0;     // pixels
    int VertOffset = 0;      // pixels
    bool Orthogonal = true;  // oblique projection instead of the rotated one

    friend bool operator==(const TView3DOptions&, const TView3DOptions&) = default;
};

}  // namespace quarvel::view3d
