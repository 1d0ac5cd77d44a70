#include "controlpanel/DialogBase_win.h"

namespace uv {

INT_PTR CDialog::DoModal(HINSTANCE instance, HWND parent) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId_), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool CDialog::HandleMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CDialog* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
        return self->OnInitDialog();
    }
    self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self) return FALSE;
    if (msg == WM_DESTROY) {
        self->OnDestroy();
        return FALSE;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        return FALSE;
    }
    INT_PTR result = 0;
    if (!self->HandleMessage(msg, wParam, lParam, result)) return FALSE;
    switch (msg) {
    // These answer through the procedure's return value.
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: return result;
    default: SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result); return TRUE;
    }
}

PROPSHEETPAGEA CPropertyPage::Descriptor(HINSTANCE instance) {
    PROPSHEETPAGEA p = {};
    p.dwSize = sizeof p;
    p.dwFlags = PSP_DEFAULT;
    p.hInstance = instance;
    p.pszTemplate = MAKEINTRESOURCEA(templateId_);
    p.pfnDlgProc = PageProc;
    p.lParam = reinterpret_cast<LPARAM>(this);
    return p;
}

bool CPropertyPage::HandleMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CPropertyPage* self;
    if (msg == WM_INITDIALOG) {
        const PROPSHEETPAGEA* p = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        self = reinterpret_cast<CPropertyPage*>(p->lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
        self->OnInitPage();
        return TRUE;
    }
    self = reinterpret_cast<CPropertyPage*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self) return FALSE;
    if (msg == WM_NCDESTROY) {
        // The members stay; only the window is gone.
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        return FALSE;
    }
    if (msg == WM_NOTIFY) {
        const NMHDR* n = reinterpret_cast<const NMHDR*>(lParam);
        if (n->code == static_cast<UINT>(PSN_SETACTIVE)) {
            self->OnSetActive();
            SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        if (n->code == static_cast<UINT>(PSN_KILLACTIVE)) {
            self->OnKillActive();
            SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, FALSE);
            return TRUE;
        }
    }
    INT_PTR result = 0;
    if (!self->HandleMessage(msg, wParam, lParam, result)) return FALSE;
    switch (msg) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR: return result;
    default: SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result); return TRUE;
    }
}

void CPropertyPage::Enable(int id, bool on) const {
    if (HWND h = Item(id)) EnableWindow(h, on ? TRUE : FALSE);
}

void CPropertyPage::SetCheck(int id, std::uint32_t on) const {
    if (HWND h = Item(id)) SendMessageA(h, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::uint32_t CPropertyPage::GetCheck(int id, std::uint32_t fallback) const {
    HWND h = Item(id);
    if (!h) return fallback;
    return SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void CPropertyPage::SetText(int id, const char* text) const {
    if (HWND h = Item(id)) SetWindowTextA(h, text);
}

void CPropertyPage::SetupSlider(int id, int lo, int hi, int tickFrequency, int pageSize, int position) const {
    HWND h = Item(id);
    if (!h) return;
    SendMessageA(h, TBM_SETRANGE, FALSE, MAKELPARAM(lo, hi));
    SendMessageA(h, TBM_SETTICFREQ, tickFrequency, 0);
    SendMessageA(h, TBM_SETPAGESIZE, 0, pageSize);
    SendMessageA(h, TBM_SETPOS, TRUE, position);
}

void CPropertyPage::SetSlider(int id, int position) const {
    if (HWND h = Item(id)) SendMessageA(h, TBM_SETPOS, TRUE, position);
}

int CPropertyPage::GetSlider(int id, int fallback) const {
    HWND h = Item(id);
    if (!h) return fallback;
    return static_cast<int>(SendMessageA(h, TBM_GETPOS, 0, 0));
}

}  // namespace uv
