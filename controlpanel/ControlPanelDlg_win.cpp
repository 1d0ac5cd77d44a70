#include "controlpanel/ControlPanelDlg_win.h"

#include "common/ResourceIds.h"
#include "controller/NotifyIcon_win.h"
#include "ways/PictureRoute_win.h"
#include "controller/SettingsStore_win.h"
#include "controller/Uninstall_win.h"
#include "common/WideText_win.h"
#include "controlpanel/CityChooser.h"
#include "controlpanel/ControlPanelRes.h"
#include "controlpanel/PageText.h"
#include "controller/NotifyTip.h"

#include <cstdio>
#include <ctime>

namespace uv {

namespace {

constexpr char kResourceLibrary[] = "globepix.dll";
constexpr char kAppName[] = "Umbravue";

// Sheet order of the pages; the About page is the last tab.
constexpr int kAboutTab = 6;

// Turns the sheet's pop-up template into a child one, before it is created.
int CALLBACK SheetCallback(HWND, UINT msg, LPARAM lParam) {
    if (msg != PSCB_PRECREATE || !lParam) return 0;
    DWORD* style;
    DWORD* exStyle;
    WORD* words = reinterpret_cast<WORD*>(lParam);
    if (words[0] == 1 && words[1] == 0xFFFF) {  // extended template
        exStyle = reinterpret_cast<DWORD*>(words + 4);
        style = reinterpret_cast<DWORD*>(words + 6);
    } else {
        style = reinterpret_cast<DWORD*>(words);
        exStyle = reinterpret_cast<DWORD*>(words + 2);
    }
    *style &= ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CONTEXTHELP | WS_THICKFRAME |
                WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    *style |= WS_CHILD | WS_VISIBLE | WS_TABSTOP | DS_CONTROL;
    *exStyle &= ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_APPWINDOW);
    *exStyle |= WS_EX_CONTROLPARENT;
    return 0;
}

RECT ChildRect(HWND parent, HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

CControlPanelDlg::CControlPanelDlg(HKEY settingsRoot)
    : CDialog(IDD_CONTROLPANEL), settingsRoot_(settingsRoot) {}

CControlPanelDlg::~CControlPanelDlg() { DeletePages(); }

int CControlPanelDlg::TimeZoneXOffset() { return uv::TimeZoneXOffset(); }

void CControlPanelDlg::ShowMapAgain() {
    if (route_ && route_->ShowMapAgain()) ScheduleRefresh();
}

BOOL CControlPanelDlg::OnInitDialog() {
    settingsMessage_ = RegisterWindowMessageA(kSettingsMessageName);
    taskbarCreatedMessage_ = RegisterWindowMessageA("TaskbarCreated");
    AcceptShellMessages(hwnd_, taskbarCreatedMessage_);
    SetWindowTextA(hwnd_, kAppName);

    char about[128] = {};
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof about) > 0 && about[0]) {
        if (HMENU menu = GetSystemMenu(hwnd_, FALSE)) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    // The city list comes from the resource library beside the program.
    resourceLibrary_ = BesideProgram(kResourceLibrary);
    {
        UniqueModule library(LoadLibraryW(WidePtr(resourceLibrary_)));
        if (!library) {
            char text[300];
            std::snprintf(text, sizeof text, "could not load %s\n", kResourceLibrary);
            MessageBoxA(hwnd_, text, kAppName, MB_OK);
            ExitProcess(1);
        }
        cities_.LoadFromResource(library.get(), UV_RES_CITY_LIST);
        cities_.LoadZonesFromResource(library.get(), UV_RES_CITY_ZONES);
    }

    HINSTANCE instance = GetModuleHandleA(nullptr);
    programIcon_ = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon_));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(programIcon_));

    CreatePages();
    AddNotifyIcon(hwnd_, programIcon_);
    notifyIconAdded_ = true;

    handCursor_ = LoadCursorA(instance, MAKEINTRESOURCEA(IDCUR_HAND));
    if (!handCursor_) handCursor_ = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // system hand
    iconLink_.Attach(GetDlgItem(hwnd_, IDC_CP_PROGRAM_ICON));
    iconLink_.SetTarget(BuildAboutLinks().homepageTarget);
    if (!iconLink_.Target().empty()) iconLink_.SetCursor(handCursor_);
    statics_.Add(&iconLink_);

    CreateSheet();
    LoadSettings();

    RouteHooks hooks;
    hooks.setXOffset = [this](int x) { offset_->SetXOffset(x); };
    hooks.showWay = [this](const std::string& text, bool offerMap) {
        if (info_) info_->ShowPictureWay(text, offerMap);
    };
    route_ = std::make_unique<PictureRoute>(hwnd_, kRefreshTimer, settingsRoot_, resourceLibrary_, settings_,
                                            &selection_, settingsMessage_, std::move(hooks));
    route_->Start();

    misc_->UpdateLabels();
    misc_->WriteControls();
    Layout();
    ScheduleRefresh();
    if (settings_.autohide) {
        holdHidden_ = true;
        SetTimer(hwnd_, kAutohideTimer, 0, nullptr);
    }
    SetTimer(hwnd_, kTipTimer, 0, nullptr);
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return FALSE;  // the focus went to "Hide"
}

