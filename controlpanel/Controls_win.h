// Static controls that the pages and the control panel dress up: colour
// swatches and links. The owning dialog hands them its WM_CTLCOLORSTATIC,
// WM_SETCURSOR and click notifications through StaticControls.
#pragma once

#include "common/WinHandles.h"

#include <string>
#include <vector>

namespace uv {

class CStaticControl {
public:
    virtual ~CStaticControl() = default;
    void Attach(HWND control) { hwnd_ = control; }
    void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
    HWND hwnd() const { return hwnd_; }
    HCURSOR cursor() const { return cursor_; }
    // Colours for drawing; returns the background brush.
    virtual HBRUSH OnCtlColor(HDC dc) = 0;

protected:
    HWND hwnd_ = nullptr;
    HCURSOR cursor_ = nullptr;
};

// A swatch showing a colour, its caption in black or white for contrast.
class CColorSwatch : public CStaticControl {
public:
    CColorSwatch();
    COLORREF Colour() const { return colour_; }
    // A new colour replaces the brush and repaints; an equal one does nothing.
    void SetColour(COLORREF colour);
    HBRUSH OnCtlColor(HDC dc) override;
    // Per channel: 255 where the swatch's is below 127, else 0.
    static COLORREF TextColourFor(COLORREF colour);

private:
    COLORREF colour_;
    UniqueBrush brush_;
};

// Blue text that opens an address with the shell when clicked.
class CLinkStatic : public CStaticControl {
public:
    CLinkStatic();
    void SetTarget(const std::string& target) { target_ = target; }
    const std::string& Target() const { return target_; }
    HBRUSH OnCtlColor(HDC dc) override;
    // Opens the target ("open" verb, normal window); an empty one does nothing.
    void Open(HWND owner) const;

private:
    std::string target_;
    UniqueBrush brush_;
};

// The dressed-up statics of one dialog window.
class StaticControls {
public:
    void Add(CStaticControl* control) { controls_.push_back(control); }
    CStaticControl* Find(HWND control) const;
    // WM_CTLCOLORSTATIC and WM_SETCURSOR; true when one of ours answered.
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) const;

private:
    std::vector<CStaticControl*> controls_;
};

}  // namespace uv
