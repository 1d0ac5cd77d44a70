#include "ways/DesktopLink_win.h"

#include "common/WindowsVersion_win.h"

#include "desktophost/uvdll.h"
#include "solar/Sunrise.h"

#include <cstring>
#include <ctime>

namespace uv {

namespace {

struct FindState {
    const char* cls;
    const char* text;
    HWND found;
};

bool Matches(HWND hwnd, const char* cls, const char* text) {
    if (cls) {
        char name[256];
        if (GetClassNameA(hwnd, name, sizeof name) == 0 || std::strcmp(name, cls) != 0) return false;
    }
    if (text) {
        char buf[256] = {};
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                                 SMTO_ABORTIFHUNG, 8192, &length) ||
            length == 0)
            return false;
        buf[sizeof buf - 1] = 0;
        if (std::strcmp(buf, text) != 0) return false;
    }
    return true;
}

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lParam) {
    FindState* s = reinterpret_cast<FindState*>(lParam);
    if (Matches(hwnd, s->cls, s->text)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindWindowByClassAndText(HWND parent, const char* cls, const char* text) {
    FindState s{cls, text, nullptr};
    if (parent)
        EnumChildWindows(parent, FindProc, reinterpret_cast<LPARAM>(&s));
    else
        EnumWindows(FindProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindDesktopListView() {
    OSVERSIONINFOA v;
    if (!ReportedWindowsVersion(v)) return nullptr;
    const DesktopSearch search = ChooseDesktopSearch(v.dwPlatformId, v.dwMajorVersion, v.dwMinorVersion);
    if (search == DesktopSearch::None) return nullptr;
    // A level that finds nothing lets the next one search the top-level
    // windows, as the parent is then null.
    HWND progman = FindWindowByClassAndText(nullptr, "Progman", "Program Manager");
    HWND defView = FindWindowByClassAndText(progman, "SHELLDLL_DefView", nullptr);
    return FindWindowByClassAndText(defView, "SysListView32",
                                    search == DesktopSearch::FolderView ? "FolderView" : nullptr);
}

int TimeZoneXOffset() { return XOffsetForStandardOffset(LocalStandardOffset()); }

LinkFacts DesktopLink::Connect() { return ConnectTo(FindDesktopListView()); }

LinkFacts DesktopLink::ConnectTo(HWND listView) {
    linkedListView_ = listView;
    LinkFacts found;
    found.listViewFound = listView != nullptr;
    if (!listView) return found;  // the hook would have no thread to go to
    const DWORD thread = GetWindowThreadProcessId(listView, nullptr);
    UVDLLInstallHook(listView);
    installed_ = true;
    found.hostReached = UVDLLIsHostRunning() != FALSE;
    if (!found.hostReached) {
        Disconnect();
        return found;
    }
    // A new host starts from its defaults: every value goes, "YOffset" too.
    lastYOffset_ = -1;
    Sleep(50);
    PostAllSettings(thread);
    Sleep(50);
    PostTime(thread);
    return found;
}

void DesktopLink::PostAllSettings(DWORD thread) {
    const Burst burst = BuildSettingsBurst(settings_, selection_, lastYOffset_);
    for (const SettingsPost& p : burst.posts) {
        PostThreadMessageA(thread, message_, static_cast<WPARAM>(p.id), static_cast<LPARAM>(p.value));
        if (p.id == MessageId::YOffset) {
            // The map moves within the window: everything is to be redrawn.
            if (HWND listView = FindDesktopListView()) InvalidateRect(listView, nullptr, TRUE);
        }
    }
}

void DesktopLink::PostTime(DWORD thread) {
    PostThreadMessageA(thread, message_, static_cast<WPARAM>(MessageId::SetTime),
                       static_cast<LPARAM>(static_cast<std::int32_t>(std::time(nullptr))));
}

std::optional<LinkFacts> DesktopLink::Refresh() {
    Sleep(50);
    HWND listView = FindDesktopListView();
    // Another list view belongs to a shell started since (or the first one
    // after a start without a shell): its thread has no host to take the
    // burst. Each list view is tried once, so a shell that cannot be reached
    // does not block every tick for the length of an install.
    if (listView && listView != linkedListView_) return ConnectTo(listView);
    const DWORD thread = listView ? GetWindowThreadProcessId(listView, nullptr) : 0;
    if (!thread) return std::nullopt;  // no desktop: nothing to send to
    PostAllSettings(thread);
    Sleep(50);
    PostTime(thread);
    Sleep(50);
    return std::nullopt;
}

void DesktopLink::Disconnect() {
    if (!installed_) return;
    UVDLLRemoveHook();
    installed_ = false;
}

}  // namespace uv
