// Geometry of the overlay lines in paint-cache pixels: grid, dawn/dusk line
// and the sun's meridians and parallel. The GDI side only draws these.
#pragma once

#include <vector>

#include "renderer/OverlayView.h"

namespace uv {

struct LineSegment {
    PixelPoint from;
    PixelPoint to;
};

// A polyline step: move the current position, or draw a line to the point.
struct PathStep {
    bool move;
    PixelPoint to;
};

// Row-major 3 x 3, applied to column vectors.
struct RotationMatrix {
    float m[3][3];
};

struct SphericalPoint {
    float polarAngle;
    float azimuth;
    float radius;
};

RotationMatrix RotationY(float angle);
RotationMatrix RotationZ(float angle);
RotationMatrix Multiply(const RotationMatrix& a, const RotationMatrix& b);
struct Vector3f;
Vector3f Multiply(const RotationMatrix& a, const Vector3f& v);
// Polar angle from the z axis; an x of exactly 0 gives azimuth 0.
SphericalPoint CartesianToSpherical(float x, float y, float z);

// Meridians from -180 to +180 (0 twice), then parallels from -90 to +90, in
// drawing order. Nothing for a step that is not positive.
std::vector<LineSegment> GridLines(const OverlayView& view, float longitudeStep, float latitudeStep);

// The terminator as Wt + 1 samples; where it leaves through an edge it runs
// horizontally to that edge and continues from the opposite one.
std::vector<PathStep> DawnDuskPath(const OverlayView& view);

// Where the sun's centre stands depthDegrees below the horizon (no
// refraction; 6, 12 and 18 for the ends of civil, nautical and astronomical
// twilight), drawn in the same way. Near an equinox the deeper lines close
// around the night side without reaching a pole; the path wraps at the edges
// like the terminator. Nothing for a depth outside (0, 90).
std::vector<PathStep> TwilightPath(const OverlayView& view, double depthDegrees);

LineSegment MiddayLine(const OverlayView& view);
LineSegment MidnightLine(const OverlayView& view);
LineSegment SunLatitudeLine(const OverlayView& view);

}  // namespace uv
