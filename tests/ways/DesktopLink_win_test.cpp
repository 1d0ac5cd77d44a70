// Finding windows by class and text, and the desktop list view, among real
// windows this test creates.
#include "ways/DesktopLink_win.h"

#include <gtest/gtest.h>

namespace uv {
namespace {

const char* RegisterClassNamed(const char* name) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
    return name;
}

struct Window {
    HWND hwnd;
    Window(const char* cls, const char* text, HWND parent = nullptr)
        : hwnd(CreateWindowExA(0, cls, text, parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr)) {}
    ~Window() {
        if (hwnd) DestroyWindow(hwnd);
    }
};

TEST(FindWindowByClassAndText, MatchesClassAndTextExactly) {
    const char* cls = RegisterClassNamed("UvFindTestTop");
    const char* child = RegisterClassNamed("UvFindTestChild");
    Window top(cls, "Find Me Test");
    ASSERT_TRUE(top.hwnd);
    Window unnamed(child, "", top.hwnd);
    Window named(child, "inner", top.hwnd);
    Window grandchild(child, "deep", named.hwnd);

    EXPECT_EQ(FindWindowByClassAndText(nullptr, cls, "Find Me Test"), top.hwnd);
    EXPECT_EQ(FindWindowByClassAndText(nullptr, nullptr, "Find Me Test"), top.hwnd);
    EXPECT_EQ(FindWindowByClassAndText(nullptr, cls, "find me test"), nullptr);
    EXPECT_EQ(FindWindowByClassAndText(nullptr, "UvFindTestTo", "Find Me Test"), nullptr);
    // Descendants at any depth; an empty text never matches a text test.
    EXPECT_EQ(FindWindowByClassAndText(top.hwnd, child, nullptr), unnamed.hwnd);
    EXPECT_EQ(FindWindowByClassAndText(top.hwnd, child, "inner"), named.hwnd);
    EXPECT_EQ(FindWindowByClassAndText(top.hwnd, child, "deep"), grandchild.hwnd);
    EXPECT_EQ(FindWindowByClassAndText(top.hwnd, nullptr, ""), nullptr);
}

TEST(FindDesktopListView, FindsTheFolderViewUnderTheShellWindows) {
    if (FindWindowA("Progman", nullptr)) GTEST_SKIP() << "a desktop shell runs in this prefix";
    // The test prefix reports NT 5.x with a minor version above 0.
    RegisterClassNamed("Progman");
    RegisterClassNamed("SHELLDLL_DefView");
    RegisterClassNamed("SysListView32x");
    Window progman("Progman", "Program Manager");
    Window defView("SHELLDLL_DefView", "", progman.hwnd);
    EXPECT_EQ(FindDesktopListView(), nullptr);  // no list view yet

    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SysListView32";
    const bool own = RegisterClassA(&wc) != 0;
    if (!own) GTEST_SKIP() << "the list view class is taken";
    Window other("SysListView32", "Other", defView.hwnd);
    Window folder("SysListView32", "FolderView", defView.hwnd);
    EXPECT_EQ(FindDesktopListView(), folder.hwnd);
}

TEST(TimeZoneXOffset, StaysWithinTheSlider) {
    const int x = TimeZoneXOffset();
    EXPECT_GE(x, 0);
    EXPECT_LE(x, 359);
}

}  // namespace
}  // namespace uv
