#include "ways/MonitorWallpaper_win.h"

#include "common/WinHandles.h"
#include "common/WideText_win.h"

namespace uv {

namespace {

using SetThreadDpiAwarenessContextFn = HANDLE(WINAPI*)(HANDLE);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and _PER_MONITOR_AWARE.
const HANDLE kPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const HANDLE kPerMonitor = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

// The later systems' functions, looked up once for the process.
struct LaterFunctions {
    SetThreadDpiAwarenessContextFn setThreadDpiAwareness = nullptr;
    GetDpiForMonitorFn getDpiForMonitor = nullptr;

    LaterFunctions() {
        setThreadDpiAwareness = LaterFunction<SetThreadDpiAwarenessContextFn>(GetModuleHandleA("user32.dll"),
                                                                              "SetThreadDpiAwarenessContext");
        // Stays loaded for the process: the pointer is used for its life.
        getDpiForMonitor = LaterFunction<GetDpiForMonitorFn>(LoadLibraryA("shcore.dll"), "GetDpiForMonitor");
    }
};

const LaterFunctions& Later() {
    static const LaterFunctions functions;
    return functions;
}

unsigned ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : 96;
}

LPCWSTR Wide(const WideText& text) { return WidePtr(text); }

// Takes over a string the object allocated.
WideText TakeString(LPWSTR text) {
    WideText out = FromWide(text);
    CoTaskMemFree(text);
    return out;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto& list = *reinterpret_cast<std::vector<MonitorArea>*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    MonitorArea m;
    m.left = info.rcMonitor.left;
    m.top = info.rcMonitor.top;
    m.width = info.rcMonitor.right - info.rcMonitor.left;
    m.height = info.rcMonitor.bottom - info.rcMonitor.top;
    m.dpi = MonitorDpi(monitor);
    list.push_back(m);
    return TRUE;
}

}  // namespace

ComApartment::ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}

ComApartment::~ComApartment() {
    if (ok_) CoUninitialize();
}

PhysicalPixels::PhysicalPixels() {
    if (const auto set = Later().setThreadDpiAwareness) {
        previous_ = set(kPerMonitorV2);
        if (!previous_) previous_ = set(kPerMonitor);
    }
}

PhysicalPixels::~PhysicalPixels() {
    if (previous_) Later().setThreadDpiAwareness(previous_);
}

unsigned MonitorDpi(HMONITOR monitor) {
    UINT x = 0, y = 0;
    if (const auto get = Later().getDpiForMonitor)
        if (monitor && SUCCEEDED(get(monitor, kEffectiveDpi, &x, &y)) && x > 0) return x;
    return ScreenDpi();
}

std::vector<MonitorArea> DisplayMonitors() {
    std::vector<MonitorArea> list;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
    return list;
}

DesktopWallpaperObject::DesktopWallpaperObject() {
    void* object = nullptr;
    if (SUCCEEDED(CoCreateInstance(kDesktopWallpaperClass, nullptr, CLSCTX_ALL, kDesktopWallpaperInterface,
                                   &object)))
        api_ = static_cast<IDesktopWallpaperApi*>(object);
}

DesktopWallpaperObject::~DesktopWallpaperObject() {
    if (api_) api_->Release();
}

DesktopWallpaperObject& DesktopWallpaperObject::operator=(DesktopWallpaperObject&& o) noexcept {
    if (this != &o) {
        if (api_) api_->Release();
        api_ = o.api_;
        o.api_ = nullptr;
    }
    return *this;
}

bool DesktopWallpaperObject::Monitors(std::vector<MonitorArea>& out) {
    out.clear();
    UINT count = 0;
    if (!api_ || FAILED(api_->GetMonitorDevicePathCount(&count))) return false;
    for (UINT i = 0; i < count && i < 64; ++i) {
        LPWSTR id = nullptr;
        if (FAILED(api_->GetMonitorDevicePathAt(i, &id)) || !id) continue;
        MonitorArea m;
        m.id = TakeString(id);
        RECT r{};
        if (FAILED(api_->GetMonitorRECT(Wide(m.id), &r)) || r.right <= r.left || r.bottom <= r.top) continue;
        m.left = r.left;
        m.top = r.top;
        m.width = r.right - r.left;
        m.height = r.bottom - r.top;
        m.dpi = MonitorDpi(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST));
        out.push_back(m);
    }
    return true;
}

bool DesktopWallpaperObject::Shown(const WideText& monitorId, WideText& path) {
    LPWSTR text = nullptr;
    const HRESULT hr = api_ ? api_->GetWallpaper(Wide(monitorId), &text) : E_POINTER;
    path = TakeString(text);
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) path.clear();
    return hr == S_OK || hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
}

bool DesktopWallpaperObject::KnownMonitors(std::vector<WideText>& ids) {
    ids.clear();
    UINT count = 0;
    if (!api_ || FAILED(api_->GetMonitorDevicePathCount(&count))) return false;
    for (UINT i = 0; i < count && i < 64; ++i) {
        LPWSTR id = nullptr;
        if (FAILED(api_->GetMonitorDevicePathAt(i, &id)) || !id) return false;
        ids.push_back(TakeString(id));
    }
    return true;
}

bool DesktopWallpaperObject::Look(std::uint32_t& position, std::uint32_t& background) {
    int place = 0;
    COLORREF colour = 0;
    if (!api_ || FAILED(api_->GetPosition(&place)) || FAILED(api_->GetBackgroundColor(&colour))) return false;
    position = static_cast<std::uint32_t>(place);
    background = colour;
    return true;
}

bool DesktopWallpaperObject::SetLook(std::uint32_t position, std::uint32_t background) {
    const bool placed = position <= kPositionSpan && SetPosition(static_cast<int>(position));
    return api_ && SUCCEEDED(api_->SetBackgroundColor(background)) && placed;
}

bool DesktopWallpaperObject::SlideshowConfigured() {
    int state = 0;
    return api_ && SUCCEEDED(api_->GetStatus(&state)) && (state & kSlideshowConfigured) != 0;
}

bool DesktopWallpaperObject::Show(const WideText& monitorId, const WideText& path) {
    return api_ && SUCCEEDED(api_->SetWallpaper(Wide(monitorId), Wide(path)));
}

bool DesktopWallpaperObject::ShowNoPicture() { return api_ && SUCCEEDED(api_->SetWallpaper(nullptr, L"")); }

bool DesktopWallpaperObject::SetPosition(int position) {
    return api_ && SUCCEEDED(api_->SetPosition(position));
}

}  // namespace uv
