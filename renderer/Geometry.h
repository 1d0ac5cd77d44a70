// Points on the globe as vectors, shared by the day/night mask and the
// overlay lines.
#pragma once

namespace uv {

struct Vector3f {
    float x;
    float y;
    float z;
};

// (r sin(polar) cos(azimuth), r sin(polar) sin(azimuth), r cos(polar)).
// The polar angle is measured from the south pole (latitude + pi/2), the
// azimuth is the longitude. Computed in double precision and rounded once
// per coordinate, so every C runtime gives the same floats.
Vector3f SphericalToCartesian(float polarAngle, float azimuth, float radius);

}  // namespace uv
