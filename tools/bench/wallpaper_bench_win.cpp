// Times one renewal of the wallpaper (render, write the BMP file, set it)
// against the hosted render of the same size (what the desktop host does per
// new picture: blend, rotation, paint cache with overlays, copy to the
// window), both in one run, and prints their ratio. Before that, a table of
// the stages of the hosted picture, each against its plain per-pixel form
// where it has one. Not a test: run it by hand under Wine, in a prefix whose
// wallpaper may change while it runs (the one it finds is put back at the
// end).
//
// Then it counts the bytes the wallpaper writes in an hour with the default
// settings (a renewal every 3 minutes): "before" is a renewal that writes
// everything (the whole picture file and the three values), "now" the
// wallpaper mode, where a renewal whose picture did not change writes
// nothing and the placement values are written once.
//
//   umbravue-wallpaper-bench [runs] [WIDTHxHEIGHT ...]
//
// The sizes are the screen's; 1920x1080 and 3840x2160 when none is given.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "common/ResourceIds.h"
#include "common/WinHandles.h"
#include "settings/Burst.h"
#include "common/Registry_win.h"
#include "ways/UserWallpaper_win.h"
#include "ways/WallpaperJournal.h"
#include "ways/WallpaperFile.h"
#include "ways/WallpaperRenderer_win.h"
#include "common/WideText_win.h"
#include "renderer/BitmapPixels_win.h"
#include "renderer/BmpFile.h"
#include "renderer/Compositing.h"
#include "renderer/CompositingReference.h"
#include "renderer/MapPicture_win.h"
#include "renderer/PaintCache_win.h"
#include "renderer/RenderContext_win.h"
#include "renderer/RenderSettings.h"
#include "solar/CityDatabase.h"
#include "solar/SunModel.h"

