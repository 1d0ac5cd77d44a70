#include "controlpanel/OverlayPageRes.h"
#include "controlpanel/Pages_win.h"
#include "controlpanel/SettingControls_win.h"

#include <commdlg.h>

namespace uv {

namespace {

// The page's colour rows, in table order: the swatches' order.
template <typename F>
void ForEachColour(F f) {
    std::size_t i = 0;
    for (const SettingInfo& s : kSettings)
        if (s.page == SettingPage::Overlay && s.kind == SettingKind::Colour) f(s, i++);
}

}  // namespace

CPPOverlay::CPPOverlay() : CSettingsPage(IDD_OVERLAY, SettingPage::Overlay) {}

void CPPOverlay::OnInitPage() {
    ForEachColour([this](const SettingInfo& row, std::size_t i) {
        swatches_[i].SetCursor(HandCursor());
        swatches_[i].Attach(Item(ControlOf(row)));
        statics_.Add(&swatches_[i]);
    });
    RefreshStep();
    RepaintSwatches();
}

void CPPOverlay::RefreshStep() {
    if (membersCurrent_)
        membersCurrent_ = false;
    else
        ReadControls();
    for (const SettingInfo& s : kSettings)
        if (s.page == SettingPage::Overlay) Enable(ControlOf(s), OverlayControlEnabled(values(), s));
    WriteControls();
    ScheduleRefresh();
}

void CPPOverlay::RepaintSwatches() {
    ForEachColour([this](const SettingInfo& row, std::size_t i) {
        swatches_[i].SetColour(static_cast<COLORREF>(values().*row.member));
    });
}

void CPPOverlay::ResetDefaultColours() {
    ForEachColour([this](const SettingInfo& row, std::size_t) { values().*row.member = row.def; });
    if (!HasWindow()) return;
    RepaintSwatches();
    ScheduleRefresh();
}

void CPPOverlay::ChooseColour(const SettingInfo& row) {
    std::int32_t& colour = values().*row.member;
    static COLORREF custom[16];
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = host_ ? host_->MainWindow() : hwnd_;
    cc.rgbResult = static_cast<COLORREF>(colour);
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_SOLIDCOLOR | CC_ANYCOLOR;
    if (ChooseColorA(&cc)) colour = static_cast<std::int32_t>(cc.rgbResult);
    ScheduleRefresh();
}

void CPPOverlay::OnClicked(int id) {
    if (id == IDC_OVL_RESETCOLOURS) {
        ResetDefaultColours();
        return;
    }
    const SettingInfo* row = RowOf(id);
    if (!row) return;
    if (row->kind == SettingKind::Colour) {
        ChooseColour(*row);
        RepaintSwatches();
    } else {
        RefreshStep();
    }
}

}  // namespace uv
