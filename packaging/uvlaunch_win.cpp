// uvlaunch: opens a file the way the desktop's user would, from the desktop
// shell's own process. The installer runs elevated, perhaps as the
// administrator whose password was typed in; what it starts itself gets
// that token, and a program started so keeps the administrator's settings,
// is out of reach of the user's later starts and of the shell's messages.
// The shell's automation object of the desktop window hands the request to
// the shell, which runs as the desktop's user at normal integrity.
//
//   uvlaunch.exe <file> [<folder to start in>]
//
// Exit code 0 when the shell took the request, 1 when no desktop shell
// answered (none runs, or it has no such object), 2 on a bad command line.
#include <windows.h>
#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>

namespace {

// One reference to a COM object, released at the end of its scope.
template <typename T>
class Held {
public:
    Held() = default;
    ~Held() {
        if (p_) p_->Release();
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    T* operator->() const { return p_; }
    T** out() { return &p_; }
    void** out_void() { return reinterpret_cast<void**>(&p_); }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : b_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return b_; }

private:
    BSTR b_;
};

// A VARIANT holding text, or nothing.
class TextVariant {
public:
    explicit TextVariant(const wchar_t* text) {
        VariantInit(&v_);
        if (!text) return;
        v_.vt = VT_BSTR;
        v_.bstrVal = SysAllocString(text);
    }
    ~TextVariant() { VariantClear(&v_); }
    TextVariant(const TextVariant&) = delete;
    TextVariant& operator=(const TextVariant&) = delete;
    const VARIANT& get() const { return v_; }

private:
    VARIANT v_;
};

// The shell's Shell.Application object, reached through the desktop
// window's view: an object made here would run the file in this process's
// name.
bool OpenThroughShell(const wchar_t* file, const wchar_t* folder) {
    Held<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                windows.out_void())))
        return false;
    VARIANT desktop, root;
    VariantInit(&desktop);
    VariantInit(&root);
    desktop.vt = VT_I4;
    desktop.lVal = CSIDL_DESKTOP;
    long window = 0;
    Held<IDispatch> found;
    Held<IServiceProvider> services;
    Held<IShellBrowser> browser;
    Held<IShellView> view;
    Held<IDispatch> background;
    Held<IShellFolderViewDual> folderView;
    Held<IDispatch> application;
    Held<IShellDispatch2> shell;
    if (windows->FindWindowSW(&desktop, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, found.out()) !=
            S_OK ||
        !found || FAILED(found->QueryInterface(IID_IServiceProvider, services.out_void())) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.out_void())) ||
        FAILED(browser->QueryActiveShellView(view.out())) || !view ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.out_void())) || !background ||
        FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.out_void())) ||
        FAILED(folderView->get_Application(application.out())) || !application ||
        FAILED(application->QueryInterface(IID_IShellDispatch2, shell.out_void())))
        return false;
    const Bstr target(file);
    const TextVariant arguments(L""), directory(folder), verb(L"open");
    VARIANT show;
    VariantInit(&show);
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    return SUCCEEDED(shell->ShellExecute(target.get(), arguments.get(), directory.get(), verb.get(), show));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count < 2) return 2;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool opened = OpenThroughShell(args[1], count > 2 ? args[2] : nullptr);
    if (SUCCEEDED(com)) CoUninitialize();
    LocalFree(args);
    return opened ? 0 : 1;
}
