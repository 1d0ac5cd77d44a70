#include "controlpanel/CityChooser.h"

#include "solar/CityDatabase.h"
#include "tests/solar/ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <string>

namespace uv {
namespace {

// A database of n cities "C0".."Cn-1".
void Fill(CityDatabase& db, int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "C" + std::to_string(i) + ",Land," + std::to_string(i % 180) + ".5,10.25\n";
    db.Parse(text.data(), static_cast<unsigned>(text.size()));
}

std::vector<bool> Rows(int n, std::initializer_list<int> on) {
    std::vector<bool> rows(static_cast<std::size_t>(n));
    for (int i : on) rows[i] = true;
    return rows;
}

TEST(CityChooser, CountsAndDetailsTexts) {
    EXPECT_EQ(CityCountsText(0), "selected 0 (of 48) cities");
    EXPECT_EQ(CityCountsText(48), "selected 48 (of 48) cities");
    CityRecord city = {};
    std::snprintf(city.name, sizeof city.name, "%s", "Oslo");
    city.latitude = 59.5f;
    city.longitude = -10.25f;
    const std::string details = CityDetailsText(city);
    EXPECT_EQ(details.rfind("Oslo: 59\xB0", 0), 0u) << details;
    EXPECT_NE(details.find(" N, "), std::string::npos) << details;
    EXPECT_EQ(details.back(), 'W') << details;
}

TEST(CityChooser, StepJumpsToNearestSelectedRowElseTurnsBack) {
    const auto rows = Rows(10, {2, 6});
    EXPECT_EQ(StepToSelectedRow(rows, 4, true), 2);
    EXPECT_EQ(StepToSelectedRow(rows, 4, false), 6);
    // Above every selected row, Up goes to the first one below.
    EXPECT_EQ(StepToSelectedRow(rows, 0, true), 2);
    // Below every selected row, Down goes to the last one above.
    EXPECT_EQ(StepToSelectedRow(rows, 9, false), 6);
    // On the only selected row both stay.
    const auto one = Rows(10, {5});
    EXPECT_EQ(StepToSelectedRow(one, 5, true), 5);
    EXPECT_EQ(StepToSelectedRow(one, 5, false), 5);
    // Nothing selected, no caret, an empty list: no move.
    EXPECT_EQ(StepToSelectedRow(Rows(10, {}), 3, true), -1);
    EXPECT_EQ(StepToSelectedRow(rows, -1, false), -1);
    EXPECT_EQ(StepToSelectedRow(rows, 10, false), -1);
    EXPECT_EQ(StepToSelectedRow({}, 0, true), -1);
}

TEST(CityChooser, FortyNinthSelectionIsUndoneAndFlagsMatchList) {
    CityDatabase db;
    Fill(db, 60);
    std::vector<bool> rows(60);
    for (int i = 0; i < 48; ++i) {
        rows[i] = true;
        ASSERT_TRUE(TakeListSelection(rows, i, db));
    }
    EXPECT_EQ(db.GetSelectedCount(), 48);
    rows[55] = true;
    EXPECT_TRUE(TakeListSelection(rows, 55, db));
    EXPECT_FALSE(rows[55]);
    EXPECT_EQ(db.GetSelectedCount(), 48);
    EXPECT_EQ(DatabaseRows(db), rows);
    // Deselecting and selecting another one is fine.
    rows[3] = false;
    EXPECT_TRUE(TakeListSelection(rows, 3, db));
    rows[55] = true;
    EXPECT_TRUE(TakeListSelection(rows, 55, db));
    EXPECT_EQ(DatabaseRows(db), rows);
    EXPECT_EQ(db.GetSelectedCount(), 48);
}

TEST(CityChooser, OverLimitWithoutCaretOnNewRowIsRefusedForAResync) {
    CityDatabase db;
    Fill(db, 60);
    std::vector<bool> rows(60);
    for (int i = 0; i < 50; ++i) rows[i] = true;  // e.g. a range selected at once
    EXPECT_FALSE(TakeListSelection(rows, 59, db));
    EXPECT_EQ(db.GetSelectedCount(), 0);
}

TEST(CityChooser, StoredSelectionOverTheLimitCanStillShrink) {
    CityDatabase db;
    Fill(db, 60);
    for (int i = 0; i < 55; ++i) db.SelectCityIndex(i);
    std::vector<bool> rows = DatabaseRows(db);
    rows[10] = false;
    EXPECT_TRUE(TakeListSelection(rows, 10, db));
    EXPECT_EQ(db.GetSelectedCount(), 54);
    EXPECT_EQ(DatabaseRows(db), rows);
    // but cannot grow
    rows[58] = true;
    EXPECT_TRUE(TakeListSelection(rows, 58, db));
    EXPECT_FALSE(rows[58]);
    EXPECT_EQ(db.GetSelectedCount(), 54);
}

TEST(CityChooser, ListOfOtherLengthThanDatabaseIsNotTaken) {
    CityDatabase db;
    Fill(db, 5);
    std::vector<bool> rows = Rows(3, {1});
    EXPECT_FALSE(TakeListSelection(rows, 1, db));
    EXPECT_EQ(db.GetSelectedCount(), 0);
    CityDatabase empty;
    std::vector<bool> none;
    EXPECT_TRUE(TakeListSelection(none, -1, empty));
    EXPECT_TRUE(DatabaseRows(empty).empty());
}

TEST(CityChooser, TrayTipNamesWatchedCityOrTheSun) {
    CityDatabase db;
    Fill(db, 5);
    const std::time_t t = 1700000000;
    const std::string city = TrayTipText(t, db, 3);
    EXPECT_EQ(city.rfind("C3, Land", 0), 0u) << city;
    const std::string sun = TrayTipText(t, db, -1);
    EXPECT_EQ(sun.rfind("Umbravue: Sun is at ", 0), 0u) << sun;
    EXPECT_LE(sun.size(), 63u);
    CityDatabase empty;
    EXPECT_EQ(TrayTipText(t, empty, 2).rfind("Umbravue: Sun is at ", 0), 0u);
}

// "real local time" and "exact sun" in the city details and the tray tip,
// on a machine in Central Europe in summer (UTC+2), 2027-07-15 12:00 UTC.
TEST(CityChooser, RealZonesAndTheExactSunInDetailsAndTip) {
    ScopedTimeZone zone("CET-1CEST");
    CityDatabase db;
    const std::string cities = "Adelaide,Australia,138.5986,-34.9287\nKabul,Afghanistan,69.1723,34.5281\n";
    db.Parse(cities.data(), static_cast<unsigned>(cities.size()));
    const std::string zones = "0,Australia/Adelaide,ACST-9:30ACDT,M10.1.0,M4.1.0/3\n";
    db.ParseZones(zones.data(), zones.size());
    const std::time_t july = 1815998400;

    EXPECT_NE(CityDetailsText(db, 0, true, july).find("\" E\nAustralia/Adelaide +09:30"), std::string::npos)
        << CityDetailsText(db, 0, true, july);
    // Kabul has no line: its longitude's nominal zone, said so.
    EXPECT_NE(CityDetailsText(db, 1, true, july).find("\nnominal +05:00"), std::string::npos);
    EXPECT_EQ(CityDetailsText(db, 0, false, july), CityDetailsText(*db.GetCity(0)));

    // The real clock against the machine's real offset: 21:30 in Adelaide,
    // 7.5 hours ahead of summer time here; nominally 22:00 and +9h (against
    // standard time).
    const std::string real = TrayTipText(july, db, 0, true, true);
    EXPECT_EQ(real.rfind("Adelaide, Australia; +7.5h\nnow 21:30; ", 0), 0u) << real;
    const std::string nominal = TrayTipText(july, db, 0, false, false);
    EXPECT_EQ(nominal.rfind("Adelaide, Australia; +9h\nnow 22:00; ", 0), 0u) << nominal;
    // The apparent sun: 20 deg 49' N and 1 deg 34' E by ERFA (SOFA); the
    // mean sun of the simple model stands on the Greenwich meridian.
    const std::string sun = TrayTipText(july, db, -1, true, true);
    EXPECT_NE(sun.find("20\xB0"
                       "49'"),
              std::string::npos)
        << sun;
    EXPECT_NE(sun.find("  1\xB0"
                       "34'"),
              std::string::npos)
        << sun;
    EXPECT_NE(TrayTipText(july, db, -1)
                  .find("  0\xB0"
                        "00'00\" E"),
              std::string::npos);
}

}  // namespace
}  // namespace uv
