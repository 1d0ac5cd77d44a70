// Subkeys listed and opened by their wide names, against the real registry,
// under a scratch key. (DeleteKey is covered by the settings store tests.)
#include "common/Registry_win.h"
#include "common/WideText_win.h"
#include "tests/common/ScratchKey_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace uv {
namespace {

class RegistryKeys : public ::testing::Test {
protected:
    void SetUp() override {
        name_ = L"Software\\UmbravueKeysTest" + std::to_wstring(GetCurrentProcessId());
        DeleteScratchKey(HKEY_CURRENT_USER, name_.c_str());
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, name_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        root_.reset(key);
    }
    void TearDown() override {
        root_.reset();
        DeleteScratchKey(HKEY_CURRENT_USER, name_.c_str());
    }
    void MakeSubkey(const WideText& name) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(root_.get(), WidePtr(name), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    std::wstring name_;
    UniqueRegKey root_;
};

TEST_F(RegistryKeys, SubkeysAreListedByTheirWideNamesAndOpenedByThem) {
    // A name outside the code page, and one of the longest a key may have.
    const WideText greek = u"S-1-5-21-\u03a9\u0394", longest(255, u'k');
    MakeSubkey(greek);
    MakeSubkey(longest);
    MakeSubkey(u"plain");
    std::vector<WideText> names = SubkeyNames(root_.get());
    ASSERT_EQ(names.size(), 3u);
    for (const WideText& name : {greek, longest, WideText(u"plain")}) {
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end());
        EXPECT_TRUE(OpenKey(root_.get(), WidePtr(name), KEY_READ)) << name.size();
    }
    EXPECT_EQ(SubkeyNames(root_.get(), 2).size(), 2u);
    EXPECT_TRUE(SubkeyNames(nullptr).empty());
    EXPECT_TRUE(SubkeyNames(OpenKey(root_.get(), L"plain", KEY_READ).get()).empty());
    EXPECT_FALSE(OpenKey(root_.get(), L"missing", KEY_READ));
    // An empty path opens a handle of its own to the same key.
    UniqueRegKey again = OpenKey(root_.get(), L"", KEY_READ);
    ASSERT_TRUE(again);
    EXPECT_EQ(SubkeyNames(again.get()).size(), 3u);
}

}  // namespace
}  // namespace uv
