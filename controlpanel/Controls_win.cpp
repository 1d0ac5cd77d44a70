#include "controlpanel/Controls_win.h"

#include <shellapi.h>

#include "common/WinHandles.h"

namespace uv {

CColorSwatch::CColorSwatch() : colour_(GetSysColor(COLOR_BTNFACE)), brush_(CreateSolidBrush(colour_)) {}

void CColorSwatch::SetColour(COLORREF colour) {
    if (colour == colour_) return;
    colour_ = colour;
    brush_.reset(CreateSolidBrush(colour));
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

COLORREF CColorSwatch::TextColourFor(COLORREF c) {
    const int r = GetRValue(c) < 127 ? 255 : 0;
    const int g = GetGValue(c) < 127 ? 255 : 0;
    const int b = GetBValue(c) < 127 ? 255 : 0;
    return RGB(r, g, b);
}

HBRUSH CColorSwatch::OnCtlColor(HDC dc) {
    SetTextColor(dc, TextColourFor(colour_));
    SetBkMode(dc, TRANSPARENT);
    return brush_.get();
}

CLinkStatic::CLinkStatic() : brush_(CreateSolidBrush(GetSysColor(COLOR_BTNFACE))) {}

namespace {

// True when visual styles paint a texture behind the controls of the link's
// page (themed property sheet pages). uxtheme is not on every system and is
// only loaded by a themed process, so it is looked up, never imported.
bool OnTexturedPage(HWND control) {
    HMODULE uxtheme = GetModuleHandleA("uxtheme.dll");
    if (!control || !uxtheme) return false;
    using IsTextureEnabled = BOOL(WINAPI*)(HWND);
    const auto enabled = LaterFunction<IsTextureEnabled>(uxtheme, "IsThemeDialogTextureEnabled");
    return enabled && enabled(GetParent(control));
}

}  // namespace

HBRUSH CLinkStatic::OnCtlColor(HDC dc) {
    SetTextColor(dc, RGB(0, 0, 255));
    SetBkMode(dc, TRANSPARENT);
    // A solid button-face box would stand out on the texture: the page's own
    // painting shows through instead. The links' texts never change, so
    // nothing old can show through.
    if (OnTexturedPage(hwnd_)) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    return brush_.get();
}

void CLinkStatic::Open(HWND owner) const {
    if (target_.empty()) return;
    ShellExecuteA(owner, "open", target_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

CStaticControl* StaticControls::Find(HWND control) const {
    if (!control) return nullptr;
    for (CStaticControl* c : controls_)
        if (c->hwnd() == control) return c;
    return nullptr;
}

bool StaticControls::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) const {
    if (msg == WM_CTLCOLORSTATIC) {
        if (CStaticControl* c = Find(reinterpret_cast<HWND>(lParam))) {
            result = reinterpret_cast<INT_PTR>(c->OnCtlColor(reinterpret_cast<HDC>(wParam)));
            return true;
        }
    } else if (msg == WM_SETCURSOR) {
        CStaticControl* c = Find(reinterpret_cast<HWND>(wParam));
        if (c && c->cursor()) {
            SetCursor(c->cursor());
            result = TRUE;
            return true;
        }
    }
    return false;
}

}  // namespace uv
