// The later systems' desktop wallpaper object (Windows 8 and later), declared
// here because the program is built against the Windows XP headers. It is
// only ever created at run time; where it does not exist, creating it fails
// and the program uses the registry and SystemParametersInfo instead.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace uv {

// {C2CF3110-460E-4FC1-B9D0-8A1C0C9CC4BD}
constexpr CLSID kDesktopWallpaperClass = {
    0xc2cf3110, 0x460e, 0x4fc1, {0xb9, 0xd0, 0x8a, 0x1c, 0x0c, 0x9c, 0xc4, 0xbd}};
// {B92B56A9-8B55-4E14-9A89-0199BBB6F93B}
constexpr IID kDesktopWallpaperInterface = {
    0xb92b56a9, 0x8b55, 0x4e14, {0x9a, 0x89, 0x01, 0x99, 0xbb, 0xb6, 0xf9, 0x3b}};

enum DesktopWallpaperPosition : int {
    kPositionCentre = 0,
    kPositionTile = 1,
    kPositionStretch = 2,
    kPositionFit = 3,
    kPositionFill = 4,
    kPositionSpan = 5,
};

constexpr int kSlideshowConfigured = 0x2;  // DSS_SLIDESHOW of GetStatus

// The vtable order is the interface's; the methods this program does not
// call keep their places with plain pointer parameters.
struct IDesktopWallpaperApi : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetWallpaper(LPCWSTR monitorId, LPCWSTR wallpaper) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWallpaper(LPCWSTR monitorId, LPWSTR* wallpaper) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMonitorDevicePathAt(UINT index, LPWSTR* monitorId) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMonitorDevicePathCount(UINT* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMonitorRECT(LPCWSTR monitorId, RECT* rect) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetBackgroundColor(COLORREF color) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBackgroundColor(COLORREF* color) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPosition(int position) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPosition(int* position) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSlideshow(IUnknown* items) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSlideshow(IUnknown** items) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSlideshowOptions(int options, UINT tick) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSlideshowOptions(int* options, UINT* tick) = 0;
    virtual HRESULT STDMETHODCALLTYPE AdvanceSlideshow(LPCWSTR monitorId, int direction) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStatus(int* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE Enable(BOOL enable) = 0;
};

}  // namespace uv
