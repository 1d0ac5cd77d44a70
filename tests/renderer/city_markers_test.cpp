#include "renderer/CityMarkers.h"

#include <gtest/gtest.h>

#include <string>

#include "solar/CityDatabase.h"

namespace uv {
namespace {

void Load(CityDatabase& db, const std::string& text) {
    db.Parse(text.c_str(), static_cast<unsigned>(text.size()));
}

OverlayView View(int w, int h) {
    OverlayView v;
    v.targetWidth = w;
    v.targetHeight = h;
    return v;
}

TEST(CityMarkerPositions, SelectedCitiesInDatabaseOrder) {
    CityDatabase db;
    Load(db, "Null,X,0,0\nEast,X,90,0\nNorth,X,0,45\nWest,X,-90,-45\n");
    db.SelectCityIndex(3);
    db.SelectCityIndex(1);
    const auto markers = CityMarkerPositions(View(1024, 512), db);
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_STREQ(markers[0].city->name, "East");
    EXPECT_EQ(markers[0].centre.x, 768);
    EXPECT_EQ(markers[0].centre.y, 256);
    EXPECT_STREQ(markers[1].city->name, "West");
    EXPECT_EQ(markers[1].centre.x, 256);
    EXPECT_EQ(markers[1].centre.y, 384);
}

TEST(CityMarkerPositions, EmptySelectionAndEmptyDatabaseGiveNothing) {
    CityDatabase db;
    EXPECT_TRUE(CityMarkerPositions(View(1024, 512), db).empty());
    Load(db, "A,X,1,2\n");
    EXPECT_TRUE(CityMarkerPositions(View(1024, 512), db).empty());
}

TEST(CityMarkerPositions, DateLineCitiesShareAColumn) {
    CityDatabase db;
    Load(db, "E,X,180,10\nW,X,-180,10\n");
    db.SelectCityIndex(0);
    db.SelectCityIndex(1);
    OverlayView v = View(1000, 500);
    v.xOffset = 37.0f;
    const auto markers = CityMarkerPositions(v, db);
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_EQ(markers[0].centre.x, markers[1].centre.x);
}

TEST(CityMarkerPositions, BelowTheBottomEdgeIsSkippedOnTheEdgeIsNot) {
    CityDatabase db;
    // 1024 x 768 with the bottom sixth cut: -60 lies on the bottom edge.
    Load(db, "Edge,X,0,-60\nSouth,X,0,-61\nPole,X,0,-90\nTop,X,0,90\n");
    for (int i = 0; i < 4; ++i) db.SelectCityIndex(i);
    OverlayView v = View(1024, 768);
    v.scaleY = 1.2f;
    const auto markers = CityMarkerPositions(v, db);
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_STREQ(markers[0].city->name, "Edge");
    EXPECT_EQ(markers[0].centre.y, 768);
    EXPECT_STREQ(markers[1].city->name, "Top");
}

TEST(CityMarkerPositions, ExactlyOnePixelBelowIsSkipped) {
    // 180 rows: one degree per row, so latitude -90.5 rounds to row 181.
    CityDatabase db;
    Load(db, "On,X,0,-90\nBelow,X,0,-91\n");
    db.SelectCityIndex(0);
    db.SelectCityIndex(1);
    const auto markers = CityMarkerPositions(View(360, 180), db);
    ASSERT_EQ(markers.size(), 1u);
    EXPECT_EQ(markers[0].centre.y, 180);
}

TEST(CityMarkerPositions, FollowTheSunMovesMarkersWithTheMap) {
    CityDatabase db;
    Load(db, "Noon,X,45,0\n");
    db.SelectCityIndex(0);
    OverlayView v = View(1024, 512);
    v.followSun = true;
    v.subsolarLongitude = 45.0 / 180.0 * 3.141592653589793;
    EXPECT_NEAR(CityMarkerPositions(v, db)[0].centre.x, 512, 1);
}

}  // namespace
}  // namespace uv
