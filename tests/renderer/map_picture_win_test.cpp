#include "renderer/MapPicture_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "GdiCanvas_win.h"
#include "common/ResourceIds.h"
#include "renderer/Compositing.h"
#include "renderer/RenderSettings.h"
#include "renderer/RenderContext_win.h"
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
    RenderContext context(module.get());
    MapPicture picture;
    ASSERT_TRUE(picture.Prepare(images, images.width, images.height));
    std::srand(12345);
    ASSERT_TRUE(picture.Compose(images, s, MapPicture::Dither::ThreadRand));
    picture.Show(s);

    struct Case {
        int mode, cx, cy;
        bool overlays;
        // Wine's halftone stretch gives other bytes in its 64-bit build.
        std::uint64_t hash32, hash64;
    };
    // The images' own size bare (the display picture as it is), then with
    // every overlay; a stretch; a crop; black bands; the south cut off.
    const Case cases[] = {
        {0, 2048, 1024, false, 0x045dd75039e5e66full, 0x045dd75039e5e66full},
        {0, 2048, 1024, true, 0x365b09616db33e79ull, 0x365b09616db33e79ull},
        {0, 1280, 800, true, 0xef30873cfeefe2e3ull, 0xa3a6fb770c3c57bdull},
        {1, 1000, 700, true, 0x3c4568273d0d4fa1ull, 0x454b10cde2e3e010ull},
        {2, 1600, 600, true, 0x4c36633d984ff29dull, 0x0b33c7378b7ec46full},
        {3, 1024, 768, true, 0x0cf76ca4fbceafb4ull, 0x9ce208ee4fa32d9full},
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
        ASSERT_EQ(picture.Paint(window.dc(), c.cx, c.cy, s, cities, s.renderTime, context),
                  MapPicture::Painted::Rebuilt);
        EXPECT_EQ(CanvasHash(window), sizeof(void*) == 4 ? c.hash32 : c.hash64)
            << std::hex << CanvasHash(window);
    }
}

// Day: a smooth colour ramp; night: dark and also smooth, so that scaling
// the images or the picture gives nearly the same patches.
MapImages SmoothImages(int w, int h) {
    MapImages images;
    images.width = w;
    images.height = h;
    images.day.resize(3 * static_cast<std::size_t>(w) * h);
    images.night.resize(images.day.size());
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            const std::size_t p = 3 * (static_cast<std::size_t>(w) * j + i);
            images.day[p] = static_cast<std::uint8_t>(60 + 150 * j / h);
            images.day[p + 1] = static_cast<std::uint8_t>(200 - 100 * i / w);
            images.day[p + 2] = static_cast<std::uint8_t>(40 + 200 * i / w);
            images.night[p] = 40;
            images.night[p + 1] = static_cast<std::uint8_t>(10 + 20 * j / h);
            images.night[p + 2] = 5;
        }
    }
    images.generatedNight.resize(images.day.size());
    GenerateNightPixels(images.day.data(), images.generatedNight.data(), w, h);
    return images;
}

// Mean of one channel over a patch.
double Mean(const test::Canvas& c, int x0, int y0, int size, int shift) {
    double sum = 0;
    for (int y = y0; y < y0 + size; ++y)
        for (int x = x0; x < x0 + size; ++x) sum += (c.At(x, y) >> shift) & 0xff;
    return sum / (size * size);
}

