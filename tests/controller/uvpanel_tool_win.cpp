// uvpanel: pokes a running control panel from the integration tests. One
// command per run, one line of output:
//   find                 "panel <hwnd> <visible>" (hwnd 0 when none)
//   count                number of top-level "Umbravue" dialogs
//   close | show | quit | hide
//   queryendsession      sends WM_QUERYENDSESSION, prints the answer
//   endsession 0|1       sends WM_ENDSESSION (1: the session ends)
//   session <code>       sends WM_WTSSESSION_CHANGE (7 locked, 8 unlocked)
//   logoff               both session-end messages, then ends the program's
//                        process the moment WM_ENDSESSION returns, as
//                        Windows may at a log-off
//   button <text>        clicks the first button with that text in the panel
//   enter <text>         shows that button's page, clicks the button and
//                        presses Enter there, as a user would
//   text <id>            the text of the panel's first control with that id
//   mutex                1 when the installer mutex exists
//   msgbox [dismiss]     the text of the program's message box (a missing
//                        resource library, a processor without SSE2)
//   stubborn <seconds>   shows a look-alike panel that ignores WM_CLOSE
//   setwallpaper <path>  makes path the wallpaper, as the system's settings do
//   hold <path> <ms>     opens (or makes) a file without sharing it, prints "held 1"
//                        (or "held 0"), keeps it open for ms
//   instance <ms> [sid|self] [locked]
//                        holds the instance mutex of another session's copy
//                        of account sid (self: this one's) for ms, prints
//                        "instance 1"; locked: nobody else may open it
//   copy [sid]           "copy 1" while a copy of account sid (default: this
//                        one's) runs in any session, else "copy 0"
//   parent               the file name of the process that started the panel's
//                        ("- <id>" when that one has ended)
//   press <caption> <id> clicks button id of the visible dialog whose caption
//                        holds caption (the installer's pages), prints "pressed 1" (0: no
//                        such window, or the button is disabled)
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <sddl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Find {
    const char* cls;
    const char* text;  // null: any; else substring match when partial
    bool partial;
    bool visibleOnly;
    HWND found;
    int count;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lParam) {
    Find* f = reinterpret_cast<Find*>(lParam);
    char cls[256] = {}, text[512] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::strcmp(cls, f->cls) != 0) return TRUE;
    GetWindowTextA(hwnd, text, sizeof text);
    if (f->text && (f->partial ? !std::strstr(text, f->text) : std::strcmp(text, f->text) != 0)) return TRUE;
    if (f->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
    if (!f->found) f->found = hwnd;
    ++f->count;
    return TRUE;
}

struct PanelSearch {
    HWND panel;
    int n;
};

// A panel has its "Hide" button: a message box with the same title has not.
BOOL CALLBACK PanelProc(HWND hwnd, LPARAM lp) {
    PanelSearch* c = reinterpret_cast<PanelSearch*>(lp);
    char cls[64] = {}, text[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, text, sizeof text);
    if (std::strcmp(cls, "#32770") == 0 && std::strcmp(text, "Umbravue") == 0 && GetDlgItem(hwnd, 1006)) {
        if (!c->panel) c->panel = hwnd;
        ++c->n;
    }
    return TRUE;
}

HWND Panel(int* count = nullptr) {
    PanelSearch s{nullptr, 0};
    EnumWindows(PanelProc, reinterpret_cast<LPARAM>(&s));
    if (count) *count = s.n;
    return s.panel;
}

struct BoxSearch {
    HWND box;
    std::string text;
};

BOOL CALLBACK BoxProc(HWND hwnd, LPARAM lp) {
    BoxSearch* c = reinterpret_cast<BoxSearch*>(lp);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") != 0) return TRUE;
    Find f{"Static", "could not load", true, false, nullptr, 0};
    EnumChildWindows(hwnd, FindProc, reinterpret_cast<LPARAM>(&f));
    for (const char* text : {"needs a processor", "already running"}) {
        if (f.found) break;
        f.text = text;
        EnumChildWindows(hwnd, FindProc, reinterpret_cast<LPARAM>(&f));
    }
    if (!f.found) return TRUE;
    char text[256] = {}, title[128] = {};
    GetWindowTextA(f.found, text, sizeof text);
    GetWindowTextA(hwnd, title, sizeof title);
    c->box = hwnd;
    c->text = std::string(title) + "|" + text;
    return FALSE;
}

HWND MessageBoxWindow(std::string& text) {
    BoxSearch s{nullptr, {}};
    EnumWindows(BoxProc, reinterpret_cast<LPARAM>(&s));
    text = s.text;
    return s.box;
}

