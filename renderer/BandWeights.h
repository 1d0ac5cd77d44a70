// The day weight inside the twilight band, 255 - trunc(255 cos((u + 1) pi/4))
// for u in [-1, 1] rounded to single precision, as a step table: the weight is
// k for every u from the k-th step up to the next. The steps are found with
// the same cosine, so the table gives the formula's own results; within a few
// units in the last place of a step it evaluates the formula itself.
#pragma once

#include <cstdint>

namespace uv {

// The formula itself.
int BandWeightFormula(float u);

class BandWeightTable {
public:
    BandWeightTable();

    // u in [-1, 1].
    int operator()(float u) const {
        int k = guess_[static_cast<int>((u + 1.0f) * (kBuckets / 2))];
        while (k < 255 && step_[k + 1] <= u) ++k;
        while (k > 0 && step_[k] > u) --k;
        if (u < safeFrom_[k] || u >= safeTo_[k]) return BandWeightFormula(u);
        return k;
    }

    // The smallest u of weight k, for k in 1..255.
    float Step(int k) const { return step_[k]; }

private:
    static constexpr int kBuckets = 4096;
    float step_[257];
    float safeFrom_[256];
    float safeTo_[256];
    std::uint8_t guess_[kBuckets + 1];
};

}  // namespace uv
