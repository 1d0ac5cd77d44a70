#include "controlpanel/OffsetPageRes.h"
#include "controlpanel/PageText.h"
#include "controlpanel/Pages_win.h"

namespace uv {

CPPOffset::CPPOffset() : CSettingsPage(IDD_OFFSET) {}

void CPPOffset::OnInitPage() {
    SetupSlider(IDC_OFFSET_XSLIDER, 0, 359, 15, 15, 0);
    SetupSlider(IDC_OFFSET_YSLIDER, 0, 100, 10, 10, 50);
    values.xSlider = 0;
    values.ySlider = 50;
    values.followTheSun = 0;
    values.timezoneOffset = 0;
    UpdateLabels();
    WriteControls();
}

void CPPOffset::ReadControls() {
    values.xSlider = GetSlider(IDC_OFFSET_XSLIDER, values.xSlider);
    values.ySlider = GetSlider(IDC_OFFSET_YSLIDER, values.ySlider);
    values.followTheSun = GetCheck(IDC_OFFSET_FOLLOW, values.followTheSun);
    values.timezoneOffset = GetCheck(IDC_OFFSET_TIMEZONE, values.timezoneOffset);
    values.fullScreen = GetCheck(IDC_OFFSET_FULLSCREEN, values.fullScreen);
    values.noDistort = GetCheck(IDC_OFFSET_NODISTORT, values.noDistort);
    values.ignoreAntarctica = GetCheck(IDC_OFFSET_IGNOREANTARCTICA, values.ignoreAntarctica);
}

void CPPOffset::WriteControls() {
    SetSlider(IDC_OFFSET_XSLIDER, values.xSlider);
    SetSlider(IDC_OFFSET_YSLIDER, values.ySlider);
    SetCheck(IDC_OFFSET_FOLLOW, values.followTheSun);
    SetCheck(IDC_OFFSET_TIMEZONE, values.timezoneOffset);
    SetCheck(IDC_OFFSET_FULLSCREEN, values.fullScreen);
    SetCheck(IDC_OFFSET_NODISTORT, values.noDistort);
    SetCheck(IDC_OFFSET_IGNOREANTARCTICA, values.ignoreAntarctica);
}

void CPPOffset::UpdateLabels() {
    SetText(IDC_OFFSET_XLABEL, DegreesLabel(values.xSlider).c_str());
    SetText(IDC_OFFSET_YLABEL, PercentLabel(values.ySlider).c_str());
}

void CPPOffset::ApplyEnables() {
    const OffsetEnables e = ComputeOffsetEnables(values);
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
    values.xSlider = degrees;
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
        if (values.followTheSun) {
            values.xSlider = 0;
            values.timezoneOffset = 0;
        }
        break;
    case IDC_OFFSET_TIMEZONE:
        ReadControls();
        if (values.timezoneOffset) {
            values.xSlider = host_ ? host_->TimeZoneXOffset() : values.xSlider;
            values.followTheSun = 0;
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