struct IdSearch {
    int id;
    HWND found;
};

BOOL CALLBACK IdProc(HWND hwnd, LPARAM lp) {
    IdSearch* s = reinterpret_cast<IdSearch*>(lp);
    if (GetDlgCtrlID(hwnd) != s->id) return TRUE;
    s->found = hwnd;
    return FALSE;
}

WNDPROC g_dialogProc = nullptr;

LRESULT CALLBACK StubbornProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_CLOSE) return 0;
    return CallWindowProcA(g_dialogProc, hwnd, msg, w, l);
}

int Stubborn(int seconds) {
    HWND w = CreateWindowExA(0, "#32770", "Umbravue", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 200, 100,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!w) return 1;
    CreateWindowExA(0, "Button", "Hide", WS_CHILD | WS_VISIBLE, 10, 10, 60, 20, w,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(1006)), nullptr, nullptr);
    g_dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StubbornProc)));
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    MSG m;
    while (GetTickCount() < end) {
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
    DestroyWindow(w);
    return 0;
}

std::string OwnSid() {
    HANDLE token = nullptr;
    BYTE buffer[256];
    DWORD size = 0;
    char* text = nullptr;
    std::string sid;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
        GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
        ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) {
        sid = text;
        LocalFree(text);
    }
    if (token) CloseHandle(token);
    return sid;
}

// Only the global mutex: the copy runs in some other session.
int HoldInstance(DWORD ms, const std::string& sid, bool locked) {
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    ACL acl;
    InitializeAcl(&acl, sizeof acl, ACL_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE);  // an empty list grants nothing
    SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};
    const std::string name = "Global\\Umbravue instance " + sid;
    HANDLE m = CreateMutexA(locked ? &sa : nullptr, FALSE, name.c_str());
    std::printf("instance %d\n", m ? 1 : 0);
    std::fflush(stdout);
    Sleep(ms);
    if (m) CloseHandle(m);
    return 0;
}

