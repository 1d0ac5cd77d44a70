#include "renderer/DesktopPicture_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "GdiCanvas_win.h"
#include "common/ResourceIds.h"
#include "renderer/Compositing.h"
#include "renderer/RenderSettings.h"
#include "renderer/Renderer_win.h"
#include "solar/CityDatabase.h"

namespace uv {
namespace {

// FNV-1a over the canvas's colours, the unused byte left out.
std::uint64_t CanvasHash(const test::Canvas& c) {
    std::uint64_t h = 14695981039346656037ull;
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width(); ++x) {
            const COLORREF p = c.At(x, y);
            for (int b = 0; b < 3; ++b) h = (h ^ ((p >> (8 * b)) & 0xff)) * 1099511628211ull;
        }
    }
    return h;
}

// The picture behind the icons: composed at the images' size and dithered
// with the thread's rand, rotated, then painted into windows of every
// display mode. The hashes were taken from the pictures the desktop host
// made before its picture code was shared with the wallpaper's.
TEST(MapPicture, TheHostedPictureKeepsItsBytes) {
    UniqueModule module(LoadLibraryA("globepix.dll"));
    if (!module) GTEST_SKIP() << "globepix.dll not beside the test";
    MapImages images;
    ASSERT_TRUE(images.Load(module.get()));
    CityDatabase cities;
    cities.LoadFromResource(module.get(), UV_RES_CITY_LIST);
    for (int index : {0, 40, 90, 150}) cities.SelectCityIndex(index);
    RenderSettings s;
    s.renderTime = 1718971200 + 5 * 3600;  // 2024-06-21 17:00 UTC
    s.dawnDuskWidth = BandWidthFraction(10);
    s.xOffset = 100;
    SetResourceModule(module.get());
    DesktopPicture picture;
    ASSERT_TRUE(picture.Prepare(images.width, images.height));
    std::srand(12345);
    ASSERT_TRUE(picture.Compose(images, s));
    picture.Show(s);

    struct Case {
        int mode, cx, cy;
        bool overlays;
        std::uint64_t hash;
    };
    // The images' own size bare (the display picture as it is), then with
    // every overlay; a stretch; a crop; black bands; the south cut off.
    const Case cases[] = {
        {0, 2048, 1024, false, 0x045dd75039e5e66full}, {0, 2048, 1024, true, 0x365b09616db33e79ull},
        {0, 1280, 800, true, 0xef30873cfeefe2e3ull},   {1, 1000, 700, true, 0x3c4568273d0d4fa1ull},
        {2, 1600, 600, true, 0x4c36633d984ff29dull},   {3, 1024, 768, true, 0x0cf76ca4fbceafb4ull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " " << c.cx << "x" << c.cy);
        const std::uint8_t on = c.overlays ? 1 : 0;
        s.displayMode = c.mode;
        s.mapHeightFraction = c.mode == 3 ? kNoAntarcticaFraction : 1.0f;
        s.overlayGrid = s.overlayDawnDusk = s.overlayMidday = s.overlayMidnight = s.overlaySunLatitude = on;
        s.overlayCities = s.cityLabels = s.glyphShowSun = s.overlayStatus = on;
        s.statusSunLocation = s.statusSunrise = s.statusSunset = s.statusLocalTime = on;
        s.gridColor = RGB(0, 255, 0);
        s.citiesColor = RGB(255, 0, 255);
        s.cityLabelForeground = RGB(255, 255, 255);
        picture.InvalidateCache();
        test::Canvas window(c.cx, c.cy, RGB(9, 9, 9));
        ASSERT_EQ(picture.Paint(window.dc(), c.cx, c.cy, s, cities, s.renderTime),
                  DesktopPicture::Painted::Rebuilt);
        EXPECT_EQ(CanvasHash(window), c.hash) << std::hex << CanvasHash(window);
    }
    ShutdownRenderer();
    SetResourceModule(nullptr);
}

}  // namespace
}  // namespace uv