TEST(MapPicture, AtTheScreenMapsSizeItLooksLikeTheHostedPictureInEveryDisplayMode) {
    const MapImages images = SmoothImages(256, 128);
    CityDatabase cities;
    RenderContext context;
    RenderSettings s;
    s.renderTime = 1087819200;  // 2004-06-21 12:00 UTC
    s.dawnDuskWidth = BandWidthFraction(10);
    s.xOffset = 100;  // the picture is rotated
    s.overlayGrid = 1;
    s.gridColor = RGB(0, 255, 0);
    struct Case {
        int mode, cx, cy;
    };
    // A width no multiple of 4 at the images' scale, one that crops, one
    // wider than the map (black bands beside it), one that cuts the south.
    for (const Case c :
         {Case{0, 330, 200}, Case{1, 300, 220}, Case{2, 200, 160}, Case{2, 500, 120}, Case{3, 240, 160}}) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " " << c.cx << "x" << c.cy);
        s.displayMode = c.mode;
        s.mapHeightFraction = c.mode == 3 ? kNoAntarcticaFraction : 1.0f;
        test::Canvas hosted(c.cx, c.cy, RGB(0, 0, 0)), screen(c.cx, c.cy, RGB(9, 9, 9)),
            again(c.cx, c.cy, RGB(9, 9, 9));
        MapPicture hostedPicture;
        ASSERT_TRUE(hostedPicture.Prepare(images, images.width, images.height));
        ASSERT_TRUE(hostedPicture.Compose(images, s, MapPicture::Dither::ThreadRand));
        hostedPicture.Show(s);
        ASSERT_EQ(hostedPicture.Paint(hosted.dc(), c.cx, c.cy, s, cities, s.renderTime, context),
                  MapPicture::Painted::Rebuilt);
        MapPicture screenPicture(MapPicture::Bitmaps::Dib);
        ASSERT_TRUE(screenPicture.Render(images, s, cities, context, screen.dc(), c.cx, c.cy));
        int differing = 0, patches = 0;
        for (int y = 0; y + 10 <= c.cy; y += 10) {
            for (int x = 0; x + 10 <= c.cx; x += 10) {
                ++patches;
                for (int shift : {0, 8, 16}) {
                    if (std::abs(Mean(hosted, x, y, 10, shift) - Mean(screen, x, y, 10, shift)) > 28) {
                        ++differing;
                        break;
                    }
                }
            }
        }
        EXPECT_EQ(differing, 0) << "of " << patches << " patches";
        // The same black where the map is not: the corners of the wide window.
        EXPECT_EQ(screen.At(0, 0) == RGB(0, 0, 0), hosted.At(0, 0) == RGB(0, 0, 0));
        EXPECT_EQ(screen.At(c.cx - 1, c.cy - 1) == RGB(0, 0, 0),
                  hosted.At(c.cx - 1, c.cy - 1) == RGB(0, 0, 0));
        // Whatever the thread's rand did meanwhile, the same bytes again.
        std::srand(777);
        ASSERT_TRUE(screenPicture.Render(images, s, cities, context, again.dc(), c.cx, c.cy));
        EXPECT_EQ(CanvasHash(again), CanvasHash(screen));
    }
}

TEST(MapPicture, ScalesTheImagesOncePerSizeAndNightSource) {
    const MapImages images = SmoothImages(64, 32);
    CityDatabase cities;
    RenderContext context;
    RenderSettings s;
    s.renderTime = 1087819200;
    test::Canvas target(100, 80);
    MapPicture picture(MapPicture::Bitmaps::Dib);
    ASSERT_TRUE(picture.Render(images, s, cities, context, target.dc(), 100, 80));
    EXPECT_EQ(picture.scalings(), 2);  // day and night
    s.renderTime += 3600;
    ASSERT_TRUE(picture.Render(images, s, cities, context, target.dc(), 100, 80));
    EXPECT_EQ(picture.scalings(), 2);
    s.useGeneratedNight = 1;
    ASSERT_TRUE(picture.Render(images, s, cities, context, target.dc(), 100, 80));
    EXPECT_EQ(picture.scalings(), 3);
    s.useGeneratedNight = 0;
    ASSERT_TRUE(picture.Render(images, s, cities, context, target.dc(), 100, 80));
    EXPECT_EQ(picture.scalings(), 3);
    // Another size: the images are scaled again.
    test::Canvas larger(120, 90);
    ASSERT_TRUE(picture.Render(images, s, cities, context, larger.dc(), 120, 90));
    EXPECT_EQ(picture.scalings(), 5);
}

}  // namespace
}  // namespace uv
