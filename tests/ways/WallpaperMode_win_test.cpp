// The wallpaper mode's stop against a change of the wallpaper that is still
// under way, with the real renewal thread, under a scratch registry root.
#include "ways/UserWallpaper_win.h"
#include "ways/WallpaperJournal.h"
#include "ways/WallpaperMode_win.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

#include "common/Registry_win.h"

namespace uv {
namespace {

const char16_t kUserPicture[] = u"C:\\users\\me\\holiday.bmp";

struct SlowSet {
    UniqueKernelHandle entered{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    DWORD ms = 0;
};
SlowSet g_slow;

// A change that lands only after the stop has given up on it.
bool SetSlowly(HKEY root, const WideText& picture, const WallpaperPlacement& placement, bool writeStyle) {
    SetEvent(g_slow.entered.get());
    Sleep(g_slow.ms);
    RegistryWallpaperStore store(root);
    return WriteOurWallpaperValues(store, picture, placement, writeStyle);
}

class WallpaperModeStop : public ::testing::Test {
protected:
    void SetUp() override {
        name_ = "Software\\UmbravueModeTest" + std::to_string(GetCurrentProcessId());
        SHDeleteKeyA(HKEY_CURRENT_USER, name_.c_str());
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, name_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        root_.reset(key);
        RegistryWallpaperStore store(root_.get());
        ASSERT_TRUE(store.Write(WallpaperKey::Desktop, "Wallpaper", WideStringValue(kUserPicture)));
        ResetEvent(g_slow.entered.get());
    }
    void TearDown() override {
        root_.reset();
        SHDeleteKeyA(HKEY_CURRENT_USER, name_.c_str());
    }
    WideText Desktop(const char* name) {
        RegistryWallpaperStore store(root_.get());
        RegValue v;
        store.Read(WallpaperKey::Desktop, name, v);
        return WideValueText(v);
    }
    bool Kept() {
        RegistryWallpaperStore store(root_.get());
        RegValue v;
        return store.Read(WallpaperKey::Product, kJournalValue, v) && v.present;
    }
    std::string name_;
    UniqueRegKey root_;
};

TEST_F(WallpaperModeStop, ASetOutlivingTheLimitLeavesTheKeptCopyForTheNextStart) {
    g_slow.ms = 1500;
    WallpaperModeOptions options;
    options.stopLimitMs = 200;
    options.set = &SetSlowly;
    {
        WallpaperMode mode(nullptr, root_.get(), u"globepix.dll", options);
        ASSERT_EQ(mode.Renew({}, 1087819200), WallpaperResult::Pending);
        ASSERT_EQ(WaitForSingleObject(g_slow.entered.get(), 120000), WAIT_OBJECT_0);
        const DWORD start = GetTickCount();
        mode.Stop();
        EXPECT_LT(GetTickCount() - start, 1200u);  // bounded: the set is not waited for
        // Putting the user's picture back now would be undone by the set.
        EXPECT_TRUE(Kept());
    }
    // The late set lands; the kept copy is still there for the next start.
    for (int i = 0; i < 100 && Desktop("Wallpaper") == kUserPicture; ++i) Sleep(50);
    Sleep(200);
    EXPECT_TRUE(Kept());
    EXPECT_EQ(RestoreKeptWallpaper(root_.get()), RestoreResult::Restored);
    EXPECT_EQ(Desktop("Wallpaper"), kUserPicture);
}

}  // namespace
}  // namespace uv
