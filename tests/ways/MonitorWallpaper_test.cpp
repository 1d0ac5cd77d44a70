#include "ways/MonitorWallpaper.h"

#include <gtest/gtest.h>

namespace uv {
namespace {

const WideText kPolish = u"C:\\Users\\\u0141ukasz\\Pictures\\\u65E5\u672C.jpg";

RegValue Binary(std::vector<std::uint8_t> bytes) {
    RegValue v;
    v.present = true;
    v.type = kRegBinary;
    v.data = std::move(bytes);
    return v;
}

TEST(WideRegistryText, KeepsEveryCharacterOfAPath) {
    const RegValue v = WideStringValue(kPolish);
    EXPECT_EQ(v.type, kRegSz);
    // UTF-16LE with its NUL: the L-stroke is 0x0141.
    ASSERT_EQ(v.data.size(), (kPolish.size() + 1) * 2);
    EXPECT_EQ(v.data[18], 0x41);
    EXPECT_EQ(v.data[19], 0x01);
    EXPECT_EQ(WideValueText(v), kPolish);

    RegValue odd = v;
    odd.data.pop_back();  // a value cut in the middle of its NUL
    EXPECT_EQ(WideValueText(odd), kPolish);
    RegValue unterminated = v;
    unterminated.data.resize(unterminated.data.size() - 2);
    EXPECT_EQ(WideValueText(unterminated), kPolish);
    EXPECT_EQ(WideValueText(DwordValue(7)), WideText());
    EXPECT_EQ(WideValueText(RegValue()), WideText());
}

TEST(KeptMonitorWallpapers, RoundTripWithEmptyAndWidePaths) {
    const std::vector<MonitorWallpaper> monitors = {
        {u"\\\\?\\DISPLAY#A#1", kPolish}, {u"\\\\?\\DISPLAY#B#2", u""}, {u"", u"C:\\x.bmp"}};
    std::vector<MonitorWallpaper> back;
    ASSERT_TRUE(DecodeMonitorWallpapers(EncodeMonitorWallpapers(monitors), back));
    EXPECT_EQ(back, monitors);
    ASSERT_TRUE(DecodeMonitorWallpapers(EncodeMonitorWallpapers({}), back));
    EXPECT_TRUE(back.empty());
}

TEST(KeptMonitorWallpapers, DamagedValuesAreRefusedWhole) {
    const RegValue good = EncodeMonitorWallpapers({{u"id", u"C:\\p.bmp"}});
    std::vector<std::uint8_t> longText = {1, 0, 0, 0, 0xFF, 0x7F, 0, 0};  // 32767 units, then nothing
    std::vector<std::uint8_t> tooLong = {1, 0, 0, 0, 0x00, 0x80, 0, 0};   // 32768 units
    tooLong.resize(tooLong.size() + 0x10000 + 4);
    RegValue wrongType = good;
    wrongType.type = kRegSz;
    RegValue trailing = good;
    trailing.data.push_back(0);
    RegValue cut = good;
    cut.data.resize(cut.data.size() - 1);
    const RegValue cases[] = {RegValue(),
                              wrongType,
                              trailing,
                              cut,
                              Binary({}),
                              Binary({1, 0, 0}),
                              Binary(longText),
                              Binary(tooLong),
                              Binary({65, 0, 0, 0}),
                              Binary({1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF})};
    for (const RegValue& v : cases) {
        std::vector<MonitorWallpaper> out = {{u"stale", u"stale"}};
        EXPECT_FALSE(DecodeMonitorWallpapers(v, out)) << v.data.size();
        EXPECT_TRUE(out.empty());
    }
}

}  // namespace
}  // namespace uv
