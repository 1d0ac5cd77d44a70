#include "renderer/ScreenPicture_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "renderer/Compositing.h"
#include "renderer/DesktopPicture_win.h"
#include "renderer/RenderSettings.h"
#include "solar/CityDatabase.h"
#include "GdiCanvas_win.h"

namespace uv {
namespace {

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

TEST(ScreenPicture, LooksLikeTheHostedPictureInEveryDisplayMode) {
    const MapImages images = SmoothImages(256, 128);
    CityDatabase cities;
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
        test::Canvas hosted(c.cx, c.cy, RGB(9, 9, 9)), screen(c.cx, c.cy, RGB(9, 9, 9));
        DesktopPicture desktopPicture;
        ScreenPicture screenPicture;
        ASSERT_TRUE(desktopPicture.Render(images, s, cities, hosted.dc(), c.cx, c.cy));
        ASSERT_TRUE(screenPicture.Render(images, s, cities, screen.dc(), c.cx, c.cy));
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
    }
    FreeCompositePixels();
}

TEST(ScreenPicture, ScalesTheImagesOncePerSizeAndNightSource) {
    const MapImages images = SmoothImages(64, 32);
    CityDatabase cities;
    RenderSettings s;
    s.renderTime = 1087819200;
    test::Canvas target(100, 80);
    ScreenPicture picture;
    ASSERT_TRUE(picture.Render(images, s, cities, target.dc(), 100, 80));
    EXPECT_EQ(picture.scalings(), 2);  // day and night
    s.renderTime += 3600;
    ASSERT_TRUE(picture.Render(images, s, cities, target.dc(), 100, 80));
    EXPECT_EQ(picture.scalings(), 2);
    s.useGeneratedNight = 1;
    ASSERT_TRUE(picture.Render(images, s, cities, target.dc(), 100, 80));
    EXPECT_EQ(picture.scalings(), 3);
    s.useGeneratedNight = 0;
    ASSERT_TRUE(picture.Render(images, s, cities, target.dc(), 100, 80));
    EXPECT_EQ(picture.scalings(), 3);
    // Another size: the images are scaled again.
    test::Canvas larger(120, 90);
    ASSERT_TRUE(picture.Render(images, s, cities, larger.dc(), 120, 90));
    EXPECT_EQ(picture.scalings(), 5);
    FreeCompositePixels();
}

}  // namespace
}  // namespace uv
