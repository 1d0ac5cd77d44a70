#include "solar/CityDatabase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Parses from a heap copy of exactly the text's bytes, with no terminating
// NUL, so that the sanitizers catch any read past the end.
void ParseExact(CityDatabase& db, const std::string& text) {
    std::vector<char> bytes(text.begin(), text.end());
    db.Parse(bytes.empty() ? nullptr : bytes.data(), static_cast<unsigned>(bytes.size()));
}

std::string Names(const CityDatabase& db) {
    std::string out;
    for (int i = 0; i < db.GetCityCount(); ++i) {
        if (i) out += '|';
        out += db.GetCity(i)->name;
    }
    return out;
}

TEST(CityParseTest, ThreeLinesTwoCountries) {
    CityDatabase db;
    ParseExact(db, "A,X,1.5,2.5\r\nB,Y,3,4\r\nC,X,5,6");
    ASSERT_EQ(db.GetCityCount(), 3);
    ASSERT_EQ(db.GetCountryCount(), 2);
    EXPECT_STREQ(db.GetCountry(0)->name, "X");
    EXPECT_STREQ(db.GetCountry(1)->name, "Y");
    EXPECT_STREQ(db.GetCity(2)->name, "C");
    EXPECT_EQ(db.GetCity(2)->country, db.GetCountry(0));
    EXPECT_EQ(db.GetCity(1)->country, db.GetCountry(1));
    EXPECT_EQ(db.GetCity(0)->longitude, 1.5f);
    EXPECT_EQ(db.GetCity(0)->latitude, 2.5f);
    EXPECT_EQ(db.GetCity(0)->selected, 0);
    EXPECT_EQ(db.GetSelectedCount(), 0);
}

TEST(CityParseTest, BlankLinesAndFinalLineBreaksDoNotMakeCities) {
    const char* texts[] = {
        "A,X,1,2\nB,Y,3,4",       "A,X,1,2\nB,Y,3,4\n",
        "A,X,1,2\r\nB,Y,3,4\r\n", "\r\n\nA,X,1,2\r\n\r\n\r\nB,Y,3,4\n\n",
        "A,X,1,2\rB,Y,3,4\r",     "\n\rA,X,1,2\n\r\n\rB,Y,3,4",
    };
    for (const char* text : texts) {
        CityDatabase db;
        ParseExact(db, text);
        EXPECT_EQ(Names(db), "A|B") << text;
        EXPECT_EQ(db.GetCity(1)->latitude, 4.0f) << text;
    }
}

TEST(CityParseTest, FieldsAreTakenByteForByte) {
    CityDatabase db;
    ParseExact(db, "Paris ,France, 2.35,48.85\n\xC5land, \"Q\" ,-1e1 ,  +3.5e-1x");
    ASSERT_EQ(db.GetCityCount(), 2);
    EXPECT_STREQ(db.GetCity(0)->name, "Paris ");
    EXPECT_STREQ(db.GetCity(0)->country->name, "France");
    EXPECT_EQ(db.GetCity(0)->longitude, 2.35f);
    EXPECT_EQ(db.GetCity(0)->latitude, 48.85f);
    EXPECT_STREQ(db.GetCity(1)->name, "\xC5land");
    EXPECT_STREQ(db.GetCity(1)->country->name, " \"Q\" ");
    EXPECT_EQ(db.GetCity(1)->longitude, -10.0f);
    EXPECT_EQ(db.GetCity(1)->latitude, 0.35f);
}

TEST(CityParseTest, CommasAfterTheThirdBelongToTheLatitude) {
    CityDatabase db;
    ParseExact(db, "A,X,1,2,junk");
    ASSERT_EQ(db.GetCityCount(), 1);
    EXPECT_EQ(db.GetCity(0)->longitude, 1.0f);
    EXPECT_EQ(db.GetCity(0)->latitude, 2.0f);
}

TEST(CityParseTest, CountriesInOrderOfFirstAppearance) {
    CityDatabase db;
    ParseExact(db, "a,Z,0,0\nb,A,0,0\nc,Z,0,0\nd,M,0,0\ne,A,0,0\n");
    ASSERT_EQ(db.GetCountryCount(), 3);
    EXPECT_STREQ(db.GetCountry(0)->name, "Z");
    EXPECT_STREQ(db.GetCountry(1)->name, "A");
    EXPECT_STREQ(db.GetCountry(2)->name, "M");
    EXPECT_EQ(db.GetCity(4)->country, db.GetCountry(1));
    EXPECT_EQ(db.GetCountry(3), nullptr);
    EXPECT_EQ(db.GetCountry(-1), nullptr);
}

