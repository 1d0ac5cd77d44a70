#include "controlpanel/Pages_win.h"

#include "common/Registry_win.h"
#include "common/WideText_win.h"

#include "controlpanel/AboutPageRes.h"
#include "controlpanel/GlyphPageRes.h"
#include "controlpanel/InfoPageRes.h"
#include "controlpanel/PageText.h"
#include "controlpanel/SettingControls_win.h"

#include <shellapi.h>

#include <cstdio>

namespace uv {

bool CSettingsPage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (statics_.HandleMessage(msg, wParam, lParam, result)) return true;
    if (msg == WM_COMMAND) {
        const int code = HIWORD(wParam);
        if (code == BN_CLICKED || code == STN_CLICKED) {
            OnClicked(LOWORD(wParam));
            result = 0;
            return true;
        }
    } else if (msg == WM_HSCROLL && lParam) {
        OnSlider(reinterpret_cast<HWND>(lParam));
        result = 0;
        return true;
    }
    return false;
}

const SettingInfo* CSettingsPage::RowOf(int id) const {
    for (const SettingInfo& s : kSettings)
        if (s.page == page_ && id != 0 && ControlOf(s) == id) return &s;
    return nullptr;
}

void CSettingsPage::ReadControls() {
    if (!host_) return;
    SettingsRecord& r = values();
    for (const SettingInfo& s : kSettings) {
        if (s.page != page_ || !ControlOf(s) || !s.member) continue;
        if (s.kind == SettingKind::Slider)
            r.*s.member = GetSlider(ControlOf(s), r.*s.member);
        else if (s.kind != SettingKind::Colour)
            r.*s.member = static_cast<std::int32_t>(GetCheck(ControlOf(s), r.*s.member));
    }
}

void CSettingsPage::WriteControls() {
    if (!host_) return;
    const SettingsRecord& r = values();
    for (const SettingInfo& s : kSettings) {
        if (s.page != page_ || !ControlOf(s) || !s.member) continue;
        if (s.kind == SettingKind::Slider)
            SetSlider(ControlOf(s), r.*s.member);
        else if (s.kind != SettingKind::Colour)
            SetCheck(ControlOf(s), r.*s.member);
    }
}

// --- Information

CPPInfo::CPPInfo() : CSettingsPage(IDD_INFO, SettingPage::None) {}

void CPPInfo::OnInitPage() {
    credit_.Attach(Item(IDC_INFO_CREDIT));
    credit_.SetCursor(HandCursor());
    credit_.SetTarget(kImageSourceAddress);
    statics_.Add(&credit_);
    ShowPictureWay(pictureWay_, offerMap_);
}

void CPPInfo::ShowPictureWay(const std::string& text, bool offerMap) {
    pictureWay_ = text;
    offerMap_ = offerMap;
    if (!hwnd_) return;
    SetText(IDC_INFO_PICTUREWAY, pictureWay_.c_str());
    ShowWindow(Item(IDC_INFO_SHOWMAP), offerMap_ ? SW_SHOW : SW_HIDE);
}

void CPPInfo::OnClicked(int id) {
    if (id == IDC_INFO_CREDIT) credit_.Open(hwnd_);
    if (id == IDC_INFO_SHOWMAP && host_) host_->ShowMapAgain();
}

// --- Glyphs

CPPGlyph::CPPGlyph() : CSettingsPage(IDD_GLYPH, SettingPage::Glyph) {}

void CPPGlyph::OnClicked(int id) {
    if (!RowOf(id)) return;
    ReadControls();
    ScheduleRefresh();
}

// --- About

CPPAbout::CPPAbout() : CSettingsPage(IDD_ABOUT, SettingPage::None) {}

void CPPAbout::OnInitPage() {
    versionText_ = uv::VersionText();
    const AboutLinks addresses = BuildAboutLinks();
    CLinkStatic* links[] = {&iconLink_, &mailLink_, &homepageLink_};
    const int ids[] = {IDC_ABOUT_ICON, IDC_ABOUT_MAIL, IDC_ABOUT_HOMEPAGE};
    iconLink_.SetTarget(addresses.homepageTarget);
    homepageLink_.SetTarget(addresses.homepageTarget);
    mailLink_.SetTarget(addresses.mailTarget);
    SetText(IDC_ABOUT_HOMEPAGE, addresses.homepageLine.c_str());
    SetText(IDC_ABOUT_MAIL, addresses.mailLine.c_str());
    for (int i = 0; i < 3; ++i) {
        // Only a link with an address shows the hand.
        if (!links[i]->Target().empty()) links[i]->SetCursor(HandCursor());
        links[i]->Attach(Item(ids[i]));
        statics_.Add(links[i]);
    }
    SetText(IDC_ABOUT_VERSION, versionText_.c_str());
}

void CPPAbout::OpenBesideProgram(const char* file) {
    ShellExecuteW(hwnd_, L"open", WidePtr(BesideProgram(file)), nullptr, nullptr, SW_SHOWNORMAL);
}

void CPPAbout::OnClicked(int id) {
    switch (id) {
    case IDC_ABOUT_ICON: iconLink_.Open(hwnd_); break;
    case IDC_ABOUT_HOMEPAGE: homepageLink_.Open(hwnd_); break;
    case IDC_ABOUT_MAIL: mailLink_.Open(hwnd_); break;
    case IDC_ABOUT_LICENSE: OpenBesideProgram("license.txt"); break;
    case IDC_ABOUT_QUIRKS: OpenBesideProgram("quirks.txt"); break;
    case IDC_ABOUT_SWITCH:
        if (host_) ShowWindow(host_->MainWindow(), SW_SHOWNORMAL);
        ShowWindow(hwnd_, SW_HIDE);
        break;
    default: break;
    }
}

bool VisibleControlPanelExists() {
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, "#32770", "Umbravue")) != nullptr)
        if (IsWindowVisible(w)) return true;
    return false;
}

bool CPPAbout::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (msg == WM_SHOWWINDOW) {
        // The button is the way back when the page shows without the panel.
        DefWindowProcA(hwnd_, msg, wParam, lParam);
        ShowWindow(Item(IDC_ABOUT_SWITCH), VisibleControlPanelExists() ? SW_HIDE : SW_SHOW);
        InvalidateRect(hwnd_, nullptr, TRUE);
        UpdateWindow(hwnd_);
        result = 0;
        return true;
    }
    return CSettingsPage::HandleMessage(msg, wParam, lParam, result);
}

}  // namespace uv
