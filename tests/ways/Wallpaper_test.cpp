#include "ways/UserWallpaper.h"
#include "ways/WallpaperFile.h"
#include "renderer/BmpFile.h"

#include <gtest/gtest.h>

#include <string>

namespace uv {
namespace {

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

TEST(UserWallpaper, TheSystemsCopyAndOurOwnCopyAreKnownByName) {
    EXPECT_TRUE(
        IsTranscodedWallpaper(u"C:\\U\\AppData\\Roaming\\Microsoft\\Windows\\THEMES\\TranscodedWallpaper"));
    EXPECT_TRUE(IsTranscodedWallpaper(u"C:\\U\\Themes\\TranscodedWallpaper.jpg"));
    EXPECT_TRUE(IsTranscodedWallpaper(u"C:\\U\\Themes\\Transcoded_012"));
    EXPECT_FALSE(IsTranscodedWallpaper(u"C:\\U\\Themes\\Transcoded_12"));
    EXPECT_FALSE(IsTranscodedWallpaper(u"C:\\U\\Pictures\\TranscodedWallpaper"));
    EXPECT_FALSE(IsTranscodedWallpaper(u"TranscodedWallpaper"));
    EXPECT_TRUE(IsKeptPictureCopy(u"C:\\L\\Umbravue\\user wallpaper copy.png"));
    EXPECT_TRUE(IsKeptPictureCopy(u"C:\\L\\Umbravue\\user wallpaper copy-12.jpg"));
    EXPECT_FALSE(IsKeptPictureCopy(u"C:\\L\\Umbravue\\user wallpaper copy-.jpg"));
    EXPECT_FALSE(IsKeptPictureCopy(u"C:\\Windows\\user wallpaper copy.png"));
    EXPECT_FALSE(IsKeptPictureCopy(u"C:\\L\\Umbravue\\wallpaper-a.bmp"));
    const std::uint8_t png[] = {0x89, 'P', 'N', 'G'}, bmp[] = {'B', 'M'}, jpeg[] = {0xFF, 0xD8, 0xFF};
    EXPECT_EQ(WideText(PictureExtension(png, 4)), u".png");
    EXPECT_EQ(WideText(PictureExtension(bmp, 2)), u".bmp");
    EXPECT_EQ(WideText(PictureExtension(jpeg, 3)), u".jpg");
    EXPECT_EQ(WideText(PictureExtension(bmp, 1)), u".jpg");
}

}  // namespace
}  // namespace uv
