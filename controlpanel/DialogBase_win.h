// Small bases for dialogs and property pages over plain Win32: a static
// dialog procedure finds the object and hands each message to its members.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdint>

namespace uv {

class CDialog {
public:
    explicit CDialog(int templateId) : templateId_(templateId) {}
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally; returns what EndDialog was given.
    INT_PTR DoModal(HINSTANCE instance, HWND parent);
    HWND hwnd() const { return hwnd_; }

protected:
    // WM_INITDIALOG. Returns TRUE to let the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // Every other message; return true when handled, with *result the
    // dialog procedure's answer (DWLP_MSGRESULT is set from it).
    virtual bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    // WM_DESTROY, before the window is gone.
    virtual void OnDestroy() {}

    HWND hwnd_ = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    int templateId_;
};

// A page of a property sheet. The page window exists from the page's first
// activation until the sheet is destroyed; the page object outlives it.
class CPropertyPage {
public:
    explicit CPropertyPage(int templateId) : templateId_(templateId) {}
    virtual ~CPropertyPage() = default;
    CPropertyPage(const CPropertyPage&) = delete;
    CPropertyPage& operator=(const CPropertyPage&) = delete;

    // The descriptor for PropertySheetA / CreatePropertySheetPageA.
    PROPSHEETPAGEA Descriptor(HINSTANCE instance);
    HWND hwnd() const { return hwnd_; }
    bool HasWindow() const { return hwnd_ != nullptr && IsWindow(hwnd_); }

    // Control values from and to the page's members. Without a page window
    // they do nothing, so the members stay valid on their own.
    virtual void ReadControls() {}
    virtual void WriteControls() {}

protected:
    // The page's first activation: its window has just been created.
    virtual void OnInitPage() {}
    // The page becomes the active one / is left for another page.
    virtual void OnSetActive() { WriteControls(); }
    virtual void OnKillActive() { ReadControls(); }
    virtual bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    // Helpers for the pages' controls.
    HWND Item(int id) const { return hwnd_ ? GetDlgItem(hwnd_, id) : nullptr; }
    void Enable(int id, bool on) const;
    void SetCheck(int id, std::uint32_t on) const;
    std::uint32_t GetCheck(int id, std::uint32_t fallback) const;
    void SetText(int id, const char* text) const;
    void SetupSlider(int id, int lo, int hi, int tickFrequency, int pageSize, int position) const;
    void SetSlider(int id, int position) const;
    int GetSlider(int id, int fallback) const;

    HWND hwnd_ = nullptr;

private:
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    int templateId_;
};

}  // namespace uv
