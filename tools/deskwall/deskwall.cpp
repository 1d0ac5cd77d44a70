// The test rig's desktop wallpaper object: an in-process COM server of the
// class the later systems' shell provides (CLSID_DesktopWallpaper), which
// Wine does not have. Registered in a test prefix under that class id, it
// lets the program's CoCreateInstance path run for real. Its state lives in
// the rig's registry key (RigWallpaper.h); the stand-in desktop paints it
// when told of a wallpaper change. Never shipped.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <new>

#include "tools/deskwall/RigWallpaper.h"

namespace {

LONG g_objects = 0;
LONG g_locks = 0;

HKEY OpenRig(REGSAM access) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, deskwall::kRigKey, 0, nullptr, 0, access, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

DWORD ReadDword(const wchar_t* name, DWORD fallback) {
    DWORD value = fallback, size = sizeof value, type = 0;
    if (HKEY key = OpenRig(KEY_READ)) {
        if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD)
            value = fallback;
        RegCloseKey(key);
    }
    return value;
}

void WriteDword(const wchar_t* name, DWORD value) {
    if (HKEY key = OpenRig(KEY_WRITE)) {
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(key);
    }
}

// A string of the rig's key, empty when missing.
void ReadString(const wchar_t* name, wchar_t* out, DWORD chars) {
    out[0] = 0;
    if (HKEY key = OpenRig(KEY_READ)) {
        DWORD type = 0, size = (chars - 1) * sizeof(wchar_t);
        if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ)
            out[size / sizeof(wchar_t)] = 0;
        else
            out[0] = 0;
        RegCloseKey(key);
    }
}

HRESULT CopyOut(const wchar_t* text, LPWSTR* out) {
    if (!out) return E_POINTER;
    const size_t bytes = (lstrlenW(text) + 1) * sizeof(wchar_t);
    *out = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*out) return E_OUTOFMEMORY;
    CopyMemory(*out, text, bytes);
    return S_OK;
}

// A monitor's device path: its own, or the one it was attached again under.
void MonitorId(int index, wchar_t (&id)[MAX_PATH]) {
    wchar_t name[16];
    wsprintfW(name, L"id %d", index);
    ReadString(name, id, MAX_PATH);
    if (!id[0]) wsprintfW(id, L"\\\\?\\DISPLAY#UVRIG#%d", index);
}

// The monitors the object knows: those of the system, or fewer while the
// later ones are not attached yet.
int KnownMonitors() {
    const int count = deskwall::EnumMonitors().count;
    const int known = static_cast<int>(ReadDword(deskwall::kKnownMonitors, static_cast<DWORD>(count)));
    return known < count ? known : count;
}

// The monitor an id names, or -1.
int MonitorIndex(LPCWSTR id) {
    if (!id) return -1;
    const int known = KnownMonitors();
    for (int i = 0; i < known; ++i) {
        wchar_t own[MAX_PATH];
        MonitorId(i, own);
        if (lstrcmpiW(own, id) == 0) return i;
    }
    return -1;
}

// Tells the desktop, as the shell does when its wallpaper changes.
void Announce() {
    static wchar_t area[] = L"";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER,
                        reinterpret_cast<LPARAM>(area), SMTO_ABORTIFHUNG, 2000, &ignored);
}

