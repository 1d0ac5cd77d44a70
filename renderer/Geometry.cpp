#include "renderer/Geometry.h"

#include <cmath>

namespace uv {

Vector3f SphericalToCartesian(float polarAngle, float azimuth, float radius) {
    const double r = radius;
    const double sinPolar = std::sin(static_cast<double>(polarAngle));
    return {static_cast<float>(r * sinPolar * std::cos(static_cast<double>(azimuth))),
            static_cast<float>(r * sinPolar * std::sin(static_cast<double>(azimuth))),
            static_cast<float>(r * std::cos(static_cast<double>(polarAngle)))};
}

}  // namespace uv