void CControlPanelDlg::CreatePages() {
    about_ = std::make_unique<CPPAbout>();
    citiesPage_ = std::make_unique<CPPCities>();
    overlay_ = std::make_unique<CPPOverlay>();
    info_ = std::make_unique<CPPInfo>();
    offset_ = std::make_unique<CPPOffset>();
    misc_ = std::make_unique<CPPMisc>();
    glyph_ = std::make_unique<CPPGlyph>();
    CSettingsPage* pages[] = {about_.get(),  citiesPage_.get(), overlay_.get(), info_.get(),
                              offset_.get(), misc_.get(),       glyph_.get()};
    for (CSettingsPage* p : pages) p->SetHost(this);
    citiesPage_->SetDatabase(&cities_);
}

void CControlPanelDlg::CreateSheet() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    CPropertyPage* order[] = {info_.get(),  offset_.get(),     misc_.get(), overlay_.get(),
                              glyph_.get(), citiesPage_.get(), about_.get()};
    PROPSHEETPAGEA pages[7];
    for (int i = 0; i < 7; ++i) pages[i] = order[i]->Descriptor(instance);

    PROPSHEETHEADERA h = {};
    h.dwSize = sizeof h;
    h.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_NOAPPLYNOW | PSH_USECALLBACK;
    h.hwndParent = hwnd_;
    h.hInstance = instance;
    h.nPages = 7;
    h.nStartPage = 0;
    h.ppsp = pages;
    h.pfnCallback = SheetCallback;
    sheet_ = reinterpret_cast<HWND>(PropertySheetA(&h));
    if (!sheet_) return;

    // No buttons of its own: the panel applies every change by itself.
    for (int id : {IDOK, IDCANCEL, IDHELP, 0x3021 /* Apply */}) {
        if (HWND b = GetDlgItem(sheet_, id)) {
            ShowWindow(b, SW_HIDE);
            EnableWindow(b, FALSE);
        }
    }
    // The sheet keeps the tab control and the same margin around it.
    if (HWND tab = PropSheet_GetTabControl(sheet_)) {
        const RECT t = ChildRect(sheet_, tab);
        SetWindowPos(sheet_, nullptr, 0, 0, t.right + t.left, t.bottom + t.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetWindowLongPtrA(sheet_, GWL_STYLE, GetWindowLongPtrA(sheet_, GWL_STYLE) | WS_TABSTOP);
    SetWindowLongPtrA(sheet_, GWL_EXSTYLE, GetWindowLongPtrA(sheet_, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);

    // Every page window is created and initialised once, then the first
    // page is shown.
    for (int i = 0; i < 7; ++i) PropSheet_SetCurSel(sheet_, nullptr, i);
    PropSheet_SetCurSel(sheet_, nullptr, 0);
}

void CControlPanelDlg::Layout() {
    if (!sheet_) return;
    HWND placeholder = GetDlgItem(hwnd_, IDC_CP_SHEET_PLACEHOLDER);
    HWND hide = GetDlgItem(hwnd_, IDC_CP_HIDE);
    HWND icon = GetDlgItem(hwnd_, IDC_CP_PROGRAM_ICON);
    const RECT p = ChildRect(hwnd_, placeholder);
    const RECT s = ChildRect(hwnd_, sheet_);
    const RECT b = ChildRect(hwnd_, hide);
    const RECT i = ChildRect(hwnd_, icon);
    const PanelLayout l = ComputePanelLayout(p.left, p.top, s.right - s.left, i.left, b.right - b.left);
    SetWindowPos(sheet_, nullptr, l.sheetLeft, l.sheetTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT w = {};
    GetWindowRect(hwnd_, &w);
    SetWindowPos(hwnd_, nullptr, 0, 0, l.windowWidth, w.bottom - w.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(hide, nullptr, l.hideLeft, b.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // With fonts whose metrics make the pages taller than the template
    // allows for, the sheet would cover the buttons and the icon: those then
    // move down below it and the window grows by as much.
    const int sheetBottom = l.sheetTop + (s.bottom - s.top);
    const int overlap = sheetBottom + 4 - (i.top < b.top ? i.top : b.top);
    if (overlap > 0) {
        for (int id : {IDC_CP_HIDE, IDC_CP_QUIT, IDC_CP_PROGRAM_ICON}) {
            HWND item = GetDlgItem(hwnd_, id);
            const RECT r = ChildRect(hwnd_, item);
            SetWindowPos(item, nullptr, r.left, r.top + overlap, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        GetWindowRect(hwnd_, &w);
        SetWindowPos(hwnd_, nullptr, 0, 0, w.right - w.left, w.bottom - w.top + overlap,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetFocus(hide);
}

void CControlPanelDlg::LoadSettings() {
    const LoadResult r = LoadSettingsFromRegistry(settingsRoot_, settings_, &selection_, ProgramPath(),
                                                  [] { return uv::TimeZoneXOffset(); });
    offset_->ShowLoadedValues();
    misc_->UpdateLabels();
    misc_->WriteControls();
    glyph_->WriteControls();
    if (r.citiesLoaded) citiesPage_->SyncFromDatabase();
    overlay_->MarkMembersCurrent();
    overlay_->RefreshStep();
    overlay_->RepaintSwatches();
}

void CControlPanelDlg::SaveSettings() {
    SaveSettingsToRegistry(settingsRoot_, settings_, &selection_, ProgramPath());
}

void CControlPanelDlg::ScheduleRefresh() {
    if (hwnd_) SetTimer(hwnd_, kRefreshTimer, kApplyDelayMs, nullptr);
    ScheduleSave();
}

void CControlPanelDlg::RestartRefreshTimer(unsigned periodMs) {
    if (!hwnd_) return;
    KillTimer(hwnd_, kRefreshTimer);
    SetTimer(hwnd_, kRefreshTimer, periodMs, nullptr);
    ScheduleSave();
}

// Saved with the apply, not only at quit: a crash or a hard kill must not
// take the changes with it.
void CControlPanelDlg::ScheduleSave() {
    if (hwnd_) SetTimer(hwnd_, kSaveTimer, kApplyDelayMs, nullptr);
}

void CControlPanelDlg::SaveEdits() {
    if (!offset_ || uninstallFinished_) return;
    // Whatever the pages show is what gets saved.
    CPropertyPage* pages[] = {offset_.get(), misc_.get(), overlay_.get(), glyph_.get()};
    for (CPropertyPage* p : pages) p->ReadControls();
    SaveSettings();
}

void CControlPanelDlg::ShowPanel() {
    holdHidden_ = false;
    ShowWindow(hwnd_, SW_SHOW);
}

void CControlPanelDlg::ShowAboutPage() {
    ShowPanel();
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd_);
    if (sheet_) PropSheet_SetCurSel(sheet_, nullptr, kAboutTab);
}

void CControlPanelDlg::UpdateNotifyTip() {
    SetNotifyTip(hwnd_, TrayTipText(std::time(nullptr), cities_, settings_.trayCity, settings_.exactSun != 0,
                                    settings_.realLocalTime != 0, settings_.glyphShowMoon != 0)
                            .c_str());
}

void CControlPanelDlg::OnTimer(UINT_PTR id) {
    switch (id) {
    case kRefreshTimer:
        if (route_) route_->Tick();
        break;
    case kAutohideTimer:
        KillTimer(hwnd_, kAutohideTimer);
        ShowWindow(hwnd_, SW_HIDE);
        break;
    case kTipTimer:
        UpdateNotifyTip();
        SetTimer(hwnd_, kTipTimer, kTipPeriodMs, nullptr);
        // Uninstalled from another session, which cannot reach this desktop:
        // the quit puts the user's wallpaper back here.
        if (UninstallLeftToUs(settingsRoot_)) PostQuitMessage(0);
        break;
    case kSaveTimer:
        KillTimer(hwnd_, kSaveTimer);
        SaveEdits();
        break;
    default: break;
    }
}

void CControlPanelDlg::PaintIconic() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT r;
    GetClientRect(hwnd_, &r);
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    DrawIcon(dc, (r.right - r.left - cx + 1) / 2, (r.bottom - r.top - cy + 1) / 2, programIcon_);
    EndPaint(hwnd_, &ps);
}

bool CControlPanelDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (statics_.HandleMessage(msg, wParam, lParam, result)) return true;
    if ((msg == SessionWatch::kSessionChangeMessage || msg == WM_POWERBROADCAST) && route_ &&
        route_->OnSessionMessage(msg, wParam, lParam))
        ScheduleRefresh();
    switch (msg) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
            ShowAboutPage();
            result = 0;
            return true;
        }
        return false;
    case WM_HELP:
        ShowAboutPage();
        result = TRUE;
        return true;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_CP_HIDE: ShowWindow(hwnd_, SW_HIDE); break;
        case IDC_CP_QUIT: PostQuitMessage(0); break;
        case IDC_CP_PROGRAM_ICON:
            if (HIWORD(wParam) == STN_CLICKED) iconLink_.Open(hwnd_);
            break;
        // Escape and the hidden OK/Cancel must not end the program.
        default: break;
        }
        result = 0;
        return true;
    case WM_CLOSE: PostQuitMessage(0); return false;
    case WM_QUERYENDSESSION:
        // Another program may still cancel the log-off, so this only saves;
        // WM_ENDSESSION says whether the session really ends.
        SaveEdits();
        result = DefWindowProcA(hwnd_, msg, wParam, lParam) ? TRUE : FALSE;
        return true;
    case WM_ENDSESSION:
        // The process may be ended as soon as this returns: the user's
        // wallpaper goes back now, not in the destruction that may never run.
        if (wParam) {
            SaveEdits();
            if (route_) route_->EndSession();
            if (UninstallLeftToUs(settingsRoot_)) {
                FinishUninstall(settingsRoot_);
                uninstallFinished_ = true;
            }
            PostQuitMessage(0);
        }
        result = 0;
        return true;
    case WM_TIMER:
        OnTimer(wParam);
        result = 0;
        return true;
    case kNotifyCallbackMessage:
        // DM_GETDEFID has the same number and no mouse message in lParam:
        // the dialog manager answers it with "Hide", so Enter hides the
        // window wherever the focus is.
        if (lParam < WM_MOUSEFIRST || lParam > WM_MOUSELAST) return false;
        if (lParam == WM_LBUTTONUP)
            ShowAboutPage();
        else if (lParam == WM_RBUTTONUP)
            ShowPanel();
        result = 0;
        return true;
    case WM_PAINT:
        if (!IsIconic(hwnd_)) return false;
        PaintIconic();
        result = 0;
        return true;
    case WM_WINDOWPOSCHANGING:
        // The modal loop shows the dialog the first time its queue is empty,
        // after the hide at start: only the user brings it back.
        if (holdHidden_) reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
        return false;
    case WM_QUERYDRAGICON: result = reinterpret_cast<INT_PTR>(programIcon_); return true;
    case kWallpaperDoneMessage:
        if (route_) route_->OnWallpaperDone(static_cast<WallpaperResult>(wParam));
        result = 0;
        return true;
    case WM_DISPLAYCHANGE:
        // A wallpaper of the old size would be centred or cut.
        if (route_ && route_->ShowsWallpaper()) ScheduleRefresh();
        return false;
    default:
        // A restarted shell has lost the icon: put it back. Its desktop has
        // no picture either; the refresh soon after connects to it.
        if (msg == taskbarCreatedMessage_ && msg != 0) {
            if (notifyIconAdded_) AddNotifyIcon(hwnd_, programIcon_);
            ScheduleRefresh();
        }
        return false;
    }
}

void CControlPanelDlg::OnDestroy() {
    KillTimer(hwnd_, kRefreshTimer);
    KillTimer(hwnd_, kAutohideTimer);
    KillTimer(hwnd_, kTipTimer);
    KillTimer(hwnd_, kSaveTimer);
    SaveEdits();
    // The sheet's page windows refer to the page objects: they go first.
    if (sheet_) {
        DestroyWindow(sheet_);
        sheet_ = nullptr;
    }
    DeletePages();
    if (route_) route_->Stop();
    if (notifyIconAdded_) RemoveNotifyIcon(hwnd_);
    notifyIconAdded_ = false;
    InvalidateRect(nullptr, nullptr, TRUE);
}

void CControlPanelDlg::DeletePages() {
    about_.reset();
    citiesPage_.reset();
    overlay_.reset();
    info_.reset();
    offset_.reset();
    misc_.reset();
    glyph_.reset();
}

}  // namespace uv
