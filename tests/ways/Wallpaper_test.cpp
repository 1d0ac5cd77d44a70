#include "ways/UserWallpaper.h"
#include "ways/WallpaperFile.h"
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
    int writesLeft = 1 << 30;  // writes that succeed before every further one fails

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
        if (value.present)
            m[name] = value;
        else
            m.erase(name);
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

const char16_t kOurs[] = u"C:\\Users\\u\\AppData\\Local\\Umbravue\\wallpaper.bmp";
const WallpaperPlacement kCentred;

TEST(WallpaperFile, BmpHeadersOfAnOddWidthCountPaddedRows) {
    const auto h = BmpHeaders(3, 2);
    EXPECT_EQ(h[0], 'B');
    EXPECT_EQ(h[1], 'M');
    EXPECT_EQ(h[2], 78);   // 54 + 2 rows of 12 bytes
    EXPECT_EQ(h[10], 54);  // pixels follow the headers
    EXPECT_EQ(h[14], 40);
    EXPECT_EQ(h[18], 3);
    EXPECT_EQ(h[22], 2);  // positive height: bottom-up
    EXPECT_EQ(h[28], 24);
    EXPECT_EQ(h[34], 24);
    EXPECT_EQ(BmpRowStride(4), 12u);
}

TEST(WallpaperFile, TwoFilesPerPictureWithinThePathLimit) {
    WallpaperFiles f;
    ASSERT_TRUE(MakeWallpaperFiles(u"C:\\Data\\", f));
    EXPECT_EQ(f.Picture(kAllMonitors, 0), u"C:\\Data\\Umbravue\\wallpaper-a.bmp");
    EXPECT_EQ(f.Picture(kAllMonitors, 1), u"C:\\Data\\Umbravue\\wallpaper-b.bmp");
    EXPECT_EQ(f.Picture(12, 1), u"C:\\Data\\Umbravue\\wallpaper-12b.bmp");
    // "\Umbravue\wallpaper-63b.bmp" is 27 characters: 232 + 27 = 259 fits, 260 does not.
    EXPECT_TRUE(MakeWallpaperFiles(WideText(232, u'a'), f));
    EXPECT_FALSE(MakeWallpaperFiles(WideText(233, u'a'), f));
    EXPECT_FALSE(MakeWallpaperFiles(u"", f));
}

TEST(WallpaperFile, OurPicturesAreTheWallpaperFilesOfOurFolder) {
    const WideText marker = u"C:\\Users\\\u0141\\AppData\\Local\\Umbravue\\wallpaper-a.bmp";
    for (const char16_t* path : {u"C:\\Users\\\u0141\\AppData\\Local\\Umbravue\\wallpaper-b.bmp",
                                 u"c:\\users\\\u0141\\appdata\\local\\umbravue\\WALLPAPER-3A.BMP",
                                 u"C:\\Users\\\u0141\\AppData\\Local\\Umbravue\\wallpaper.bmp"})
        EXPECT_TRUE(IsOurPicture(path, marker)) << std::string(path, path + 4);
    for (const char16_t* path :
         {u"C:\\Users\\\u0141\\AppData\\Local\\Umbravue\\holiday.bmp",
          u"C:\\Users\\\u0141\\AppData\\Local\\Other\\wallpaper-a.bmp",
          u"C:\\Users\\\u0141\\AppData\\Local\\Umbravue\\wallpaper-a.jpg", u"wallpaper-a.bmp", u""})
        EXPECT_FALSE(IsOurPicture(path, marker));
    EXPECT_FALSE(IsOurPicture(marker, u""));
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
    EXPECT_EQ(PlaceWallpaper(two, 6, 1).shiftX, 1280);  // Windows 7 tiles too

    const WallpaperPlacement eight = PlaceWallpaper(two, 6, 2);
    EXPECT_STREQ(eight.style, "22");
    EXPECT_STREQ(eight.tile, "0");
    EXPECT_EQ(eight.shiftX, 0);
    EXPECT_EQ(eight.shiftY, 0);
}

TEST(UserWallpaper, ComesBackByteForByteWithMissingAndOddlyTypedValues) {
    FakeStore s;
    const WideText path300(300, u'p');
    s.desktop["Wallpaper"] = WideStringValue(path300);
    s.desktop["WallpaperStyle"] = Dword(2);  // the wrong type, kept as it is
    // no TileWallpaper at all
    const auto before = s.desktop;

    ASSERT_TRUE(KeepUserWallpaper(s, kOurs));
    ASSERT_TRUE(WriteOurWallpaperValues(s, kOurs, kCentred));
    EXPECT_EQ(WideValueText(s.desktop["Wallpaper"]), kOurs);
    // A second keep (the mode was switched off and on) must not copy ours.
    ASSERT_TRUE(KeepUserWallpaper(s, kOurs));

    WideText userPath;
    EXPECT_EQ(RestoreUserWallpaper(s, userPath), RestoreResult::Restored);
    EXPECT_EQ(userPath, path300);
    EXPECT_EQ(s.desktop, before);
    EXPECT_TRUE(s.product.empty());
    EXPECT_EQ(RestoreUserWallpaper(s, userPath), RestoreResult::NothingKept);
}

TEST(UserWallpaper, ANewerChoiceOfTheUserStaysAndTheCopyIsForgotten) {
    FakeStore s;
    s.desktop["Wallpaper"] = WideStringValue(u"C:\\old.bmp");
    ASSERT_TRUE(KeepUserWallpaper(s, kOurs));
    ASSERT_TRUE(WriteOurWallpaperValues(s, kOurs, kCentred));
    s.desktop["Wallpaper"] = WideStringValue(u"C:\\new.bmp");
    WideText userPath;
    EXPECT_EQ(RestoreUserWallpaper(s, userPath), RestoreResult::UserChangedIt);
    EXPECT_EQ(WideValueText(s.desktop["Wallpaper"]), u"C:\\new.bmp");
    EXPECT_TRUE(s.product.empty());
}

