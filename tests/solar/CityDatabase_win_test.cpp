#include <windows.h>

#include <gtest/gtest.h>

#include "solar/CityDatabase.h"

namespace {

TEST(CityResourceTest, LoadsTheCsvResourceOfAModule) {
    CityDatabase db;
    db.LoadFromResource(GetModuleHandleA(nullptr), 103);
    ASSERT_EQ(db.GetCityCount(), 3);
    EXPECT_EQ(db.GetCountryCount(), 2);
    EXPECT_STREQ(db.GetCity(1)->name, "Oslo");
    EXPECT_STREQ(db.GetCity(2)->country->name, "Italy");
    EXPECT_EQ(db.GetCity(2)->country, db.GetCity(0)->country);
    EXPECT_EQ(db.GetCity(1)->longitude, 10.75f);
    EXPECT_EQ(db.GetCity(1)->latitude, 59.91f);
}

TEST(CityResourceTest, OnlyTheLow16BitsOfTheIdCount) {
    CityDatabase db;
    db.LoadFromResource(GetModuleHandleA(nullptr), 0x10000 + 103);
    EXPECT_EQ(db.GetCityCount(), 3);
}

TEST(CityResourceTest, AMissingResourceGivesAnEmptyDatabase) {
    CityDatabase db;
    db.LoadFromResource(GetModuleHandleA(nullptr), 103);
    db.SelectCityIndex(1);
    db.LoadFromResource(GetModuleHandleA(nullptr), 104);
    EXPECT_EQ(db.GetCityCount(), 0);
    EXPECT_EQ(db.GetCountryCount(), 0);
    EXPECT_EQ(db.GetSelectedCount(), 0);
    EXPECT_EQ(db.GetCity(0), nullptr);
    // A module without any resources of that type.
    db.LoadFromResource(GetModuleHandleA("kernel32.dll"), 103);
    EXPECT_EQ(db.GetCityCount(), 0);
}

}  // namespace
