// What "uninstall" finds of the users and leaves of the picture folder.
#include "controller/Uninstall_win.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

#include "ways/UserWallpaper_win.h"
#include "common/WideText_win.h"

namespace uv {
namespace {

class Uninstall : public ::testing::Test {
protected:
    void SetUp() override {
        name_ = "Software\\UmbravueUninstallTest" + std::to_string(GetCurrentProcessId());
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, name_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        root_.reset(key);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        base_ = FromWide(temp) + u"uvuninstall" + Widen(std::to_string(GetCurrentProcessId()).c_str());
        folder_ = base_ + u"\\Umbravue";
        CreateDirectoryW(WidePtr(base_), nullptr);
        CreateDirectoryW(WidePtr(folder_), nullptr);
    }
    void TearDown() override {
        root_.reset();
        SHDeleteKeyA(HKEY_CURRENT_USER, name_.c_str());
        for (const char16_t* f :
             {u"wallpaper-a.bmp", u"wallpaper-0b.bmp", u"user wallpaper copy.jpg", u"notes.txt"})
            DeleteFileW(WidePtr(folder_ + u"\\" + f));
        RemoveDirectoryW(WidePtr(folder_));
        RemoveDirectoryW(WidePtr(base_));
    }
    void Make(const char16_t* file) {
        UniqueKernelHandle h(CreateFileW(WidePtr(folder_ + u"\\" + file), GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, 0, nullptr));
    }
    bool Exists(const WideText& path) { return GetFileAttributesW(WidePtr(path)) != INVALID_FILE_ATTRIBUTES; }
    void Name(const char* value, const WideText& text, WallpaperKey key = WallpaperKey::Product) {
        RegistryWallpaperStore store(root_.get());
        ASSERT_TRUE(store.Write(key, value, WideStringValue(text)));
    }
    std::string name_;
    UniqueRegKey root_;
    WideText base_, folder_;
};

TEST_F(Uninstall, PicturesGoExceptTheCopyTheUsersWallpaperNames) {
    for (const char16_t* f :
         {u"wallpaper-a.bmp", u"wallpaper-0b.bmp", u"user wallpaper copy.jpg", u"notes.txt"})
        Make(f);
    Name(kPictureFolderValue, folder_);
    Name("Wallpaper", folder_ + u"\\user wallpaper copy.jpg", WallpaperKey::Desktop);
    RemovePictureFolder(root_.get());
    EXPECT_FALSE(Exists(folder_ + u"\\wallpaper-a.bmp"));
    EXPECT_FALSE(Exists(folder_ + u"\\wallpaper-0b.bmp"));
    EXPECT_TRUE(Exists(folder_ + u"\\user wallpaper copy.jpg"));
    EXPECT_TRUE(Exists(folder_ + u"\\notes.txt"));  // not ours

    DeleteFileW(WidePtr(folder_ + u"\\notes.txt"));
    Name("Wallpaper", u"C:\\elsewhere.jpg", WallpaperKey::Desktop);
    RemovePictureFolder(root_.get());
    EXPECT_FALSE(Exists(folder_));
}

TEST_F(Uninstall, AFolderNotOfOursIsLeftAlone) {
    Make(u"wallpaper-a.bmp");
    Name(kPictureFolderValue, base_);  // edited to name the folder above
    RemovePictureFolder(root_.get());
    Name(kPictureFolderValue, u"");
    RemovePictureFolder(root_.get());
    EXPECT_TRUE(Exists(folder_ + u"\\wallpaper-a.bmp"));
}

}  // namespace
}  // namespace uv