TEST(CityParseTest, ShortLinesStillCountSoIndicesDoNotShift) {
    CityDatabase db;
    ParseExact(db, "Lonely\nA,B\nC,D,3\n,,,\nLast,X,7,8");
    ASSERT_EQ(db.GetCityCount(), 5);
    EXPECT_STREQ(db.GetCity(0)->name, "Lonely");
    EXPECT_STREQ(db.GetCity(0)->country->name, "");
    EXPECT_EQ(db.GetCity(0)->longitude, 0.0f);
    EXPECT_EQ(db.GetCity(0)->latitude, 0.0f);
    EXPECT_STREQ(db.GetCity(1)->country->name, "B");
    EXPECT_EQ(db.GetCity(2)->longitude, 3.0f);
    EXPECT_EQ(db.GetCity(2)->latitude, 0.0f);
    EXPECT_STREQ(db.GetCity(3)->name, "");
    EXPECT_EQ(db.GetCity(3)->country, db.GetCity(0)->country);  // both ""
    EXPECT_STREQ(db.GetCity(4)->name, "Last");
    EXPECT_EQ(db.GetCity(4)->latitude, 8.0f);
    EXPECT_EQ(db.GetCountryCount(), 4);
}

TEST(CityParseTest, OverlongNamesAndCountriesAreCutTo31Characters) {
    std::string longName(40, 'n');
    std::string longCountry = std::string(31, 'c') + "AAAA";
    std::string otherCountry = std::string(31, 'c') + "BBBB";
    CityDatabase db;
    ParseExact(db, longName + "," + longCountry + ",1,2\nx," + otherCountry + ",3,4\n");
    ASSERT_EQ(db.GetCityCount(), 2);
    EXPECT_EQ(std::string(db.GetCity(0)->name), std::string(31, 'n'));
    EXPECT_EQ(std::string(db.GetCity(0)->country->name), std::string(31, 'c'));
    // Countries equal in their first 31 characters are one country.
    EXPECT_EQ(db.GetCountryCount(), 1);
    EXPECT_EQ(db.GetCity(1)->country, db.GetCity(0)->country);
    EXPECT_EQ(db.GetCity(0)->longitude, 1.0f);
    EXPECT_EQ(db.GetCity(1)->latitude, 4.0f);
}

TEST(CityParseTest, OnlyTheFirst15CharactersOfANumberCount) {
    CityDatabase db;
    // 15 characters of the longitude are "000000000000001", so .5 is lost.
    ParseExact(db, "A,X,000000000000001.5,12.3456789012345678\n");
    ASSERT_EQ(db.GetCityCount(), 1);
    EXPECT_EQ(db.GetCity(0)->longitude, 1.0f);
    EXPECT_EQ(db.GetCity(0)->latitude, 12.3456789012345f);
}

TEST(CityParseTest, NumbersReadOnlyAsPlainDecimalsOnEveryRuntime) {
    CityDatabase db;
    ParseExact(db,
               "A,X,0x10,inf\n"
               "B,X,nan,-infinity\n"
               "C,X,1e300,-1e39\n"
               "D,X,2e,3e+\n"
               "E,X,.5,-.25e1\n"
               "F,X,+,-\n");
    ASSERT_EQ(db.GetCityCount(), 6);
    EXPECT_EQ(db.GetCity(0)->longitude, 0.0f);
    EXPECT_EQ(db.GetCity(0)->latitude, 0.0f);
    EXPECT_EQ(db.GetCity(1)->longitude, 0.0f);
    EXPECT_EQ(db.GetCity(1)->latitude, 0.0f);
    // Beyond the range of a float: 0 rather than an undefined narrowing.
    EXPECT_EQ(db.GetCity(2)->longitude, 0.0f);
    EXPECT_EQ(db.GetCity(2)->latitude, 0.0f);
    EXPECT_EQ(db.GetCity(3)->longitude, 2.0f);
    EXPECT_EQ(db.GetCity(3)->latitude, 3.0f);
    EXPECT_EQ(db.GetCity(4)->longitude, 0.5f);
    EXPECT_EQ(db.GetCity(4)->latitude, -2.5f);
    EXPECT_EQ(db.GetCity(5)->longitude, 0.0f);
}

TEST(CityParseTest, NulBytesEndLinesLikeLineBreaks) {
    CityDatabase db;
    const char text[] = "A,X,1,2\0B,Y,3,4\0\0\0C,X\0,5,6\0";
    ParseExact(db, std::string(text, sizeof text - 1));
    EXPECT_EQ(Names(db), "A|B|C|");
    EXPECT_STREQ(db.GetCity(2)->country->name, "X");
    EXPECT_STREQ(db.GetCity(3)->country->name, "5");
    EXPECT_EQ(db.GetCity(3)->longitude, 6.0f);

    CityDatabase onlyNul;
    ParseExact(onlyNul, std::string("\0\0\r\n\0", 5));
    EXPECT_EQ(onlyNul.GetCityCount(), 0);
}

