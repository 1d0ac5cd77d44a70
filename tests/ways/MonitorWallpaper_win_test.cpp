// The per-monitor wallpaper calls against an object of the test's own: a
// detached monitor.
#include "ways/MonitorWallpaper_win.h"

#include <gtest/gtest.h>

#include <map>

namespace uv {
namespace {

LPWSTR Copy(const WideText& text) {
    auto* p = static_cast<char16_t*>(CoTaskMemAlloc((text.size() + 1) * sizeof(char16_t)));
    if (p) std::copy(text.c_str(), text.c_str() + text.size() + 1, p);
    return reinterpret_cast<LPWSTR>(p);
}

WideText Text(LPCWSTR p) { return p ? WideText(reinterpret_cast<const char16_t*>(p)) : WideText(); }

// Monitors "A" (attached) and "B" (attached unless detached is set).
class FakeWallpaper : public IDesktopWallpaperApi {
public:
    std::map<WideText, WideText> shown = {{u"A", u"C:\\a.bmp"}, {u"B", u""}};
    int position = kPositionFill;
    COLORREF background = RGB(1, 2, 3);
    bool detached = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE SetWallpaper(LPCWSTR id, LPCWSTR path) override {
        if (!shown.count(Text(id))) return E_INVALIDARG;
        shown[Text(id)] = Text(path);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWallpaper(LPCWSTR id, LPWSTR* path) override {
        *path = nullptr;
        if (!shown.count(Text(id))) return E_INVALIDARG;
        *path = Copy(shown[Text(id)]);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMonitorDevicePathAt(UINT i, LPWSTR* id) override {
        if (i >= shown.size()) return E_INVALIDARG;
        *id = Copy(i == 0 ? u"A" : u"B");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMonitorDevicePathCount(UINT* n) override {
        *n = static_cast<UINT>(shown.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMonitorRECT(LPCWSTR id, RECT* r) override {
        if (Text(id) == u"A")
            *r = {0, 0, 1920, 1080};
        else if (detached)
            *r = {0, 0, 0, 0};
        else
            *r = {1920, 0, 1920 + 1280, 1024};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetBackgroundColor(COLORREF c) override { return background = c, S_OK; }
    HRESULT STDMETHODCALLTYPE GetBackgroundColor(COLORREF* c) override { return *c = background, S_OK; }
    HRESULT STDMETHODCALLTYPE SetPosition(int p) override { return position = p, S_OK; }
    HRESULT STDMETHODCALLTYPE GetPosition(int* p) override { return *p = position, S_OK; }
    HRESULT STDMETHODCALLTYPE SetSlideshow(IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSlideshow(IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSlideshowOptions(int, UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSlideshowOptions(int*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AdvanceSlideshow(LPCWSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStatus(int* s) override { return *s = 1, S_OK; }
    HRESULT STDMETHODCALLTYPE Enable(BOOL) override { return E_NOTIMPL; }
};

TEST(DesktopWallpaperObject, MonitorsLeaveOutADetachedOne) {
    FakeWallpaper fake;
    DesktopWallpaperObject object(&fake);
    std::vector<MonitorArea> monitors;
    ASSERT_TRUE(object.Monitors(monitors));
    ASSERT_EQ(monitors.size(), 2u);
    EXPECT_EQ(monitors[1].id, u"B");
    EXPECT_EQ(monitors[1].left, 1920);
    EXPECT_EQ(monitors[1].width, 1280);
    EXPECT_GT(monitors[1].dpi, 0u);
    fake.detached = true;
    ASSERT_TRUE(object.Monitors(monitors));
    EXPECT_EQ(monitors.size(), 1u);
}

}  // namespace
}  // namespace uv
