// uvtray: acts as the shell and as a user on a running control panel, for
// the integration tests and screenshots. One command per run, one line out:
//   left | right | move    the icon's callback with that mouse message
//   taskbar                the shell's "TaskbarCreated" broadcast, to the panel
//   page                   "page <tab index> <visible>" of the panel
//   select <index>         makes that tab the active page
//   type <text>            the characters to the city list, then "caret <row>"
//   click                  a click on the city list's caret row, then "caret <row>"
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND FindPanel() {
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, "#32770", "Umbravue")) != nullptr)
        if (GetDlgItem(w, 1006)) return w;  // the one with a "Hide" button
    return nullptr;
}

HWND FindSheet(HWND panel) {
    HWND c = nullptr;
    while ((c = FindWindowExA(panel, c, "#32770", nullptr)) != nullptr)
        if (PropSheet_GetTabControl(c)) return c;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    const char* cmd = argc > 1 ? argv[1] : "";
    HWND panel = FindPanel();
    if (!panel) {
        std::printf("no panel\n");
        return 1;
    }
    DWORD_PTR answer = 0;
    const UINT flags = SMTO_ABORTIFHUNG;
    if (!std::strcmp(cmd, "left") || !std::strcmp(cmd, "right") || !std::strcmp(cmd, "move")) {
        const LPARAM mouse = !std::strcmp(cmd, "left")    ? WM_LBUTTONUP
                             : !std::strcmp(cmd, "right") ? WM_RBUTTONUP
                                                          : WM_MOUSEMOVE;
        SendMessageTimeoutA(panel, WM_USER, 0, mouse, flags, 10000, &answer);
        std::printf("sent %s\n", cmd);
    } else if (!std::strcmp(cmd, "taskbar")) {
        SendMessageTimeoutA(panel, RegisterWindowMessageA("TaskbarCreated"), 0, 0, flags, 10000, &answer);
        std::printf("sent taskbar\n");
    } else if (!std::strcmp(cmd, "page") || !std::strcmp(cmd, "select")) {
        HWND sheet = FindSheet(panel);
        HWND tab = sheet ? PropSheet_GetTabControl(sheet) : nullptr;
        if (!tab) {
            std::printf("no sheet\n");
            return 1;
        }
        if (!std::strcmp(cmd, "select") && argc > 2) {
            SendMessageTimeoutA(sheet, PSM_SETCURSEL, std::atoi(argv[2]), 0, flags, 10000, &answer);
        }
        SendMessageTimeoutA(tab, TCM_GETCURSEL, 0, 0, flags, 10000, &answer);
        std::printf("page %d %d\n", static_cast<int>(answer), IsWindowVisible(panel) ? 1 : 0);
    } else if ((!std::strcmp(cmd, "type") && argc > 2) || !std::strcmp(cmd, "click")) {
        // Sent, not posted, so that the caret read afterwards follows them.
        HWND sheet = FindSheet(panel);
        HWND page = sheet ? PropSheet_GetCurrentPageHwnd(sheet) : nullptr;
        HWND list = page ? GetDlgItem(page, 1047) : nullptr;
        if (!list) {
            std::printf("no list\n");
            return 1;
        }
        if (!std::strcmp(cmd, "type")) {
            for (const char* c = argv[2]; *c; ++c)
                SendMessageTimeoutA(list, WM_CHAR, static_cast<unsigned char>(*c), 1, flags, 10000, &answer);
        } else {
            DWORD_PTR caret = 0, top = 0, height = 0;
            SendMessageTimeoutA(list, LB_GETCARETINDEX, 0, 0, flags, 10000, &caret);
            SendMessageTimeoutA(list, LB_GETTOPINDEX, 0, 0, flags, 10000, &top);
            SendMessageTimeoutA(list, LB_GETITEMHEIGHT, 0, 0, flags, 10000, &height);
            const LPARAM at =
                MAKELPARAM(4, (static_cast<int>(caret) - static_cast<int>(top)) * height + height / 2);
            SendMessageTimeoutA(list, WM_LBUTTONDOWN, MK_LBUTTON, at, flags, 10000, &answer);
            SendMessageTimeoutA(list, WM_LBUTTONUP, 0, at, flags, 10000, &answer);
        }
        SendMessageTimeoutA(list, LB_GETCARETINDEX, 0, 0, flags, 10000, &answer);
        std::printf("caret %d\n", static_cast<int>(answer));
    } else {
        std::printf("unknown command\n");
        return 2;
    }
    return 0;
}
