#include "renderer/Projection.h"

#include <gtest/gtest.h>

#include <vector>

namespace uv {
namespace {

constexpr double kPi = 3.141592653589793;

TEST(HorizontalShift, FollowingTheSunPutsTheSubsolarPointInTheCentre) {
    const int w = 2048;
    EXPECT_EQ(HorizontalShift(true, 0.0, 0.0f, w), 0);
    EXPECT_EQ(HorizontalShift(true, kPi / 2, 0.0f, w), 3 * w / 4);
    for (double lon : {-3.0, -kPi / 2, -0.3, 0.0, 1.0, kPi / 2, 3.1}) {
        const int shift = HorizontalShift(true, lon, 0.0f, w);
        const float degrees = static_cast<float>(lon * 180.0 / kPi);
        EXPECT_NEAR(ProjectLatLon(w, 1024, 1, 1, shift, 0, degrees).x, w / 2, 1) << lon;
    }
}

TEST(HorizontalShift, XOffsetAloneRotatesLongitudeZeroRightOfCentre) {
    EXPECT_EQ(HorizontalShift(false, 1.0, 0.0f, 1024), 0);
    EXPECT_EQ(HorizontalShift(false, 1.0, 90.0f, 1024), 256);
    EXPECT_EQ(HorizontalShift(false, 0.0, 359.0f, 360), 359);
    // With the sun followed, XOffset moves the sun further right.
    EXPECT_EQ(HorizontalShift(true, 0.0, 90.0f, 1024), 256);
}

TEST(HorizontalShift, StaysInsideTheMapForAnyInput) {
    for (float x : {-720.0f, -30.0f, 0.0f, 359.0f, 1000.0f}) {
        for (double lon : {-7.0, -kPi, 0.0, kPi, 7.0}) {
            for (bool follow : {false, true}) {
                const int s = HorizontalShift(follow, lon, x, 1000);
                EXPECT_GE(s, 0);
                EXPECT_LT(s, 1000);
            }
        }
    }
    EXPECT_EQ(HorizontalShift(true, 1.0, 10.0f, 0), 0);
}

TEST(ProjectLatLon, EquirectangularWithRoundingAndWrap) {
    // Unrotated: longitude 0 on the centre column, the date line on both edges.
    EXPECT_EQ(ProjectLatLon(1024, 512, 1, 1, 0, 0, 0).x, 512);
    EXPECT_EQ(ProjectLatLon(1024, 512, 1, 1, 0, 0, 0).y, 256);
    EXPECT_EQ(ProjectLatLon(1024, 512, 1, 1, 0, 0, -180).x, 0);
    EXPECT_EQ(ProjectLatLon(1024, 512, 1, 1, 0, 0, 180).x, 0);
    EXPECT_EQ(ProjectLatLon(1024, 512, 1, 1, 300, 0, -180).x, ProjectLatLon(1024, 512, 1, 1, 300, 0, 180).x);
    EXPECT_EQ(ProjectLatLon(1024, 512, 1, 1, 0, 90, 0).y, 0);
    EXPECT_EQ(ProjectLatLon(1024, 512, 1, 1, 0, -90, 0).y, 512);
    // A shift wraps at the right edge.
    EXPECT_EQ(ProjectLatLon(1024, 512, 1, 1, 600, 0, 0).x, 88);
}

TEST(ProjectLatLon, NoAntarcticaPutsMinus60OnTheBottomEdge) {
    const MapFit fit = FitMapToWindow(3, 0.8333333f, 0.5, 1024, 768, 2048, 1024);
    EXPECT_EQ(ProjectLatLon(1024, 768, fit.scaleX, fit.scaleY, 0, -60, 0).y, 768);
    EXPECT_GT(ProjectLatLon(1024, 768, fit.scaleX, fit.scaleY, 0, -75, 0).y, 768);
    EXPECT_EQ(ProjectLatLon(1024, 768, fit.scaleX, fit.scaleY, 0, 90, 0).y, 0);
}

TEST(ProjectLatLon, NoDistortPlacesLongitudesOnTheCroppedPicture) {
    // 2048 x 1024 map into 1024 x 768: source columns 341..1705 fill the
    // window, so a longitude whose source column is c shows at (c - 341) * 0.75.
    const MapFit fit = FitMapToWindow(2, 1.0f, 0.5, 1024, 768, 2048, 1024);
    for (float lon : {-60.0f, -30.0f, 0.0f, 45.0f, 60.0f}) {
        const double sourceColumn = (lon + 180.0) / 360.0 * 2048;
        const double expected = (sourceColumn - fit.srcX) * 1024.0 / fit.srcWidth;
        EXPECT_NEAR(ProjectLatLon(1024, 768, fit.scaleX, fit.scaleY, 0, 0, lon).x, expected, 2) << lon;
    }
    // Longitudes outside the crop land outside the window.
    EXPECT_LT(ProjectLatLon(1024, 768, fit.scaleX, fit.scaleY, 0, 0, -150).x, 0);
    EXPECT_GT(ProjectLatLon(1024, 768, fit.scaleX, fit.scaleY, 0, 0, 150).x, 1024);
}

TEST(FitMapToWindow, EveryDisplayMode) {
    // FitWidth with the window exactly as wide as the map: no scaling.
    MapFit f = FitMapToWindow(0, 1.0f, 0.5, 1024, 768, 1024, 512);
    EXPECT_FALSE(f.scaled);
    EXPECT_EQ(f.targetWidth, 1024);
    EXPECT_EQ(f.targetHeight, 512);
    EXPECT_EQ(f.windowY, 128);
    EXPECT_EQ(f.scaleX, 1.0f);
    EXPECT_EQ(f.scaleY, 1.0f);

    f = FitMapToWindow(0, 1.0f, 0.0, 1280, 1024, 2048, 1024);
    EXPECT_TRUE(f.scaled);
    EXPECT_EQ(f.targetHeight, 640);
    EXPECT_EQ(f.windowY, 0);
    f = FitMapToWindow(0, 1.0f, 1.0, 1280, 1024, 2048, 1024);
    EXPECT_EQ(f.windowY, 384);
    // Map taller than the window: cut at the top as well as the bottom.
    f = FitMapToWindow(0, 1.0f, 0.5, 1000, 300, 1000, 500);
    EXPECT_EQ(f.windowY, -100);

    f = FitMapToWindow(1, 1.0f, 0.5, 1024, 768, 1024, 512);
    EXPECT_TRUE(f.scaled);
    EXPECT_EQ(f.targetHeight, 768);
    EXPECT_EQ(f.windowY, 0);
    EXPECT_EQ(f.srcWidth, 1024);
    EXPECT_EQ(f.srcHeight, 512);
    EXPECT_EQ(f.scaleX, 1.0f);

    f = FitMapToWindow(2, 1.0f, 0.5, 1024, 768, 2048, 1024);
    EXPECT_EQ(f.srcX, 341);
    EXPECT_EQ(f.srcWidth, 1365);
    EXPECT_EQ(f.srcHeight, 1024);
    EXPECT_FLOAT_EQ(f.scaleX, 1.5f);
    EXPECT_FLOAT_EQ(f.scaleY, 1.0f);
    EXPECT_EQ(f.dstX, 0);
    EXPECT_EQ(f.dstWidth, 1024);

    f = FitMapToWindow(3, 0.8333333f, 0.5, 1024, 768, 2048, 1024);
    EXPECT_EQ(f.srcHeight, 853);
    EXPECT_FLOAT_EQ(f.scaleY, 1.2f);
    EXPECT_EQ(f.srcWidth, static_cast<int>(1024 / (768 / (1024 * 0.8333333f))));

    // Unknown modes fit the width.
    f = FitMapToWindow(9, 1.0f, 0.5, 1024, 768, 2048, 1024);
    EXPECT_EQ(f.targetHeight, 512);
}

TEST(FitMapToWindow, WindowOfTheMapSizeIsCopiedUnscaledInEveryMode) {
    for (int mode = 0; mode < 4; ++mode) {
        const MapFit f = FitMapToWindow(mode, mode == 3 ? 0.8333333f : 1.0f, 0.5, 1024, 512, 1024, 512);
        EXPECT_FALSE(f.scaled) << mode;
        EXPECT_EQ(f.scaleX, 1.0f);
        EXPECT_EQ(f.scaleY, 1.0f);
    }
}

TEST(FitMapToWindow, NoDistortInAWideWindowNeverReadsOutsideThePicture) {
    // A 3:1 window over a 2:1 map asks for more columns than the map has.
    const MapFit f = FitMapToWindow(2, 1.0f, 0.5, 1500, 500, 1000, 500);
    EXPECT_EQ(f.srcX, 0);
    EXPECT_EQ(f.srcWidth, 1000);
    EXPECT_EQ(f.dstWidth, 1000);
    EXPECT_EQ(f.dstX, 250);
    // Overlays still meet the picture: its edges project onto the band edges.
    EXPECT_NEAR(ProjectLatLon(1500, 500, f.scaleX, f.scaleY, 0, 0, -180).x, 250, 1);
    EXPECT_NEAR(ProjectLatLon(1500, 500, f.scaleX, f.scaleY, 0, 0, 179.0f).x, 1247, 2);
}

TEST(FitMapToWindow, DegenerateSizesGiveNothingToDraw) {
    EXPECT_TRUE(FitMapToWindow(0, 1.0f, 0.5, 0, 768, 1024, 512).empty());
    EXPECT_TRUE(FitMapToWindow(2, 1.0f, 0.5, 1024, -1, 1024, 512).empty());
    EXPECT_TRUE(FitMapToWindow(1, 1.0f, 0.5, 1024, 768, 0, 512).empty());
    EXPECT_TRUE(FitMapToWindow(0, 1.0f, 0.5, 1, 768, 1024, 512).empty());  // height 0
}

TEST(DisplayRotation, TwoCopiesCoverEveryColumnOnce) {
    for (int shift : {0, 1, 511, 1023}) {
        const DisplayRotation r = ComputeDisplayRotation(1024, shift);
        std::vector<int> shown(1024, -1);
        for (const ColumnCopy& c : {r.wrapped, r.rest}) {
            for (int i = 0; i < c.width; ++i) {
                ASSERT_EQ(shown[c.dstX + i], -1);
                shown[c.dstX + i] = c.srcX + i;
            }
        }
        for (int x = 0; x < 1024; ++x) EXPECT_EQ(shown[(x + shift) % 1024], x);
    }
    EXPECT_EQ(ComputeDisplayRotation(1024, 1024 + 5).wrapped.width, 5);
    EXPECT_EQ(ComputeDisplayRotation(1024, -5).wrapped.width, 1019);
}

}  // namespace
}  // namespace uv
