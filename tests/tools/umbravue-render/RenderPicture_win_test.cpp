#include "tools/umbravue-render/RenderPicture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "common/WideText.h"
#include "renderer/BmpFile.h"
#include "ways/WallpaperRenderer_win.h"

namespace uv {
namespace {

// The desktop picture the render tool writes and the wallpaper's picture of
// the same moment, screen size, DPI and settings: the same bytes, so that a
// wallpaper on a screen can be compared with the tool exactly.
TEST(RenderPicture, TheDesktopPictureIsTheWallpapersByteForByte) {
    using Settings = std::vector<std::pair<MessageId, int>>;
    struct Case {
        int cx, cy;
        unsigned dpi;
        int band;
        bool generatedNight;
        Settings settings;
        std::vector<int> cities;
    };
    const Settings overlays = {{MessageId::OverlayGrid, 1},
                               {MessageId::OverlayGridColor, 0x00FF00},
                               {MessageId::OverlayCities, 1},
                               {MessageId::CityLabels, 1},
                               {MessageId::OverlayStatus, 1},
                               {MessageId::StatusSunLocation, 1},
                               {MessageId::StatusLocalTime, 1},
                               {MessageId::GlyphShowSun, 1},
                               {MessageId::OverlayDawnDusk, 1},
                               {MessageId::OverlayMidday, 1},
                               {MessageId::CityLabelForeground, 0xFFFFFF}};
    const Case cases[] = {
        {1280, 800, 96, 10, false, {}, {}},
        {1366, 768, 144, 10, false, overlays, {0, 40, 90}},  // a width no multiple of 4, text at 144 DPI
        {1000, 700, 96, 0, true, {{MessageId::DisplayMode, 1}, {MessageId::XOffset, 330}}, {}},
        {2500, 700, 120, 30, false, {{MessageId::DisplayMode, 2}, {MessageId::FollowTheSun, 1}}, {}},
        {1024, 768, 96, 100, false, {{MessageId::DisplayMode, 3}, {MessageId::OverlayGrid, 1}}, {}},
    };
    WallpaperRenderer renderer(Widen("globepix.dll"));
    const std::time_t moment = 1718971200 + 7 * 3600 + 1234;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.cx << "x" << c.cy << " at " << c.dpi << " DPI");
        RenderOptions options;
        options.time = moment;
        options.bandPercent = c.band;
        options.night = c.generatedNight ? NightSource::Generated : NightSource::Image;
        options.desktop.enabled = true;
        options.desktop.windowWidth = c.cx;
        options.desktop.windowHeight = c.cy;
        options.desktop.dpi = c.dpi;
        options.desktop.cities = c.cities;
        WallpaperJob job;
        job.time = moment;
        job.dpi = c.dpi;
        job.screen.width = c.cx;
        job.screen.height = c.cy;
        job.burst = {{MessageId::DawnDuskWidth, c.band},
                     {MessageId::UseGeneratedNightSource, c.generatedNight}};
        for (const auto& s : c.settings) {
            options.desktop.settings.emplace_back(ToWire(s.first), s.second);
            job.burst.push_back({s.first, s.second});
        }
        job.burst.push_back({MessageId::ClearCities, 0});
        for (int city : c.cities) job.burst.push_back({MessageId::SelectCity, city});

        PixelImage tool;
        std::string error;
        ASSERT_TRUE(RenderPicture(options, SubsolarPoint{}, tool, error)) << error;
        ASSERT_EQ(renderer.Render(job), WallpaperResult::Shown);
        const SelectedBitmap& wallpaper = *renderer.Rendered();
        ASSERT_EQ(tool.width, wallpaper.width);
        ASSERT_EQ(tool.height, wallpaper.height);
        const std::size_t rowBytes = 3 * static_cast<std::size_t>(c.cx);
        int differingRows = 0, firstRow = -1;
        for (int row = 0; row < c.cy; ++row) {
            if (std::memcmp(&tool.pixels[rowBytes * row], wallpaper.bits + BmpRowStride(c.cx) * row,
                            rowBytes))
                ++differingRows, firstRow = firstRow < 0 ? row : firstRow;
        }
        EXPECT_EQ(differingRows, 0) << "first at row " << firstRow << " from the bottom";
    }
}

}  // namespace
}  // namespace uv