namespace {

using uv::MessageId;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A burst with the usual overlays on, as the controller builds it.
std::vector<uv::SettingsPost> TypicalBurst(uv::CitySelection& selection) {
    uv::SettingsRecord s;
    s.overlayGrid = s.overlayDawnDusk = s.overlayCities = s.cityLabels = 1;
    s.overlayStatus = s.statusSunLocation = s.statusSunrise = s.statusSunset = 1;
    s.glyphShowSun = 1;
    int lastY = -1;
    return uv::BuildSettingsBurst(s, &selection, lastY).posts;
}

// The shortest of several runs: on a shared machine the others were
// interrupted.
struct Best {
    double seconds = 1e30;
    template <typename Step>
    void Time(Step&& step) {
        const auto t = std::chrono::steady_clock::now();
        step();
        GdiFlush();
        seconds = std::min(seconds, Seconds(t));
    }
    double Ms() const { return seconds * 1e3; }
};

void PrintStage(const char* name, const Best* plain, const Best& now) {
    if (plain) {
        std::printf("  %-34s %9.1f %9.1f %8.1fx\n", name, plain->Ms(), now.Ms(),
                    plain->seconds / now.seconds);
    } else {
        std::printf("  %-34s %9s %9.1f\n", name, "-", now.Ms());
    }
}

// The hosted picture stage by stage, as the desktop host makes it: the map
// work on the render worker, then rotation and paint cache on the desktop
// thread. The plain form draws from the runtime's rand as the blend did when
// it called it once per pixel.
void PrintStages(const uv::MapImages& images, const uv::RenderSettings& settings, const CityDatabase& cities,
                 uv::RenderContext& context, int cx, int cy, int runs) {
    const int w = images.width, h = images.height;
    double declination = 0.0, longitude = 0.0;
    SubsolarPointFor(settings.exactSun != 0, settings.renderTime, declination, longitude);
    const std::uint8_t* night =
        settings.useGeneratedNight ? images.generatedNight.data() : images.night.data();
    std::vector<std::uint8_t> mask(uv::MaskBufferSize(w, h)), plainMask(images.day.size()),
        plainOut(images.day.size());
    uv::SelectedBitmap rendered, display, cache;
    const uv::MapFit fit = uv::FitPaintCache(settings, cx, cy, w, h);
    if (!rendered.Fit(w, h) || !display.Fit(w, h) || !cache.Fit(fit.targetWidth, fit.targetHeight)) {
        std::printf("could not make the bitmaps\n");
        return;
    }
    uv::RenderSettings bare = settings;
    bare.overlayGrid = bare.overlayDawnDusk = bare.overlayMidday = bare.overlayMidnight = 0;
    bare.overlaySunLatitude = bare.overlayCities = bare.cityLabels = bare.overlayStatus = bare.glyphShowSun =
        0;
    const uv::ShownSun sun{longitude, declination};

    Best plainMaskTime, plainBlend, maskTime, blend, bits, rotation, stretch, overlays, mapWork;
    uv::BlendBuffer blendBuffer;
    std::uint32_t state = uv::kFreshRandomState;
    for (int r = 0; r < runs; ++r) {
        plainMaskTime.Time([&] {
            uv::ReferenceComputeDayMask(plainMask.data(), w, h, longitude, declination,
                                        settings.dawnDuskWidth);
        });
        std::srand(1);
        plainBlend.Time([&] {
            uv::ReferenceBlendDayNight(images.day.data(), night, plainMask.data(), plainOut.data(), w, h,
                                       std::rand);
        });
        const std::uint8_t* composite = nullptr;
        const auto start = std::chrono::steady_clock::now();
        maskTime.Time(
            [&] { uv::ComputeDayMask(mask.data(), w, h, longitude, declination, settings.dawnDuskWidth); });
        blend.Time([&] {
            composite = uv::BlendDayNight(blendBuffer, images.day.data(), night, mask.data(), w, h, state);
        });
        bits.Time([&] { uv::WriteBitmapPixels(rendered.dc.get(), w, h, composite); });
        mapWork.seconds = std::min(mapWork.seconds, Seconds(start));
        rotation.Time([&] {
            uv::RotatePicture(display.dc.get(), rendered.dc.get(), w, h, uv::DisplayShift(settings, sun, w));
        });
        stretch.Time([&] {
            uv::BuildPaintCache(cache.dc.get(), fit, display.dc.get(), bare, cities, sun, settings.renderTime,
                                context);
        });
        overlays.Time([&] {
            uv::DrawOverlays(cache.dc.get(), fit, settings, cities, sun, settings.renderTime, context);
        });
    }
    std::printf("%dx%d screen, %dx%d map: stages in ms, best of %d   plain form  this build   ratio\n", cx,
                cy, w, h, runs);
    PrintStage("mask (worker)", &plainMaskTime, maskTime);
    PrintStage("blend (worker)", &plainBlend, blend);
    PrintStage("bits (worker)", nullptr, bits);
    Best plainMapWork;
    plainMapWork.seconds = plainMaskTime.seconds + plainBlend.seconds + bits.seconds;
    PrintStage("map work: mask, blend, bits", &plainMapWork, mapWork);
    PrintStage("rotation (desktop thread)", nullptr, rotation);
    PrintStage("stretch (desktop thread)", nullptr, stretch);
    PrintStage("overlays (desktop thread)", nullptr, overlays);
}

// An hour of renewals with the default settings, from the moment start.
void BytesPerHour(uv::WallpaperRenderer& renderer, uv::WallpaperJob job, int cx, int cy, std::time_t start) {
    const uv::SettingsRecord defaults;
    int lastY = -1;
    job.burst = uv::BuildSettingsBurst(defaults, nullptr, lastY).posts;
    job.screen = uv::ScreenLayout();
    job.screen.width = cx;
    job.screen.height = cy;
    const int period = uv::RefreshPeriodMs(defaults.refreshSlider) / 1000;
    const int renewals = 3600 / period;
    const double file = static_cast<double>(uv::kBmpHeadersSize + uv::BmpRowStride(cx) * cy);
    // REG_SZ values as stored: the path, "0" and "0" with their NULs.
    const double path = 2.0 * (job.picture.size() + 1), placement = 2 * 2.0 * 2;
    double after = 0;
    int changed = 0;
    std::uint64_t last = 0;
    for (int k = 0; k < renewals; ++k) {
        job.time = start + static_cast<std::time_t>(k) * period;
        if (renderer.Render(job) != uv::WallpaperResult::Shown) continue;
        const std::uint64_t hash = uv::HashPicture(*renderer.Rendered());
        if (k > 0 && hash == last) continue;
        last = hash;
        ++changed;
        after += file + path + (k == 0 ? placement : 0);
    }
    const double before = renewals * (file + path + placement);
    std::printf(
        "%dx%d  bytes written per hour with the default settings: before %.1f MB (%d renewals),"
        " now %.1f MB (%d pictures changed)\n",
        cx, cy, before / 1e6, renewals, after / 1e6, changed);
}

class SixCities : public uv::CitySelection {
public:
    int Count() const override { return 400; }
    bool IsSelected(int index) const override { return index % 67 == 0; }
    void Clear() override {}
    void Select(int) override {}
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<std::pair<int, int>> sizes;
    for (int k = 2; k < argc; ++k) {
        int cx = 0, cy = 0;
        if (std::sscanf(argv[k], "%dx%d", &cx, &cy) == 2 && cx > 0 && cy > 0) sizes.emplace_back(cx, cy);
    }
    if (sizes.empty()) sizes = {{1920, 1080}, {3840, 2160}};
    const uv::WideText library = uv::BesideProgram("globepix.dll");
    uv::UniqueModule module(LoadLibraryW(uv::WidePtr(library)));
    uv::MapImages images;
    if (!module || !images.Load(module.get())) {
        std::printf("could not load the map images from globepix.dll beside the program\n");
        return 1;
    }
    CityDatabase cities;
    cities.LoadFromResource(module.get(), UV_RES_CITY_LIST);

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    uv::WallpaperJob job;
    if (!uv::MakeWallpaperFiles(uv::FromWide(temp), job.files) ||
        (!CreateDirectoryW(uv::WidePtr(job.files.folder), nullptr) &&
         GetLastError() != ERROR_ALREADY_EXISTS)) {
        std::printf("no folder for the picture under %ls\n", temp);
        return 1;
    }
    SixCities selection;
    job.burst = TypicalBurst(selection);
    job.time = static_cast<std::time_t>(1718971200);  // 2024-06-21 12:00 UTC

