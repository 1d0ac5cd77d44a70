// Times the day/night compositing against its plain per-pixel form at full
// map sizes and checks that both give the same bytes. Not a test: run it by
// hand, natively and under Wine.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "renderer/Compositing.h"
#include "renderer/CompositingReference.h"

namespace {

#ifdef _WIN32
// The shipping random source.
void Seed(unsigned seed) { std::srand(seed); }
int Random() { return std::rand(); }
#else
// The Windows runtime's generator: glibc's rand has another range.
std::uint32_t g_state = 1;
void Seed(unsigned seed) { g_state = seed; }
int Random() {
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7fff);
}
#endif

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct Timing {
    double mask = 1e30;
    double blend = 1e30;
    double Total() const { return mask + blend; }
};

bool RunSize(int w, int h, int repetitions) {
    const std::size_t size = uv::PixelBufferSize(w, h);
    std::vector<std::uint8_t> day(size), night(size), oracleMask(size), oracleOut(size), mask(size);
    for (std::size_t k = 0; k < size; ++k) {
        day[k] = static_cast<std::uint8_t>((k * 37 + (k / 7) * 11) & 0xff);
        night[k] = static_cast<std::uint8_t>((k * 13 + 91) & 0xff);
    }
    // 2004-06-21 12:00 UTC, the default band of 10%.
    const double longitude = -0.0074, declination = 0.40839;
    const double band = uv::BandWidthFraction(10);

    Timing oracle, product;
    bool same = true;
    for (int r = 0; r < repetitions; ++r) {
        auto t = std::chrono::steady_clock::now();
        uv::ReferenceComputeDayMask(oracleMask.data(), w, h, longitude, declination, band);
        oracle.mask = std::min(oracle.mask, Seconds(t));
        Seed(1);
        t = std::chrono::steady_clock::now();
        uv::ReferenceBlendDayNight(day.data(), night.data(), oracleMask.data(), oracleOut.data(), w, h, Random);
        oracle.blend = std::min(oracle.blend, Seconds(t));

        t = std::chrono::steady_clock::now();
        uv::ComputeDayMask(mask.data(), w, h, longitude, declination, band);
        product.mask = std::min(product.mask, Seconds(t));
        Seed(1);
        t = std::chrono::steady_clock::now();
        const std::uint8_t* out = uv::BlendDayNight(day.data(), night.data(), mask.data(), w, h, Random);
        product.blend = std::min(product.blend, Seconds(t));

        same = same && out != nullptr && mask == oracleMask && std::memcmp(out, oracleOut.data(), size) == 0;
    }
    uv::FreeCompositePixels();
    std::printf("%dx%d  plain: mask %7.1f ms  blend %7.1f ms  total %7.1f ms\n", w, h, oracle.mask * 1e3,
                oracle.blend * 1e3, oracle.Total() * 1e3);
    std::printf("%*s  fast:  mask %7.1f ms  blend %7.1f ms  total %7.1f ms\n", w >= 1000 && h >= 1000 ? 9 : 8, "",
                product.mask * 1e3, product.blend * 1e3, product.Total() * 1e3);
    std::printf("%*s  speed-up %.1fx (mask %.1fx, blend %.1fx), same bytes: %s\n", w >= 1000 && h >= 1000 ? 9 : 8,
                "", oracle.Total() / product.Total(), oracle.mask / product.mask, oracle.blend / product.blend,
                same ? "yes" : "NO");
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::printf("best of %d runs, 10%% band, sun of 2004-06-21 12:00 UTC\n", repetitions);
    bool same = RunSize(2048, 1024, repetitions);
    same = RunSize(4096, 2048, repetitions) && same;
    return same ? 0 : 1;
}
