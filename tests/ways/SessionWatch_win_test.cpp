// The messages that say whether anybody can see the desktop.
#include "ways/SessionWatch_win.h"

#include <gtest/gtest.h>

#include <cstring>

namespace uv {
namespace {

constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kOtherSetting = {0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};
constexpr WPARAM kPowerSettingChange = 0x8013;

// A POWERBROADCAST_SETTING as the system sends it.
struct Setting {
    GUID guid;
    DWORD length;
    DWORD value;
};

bool Power(SessionWatch& w, const GUID& guid, DWORD value, DWORD length = sizeof(DWORD)) {
    Setting s{guid, length, value};
    return w.OnMessage(WM_POWERBROADCAST, kPowerSettingChange, reinterpret_cast<LPARAM>(&s));
}

TEST(SessionWatch, LockAndDisplayOffHideTheDesktopUntilBothAreOver) {
    SessionWatch w;
    EXPECT_FALSE(w.Unseen());
    EXPECT_FALSE(w.OnMessage(SessionWatch::kSessionChangeMessage, 7, 0));  // locked
    EXPECT_TRUE(w.Unseen());
    EXPECT_FALSE(Power(w, kConsoleDisplayState, 0));                       // and the display off
    EXPECT_FALSE(w.OnMessage(SessionWatch::kSessionChangeMessage, 8, 0));  // unlocked, still dark
    EXPECT_TRUE(w.Unseen());
    EXPECT_TRUE(Power(w, kConsoleDisplayState, 2));  // dimmed is seen
    EXPECT_FALSE(w.Unseen());
    EXPECT_FALSE(Power(w, kConsoleDisplayState, 1));  // no change: nothing to catch up
}

TEST(SessionWatch, OtherNotificationsChangeNothing) {
    SessionWatch w;
    EXPECT_FALSE(Power(w, kOtherSetting, 0));
    EXPECT_FALSE(Power(w, kConsoleDisplayState, 0, 0));  // no data
    EXPECT_FALSE(w.OnMessage(WM_POWERBROADCAST, kPowerSettingChange, 0));
    EXPECT_FALSE(w.OnMessage(SessionWatch::kSessionChangeMessage, 5 /* logon */, 0));
    EXPECT_FALSE(w.Unseen());
}

}  // namespace
}  // namespace uv