class RigWallpaper : public IDesktopWallpaper {
public:
    RigWallpaper() : generation_(ReadDword(deskwall::kGeneration, 0)) { InterlockedIncrement(&g_objects); }
    virtual ~RigWallpaper() { InterlockedDecrement(&g_objects); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDesktopWallpaper)) {
            *out = static_cast<IDesktopWallpaper*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return n;
    }

    // Like the shell: a picture that cannot be read is refused; the last
    // picture set also becomes the desktop key's "Wallpaper".
    // An empty picture, on any monitor, makes the whole background its colour
    // alone, as a maintainer of another wallpaper tool reports of Windows.
    HRESULT STDMETHODCALLTYPE SetWallpaper(LPCWSTR monitorId, LPCWSTR wallpaper) override {
        if (!wallpaper) return E_POINTER;
        if (Gone()) return RPC_E_DISCONNECTED;
        if (ReadDword(deskwall::kFailSet, 0)) return HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
        const int index = MonitorIndex(monitorId);
        if (monitorId && index < 0) return E_INVALIDARG;
        const DWORD attributes = wallpaper[0] ? GetFileAttributesW(wallpaper) : 0;
        if (attributes == INVALID_FILE_ATTRIBUTES ||
            (wallpaper[0] && (attributes & FILE_ATTRIBUTE_DIRECTORY)))
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        WriteDword(deskwall::kSolid, wallpaper[0] ? 0 : 1);
        HKEY key = OpenRig(KEY_WRITE);
        if (!key) return E_FAIL;
        const int known = KnownMonitors();
        const DWORD bytes = static_cast<DWORD>((lstrlenW(wallpaper) + 1) * sizeof(wchar_t));
        for (int i = 0; i < known && wallpaper[0]; ++i) {
            if (index >= 0 && i != index) continue;
            wchar_t name[16];
            deskwall::MonitorValueName(i, name);
            RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(wallpaper), bytes);
        }
        RegCloseKey(key);
        // Windows 11 stores the picture as the current virtual desktop's.
        GUID current;
        if (deskwall::CurrentDesktop(current)) deskwall::DesktopWallpaper(current, nullptr, 0, wallpaper);
        HKEY desktop = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_WRITE, &desktop) ==
            ERROR_SUCCESS) {
            RegSetValueExW(desktop, L"Wallpaper", 0, REG_SZ, reinterpret_cast<const BYTE*>(wallpaper), bytes);
            RegCloseKey(desktop);
        }
        WriteDword(deskwall::kSetCount, ReadDword(deskwall::kSetCount, 0) + 1);
        Announce();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetWallpaper(LPCWSTR monitorId, LPWSTR* wallpaper) override {
        if (!wallpaper) return E_POINTER;
        *wallpaper = nullptr;
        if (Gone()) return RPC_E_DISCONNECTED;
        const int index = MonitorIndex(monitorId);
        if (monitorId && index < 0) return E_INVALIDARG;
        if (ReadDword(deskwall::kSolid, 0)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        const int known = KnownMonitors();
        wchar_t path[MAX_PATH * 4], other[MAX_PATH * 4];
        wchar_t name[16];
        deskwall::MonitorValueName(index < 0 ? 0 : index, name);
        ReadString(name, path, ARRAYSIZE(path));
        if (index < 0) {
            // All monitors at once: only when they all show the same picture.
            for (int i = 1; i < known; ++i) {
                deskwall::MonitorValueName(i, name);
                ReadString(name, other, ARRAYSIZE(other));
                if (lstrcmpiW(path, other) != 0) {
                    const HRESULT hr = CopyOut(L"", wallpaper);
                    return FAILED(hr) ? hr : S_FALSE;
                }
            }
        }
        return CopyOut(path, wallpaper);
    }

    HRESULT STDMETHODCALLTYPE GetMonitorDevicePathAt(UINT monitorIndex, LPWSTR* monitorId) override {
        if (!monitorId) return E_POINTER;
        *monitorId = nullptr;
        if (Gone()) return RPC_E_DISCONNECTED;
        if (static_cast<int>(monitorIndex) >= KnownMonitors()) return E_INVALIDARG;
        wchar_t id[MAX_PATH];
        MonitorId(static_cast<int>(monitorIndex), id);
        return CopyOut(id, monitorId);
    }

    HRESULT STDMETHODCALLTYPE GetMonitorDevicePathCount(UINT* count) override {
        if (!count) return E_POINTER;
        if (Gone()) return RPC_E_DISCONNECTED;
        *count = static_cast<UINT>(KnownMonitors());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetMonitorRECT(LPCWSTR monitorId, RECT* rect) override {
        if (!rect) return E_POINTER;
        if (Gone()) return RPC_E_DISCONNECTED;
        const int index = MonitorIndex(monitorId);
        if (index < 0) return E_INVALIDARG;
        // A detached monitor keeps its picture, but has no place on the screen.
        if (ReadDword(deskwall::kDetached, 0) & (1u << index))
            SetRectEmpty(rect);
        else
            *rect = deskwall::EnumMonitors().rect[index];
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetBackgroundColor(COLORREF color) override {
        if (Gone()) return RPC_E_DISCONNECTED;
        WriteDword(deskwall::kBackground, color);
        Announce();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBackgroundColor(COLORREF* color) override {
        if (!color) return E_POINTER;
        if (Gone()) return RPC_E_DISCONNECTED;
        *color = ReadDword(deskwall::kBackground, 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetPosition(DESKTOP_WALLPAPER_POSITION position) override {
        if (Gone()) return RPC_E_DISCONNECTED;
        if (position < DWPOS_CENTER || position > DWPOS_SPAN) return E_INVALIDARG;
        WriteDword(deskwall::kPosition, position);
        Announce();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPosition(DESKTOP_WALLPAPER_POSITION* position) override {
        if (!position) return E_POINTER;
        if (Gone()) return RPC_E_DISCONNECTED;
        *position = static_cast<DESKTOP_WALLPAPER_POSITION>(ReadDword(deskwall::kPosition, DWPOS_FILL));
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetSlideshow(IShellItemArray*) override { return E_NOTIMPL; }
    // The folder a test named, as one shell item.
    HRESULT STDMETHODCALLTYPE GetSlideshow(IShellItemArray** items) override {
        if (!items) return E_POINTER;
        *items = nullptr;
        wchar_t folder[MAX_PATH];
        ReadString(deskwall::kSlideshow, folder, ARRAYSIZE(folder));
        if (!folder[0]) return E_FAIL;
        LPITEMIDLIST list = ILCreateFromPathW(folder);
        if (!list) return E_FAIL;
        PCIDLIST_ABSOLUTE lists[1] = {list};
        const HRESULT hr = SHCreateShellItemArrayFromIDLists(1, lists, items);
        ILFree(list);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE SetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS, UINT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AdvanceSlideshow(LPCWSTR, DESKTOP_SLIDESHOW_DIRECTION) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE GetStatus(DESKTOP_SLIDESHOW_STATE* state) override {
        if (!state) return E_POINTER;
        if (Gone()) return RPC_E_DISCONNECTED;
        wchar_t folder[MAX_PATH];
        ReadString(deskwall::kSlideshow, folder, ARRAYSIZE(folder));
        *state = folder[0] ? static_cast<DESKTOP_SLIDESHOW_STATE>(DSS_ENABLED | DSS_SLIDESHOW) : DSS_ENABLED;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Enable(BOOL) override { return E_NOTIMPL; }

private:
    // Made in a shell that has ended since.
    bool Gone() const { return ReadDword(deskwall::kGeneration, 0) != generation_; }

    LONG refs_ = 1;
    const DWORD generation_;
};

class Factory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is static: its count does not matter.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (ReadDword(deskwall::kNoObject, 0)) return CO_E_SERVER_EXEC_FAILURE;
        RigWallpaper* object = new (std::nothrow) RigWallpaper;
        if (!object) return E_OUTOFMEMORY;
        const HRESULT hr = object->QueryInterface(riid, out);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            InterlockedIncrement(&g_locks);
        else
            InterlockedDecrement(&g_locks);
        return S_OK;
    }
};

Factory g_factory;

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_DesktopWallpaper)) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, out);
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() {
    return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}
