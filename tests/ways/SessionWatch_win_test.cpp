// The messages that say whether anybody can see the desktop.
#include "ways/SessionWatch_win.h"

#include <gtest/gtest.h>

#include <vector>

namespace uv {
namespace {

constexpr GUID kSessionDisplayStatus = {
    0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}};
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
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

class SessionWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(window_);
    }
    void TearDown() override { DestroyWindow(window_); }
    HWND window_ = nullptr;
};

TEST_F(SessionWatchTest, LockAndDisplayOffHideTheDesktopUntilBothAreOver) {
    SessionWatch w;
    w.Start(window_, SessionWatch::Display::SessionStatus);
    EXPECT_FALSE(w.Unseen());
    EXPECT_FALSE(w.OnMessage(SessionWatch::kSessionChangeMessage, 7, 0));  // locked
    EXPECT_TRUE(w.Unseen());
    EXPECT_FALSE(Power(w, kSessionDisplayStatus, 0));                      // and the display off
    EXPECT_FALSE(w.OnMessage(SessionWatch::kSessionChangeMessage, 8, 0));  // unlocked, still dark
    EXPECT_TRUE(w.Unseen());
    EXPECT_TRUE(Power(w, kSessionDisplayStatus, 2));  // dimmed is seen
    EXPECT_FALSE(w.Unseen());
    EXPECT_FALSE(Power(w, kSessionDisplayStatus, 1));  // no change: nothing to catch up
}

// Where the session's own status is asked for, the console's screen going
// dark (another session's, seen from a remote one) changes nothing; on the
// systems that have only the console's monitor power, that one counts.
TEST_F(SessionWatchTest, OnlyTheNotificationAskedForCounts) {
    const struct {
        SessionWatch::Display first;
        const GUID* heeded;
        std::vector<const GUID*> ignored;
    } cases[] = {
        {SessionWatch::Display::SessionStatus,
         &kSessionDisplayStatus,
         {&kConsoleDisplayState, &kMonitorPowerOn}},
        {SessionWatch::Display::MonitorPower,
         &kMonitorPowerOn,
         {&kSessionDisplayStatus, &kConsoleDisplayState}},
    };
    for (const auto& c : cases) {
        SessionWatch w;
        w.Start(window_, c.first);
        for (const GUID* g : c.ignored) Power(w, *g, 0);
        EXPECT_FALSE(Power(w, kOtherSetting, 0));
        EXPECT_FALSE(Power(w, *c.heeded, 0, 0));  // no data
        EXPECT_FALSE(w.OnMessage(WM_POWERBROADCAST, kPowerSettingChange, 0));
        EXPECT_FALSE(w.OnMessage(SessionWatch::kSessionChangeMessage, 5 /* logon */, 0));
        EXPECT_FALSE(w.Unseen()) << static_cast<int>(c.first);
        Power(w, *c.heeded, 0);
        EXPECT_TRUE(w.Unseen()) << static_cast<int>(c.first);
    }
}

}  // namespace
}  // namespace uv
