#include "controller/UserWallpaper.h"
#include "controller/WallpaperFile.h"
#include "renderer/BmpFile.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace uv {
namespace {

class FakeStore : public WallpaperStore {
public:
    std::map<std::string, RegValue> desktop, product;
    bool failReads = false;
    int writesLeft = 1 << 30;   // writes that succeed before every further one fails

    bool Read(WallpaperKey key, const char* name, RegValue& value) override {
        if (failReads) return false;
        auto& m = key == WallpaperKey::Desktop ? desktop : product;
        auto it = m.find(name);
        value = it == m.end() ? RegValue() : it->second;
        return true;
    }
    bool Write(WallpaperKey key, const char* name, const RegValue& value) override {
        if (writesLeft-- <= 0) return false;
        auto& m = key == WallpaperKey::Desktop ? desktop : product;
        if (value.present) m[name] = value; else m.erase(name);
        return true;
    }
};

RegValue Dword(std::uint32_t v) {
    RegValue r;
    r.present = true;
    r.type = 4;
    r.data = {static_cast<std::uint8_t>(v), 0, 0, 0};
    return r;
}

const char kOurs[] = "C:\\Users\\u\\AppData\\Local\\Umbravue\\wallpaper.bmp";
const WallpaperPlacement kCentred;

TEST(WallpaperFile, BmpHeadersOfAnOddWidthCountPaddedRows) {
    const auto h = BmpHeaders(3, 2);
    EXPECT_EQ(h[0], 'B');
    EXPECT_EQ(h[1], 'M');
    EXPECT_EQ(h[2], 78);    // 54 + 2 rows of 12 bytes
    EXPECT_EQ(h[10], 54);   // pixels follow the headers
    EXPECT_EQ(h[14], 40);
    EXPECT_EQ(h[18], 3);
    EXPECT_EQ(h[22], 2);    // positive height: bottom-up
    EXPECT_EQ(h[28], 24);
    EXPECT_EQ(h[34], 24);
    EXPECT_EQ(BmpRowStride(4), 12u);
}

TEST(WallpaperFile, PathsStayWithinTheAnsiLimit) {
    WallpaperFiles f;
    ASSERT_TRUE(MakeWallpaperFiles("C:\\Data\\", f));
    EXPECT_EQ(f.picture, "C:\\Data\\Umbravue\\wallpaper.bmp");
    EXPECT_EQ(f.temporary, "C:\\Data\\Umbravue\\wallpaper.tmp");
    // "\Umbravue\wallpaper.bmp" is 23 characters: 236 + 23 = 259 fits, 260 does not.
    EXPECT_TRUE(MakeWallpaperFiles(std::string(236, 'a'), f));
    EXPECT_FALSE(MakeWallpaperFiles(std::string(237, 'a'), f));
    EXPECT_FALSE(MakeWallpaperFiles("", f));
}

TEST(WallpaperPlacement, OneMonitorCentresSeveralTileFromThePrimaryOrSpan) {
    const WallpaperPlacement one = PlaceWallpaper({0, 0, 1280, 800, 1}, 5, 1);
    EXPECT_STREQ(one.style, "0");
    EXPECT_STREQ(one.tile, "0");

    // A 1024-wide monitor left of a 1280-wide primary, a taller one above.
    const ScreenLayout two{-1024, -200, 2304, 1224, 2};
    const WallpaperPlacement xp = PlaceWallpaper(two, 5, 1);
    EXPECT_STREQ(xp.tile, "1");
    EXPECT_STREQ(xp.style, "0");
    // Screen x 0 (the primary's left edge) shows picture column 1024, which
    // the rotation puts at column 0; likewise row 200 at row 0.
    EXPECT_EQ(xp.shiftX, 1280);
    EXPECT_EQ(xp.shiftY, 1024);
    EXPECT_EQ(PlaceWallpaper(two, 6, 1).shiftX, 1280);   // Windows 7 tiles too

    const WallpaperPlacement eight = PlaceWallpaper(two, 6, 2);
    EXPECT_STREQ(eight.style, "22");
    EXPECT_STREQ(eight.tile, "0");
    EXPECT_EQ(eight.shiftX, 0);
    EXPECT_EQ(eight.shiftY, 0);
}

TEST(UserWallpaper, ComesBackByteForByteWithMissingAndOddlyTypedValues) {
    FakeStore s;
    const std::string path300(300, 'p');
    s.desktop["Wallpaper"] = StringValue(path300);
    s.desktop["WallpaperStyle"] = Dword(2);   // the wrong type, kept as it is
    // no TileWallpaper at all
    const auto before = s.desktop;

    ASSERT_TRUE(KeepUserWallpaper(s, kOurs));
    ASSERT_TRUE(WriteOurWallpaperValues(s, kOurs, kCentred));
    EXPECT_EQ(ValueText(s.desktop["Wallpaper"]), kOurs);
    // A second keep (the mode was switched off and on) must not copy ours.
    ASSERT_TRUE(KeepUserWallpaper(s, kOurs));

    std::string userPath;
    EXPECT_EQ(RestoreUserWallpaper(s, userPath), RestoreResult::Restored);
    EXPECT_EQ(userPath, path300);
    EXPECT_EQ(s.desktop, before);
    EXPECT_TRUE(s.product.empty());
    EXPECT_EQ(RestoreUserWallpaper(s, userPath), RestoreResult::NothingKept);
}

TEST(UserWallpaper, ANewerChoiceOfTheUserStaysAndTheCopyIsForgotten) {
    FakeStore s;
    s.desktop["Wallpaper"] = StringValue("C:\\old.bmp");
    ASSERT_TRUE(KeepUserWallpaper(s, kOurs));
    ASSERT_TRUE(WriteOurWallpaperValues(s, kOurs, kCentred));
    s.desktop["Wallpaper"] = StringValue("C:\\new.bmp");
    std::string userPath;
    EXPECT_EQ(RestoreUserWallpaper(s, userPath), RestoreResult::UserChangedIt);
    EXPECT_EQ(ValueText(s.desktop["Wallpaper"]), "C:\\new.bmp");
    EXPECT_TRUE(s.product.empty());
}

TEST(UserWallpaper, FailuresNeverLoseTheUsersValues) {
    FakeStore s;
    s.desktop["Wallpaper"] = StringValue("C:\\mine.bmp");
    s.failReads = true;
    EXPECT_FALSE(KeepUserWallpaper(s, kOurs));
    EXPECT_TRUE(s.product.empty());

    // Copied, but the marker could not be written: not kept, so the caller
    // leaves the wallpaper alone.
    s.failReads = false;
    s.writesLeft = 3;
    EXPECT_FALSE(KeepUserWallpaper(s, kOurs));
    s.product.clear();

    s.writesLeft = 1 << 30;
    ASSERT_TRUE(KeepUserWallpaper(s, kOurs));
    ASSERT_TRUE(WriteOurWallpaperValues(s, kOurs, kCentred));
    s.writesLeft = 1;   // the write-back stops after its first value
    std::string userPath;
    EXPECT_EQ(RestoreUserWallpaper(s, userPath), RestoreResult::Failed);
    EXPECT_FALSE(s.product.empty());

    // The next try still finds our picture named, and puts everything back.
    s.writesLeft = 1 << 30;
    EXPECT_EQ(RestoreUserWallpaper(s, userPath), RestoreResult::Restored);
    EXPECT_EQ(ValueText(s.desktop["Wallpaper"]), "C:\\mine.bmp");
    EXPECT_EQ(s.desktop.count("WallpaperStyle"), 0u);
}

}  // namespace
}  // namespace uv
