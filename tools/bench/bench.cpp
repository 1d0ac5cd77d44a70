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

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

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

// CPU time of this thread, so other work on a shared machine counts less.
double ThreadSeconds() {
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) * 1e-7;
#else
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
#endif
}

struct Stopwatch {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    double cpu = ThreadSeconds();
};

struct Phase {
    double bestWall = 1e30;
    double totalCpu = 0;
    int runs = 0;
    void Add(const Stopwatch& since) {
        bestWall = std::min(
            bestWall, std::chrono::duration<double>(std::chrono::steady_clock::now() - since.wall).count());
        totalCpu += ThreadSeconds() - since.cpu;
        ++runs;
    }
    double Cpu() const { return totalCpu / runs; }
};

struct Timing {
    Phase mask;
    Phase blend;
};

void Print(const char* label, const Timing& t) {
    std::printf("  %-6s mask %7.1f ms  blend %7.1f ms  total %7.1f ms CPU   (best wall %7.1f ms)\n", label,
                t.mask.Cpu() * 1e3, t.blend.Cpu() * 1e3, (t.mask.Cpu() + t.blend.Cpu()) * 1e3,
                (t.mask.bestWall + t.blend.bestWall) * 1e3);
}

bool RunSize(int w, int h, int repetitions) {
    const std::size_t size = uv::PixelBufferSize(w, h);
    std::vector<std::uint8_t> day(size), night(size), oracleMask(size), oracleOut(size), mask(size / 3);
    for (std::size_t k = 0; k < size; ++k) {
        day[k] = static_cast<std::uint8_t>((k * 37 + (k / 7) * 11) & 0xff);
        night[k] = static_cast<std::uint8_t>((k * 13 + 91) & 0xff);
    }
    // 2004-06-21 12:00 UTC, the default band of 10%.
    const double longitude = 0.0, declination = 0.40818;
    const double band = uv::BandWidthFraction(10);

    Timing oracle, product, graded;
    uv::BlendBuffer blend;
    bool same = true;
    for (int r = 0; r < repetitions; ++r) {
        Stopwatch t;
        uv::ReferenceComputeDayMask(oracleMask.data(), w, h, longitude, declination, band);
        oracle.mask.Add(t);
        Seed(1);
        t = Stopwatch();
        uv::ReferenceBlendDayNight(day.data(), night.data(), oracleMask.data(), oracleOut.data(), w, h,
                                   Random);
        oracle.blend.Add(t);

        // The fast form runs more often: its phases are short.
        const std::uint8_t* out = nullptr;
        for (int k = 0; k < 4; ++k) {
            t = Stopwatch();
            uv::ComputeDayMask(mask.data(), w, h, longitude, declination, band);
            product.mask.Add(t);
            std::uint32_t state = 1;
            t = Stopwatch();
            out = uv::BlendDayNight(blend, day.data(), night.data(), mask.data(), w, h, state);
            product.blend.Add(t);
        }
        bool sameMask = true;
        for (std::size_t k = 0; k < mask.size(); ++k) sameMask = sameMask && mask[k] == oracleMask[3 * k + 2];
        same = same && out != nullptr && sameMask && std::memcmp(out, oracleOut.data(), size) == 0;
        // After the comparison: the graded blend reuses the blend's buffer.
        std::vector<std::uint8_t> gradedMask(mask.size());
        for (int k = 0; k < 4; ++k) {
            t = Stopwatch();
            uv::ComputeGradedDayMask(gradedMask.data(), w, h, longitude, declination);
            graded.mask.Add(t);
            std::uint32_t state = 1;
            t = Stopwatch();
            uv::BlendDayNight(blend, day.data(), night.data(), gradedMask.data(), w, h, state);
            graded.blend.Add(t);
        }
    }
    const double plain = oracle.mask.Cpu() + oracle.blend.Cpu();
    const double fast = product.mask.Cpu() + product.blend.Cpu();
    std::printf("%dx%d\n", w, h);
    Print("plain", oracle);
    Print("fast", product);
    std::printf(
        "  speed-up %.1fx CPU (mask %.1fx, blend %.1fx), %.1fx best wall; same bytes: %s\n", plain / fast,
        oracle.mask.Cpu() / product.mask.Cpu(), oracle.blend.Cpu() / product.blend.Cpu(),
        (oracle.mask.bestWall + oracle.blend.bestWall) / (product.mask.bestWall + product.blend.bestWall),
        same ? "yes" : "NO");
    Print("graded", graded);
    std::printf("  graded twilight %.2fx the band's CPU (mask %.2fx, blend %.2fx)\n",
                (graded.mask.Cpu() + graded.blend.Cpu()) / fast, graded.mask.Cpu() / product.mask.Cpu(),
                graded.blend.Cpu() / product.blend.Cpu());
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::printf("%d runs of the plain form, %d of the fast one; 10%% band, sun of 2004-06-21 12:00 UTC\n",
                repetitions, 4 * repetitions);
    bool same = RunSize(2048, 1024, repetitions);
    same = RunSize(4096, 2048, repetitions) && same;
    return same ? 0 : 1;
}