    // The hosted side applies the same burst, as the desktop host would.
    uv::RenderSettings settings;
    for (const uv::SettingsPost& p : job.burst)
        uv::ApplySettingsMessage(settings, cities, uv::ToWire(p.id), p.value, job.time);
    uv::ApplySettingsMessage(settings, cities, uv::ToWire(MessageId::SetTime), job.time, job.time);

    job.picture = job.files.Picture(uv::kAllMonitors, 0);
    // The current wallpaper goes into the journal of places, as before the
    // program's first change; the end replays it.
    uv::RegistryWallpaperStore store(HKEY_CURRENT_USER);
    uv::Journal journal;
    uv::RegValue values[3];
    std::vector<uv::WideText> unused;
    bool kept = uv::LoadJournal(store, journal);
    for (int i = 0; i < 3 && kept; ++i)
        kept = store.Read(uv::WallpaperKey::Desktop, uv::kDesktopValues[i], values[i]);
    journal.ours = job.picture;
    if (!kept || uv::NoteDesktop(journal, values, false, nullptr, unused) != uv::NoteResult::Go ||
        !uv::SaveJournal(store, journal)) {
        std::printf("could not keep the current wallpaper; nothing was changed\n");
        return 1;
    }
    std::printf("%d runs each, best wall time; map %dx%d\n", runs, images.width, images.height);
    uv::WallpaperRenderer renderer(library);
    uv::RenderContext context(module.get());
    int failures = 0;
    for (const auto& size : sizes) {
        const int cx = size.first, cy = size.second;
        PrintStages(images, settings, cities, context, cx, cy, runs);
        job.screen = uv::ScreenLayout();
        job.screen.width = cx;
        job.screen.height = cy;
        uv::MapPicture hosted;
        uv::WindowDc screen(nullptr);
        uv::UniqueMemoryDc windowDc(CreateCompatibleDC(screen.get()));
        uv::UniqueBitmap window(CreateCompatibleBitmap(screen.get(), cx, cy));
        uv::ScopedSelect selectWindow(windowDc.get(), window.get());

        // The wallpaper's picture on its own: the first one at a size scales
        // the images.
        uv::MapPicture screenPicture(uv::MapPicture::Bitmaps::Dib);
        uv::SelectedBitmap frame;
        if (!frame.FitDib(cx, cy)) ++failures;
        Best firstPicture, picture, write;
        double bestHosted = 1e30, bestRender = 1e30, bestSet = 1e30;
        // The host's steps: at the images' size, then stretched.
        for (int r = 0; r < runs; ++r) {
            const auto t = std::chrono::steady_clock::now();
            if (!hosted.Prepare(images, images.width, images.height) ||
                !hosted.Compose(images, settings, uv::MapPicture::Dither::ThreadRand))
                ++failures;
            hosted.Show(settings);
            PatBlt(windowDc.get(), 0, 0, cx, cy, BLACKNESS);
            if (hosted.Paint(windowDc.get(), cx, cy, settings, cities, settings.renderTime, context) !=
                uv::MapPicture::Painted::Rebuilt)
                ++failures;
            GdiFlush();
            bestHosted = std::min(bestHosted, Seconds(t));
        }
        firstPicture.Time([&] {
            if (!screenPicture.Render(images, settings, cities, context, frame.dc.get(), cx, cy)) ++failures;
        });
        for (int r = 0; r < runs; ++r) {
            picture.Time([&] {
                if (!screenPicture.Render(images, settings, cities, context, frame.dc.get(), cx, cy))
                    ++failures;
            });
            write.Time([&] {
                if (!uv::WritePicture(job.picture, frame.width, frame.height, frame.bits)) ++failures;
            });
            auto t = std::chrono::steady_clock::now();
            if (renderer.Render(job) != uv::WallpaperResult::Shown ||
                uv::WritePictureFile(job.files, job.picture, *renderer.Rendered(), nullptr) !=
                    uv::WallpaperResult::Shown)
                ++failures;
            const double render = Seconds(t);
            t = std::chrono::steady_clock::now();
            if (!uv::SetOurWallpaper(HKEY_CURRENT_USER, job.picture, job.placement, true)) ++failures;
            const double set = Seconds(t);
            bestRender = std::min(bestRender, render);
            bestSet = std::min(bestSet, set);
        }
        Best set;
        set.seconds = bestSet;
        PrintStage("wallpaper: first picture at a size", nullptr, firstPicture);
        PrintStage("wallpaper: picture at screen size", nullptr, picture);
        PrintStage("wallpaper: write", nullptr, write);
        PrintStage("wallpaper: set", nullptr, set);
        const double renewal = bestRender + bestSet;
        std::printf(
            "%dx%d  hosted render %7.1f ms   wallpaper renewal %7.1f ms (render and write %7.1f, set %7.1f)"
            "   ratio %.2f\n",
            cx, cy, bestHosted * 1e3, renewal * 1e3, bestRender * 1e3, bestSet * 1e3, renewal / bestHosted);
    }
    for (const auto& size : sizes) BytesPerHour(renderer, job, size.first, size.second, job.time);
    uv::RestoreKeptWallpaper(HKEY_CURRENT_USER);
    DeleteFileW(uv::WidePtr(job.picture));
    RemoveDirectoryW(uv::WidePtr(job.files.folder));
    if (failures) std::printf("%d steps failed\n", failures);
    return failures ? 1 : 0;
}