std::string ParentName(DWORD pid) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return "- no list";
    PROCESSENTRY32 e{};
    e.dwSize = sizeof e;
    DWORD parent = 0;
    for (BOOL ok = Process32First(snap, &e); ok; ok = Process32Next(snap, &e))
        if (e.th32ProcessID == pid) parent = e.th32ParentProcessID;
    std::string name;
    for (BOOL ok = Process32First(snap, &e); ok && parent; ok = Process32Next(snap, &e))
        if (e.th32ProcessID == parent) name = e.szExeFile;
    CloseHandle(snap);
    return name.empty() ? "- " + std::to_string(parent) : name;
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(hwnd, msg, w, l, SMTO_ABORTIFHUNG, 20000, &result)) return -1;
    return static_cast<LRESULT>(result);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "stubborn") return Stubborn(argc > 2 ? std::atoi(argv[2]) : 60);
    if (cmd == "setwallpaper" && argc > 2) {
        const BOOL ok =
            SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, argv[2], SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
        std::printf("set %d\n", ok ? 1 : 0);
        return 0;
    }
    if (cmd == "hold" && argc > 3) {
        HANDLE file = CreateFileA(argv[2], GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        std::printf("held %d\n", file != INVALID_HANDLE_VALUE ? 1 : 0);
        std::fflush(stdout);
        Sleep(static_cast<DWORD>(std::atoi(argv[3])));
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        return 0;
    }
    if (cmd == "instance" && argc > 2) {
        const bool locked = argc > 4 && std::strcmp(argv[4], "locked") == 0;
        const std::string sid = argc > 3 && std::strcmp(argv[3], "self") != 0 ? argv[3] : OwnSid();
        return HoldInstance(static_cast<DWORD>(std::atoi(argv[2])), sid, locked);
    }
    if (cmd == "copy") {
        const std::string name = "Global\\Umbravue instance " + (argc > 2 ? std::string(argv[2]) : OwnSid());
        HANDLE m = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
        std::printf("copy %d\n", m || GetLastError() == ERROR_ACCESS_DENIED ? 1 : 0);
        if (m) CloseHandle(m);
        return 0;
    }
    if (cmd == "press" && argc > 3) {
        // The installer's caption grows by the page's.
        Find f{"#32770", argv[2], true, true, nullptr, 0};
        EnumWindows(FindProc, reinterpret_cast<LPARAM>(&f));
        HWND window = f.found;
        HWND button = window ? GetDlgItem(window, std::atoi(argv[3])) : nullptr;
        const bool pressable = button && IsWindowEnabled(button) && IsWindowVisible(button);
        if (pressable)
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(std::atoi(argv[3]), BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
        std::printf("pressed %d\n", pressable ? 1 : 0);
        return 0;
    }
    int count = 0;
    HWND panel = Panel(&count);
    if (cmd == "find") {
        std::printf("panel %lld %d\n", static_cast<long long>(reinterpret_cast<INT_PTR>(panel)),
                    panel && IsWindowVisible(panel) ? 1 : 0);
    } else if (cmd == "count") {
        std::printf("count %d\n", count);
    } else if (cmd == "mutex") {
        HANDLE m = OpenMutexA(SYNCHRONIZE, FALSE, "UmbravueInnoSetupMutex");
        std::printf("mutex %d\n", m ? 1 : 0);
        if (m) CloseHandle(m);
    } else if (cmd == "msgbox") {
        std::string text;
        HWND box = MessageBoxWindow(text);
        std::printf("msgbox %d %s\n", box ? 1 : 0, text.c_str());
        if (box && argc > 2 && std::strcmp(argv[2], "dismiss") == 0) PostMessageA(box, WM_COMMAND, IDOK, 0);
    } else if (!panel) {
        std::printf("nopanel\n");
        return 2;
    } else if (cmd == "parent") {
        DWORD pid = 0;
        GetWindowThreadProcessId(panel, &pid);
        std::printf("parent %s\n", ParentName(pid).c_str());
    } else if (cmd == "close") {
        std::printf("sent %ld\n", static_cast<long>(Send(panel, WM_CLOSE, 0, 0)));
    } else if (cmd == "show") {
        std::printf("sent %ld\n", static_cast<long>(Send(panel, WM_USER, 0, WM_RBUTTONUP)));
    } else if (cmd == "quit" || cmd == "hide") {
        const int id = cmd == "quit" ? 1004 : 1006;
        std::printf("sent %ld\n", static_cast<long>(Send(panel, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                                         reinterpret_cast<LPARAM>(GetDlgItem(panel, id)))));
    } else if (cmd == "queryendsession") {
        std::printf("answer %ld\n", static_cast<long>(Send(panel, WM_QUERYENDSESSION, 0, 0)));
    } else if (cmd == "endsession" && argc > 2) {
        std::printf("sent %ld\n", static_cast<long>(Send(panel, WM_ENDSESSION, std::atoi(argv[2]), 0)));
    } else if (cmd == "session" && argc > 2) {
        std::printf("sent %ld\n", static_cast<long>(Send(panel, 0x02B1, std::atoi(argv[2]), 0)));
    } else if (cmd == "logoff") {
        DWORD pid = 0;
        GetWindowThreadProcessId(panel, &pid);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        const LRESULT answer = Send(panel, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        const LRESULT ended = Send(panel, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        const BOOL killed = process && TerminateProcess(process, 9);
        if (process) {
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
        std::printf("logoff %ld %ld %d\n", static_cast<long>(answer), static_cast<long>(ended),
                    killed ? 1 : 0);
    } else if ((cmd == "button" || cmd == "enter") && argc > 2) {
        Find f{"Button", argv[2], false, false, nullptr, 0};
        EnumChildWindows(panel, FindProc, reinterpret_cast<LPARAM>(&f));
        if (!f.found) {
            std::printf("nobutton\n");
            return 2;
        }
        if (cmd == "enter") {
            // The button's page comes to the front first, as after a tab click.
            HWND page = GetParent(f.found);
            HWND sheet = GetParent(page);
            const LRESULT index = Send(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0);
            if (index >= 0) Send(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
        }
        // The click gives the button the focus in the panel's thread.
        Send(f.found, BM_CLICK, 0, 0);
        if (cmd == "enter") {
            PostMessageA(f.found, WM_KEYDOWN, VK_RETURN, 1);
            PostMessageA(f.found, WM_KEYUP, VK_RETURN, 0xC0000001);
        }
        std::printf("clicked %d\n", static_cast<int>(Send(f.found, BM_GETCHECK, 0, 0)));
    } else if (cmd == "text" && argc > 2) {
        IdSearch s{std::atoi(argv[2]), nullptr};
        EnumChildWindows(panel, IdProc, reinterpret_cast<LPARAM>(&s));
        char text[512] = {};
        if (s.found)
            SendMessageTimeoutA(s.found, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                SMTO_ABORTIFHUNG, 20000, nullptr);
        std::printf("text %s\n", text);
    } else {
        std::printf("unknown\n");
        return 2;
    }
    return 0;
}
