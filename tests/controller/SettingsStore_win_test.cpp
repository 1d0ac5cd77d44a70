// The registry store against the real registry, under a scratch root key.
#include "tests/settings/FakeSelection.h"
#include "controller/SettingsStore_win.h"
#include "common/WideText_win.h"
#include "tests/common/ScratchKey_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace uv {
namespace {

class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override {
        name_ = "Software\\UmbravueStoreTest" + std::to_string(GetCurrentProcessId());
        DeleteScratchKey(HKEY_CURRENT_USER, WidePtr(Widen(name_.c_str())));
        root_ = CreateKey(HKEY_CURRENT_USER, name_.c_str());
        ASSERT_TRUE(root_);
    }
    void TearDown() override {
        root_.reset();
        DeleteScratchKey(HKEY_CURRENT_USER, WidePtr(Widen(name_.c_str())));
    }
    UniqueRegKey Open(const char* path) { return OpenKey(root_.get(), path, KEY_ALL_ACCESS); }
    void CreateRunKey() {
        ASSERT_TRUE(CreateKey(root_.get(), "Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
    }
    void SetValue(const char* name, DWORD type, const void* data, DWORD size) {
        UniqueRegKey product = OpenProductKey(root_.get());
        ASSERT_EQ(RegSetValueExA(product.get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    LoadResult Load() {
        return LoadSettingsFromRegistry(root_.get(), settings_, &selection_, Widen(kPath.c_str()),
                                        [] { return 345; });
    }
    void Save() { SaveSettingsToRegistry(root_.get(), settings_, &selection_, Widen(kPath.c_str())); }

    const std::string kPath = "C:\\Program Files\\Umbravue\\umbravue.exe";
    std::string name_;
    UniqueRegKey root_;
    SettingsRecord settings_;
    FakeSelection selection_{50};
};

TEST_F(RegistryStore, LoadOnFirstRunCreatesTheEmptyProductKeyAndKeepsDefaults) {
    const LoadResult r = Load();
    EXPECT_FALSE(r.citiesLoaded);
    UniqueRegKey product = Open("Software\\VantorelSoftware\\Umbravue");
    ASSERT_TRUE(product);
    DWORD count = 99;
    RegQueryInfoKeyA(product.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                     nullptr, nullptr, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(settings_.ySlider, 50);
    EXPECT_EQ(settings_.startWithWindows, 0);
}

TEST_F(RegistryStore, SaveWritesDwordsAndAnEmptyBinary) {
    Save();
    UniqueRegKey product = Open("Software\\VantorelSoftware\\Umbravue");
    ASSERT_TRUE(product);
    DWORD count = 0;
    RegQueryInfoKeyA(product.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                     nullptr, nullptr, nullptr);
    const SettingsOrder saved = OrderBy(&SettingInfo::save);
    EXPECT_EQ(count, saved.count);
    for (const SettingInfo* row : saved) {
        const SettingInfo& s = *row;
        const bool binary = s.kind == SettingKind::Cities;
        DWORD type = 0, size = 0;
        ASSERT_EQ(RegQueryValueExA(product.get(), s.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS)
            << s.name;
        EXPECT_EQ(type, binary ? DWORD(REG_BINARY) : DWORD(REG_DWORD)) << s.name;
        EXPECT_EQ(size, binary ? 0u : 4u) << s.name;
    }
    DWORD y = 0, size = 4;
    RegQueryValueExA(product.get(), "YOffset", nullptr, nullptr, reinterpret_cast<BYTE*>(&y), &size);
    EXPECT_EQ(y, 500u);
}

TEST_F(RegistryStore, RoundTripKeepsEditedValuesAndCities) {
    settings_.ySlider = 53;
    settings_.gridColour = 0x0000FF00;
    settings_.trayCity = 17;
    selection_.Select(4);
    selection_.Select(40);
    Save();
    SettingsRecord loaded;
    FakeSelection sel(50);
    const LoadResult r =
        LoadSettingsFromRegistry(root_.get(), loaded, &sel, Widen(kPath.c_str()), [] { return 0; });
    EXPECT_TRUE(r.citiesLoaded);
    EXPECT_EQ(loaded.ySlider, 53);
    EXPECT_EQ(loaded.gridColour, 0x0000FF00);
    EXPECT_EQ(loaded.trayCity, 17);
    EXPECT_EQ(sel.flags, selection_.flags);
}

TEST_F(RegistryStore, OddSizedValuesAreHandledSafely) {
    const BYTE two[2] = {9, 0};
    const BYTE eight[8] = {1, 0, 0, 0, 1, 0, 0, 0};
    const BYTE six[6] = {7, 0, 0, 0, 0xFF, 0xFF};
    SetValue("refresh interval", REG_BINARY, two, sizeof two);
    SetValue("autohide", REG_BINARY, eight, sizeof eight);
    SetValue("cities selected", REG_BINARY, six, sizeof six);
    const DWORD y = 537;
    SetValue("YOffset", REG_DWORD, &y, sizeof y);
    const LoadResult r = Load();
    EXPECT_EQ(settings_.refreshSlider, 6);
    EXPECT_EQ(settings_.autohide, 0);
    EXPECT_TRUE(r.citiesLoaded);
    EXPECT_TRUE(selection_.flags[7]);
    EXPECT_EQ(settings_.ySlider, 53);
}

TEST_F(RegistryStore, StartWithWindowsEntryFollowsTheFlag) {
    CreateRunKey();
    settings_.startWithWindows = 1;
    Save();
    UniqueRegKey run = Open("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    ASSERT_TRUE(run);
    char text[300] = {};
    DWORD type = 0, size = sizeof text;
    ASSERT_EQ(RegQueryValueExA(run.get(), "Umbravue", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    // Quoted: the path has blanks, and unquoted the system would try
    // "C:\Program" first.
    EXPECT_EQ("\"" + kPath + "\"", text);

    settings_.startWithWindows = 0;
    Load();
    EXPECT_EQ(settings_.startWithWindows, 1);
    // Entries written before the quotes still count.
    RegSetValueExA(run.get(), "Umbravue", 0, REG_SZ, reinterpret_cast<const BYTE*>(kPath.c_str()),
                   static_cast<DWORD>(kPath.size() + 1));
    settings_.startWithWindows = 0;
    Load();
    EXPECT_EQ(settings_.startWithWindows, 1);

    settings_.startWithWindows = 0;
    Save();
    EXPECT_NE(RegQueryValueExA(run.get(), "Umbravue", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    Save();  // deleting a missing entry is no error
}

TEST_F(RegistryStore, EntryForAnotherPathOrCaseReadsAsOff) {
    CreateRunKey();
    UniqueRegKey run = Open("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    for (const std::string& other : {std::string("C:\\PROGRAM FILES\\Umbravue\\umbravue.exe"), "\"" + kPath,
                                     kPath + "\"", "\"" + kPath + "\" /x"}) {
        RegSetValueExA(run.get(), "Umbravue", 0, REG_SZ, reinterpret_cast<const BYTE*>(other.c_str()),
                       static_cast<DWORD>(other.size() + 1));
        Load();
        EXPECT_EQ(settings_.startWithWindows, 0) << other;
    }
}

TEST_F(RegistryStore, SaveNeverCreatesTheRunKey) {
    settings_.startWithWindows = 1;
    Save();
    EXPECT_FALSE(Open("Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
    EXPECT_FALSE(Open("Software\\Microsoft"));
}

TEST_F(RegistryStore, UninstallDeletesProductKeyAndEntryButKeepsVendor) {
    CreateRunKey();
    settings_.startWithWindows = 1;
    Save();
    DeleteStoredSettings(root_.get());
    EXPECT_FALSE(Open("Software\\VantorelSoftware\\Umbravue"));
    EXPECT_TRUE(Open("Software\\VantorelSoftware"));
    UniqueRegKey run = Open("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    ASSERT_TRUE(run);
    EXPECT_NE(RegQueryValueExA(run.get(), "Umbravue", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    DeleteStoredSettings(root_.get());  // nothing left to delete: no harm
}

}  // namespace
}  // namespace uv
