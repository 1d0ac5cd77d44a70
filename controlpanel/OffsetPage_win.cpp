#include "controlpanel/OffsetPageRes.h"
#include "controlpanel/PageText.h"
#include "controlpanel/Pages_win.h"

namespace uv {

CPPOffset::CPPOffset() : CSettingsPage(IDD_OFFSET, SettingPage::Offset) {}

void CPPOffset::OnInitPage() {
    const SettingInfo& x = InfoOf(SettingKey::XOffset);
    const SettingInfo& y = InfoOf(SettingKey::YOffset);
    SetupSlider(IDC_OFFSET_XSLIDER, x.lo, x.hi, 15, 15, values().xSlider);
    SetupSlider(IDC_OFFSET_YSLIDER, y.lo, y.hi, 10, 10, values().ySlider);
    UpdateLabels();
    WriteControls();
}

void CPPOffset::UpdateLabels() {
    SetText(IDC_OFFSET_XLABEL, DegreesLabel(values().xSlider).c_str());
    SetText(IDC_OFFSET_YLABEL, PercentLabel(values().ySlider).c_str());
}

void CPPOffset::ApplyEnables() {
    const OffsetEnables e = ComputeOffsetEnables(values());
    Enable(IDC_OFFSET_XSLIDER, e.xSlider);
    Enable(IDC_OFFSET_FOLLOW, e.followTheSun);
    Enable(IDC_OFFSET_TIMEZONE, e.timezoneOffset);
    Enable(IDC_OFFSET_YSLIDER, e.ySlider);
    Enable(IDC_OFFSET_NODISTORT, e.noDistort);
    Enable(IDC_OFFSET_IGNOREANTARCTICA, e.ignoreAntarctica);
}

void CPPOffset::ShowLoadedValues() {
    UpdateLabels();
    ApplyEnables();
    WriteControls();
}

void CPPOffset::SetXOffset(int degrees) {
    values().xSlider = degrees;
    SetSlider(IDC_OFFSET_XSLIDER, degrees);
    UpdateLabels();
}

void CPPOffset::OnSlider(HWND) {
    ScheduleRefresh();
    ReadControls();
    UpdateLabels();
    WriteControls();
}

void CPPOffset::OnClicked(int id) {
    switch (id) {
    case IDC_OFFSET_FOLLOW:
        ReadControls();
        if (values().followTheSun) {
            values().xSlider = 0;
            values().timezoneOffset = 0;
        }
        break;
    case IDC_OFFSET_TIMEZONE:
        ReadControls();
        if (values().timezoneOffset) {
            values().xSlider = host_->TimeZoneXOffset();
            values().followTheSun = 0;
        }
        break;
    case IDC_OFFSET_FULLSCREEN:
    case IDC_OFFSET_NODISTORT:
    case IDC_OFFSET_IGNOREANTARCTICA: ReadControls(); break;
    default: return;
    }
    ApplyEnables();
    UpdateLabels();
    WriteControls();
    ScheduleRefresh();
}

}  // namespace uv