TEST(UserWallpaper, OurOwnPictureIsNeverKeptAsTheUsers) {
    // A copy that ran before could not put the user's back: the desktop
    // still names our picture and no copy is kept.
    FakeStore s;
    s.desktop["Wallpaper"] = WideStringValue(u"c:\\users\\u\\appdata\\local\\umbravue\\WALLPAPER.BMP");
    s.desktop["WallpaperStyle"] = WideStringValue(u"10");
    ASSERT_TRUE(KeepUserWallpaper(s, kOurs));
    ASSERT_TRUE(WriteOurWallpaperValues(s, kOurs, kCentred));
    WideText userPath;
    EXPECT_EQ(RestoreUserWallpaper(s, userPath), RestoreResult::Restored);
    EXPECT_EQ(userPath, u"");
    EXPECT_EQ(s.desktop["Wallpaper"], WideStringValue(u""));
    EXPECT_EQ(WideValueText(s.desktop["WallpaperStyle"]), u"10");
}

TEST(UserWallpaper, AGoneOrSystemPictureComesBackFromTheKeptCopy) {
    const WideText copy = u"C:\\Users\\u\\AppData\\Local\\Umbravue\\user wallpaper copy.jpg";
    const WideText system =
        u"C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Themes\\TranscodedWallpaper";
    struct Case {
        const char16_t* wallpaper;
        bool usable;
        const char16_t* restored;  // the Wallpaper value afterwards
        bool copyDeleted;
    };
    const Case cases[] = {
        {u"C:\\pics\\here.jpg", true, u"C:\\pics\\here.jpg", true},
        {u"E:\\stick\\gone.jpg", false, copy.c_str(), false},
        {system.c_str(), true, copy.c_str(), false},
    };
    for (const Case& c : cases) {
        FakeStore s;
        s.desktop["Wallpaper"] = WideStringValue(c.wallpaper);
        ASSERT_TRUE(KeepUserWallpaper(s, kOurs, [&] { return copy; }));
        ASSERT_TRUE(WriteOurWallpaperValues(s, kOurs, kCentred));
        WideText userPath, unused;
        EXPECT_EQ(RestoreUserWallpaper(
                      s, userPath, [&](const WideText&) { return c.usable; }, &unused),
                  RestoreResult::Restored);
        EXPECT_EQ(WideValueText(s.desktop["Wallpaper"]), c.restored);
        EXPECT_EQ(userPath, c.restored);
        EXPECT_EQ(unused, c.copyDeleted ? copy : WideText());
        EXPECT_TRUE(s.product.empty());
    }
    // A user without a picture gets no copy made, and none back.
    FakeStore s;
    s.desktop["Wallpaper"] = WideStringValue(u"");
    ASSERT_TRUE(KeepUserWallpaper(s, kOurs, [] { return WideText(u"X:\\never"); }));
    EXPECT_EQ(s.product.count(kKeptPictureCopy), 0u);
}

TEST(UserWallpaper, TheSystemsCopyAndOurOwnCopyAreKnownByName) {
    EXPECT_TRUE(
        IsTranscodedWallpaper(u"C:\\U\\AppData\\Roaming\\Microsoft\\Windows\\THEMES\\TranscodedWallpaper"));
    EXPECT_TRUE(IsTranscodedWallpaper(u"C:\\U\\Themes\\TranscodedWallpaper.jpg"));
    EXPECT_FALSE(IsTranscodedWallpaper(u"C:\\U\\Pictures\\TranscodedWallpaper"));
    EXPECT_FALSE(IsTranscodedWallpaper(u"TranscodedWallpaper"));
    EXPECT_TRUE(IsKeptPictureCopy(u"C:\\L\\Umbravue\\user wallpaper copy.png"));
    EXPECT_FALSE(IsKeptPictureCopy(u"C:\\Windows\\user wallpaper copy.png"));
    EXPECT_FALSE(IsKeptPictureCopy(u"C:\\L\\Umbravue\\wallpaper-a.bmp"));
    const std::uint8_t png[] = {0x89, 'P', 'N', 'G'}, bmp[] = {'B', 'M'}, jpeg[] = {0xFF, 0xD8, 0xFF};
    EXPECT_EQ(WideText(PictureExtension(png, 4)), u".png");
    EXPECT_EQ(WideText(PictureExtension(bmp, 2)), u".bmp");
    EXPECT_EQ(WideText(PictureExtension(jpeg, 3)), u".jpg");
    EXPECT_EQ(WideText(PictureExtension(bmp, 1)), u".jpg");
}

TEST(UserWallpaper, FailuresNeverLoseTheUsersValues) {
    FakeStore s;
    s.desktop["Wallpaper"] = WideStringValue(u"C:\\mine.bmp");
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
    s.writesLeft = 1;  // the write-back stops after its first value
    WideText userPath;
    EXPECT_EQ(RestoreUserWallpaper(s, userPath), RestoreResult::Failed);
    EXPECT_FALSE(s.product.empty());

    // The next try still finds our picture named, and puts everything back.
    s.writesLeft = 1 << 30;
    EXPECT_EQ(RestoreUserWallpaper(s, userPath), RestoreResult::Restored);
    EXPECT_EQ(WideValueText(s.desktop["Wallpaper"]), u"C:\\mine.bmp");
    EXPECT_EQ(s.desktop.count("WallpaperStyle"), 0u);
}

}  // namespace
}  // namespace uv
