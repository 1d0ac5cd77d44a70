// Times one renewal of the wallpaper (render, write the BMP file, set it)
// against the hosted render of the same size (what the desktop host does per
// new picture: blend, rotation, paint cache with overlays, copy to the
// window), both in one run, and prints their ratio. Not a test: run it by
// hand under Wine, in a prefix whose wallpaper may change while it runs (the
// one it finds is put back at the end).
//
// Then it counts the bytes the wallpaper writes in an hour with the default
// settings (a renewal every 3 minutes): as every renewal wrote them before
// (the whole picture file and the three values), and as now, when a
// renewal whose picture did not change writes nothing and the placement
// values are written once.
//
//   umbravue-wallpaper-bench [runs]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "common/ResourceIds.h"
#include "common/WinHandles.h"
#include "controller/DesktopLink.h"
#include "controller/SettingsStore_win.h"
#include "controller/UserWallpaper_win.h"
#include "controller/WallpaperFile.h"
#include "controller/WallpaperRenderer_win.h"
#include "controller/WideText_win.h"
#include "renderer/DesktopPicture_win.h"
#include "renderer/RenderSettings.h"
#include "solar/CityDatabase.h"

namespace {

using uv::MessageId;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A burst with the usual overlays on, as the controller builds it.
std::vector<uv::SettingsPost> TypicalBurst(uv::CitySelection& selection) {
    uv::AllSettings s;
    s.overlay.grid = s.overlay.dawnDusk = s.overlay.cities = s.overlay.cityLabels = 1;
    s.overlay.status = s.overlay.statusSunLocation = s.overlay.statusSunrise = s.overlay.statusSunset = 1;
    s.glyph.showSun = 1;
    int lastY = -1;
    return uv::BuildSettingsBurst(s.Refs(&selection), lastY).posts;
}

class NoCities : public uv::CitySelection {
public:
    int Count() const override { return 400; }
    bool IsSelected(int) const override { return false; }
    void Clear() override {}
    void Select(int) override {}
};

// An hour of renewals with the default settings, from the moment start.
void BytesPerHour(uv::WallpaperRenderer& renderer, uv::WallpaperJob job, int cx, int cy, std::time_t start) {
    uv::AllSettings defaults;
    NoCities none;
    int lastY = -1;
    job.burst = uv::BuildSettingsBurst(defaults.Refs(&none), lastY).posts;
    job.screen = uv::ScreenLayout();
    job.screen.width = cx;
    job.screen.height = cy;
    const int period = uv::RefreshPeriodMs(defaults.misc.refreshSlider) / 1000;
    const int renewals = 3600 / period;
    const double file = 54.0 + static_cast<double>((cx * 3 + 3) & ~3) * cy;
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
    std::printf("%dx%d  bytes written per hour with the default settings: before %.1f MB (%d renewals),"
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
    const std::string library = uv::BesideProgram("globepix.dll");
    uv::UniqueModule module(LoadLibraryA(library.c_str()));
    uv::MapImages images;
    if (!module || !images.Load(module.get())) {
        std::printf("could not load the map images from %s\n", library.c_str());
        return 1;
    }
    CityDatabase cities;
    cities.LoadFromResource(module.get(), UV_RES_CITY_LIST);

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    uv::WallpaperJob job;
    if (!uv::MakeWallpaperFiles(uv::FromWide(temp), job.files) ||
        (!CreateDirectoryW(uv::WidePtr(job.files.folder), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)) {
        std::printf("no folder for the picture under %ls\n", temp);
        return 1;
    }
    SixCities selection;
    job.burst = TypicalBurst(selection);
    job.time = static_cast<std::time_t>(1718971200);   // 2024-06-21 12:00 UTC

    // The hosted side applies the same burst, as the desktop host would.
    uv::RenderSettings settings;
    for (const uv::SettingsPost& p : job.burst)
        uv::ApplySettingsMessage(settings, cities, uv::ToWire(p.id), p.value, job.time);
    uv::ApplySettingsMessage(settings, cities, uv::ToWire(MessageId::SetTime), job.time, job.time);

    job.picture = job.files.Picture(uv::kAllMonitors, 0);
    uv::RegistryWallpaperStore store(HKEY_CURRENT_USER);
    if (!uv::KeepUserWallpaper(store, job.picture)) {
        std::printf("could not keep the current wallpaper; nothing was changed\n");
        return 1;
    }
    std::printf("%d runs each, best wall time; map %dx%d\n", runs, images.width, images.height);
    uv::WallpaperRenderer renderer(library);
    const int sizes[][2] = {{1920, 1080}, {3840, 2160}};
    int failures = 0;
    for (const auto& size : sizes) {
        const int cx = size[0], cy = size[1];
        job.screen = uv::ScreenLayout();
        job.screen.width = cx;
        job.screen.height = cy;
        uv::DesktopPicture hosted;
        uv::WindowDc screen(nullptr);
        uv::UniqueMemoryDc windowDc(CreateCompatibleDC(screen.get()));
        uv::UniqueBitmap window(CreateCompatibleBitmap(screen.get(), cx, cy));
        uv::ScopedSelect selectWindow(windowDc.get(), window.get());

        double bestHosted = 1e30, bestRender = 1e30, bestSet = 1e30;
        for (int r = 0; r < runs; ++r) {
            auto t = std::chrono::steady_clock::now();
            if (!hosted.Render(images, settings, cities, windowDc.get(), cx, cy)) ++failures;
            GdiFlush();
            bestHosted = std::min(bestHosted, Seconds(t));

            t = std::chrono::steady_clock::now();
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
        const double renewal = bestRender + bestSet;
        std::printf("%dx%d  hosted render %7.1f ms   wallpaper renewal %7.1f ms (render and write %7.1f, set %7.1f)"
                    "   ratio %.2f\n",
                    cx, cy, bestHosted * 1e3, renewal * 1e3, bestRender * 1e3, bestSet * 1e3, renewal / bestHosted);
    }
    for (const auto& size : sizes) BytesPerHour(renderer, job, size[0], size[1], job.time);
    uv::RestoreKeptWallpaper(HKEY_CURRENT_USER);
    DeleteFileW(uv::WidePtr(job.picture));
    RemoveDirectoryW(uv::WidePtr(job.files.folder));
    if (failures) std::printf("%d steps failed\n", failures);
    return failures ? 1 : 0;
}