TEST(CityParseTest, EmptyTexts) {
    for (const char* text : {"", "\n", "\r\n\r\n\n\r\r\r"}) {
        CityDatabase db;
        ParseExact(db, text);
        EXPECT_EQ(db.GetCityCount(), 0);
        EXPECT_EQ(db.GetCountryCount(), 0);
        EXPECT_EQ(db.GetCity(0), nullptr);
    }
    // Every call on an empty database is harmless.
    CityDatabase db;
    db.Parse(nullptr, 100);
    EXPECT_EQ(db.GetCityCount(), 0);
    EXPECT_EQ(db.GetCity(-1), nullptr);
    db.SelectCityIndex(0);
    db.DeselectCityIndex(0);
    db.ClearSelection();
    EXPECT_EQ(db.GetSelectedCount(), 0);
}

TEST(CityParseTest, AVeryLargeText) {
    std::string text;
    const int count = 200000;
    for (int i = 0; i < count; ++i) {
        text += "City" + std::to_string(i) + ",Country" + std::to_string(i % 250) + "," +
                std::to_string(i % 360 - 180) + "," + std::to_string(i % 180 - 90) + "\r\n";
    }
    CityDatabase db;
    ParseExact(db, text);
    ASSERT_EQ(db.GetCityCount(), count);
    EXPECT_EQ(db.GetCountryCount(), 250);
    EXPECT_STREQ(db.GetCity(count - 1)->name, "City199999");
    EXPECT_STREQ(db.GetCity(count - 1)->country->name, "Country249");
    EXPECT_EQ(db.GetCity(count - 1)->longitude, static_cast<float>(199999 % 360 - 180));
}

TEST(CityParseTest, ParsingAgainReplacesEverything) {
    CityDatabase db;
    ParseExact(db, "A,X,1,2\nB,Y,3,4\nC,Z,5,6\n");
    db.SelectCityIndex(1);
    db.SelectCityIndex(2);
    ParseExact(db, "D,W,7,8\n");
    EXPECT_EQ(Names(db), "D");
    EXPECT_EQ(db.GetCountryCount(), 1);
    EXPECT_STREQ(db.GetCity(0)->country->name, "W");
    // The fresh records are unselected, and the count says so.
    EXPECT_EQ(db.GetSelectedCount(), 0);
}

class CitySelectionTest : public ::testing::Test {
protected:
    void SetUp() override { ParseExact(db, "A,X,1,2\nB,Y,3,4\nC,X,5,6\n"); }
    int CountFlags() const {
        int n = 0;
        for (int i = 0; i < db.GetCityCount(); ++i) n += db.GetCity(i)->selected;
        return n;
    }
    CityDatabase db;
};

TEST_F(CitySelectionTest, IndicesWrapModuloTheCityCount) {
    EXPECT_EQ(db.GetCity(3), db.GetCity(0));
    EXPECT_EQ(db.GetCity(7), db.GetCity(1));
    db.SelectCityIndex(5);
    EXPECT_EQ(db.GetCity(2)->selected, 1);
    EXPECT_EQ(db.GetSelectedCount(), 1);
}

TEST_F(CitySelectionTest, SelectingTwiceAndDeselectingTwiceCountOnce) {
    db.SelectCityIndex(1);
    db.SelectCityIndex(1);
    EXPECT_EQ(db.GetSelectedCount(), 1);
    db.SelectCityIndex(0);
    EXPECT_EQ(db.GetSelectedCount(), 2);
    db.DeselectCityIndex(1);
    db.DeselectCityIndex(1);
    db.DeselectCityIndex(2);
    EXPECT_EQ(db.GetSelectedCount(), 1);
    EXPECT_EQ(CountFlags(), 1);
    EXPECT_EQ(db.GetCity(0)->selected, 1);
    db.SelectCityIndex(2);
    db.ClearSelection();
    EXPECT_EQ(db.GetSelectedCount(), 0);
    EXPECT_EQ(CountFlags(), 0);
}

TEST_F(CitySelectionTest, NegativeIndicesMeanNoCity) {
    EXPECT_EQ(db.GetCity(-1), nullptr);
    EXPECT_EQ(db.GetCity(-2147483647 - 1), nullptr);
    db.SelectCityIndex(-1);
    db.SelectCityIndex(-3);
    EXPECT_EQ(db.GetSelectedCount(), 0);
    db.SelectCityIndex(0);
    db.DeselectCityIndex(-3);
    EXPECT_EQ(db.GetSelectedCount(), 1);
    EXPECT_EQ(CountFlags(), 1);
}

}  // namespace
