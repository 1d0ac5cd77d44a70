#include "renderer/BandWeights.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace uv {
namespace {

float Next(float f, int ulps) {
    for (int k = 0; k < ulps; ++k) f = std::nextafter(f, 2.0f);
    for (int k = 0; k > ulps; --k) f = std::nextafter(f, -2.0f);
    return f;
}

TEST(BandWeightTable, KnownPointsOfTheCurve) {
    const BandWeightTable table;
    EXPECT_EQ(table(-1.0f), 0);
    EXPECT_EQ(table(0.0f), 75);  // the sun on the horizon
    EXPECT_EQ(table(-0.0f), 75);
    EXPECT_EQ(table(1.0f), 255);
    EXPECT_EQ(table(Next(-1.0f, 1)), BandWeightFormula(Next(-1.0f, 1)));
}

TEST(BandWeightTable, AgreesWithTheFormulaAroundEveryStep) {
    const BandWeightTable table;
    for (int k = 1; k <= 255; ++k) {
        const float step = table.Step(k);
        ASSERT_EQ(BandWeightFormula(step), k);
        for (int d = -300; d <= 300; ++d) {
            const float u = Next(step, d);
            if (u < -1.0f || u > 1.0f) continue;
            ASSERT_EQ(table(u), BandWeightFormula(u)) << "step " << k << " offset " << d;
        }
    }
}

TEST(BandWeightTable, AgreesWithTheFormulaAcrossTheBand) {
    const BandWeightTable table;
    // Evenly spaced values, plus every float of the last few thousand below 1
    // and above -1, where the floats are densest and sparsest in weight.
    for (int n = 0; n <= 2000000; ++n) {
        const float u = static_cast<float>(-1.0 + 2.0 * n / 2000000);
        ASSERT_EQ(table(u), BandWeightFormula(u)) << u;
    }
    float u = 1.0f, v = -1.0f;
    for (int n = 0; n < 5000; ++n, u = Next(u, -1), v = Next(v, 1)) {
        ASSERT_EQ(table(u), BandWeightFormula(u)) << u;
        ASSERT_EQ(table(v), BandWeightFormula(v)) << v;
    }
}

}  // namespace
}  // namespace uv
