#include "settings/Burst.h"
#include "controlpanel/MiscPageRes.h"
#include "controlpanel/PageText.h"
#include "controlpanel/Pages_win.h"

namespace uv {

CPPMisc::CPPMisc() : CSettingsPage(IDD_MISC) {}

void CPPMisc::OnInitPage() {
    SetupSlider(IDC_MISC_REFRESHSLIDER, 1, 21, 1, 5, 6);
    SetupSlider(IDC_MISC_WIDTHSLIDER, 0, 100, 1, 10, 10);
    values.refreshSlider = 6;
    values.dawnDuskSlider = 10;
    values.autohide = 0;
    values.startWithWindows = 0;
    UpdateLabels();
    WriteControls();
}

void CPPMisc::ReadControls() {
    values.refreshSlider = GetSlider(IDC_MISC_REFRESHSLIDER, values.refreshSlider);
    values.dawnDuskSlider = GetSlider(IDC_MISC_WIDTHSLIDER, values.dawnDuskSlider);
    values.useGeneratedNightSource = GetCheck(IDC_MISC_NOCITYLIGHTS, values.useGeneratedNightSource);
    values.autohide = GetCheck(IDC_MISC_AUTOHIDE, values.autohide);
    values.startWithWindows = GetCheck(IDC_MISC_STARTWITHWINDOWS, values.startWithWindows);
    values.wallpaperMode = GetCheck(IDC_MISC_WALLPAPER, values.wallpaperMode);
    values.exactSun = GetCheck(IDC_MISC_EXACTSUN, values.exactSun);
}

void CPPMisc::WriteControls() {
    SetSlider(IDC_MISC_REFRESHSLIDER, values.refreshSlider);
    SetSlider(IDC_MISC_WIDTHSLIDER, values.dawnDuskSlider);
    SetCheck(IDC_MISC_NOCITYLIGHTS, values.useGeneratedNightSource);
    SetCheck(IDC_MISC_AUTOHIDE, values.autohide);
    SetCheck(IDC_MISC_STARTWITHWINDOWS, values.startWithWindows);
    SetCheck(IDC_MISC_WALLPAPER, values.wallpaperMode);
    SetCheck(IDC_MISC_EXACTSUN, values.exactSun);
}

void CPPMisc::UpdateLabels() {
    SetText(IDC_MISC_REFRESHLABEL, MinutesLabel(values.refreshSlider).c_str());
    SetText(IDC_MISC_WIDTHLABEL, PercentLabel(values.dawnDuskSlider).c_str());
}

void CPPMisc::OnSlider(HWND slider) {
    ReadControls();
    if (slider == Item(IDC_MISC_REFRESHSLIDER)) {
        // A new period starts now, without the apply delay.
        if (host_) host_->RestartRefreshTimer(RefreshPeriodMs(values.refreshSlider));
    } else if (slider == Item(IDC_MISC_WIDTHSLIDER)) {
        ScheduleRefresh();
    }
    UpdateLabels();
    WriteControls();
}

void CPPMisc::OnClicked(int id) {
    switch (id) {
    case IDC_MISC_NOCITYLIGHTS:
        values.useGeneratedNightSource = GetCheck(id, values.useGeneratedNightSource);
        ScheduleRefresh();
        break;
    // Neither reaches the desktop; both count from the next start.
    case IDC_MISC_AUTOHIDE:
        values.autohide = GetCheck(id, values.autohide);
        ScheduleSave();
        break;
    case IDC_MISC_STARTWITHWINDOWS:
        values.startWithWindows = GetCheck(id, values.startWithWindows);
        ScheduleSave();
        break;
    // The switch between the wallpaper and the desktop happens at the apply.
    case IDC_MISC_WALLPAPER:
        values.wallpaperMode = GetCheck(id, values.wallpaperMode);
        ScheduleRefresh();
        break;
    case IDC_MISC_EXACTSUN:
        values.exactSun = GetCheck(id, values.exactSun);
        ScheduleRefresh();
        break;
    default: break;
    }
}

}  // namespace uv
