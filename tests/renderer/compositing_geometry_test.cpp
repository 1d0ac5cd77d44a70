#include "renderer/Geometry.h"

#include <gtest/gtest.h>

namespace uv {
namespace {

constexpr float kPiF = 3.14159265f;

TEST(SphericalToCartesian, PolarAngleFromTheSouthPoleAzimuthEastward) {
    // The south pole, the equator at longitude 0 and at 90 east, the north pole.
    const Vector3f south = SphericalToCartesian(0.0f, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(south.z, 1.0f);
    EXPECT_FLOAT_EQ(south.x, 0.0f);
    const Vector3f zero = SphericalToCartesian(kPiF / 2, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(zero.x, 1.0f);
    EXPECT_NEAR(zero.y, 0.0f, 1e-7);
    EXPECT_NEAR(zero.z, 0.0f, 1e-7);
    const Vector3f east = SphericalToCartesian(kPiF / 2, kPiF / 2, 1.0f);
    EXPECT_NEAR(east.x, 0.0f, 1e-7);
    EXPECT_FLOAT_EQ(east.y, 1.0f);
    const Vector3f north = SphericalToCartesian(kPiF, 0.3f, 1.0f);
    EXPECT_FLOAT_EQ(north.z, -1.0f);
}

TEST(SphericalToCartesian, ScalesWithTheRadius) {
    const Vector3f unit = SphericalToCartesian(1.1f, -2.0f, 1.0f);
    const Vector3f big = SphericalToCartesian(1.1f, -2.0f, 250.0f);
    EXPECT_FLOAT_EQ(big.x, unit.x * 250.0f);
    EXPECT_FLOAT_EQ(big.y, unit.y * 250.0f);
    EXPECT_FLOAT_EQ(big.z, unit.z * 250.0f);
    EXPECT_NEAR(unit.x * unit.x + unit.y * unit.y + unit.z * unit.z, 1.0f, 1e-6);
}

}  // namespace
}  // namespace uv
