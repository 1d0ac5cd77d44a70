#include "settings/Burst.h"
#include "controlpanel/MiscPageRes.h"
#include "controlpanel/PageText.h"
#include "controlpanel/Pages_win.h"

namespace uv {

CPPMisc::CPPMisc() : CSettingsPage(IDD_MISC, SettingPage::Misc) {}

void CPPMisc::OnInitPage() {
    const SettingInfo& refresh = InfoOf(SettingKey::RefreshInterval);
    const SettingInfo& width = InfoOf(SettingKey::DawnDuskWidth);
    SetupSlider(IDC_MISC_REFRESHSLIDER, refresh.lo, refresh.hi, 1, 5, values().refreshSlider);
    SetupSlider(IDC_MISC_WIDTHSLIDER, width.lo, width.hi, 1, 10, values().dawnDuskSlider);
    UpdateLabels();
    WriteControls();
}

void CPPMisc::UpdateLabels() {
    SetText(IDC_MISC_REFRESHLABEL, MinutesLabel(values().refreshSlider).c_str());
    SetText(IDC_MISC_WIDTHLABEL, PercentLabel(values().dawnDuskSlider).c_str());
}

void CPPMisc::OnSlider(HWND slider) {
    ReadControls();
    if (slider == Item(IDC_MISC_REFRESHSLIDER)) {
        // A new period starts now, without the apply delay.
        if (host_) host_->RestartRefreshTimer(RefreshPeriodMs(values().refreshSlider));
    } else if (slider == Item(IDC_MISC_WIDTHSLIDER)) {
        ScheduleRefresh();
    }
    UpdateLabels();
    WriteControls();
}

void CPPMisc::OnClicked(int id) {
    const SettingInfo* row = RowOf(id);
    if (!row) return;
    ReadControls();
    // Neither reaches the desktop; both count from the next start.
    if (row->key == SettingKey::Autohide || row->key == SettingKey::StartWithWindows)
        ScheduleSave();
    else
        ScheduleRefresh();
}

}  // namespace uv
