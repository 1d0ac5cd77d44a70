#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/Version.h"
#include "common/WinHandles.h"
#include "renderer/BitmapPixels_win.h"
#include "solar/CityDatabase.h"
#include "tests/resources/MapSamples.h"

namespace {

// The library is built into the same folder as this program; load it the way
// the deliverables do, by its full path.
uv::UniqueModule LoadGlobepix() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return uv::UniqueModule();
    char* slash = strrchr(path, '\\');
    if (slash == nullptr || (slash - path) + 1 + sizeof "globepix.dll" > MAX_PATH) return uv::UniqueModule();
    lstrcpyA(slash + 1, "globepix.dll");
    return uv::UniqueModule(LoadLibraryA(path));
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

uv::UniqueBitmap LoadBitmapResource(HMODULE module, int id) {
    return uv::UniqueBitmap(
        static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE)));
}

// Each resource as the programs load it from the built library; a module
// without them gives an empty city list and leaves every city on the nominal
// zone of its longitude.
TEST(Globepix, EveryResourceLoadsFromTheLibraryAndNoneFromAModuleWithout) {
    uv::UniqueModule module = LoadGlobepix();
    ASSERT_TRUE(module) << GetLastError();
    CityDatabase db;
    db.LoadFromResource(module.get(), 103);
    EXPECT_GT(db.GetCityCount(), 300);
    EXPECT_GT(db.GetCountryCount(), 100);
    db.LoadZonesFromResource(module.get(), 104);
    EXPECT_EQ(db.Zones().Count(), static_cast<std::size_t>(db.GetCityCount()));
    ASSERT_NE(db.Zones().Find(133), nullptr);
    EXPECT_STREQ(db.Zones().Find(133)->zone, "Europe/Berlin");

    for (int id : {101, 102}) {
        uv::UniqueBitmap bitmap = LoadBitmapResource(module.get(), id);
        ASSERT_TRUE(bitmap) << id;
        const SIZE size = BitmapSize(bitmap.get());
        EXPECT_EQ(size.cx, 2048) << id;
        EXPECT_EQ(size.cy, 1024) << id;
    }
    uv::UniqueBitmap day = LoadBitmapResource(module.get(), 101);
    std::vector<std::uint8_t> pixels(3 * 2048 * 1024);
    {
        uv::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
        uv::ScopedSelect select(dc.get(), day.get());
        ASSERT_TRUE(uv::ReadBitmapPixels(dc.get(), 2048, 1024, pixels.data()));
    }
    EXPECT_TRUE(LooksLikeDesert(SampleMap(pixels, 2048, 1024, 20, 25)));
    EXPECT_TRUE(LooksLikeOcean(SampleMap(pixels, 2048, 1024, -20, 25)));
    EXPECT_TRUE(LooksLikeDesert(SampleMap(pixels, 2048, 1024, 133, -25)));
    EXPECT_TRUE(LooksLikeOcean(SampleMap(pixels, 2048, 1024, 133, 25)));
    uv::UniqueBitmap glyph = LoadBitmapResource(module.get(), 111);
    ASSERT_TRUE(glyph);
    EXPECT_GE(BitmapSize(glyph.get()).cx, 16);

    CityDatabase none;
    none.LoadFromResource(GetModuleHandleA(nullptr), 103);
    EXPECT_EQ(none.GetCityCount(), 0);
    db.LoadZonesFromResource(GetModuleHandleA(nullptr), 104);
    EXPECT_EQ(db.Zones().Count(), 0u);
}

TEST(Globepix, CarriesItsVersion) {
    uv::UniqueModule module = LoadGlobepix();
    ASSERT_TRUE(module);
    HRSRC found = FindResourceA(module.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));  // RT_VERSION
    ASSERT_NE(found, nullptr);
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module.get(), found)));
    const DWORD size = SizeofResource(module.get(), found);
    ASSERT_NE(data, nullptr);
    // The fixed file info follows its signature 0xFEEF04BD.
    const VS_FIXEDFILEINFO* info = nullptr;
    for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        const auto* candidate = reinterpret_cast<const VS_FIXEDFILEINFO*>(data + at);
        if (candidate->dwSignature == 0xFEEF04BD) {
            info = candidate;
            break;
        }
    }
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->dwFileVersionMS, static_cast<DWORD>(UV_VERSION_MAJOR << 16 | UV_VERSION_MINOR));
    EXPECT_EQ(info->dwFileVersionLS, static_cast<DWORD>(UV_VERSION_PATCH << 16 | UV_VERSION_TWEAK));
}

}  // namespace
