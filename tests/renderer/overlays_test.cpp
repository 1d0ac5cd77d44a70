#include "renderer/Overlays.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "renderer/Geometry.h"

namespace uv {
namespace {

constexpr double kPi = 3.141592653589793;

OverlayView View(int w, int h) {
    OverlayView v;
    v.targetWidth = w;
    v.targetHeight = h;
    return v;
}

TEST(RotationMatrices, CarryTheLocalPoleToTheAntisolarPoint) {
    for (double lon : {0.0, 1.0, -2.5}) {
        for (double dec : {0.0, 0.4, -0.4}) {
            const RotationMatrix m = Multiply(RotationZ(static_cast<float>(2 * kPi - lon)),
                                              RotationY(static_cast<float>(dec + kPi / 2)));
            const Vector3f q = Multiply(m, Vector3f{0, 0, 1});
            const SphericalPoint s = CartesianToSpherical(q.x, q.y, q.z);
            // Polar angle from the north pole: 90 degrees minus the latitude.
            EXPECT_NEAR(s.polarAngle, kPi / 2 + dec, 1e-5) << lon << " " << dec;
            double az = s.azimuth - (lon + kPi);
            az = std::remainder(az, 2 * kPi);
            EXPECT_NEAR(az, 0.0, 1e-5) << lon << " " << dec;
            EXPECT_NEAR(s.radius, 1.0f, 1e-6);
        }
    }
}

TEST(CartesianToSpherical, ZeroXGivesZeroAzimuth) {
    EXPECT_EQ(CartesianToSpherical(0.0f, 1.0f, 0.0f).azimuth, 0.0f);
    EXPECT_NEAR(CartesianToSpherical(1e-7f, 1.0f, 0.0f).azimuth, kPi / 2, 1e-6);
    EXPECT_NEAR(CartesianToSpherical(0.0f, 0.0f, -2.0f).polarAngle, kPi, 1e-6);
    EXPECT_EQ(CartesianToSpherical(0.0f, 0.0f, 0.0f).polarAngle, 0.0f);  // no NaN
}

TEST(GridLines, MeridiansAndParallelsEvery15Degrees) {
    const OverlayView v = View(1024, 512);
    const std::vector<LineSegment> lines = GridLines(v, 15.0f, 15.0f);
    ASSERT_EQ(lines.size(), 2u * 13 + 2u * 7);
    // k = 0 draws longitude 0 twice, in the centre column.
    EXPECT_EQ(lines[0].from.x, 512);
    EXPECT_EQ(lines[1].from.x, 512);
    EXPECT_EQ(lines[0].from.y, 0);
    EXPECT_EQ(lines[0].to.y, 512);
    // k = 12 gives -180 and +180 on the same column, the left edge.
    EXPECT_EQ(lines[24].from.x, 0);
    EXPECT_EQ(lines[25].from.x, 0);
    // Parallels run across the width; the poles are the edges.
    const LineSegment& southPole = lines[26 + 12];
    const LineSegment& northPole = lines[26 + 13];
    EXPECT_EQ(southPole.from.y, 512);
    EXPECT_EQ(northPole.from.y, 0);
    EXPECT_EQ(northPole.to.x, 1024);
}

TEST(GridLines, RotateWithTheMapAndNothingForABadStep) {
    OverlayView v = View(1024, 512);
    v.xOffset = 90.0f;
    const std::vector<LineSegment> lines = GridLines(v, 15.0f, 15.0f);
    EXPECT_EQ(lines[0].from.x, 768);  // longitude 0 moved a quarter turn right
    EXPECT_TRUE(GridLines(v, 0.0f, 15.0f).empty());
    EXPECT_TRUE(GridLines(v, 15.0f, -1.0f).empty());
}

TEST(GridLines, NoAntarcticaPushesTheFarSouthBelowTheCache) {
    OverlayView v = View(1024, 768);
    v.scaleX = 1.0f;
    v.scaleY = 1.2f;
    const std::vector<LineSegment> lines = GridLines(v, 15.0f, 15.0f);
    int below = 0;
    for (std::size_t i = 26; i < lines.size(); ++i) below += lines[i].from.y > 768;
    EXPECT_EQ(below, 2);  // -75 and -90
}

TEST(DawnDuskPath, AtAnEquinoxItFollowsTheMeridiansNinetyDegreesFromTheSun) {
    const OverlayView v = View(1024, 512);  // sun at 0, 0
    const std::vector<PathStep> path = DawnDuskPath(v);
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(path.front().move);
    int onMeridians = 0;
    int samples = 0;
    for (const PathStep& s : path) {
        if (s.to.y < 20 || s.to.y > 492) continue;  // joins near the poles
        ++samples;
        if (std::abs(s.to.x - 256) <= 1 || std::abs(s.to.x - 768) <= 1) ++onMeridians;
    }
    EXPECT_GT(samples, 900);
    EXPECT_EQ(onMeridians, samples);
}

TEST(DawnDuskPath, ClosedCurveWithWidthPlusOneSamples) {
    OverlayView v = View(800, 400);
    v.subsolarLongitude = 0.7;
    v.declination = 0.35;
    const std::vector<PathStep> path = DawnDuskPath(v);
    int drawn = 0;
    for (const PathStep& s : path) drawn += !s.move;
    // One line per sample after the first, plus one extra per edge crossing.
    int crossings = 0;
    for (const PathStep& s : path) crossings += s.move;
    crossings -= 1;
    EXPECT_EQ(drawn, 800 + crossings);
    EXPECT_EQ(path.front().to.x, path.back().to.x);
    EXPECT_EQ(path.front().to.y, path.back().to.y);
}

TEST(DawnDuskPath, WrapsAtTheEdgesHorizontally) {
    OverlayView v = View(1024, 512);
    v.declination = 0.4;
    v.subsolarLongitude = 0.3;
    v.xOffset = 100.0f;  // puts a branch of the curve across the edge
    const std::vector<PathStep> path = DawnDuskPath(v);
    int wraps = 0;
    for (std::size_t i = 1; i + 1 < path.size(); ++i) {
        if (!path[i].move || i == 0) continue;
        // A move in the middle: the previous step drew to one edge, this
        // move starts at the other, both at the same height.
        const PathStep& before = path[i - 1];
        EXPECT_FALSE(before.move);
        EXPECT_EQ(before.to.y, path[i].to.y);
        EXPECT_TRUE((before.to.x == 1024 && path[i].to.x == 0) || (before.to.x == 0 && path[i].to.x == 1024));
        ++wraps;
    }
    EXPECT_GE(wraps, 1);
    // Apart from those edge runs no step jumps across the map.
    for (std::size_t i = 1; i < path.size(); ++i) {
        if (path[i].move || path[i - 1].move) continue;
        if (path[i].to.x == 0 || path[i].to.x == 1024) continue;
        EXPECT_LT(std::abs(path[i].to.x - path[i - 1].to.x), 512) << i;
    }
}

// Every sample of a twilight line lies 90 degrees plus the depth from the
// subsolar point, to the pixel; at an equinox the deep lines close around
// the night side, at a solstice they run round the globe.
TEST(TwilightPath, LiesTheDepthBeyondTheTerminator) {
    const struct { double longitude, declination; } suns[] = {{0.0, 0.0}, {-2.0, 0.409}, {2.5, -0.3}};
    for (const auto& sun : suns) {
        for (double depth : {6.0, 12.0, 18.0}) {
            OverlayView v = View(1440, 720);  // four pixels a degree
            v.subsolarLongitude = sun.longitude;
            v.declination = sun.declination;
            const std::vector<PathStep> path = TwilightPath(v, depth);
            ASSERT_FALSE(path.empty());
            int samples = 0;
            for (const PathStep& s : path) {
                if (s.to.x == 0 || s.to.x == 1440) continue;  // edge runs
                const double lat = (90.0 - (s.to.y + 0.5) / 4.0) * kPi / 180;
                const double lon = ((s.to.x + 0.5) / 4.0 - 180.0) * kPi / 180;
                const double cosDistance =
                    std::sin(lat) * std::sin(sun.declination) +
                    std::cos(lat) * std::cos(sun.declination) * std::cos(lon - sun.longitude);
                EXPECT_NEAR(std::acos(cosDistance) * 180 / kPi, 90 + depth, 0.5)
                    << sun.longitude << " " << sun.declination << " " << depth;
                ++samples;
            }
            EXPECT_GT(samples, 1300);
        }
    }
    EXPECT_TRUE(TwilightPath(View(1440, 720), 0.0).empty());
    EXPECT_TRUE(TwilightPath(View(1440, 720), 90.0).empty());
    EXPECT_TRUE(TwilightPath(View(1440, 720), std::nan("")).empty());
}

TEST(SunLines, MeetAtTheSubsolarPoint) {
    OverlayView v = View(1024, 512);
    v.subsolarLongitude = 1.2;
    v.declination = -0.3;
    const LineSegment noon = MiddayLine(v);
    const LineSegment midnight = MidnightLine(v);
    const LineSegment lat = SunLatitudeLine(v);
    const PixelPoint sun = v.Project(static_cast<float>(OverlayDegrees(v.declination)),
                                     static_cast<float>(OverlayDegrees(v.subsolarLongitude)));
    EXPECT_EQ(noon.from.x, sun.x);
    EXPECT_EQ(noon.from.y, 0);
    EXPECT_EQ(noon.to.y, 512);
    EXPECT_EQ(lat.from.y, sun.y);
    EXPECT_EQ(lat.to.x, 1024);
    EXPECT_EQ((midnight.from.x - noon.from.x + 1024) % 1024, 512);
    // Following the sun puts noon in the centre column.
    v.followSun = true;
    EXPECT_NEAR(MiddayLine(v).from.x, 512, 1);
    EXPECT_NEAR(MidnightLine(v).from.x, 0, 1);
}

TEST(OverlayLines, InAWindowWiderThanTheNoDistortPictureStopAtThePicture) {
    // 1500 x 500 over a 1000 x 500 map: the picture spans columns 250..1250.
    const MapFit fit = FitMapToWindow(2, 1.0f, 0.5, 1500, 500, 1000, 500);
    OverlayView v = View(1500, 500);
    v.scaleX = fit.scaleX;
    v.scaleY = fit.scaleY;
    v.declination = 0.4;
    v.xOffset = 100.0f;
    EXPECT_NEAR(v.LineLeft(), 250, 1);
    EXPECT_NEAR(v.LineRight(), 1250, 1);
    for (const LineSegment& s : GridLines(v, 15.0f, 15.0f)) {
        EXPECT_GE(s.from.x, v.LineLeft());
        EXPECT_LE(s.to.x, v.LineRight());
    }
    int moves = 0;
    for (const PathStep& s : DawnDuskPath(v)) {
        EXPECT_GE(s.to.x, v.LineLeft());
        EXPECT_LE(s.to.x, v.LineRight());
        moves += s.move;
    }
    EXPECT_GE(moves, 2);  // it did wrap
    // Elsewhere lines run from edge to edge of the cache.
    const OverlayView plain = View(1500, 500);
    EXPECT_EQ(plain.LineLeft(), 0);
    EXPECT_EQ(plain.LineRight(), 1500);
}

}  // namespace
}  // namespace uv
