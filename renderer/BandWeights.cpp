#include "renderer/BandWeights.h"

#include <cmath>
#include <cstring>

namespace uv {
namespace {

constexpr double kPi = 3.141592653589793;
// Steps are trusted this many floats away from where the table puts them.
constexpr std::int32_t kGuardUlps = 4;

// Floats in [-1, 1] in their numeric order as integers.
std::int32_t Order(float f) {
    const float magnitude = std::fabs(f);
    std::int32_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    return f < 0 ? -bits : bits;
}

float FromOrder(std::int32_t order) {
    const std::int32_t bits = order < 0 ? -order : order;
    float magnitude;
    std::memcpy(&magnitude, &bits, sizeof magnitude);
    return order < 0 ? -magnitude : magnitude;
}

}  // namespace

int BandWeightFormula(float u) {
    return 255 - static_cast<int>(255.0 * std::cos((u + 1.0) * 0.5 * (kPi / 2)));
}

BandWeightTable::BandWeightTable() {
    const std::int32_t lowest = Order(-1.0f), highest = Order(1.0f);
    step_[0] = -1.0f;
    for (int k = 1; k <= 255; ++k) {
        // The weight rises from 0 at -1 to 255 at 1: bisect for its first
        // float of at least k.
        std::int32_t below = lowest, at = highest;
        while (at - below > 1) {
            const std::int32_t mid = below + (at - below) / 2;
            if (BandWeightFormula(FromOrder(mid)) >= k) {
                at = mid;
            } else {
                below = mid;
            }
        }
        step_[k] = FromOrder(at);
    }
    step_[256] = 2.0f;
    for (int k = 0; k <= 255; ++k) {
        safeFrom_[k] = k == 0 ? -2.0f : FromOrder(Order(step_[k]) + kGuardUlps);
        safeTo_[k] = k == 255 ? 2.0f : FromOrder(Order(step_[k + 1]) - kGuardUlps);
    }
    int k = 0;
    for (int b = 0; b <= kBuckets; ++b) {
        const double start = -1.0 + 2.0 * b / kBuckets;
        while (k < 255 && step_[k + 1] <= start) ++k;
        guess_[b] = static_cast<std::uint8_t>(k);
    }
}

}  // namespace uv
