#include "controlpanel/OverlayPageRes.h"
#include "controlpanel/Pages_win.h"

#include <commdlg.h>

namespace uv {

namespace {

constexpr int kSwatchIds[10] = {
    IDC_OVL_GRID_COLOR,        IDC_OVL_DAWNDUSK_COLOR, IDC_OVL_MIDDAY_COLOR, IDC_OVL_MIDNIGHT_COLOR,
    IDC_OVL_SUNLATITUDE_COLOR, IDC_OVL_CITIES_COLOR,   IDC_OVL_CITYLABEL_FG, IDC_OVL_CITYLABEL_BG,
    IDC_OVL_STATUS_FG,         IDC_OVL_STATUS_BG,
};

struct CheckBox {
    int id;
    std::uint32_t OverlayValues::*member;
};

constexpr CheckBox kCheckBoxes[14] = {
    {IDC_OVL_GRID, &OverlayValues::grid},
    {IDC_OVL_DAWNDUSK, &OverlayValues::dawnDusk},
    {IDC_OVL_MIDDAY, &OverlayValues::midday},
    {IDC_OVL_MIDNIGHT, &OverlayValues::midnight},
    {IDC_OVL_SUNLATITUDE, &OverlayValues::sunLatitude},
    {IDC_OVL_CITIES, &OverlayValues::cities},
    {IDC_OVL_CITYLABELS, &OverlayValues::cityLabels},
    {IDC_OVL_STATUS, &OverlayValues::status},
    {IDC_OVL_SUNLOCATION, &OverlayValues::statusSunLocation},
    {IDC_OVL_SUNRISE, &OverlayValues::statusSunrise},
    {IDC_OVL_SUNSET, &OverlayValues::statusSunset},
    {IDC_OVL_SOLAROFFSET, &OverlayValues::statusSolarOffset},
    {IDC_OVL_LOCALTIME, &OverlayValues::statusLocalTime},
    // Not only the panel's: the tooltip and the city details follow it, so
    // it stays enabled when the panel is off.
    {IDC_OVL_REALLOCALTIME, &OverlayValues::realLocalTime},
};

}  // namespace

CPPOverlay::CPPOverlay() : CSettingsPage(IDD_OVERLAY) {}

std::uint32_t* CPPOverlay::ColourFor(int swatchId) {
    OverlayColours& c = values.colours;
    switch (swatchId) {
    case IDC_OVL_GRID_COLOR: return &c.grid;
    case IDC_OVL_DAWNDUSK_COLOR: return &c.dawnDusk;
    case IDC_OVL_MIDDAY_COLOR: return &c.midday;
    case IDC_OVL_MIDNIGHT_COLOR: return &c.midnight;
    case IDC_OVL_SUNLATITUDE_COLOR: return &c.sunLatitude;
    case IDC_OVL_CITIES_COLOR: return &c.cities;
    case IDC_OVL_CITYLABEL_FG: return &c.cityLabelForeground;
    case IDC_OVL_CITYLABEL_BG: return &c.cityLabelBackground;
    case IDC_OVL_STATUS_FG: return &c.statusLabelForeground;
    case IDC_OVL_STATUS_BG: return &c.statusLabelBackground;
    default: return nullptr;
    }
}

void CPPOverlay::OnInitPage() {
    for (int i = 0; i < 10; ++i) {
        swatches_[i].SetCursor(HandCursor());
        swatches_[i].Attach(Item(kSwatchIds[i]));
        statics_.Add(&swatches_[i]);
    }
    RefreshStep();
    RepaintSwatches();
}

void CPPOverlay::ReadControls() {
    for (const CheckBox& b : kCheckBoxes) values.*b.member = GetCheck(b.id, values.*b.member);
}

void CPPOverlay::WriteControls() {
    for (const CheckBox& b : kCheckBoxes) SetCheck(b.id, values.*b.member);
}

void CPPOverlay::RefreshStep() {
    if (membersCurrent_)
        membersCurrent_ = false;
    else
        ReadControls();
    const OverlayEnables e = ComputeOverlayEnables(values);
    Enable(IDC_OVL_GRID_COLOR, e.gridColour);
    Enable(IDC_OVL_DAWNDUSK_COLOR, e.dawnDuskColour);
    Enable(IDC_OVL_MIDDAY_COLOR, e.middayColour);
    Enable(IDC_OVL_MIDNIGHT_COLOR, e.midnightColour);
    Enable(IDC_OVL_SUNLATITUDE_COLOR, e.sunLatitudeColour);
    Enable(IDC_OVL_CITIES_COLOR, e.citiesColour);
    Enable(IDC_OVL_CITYLABELS, e.cityLabelsBox);
    Enable(IDC_OVL_CITYLABEL_FG, e.cityLabelColours);
    Enable(IDC_OVL_CITYLABEL_BG, e.cityLabelColours);
    Enable(IDC_OVL_STATUS_FG, e.statusColours);
    Enable(IDC_OVL_STATUS_BG, e.statusColours);
    for (int id :
         {IDC_OVL_SUNLOCATION, IDC_OVL_SUNRISE, IDC_OVL_SUNSET, IDC_OVL_SOLAROFFSET, IDC_OVL_LOCALTIME})
        Enable(id, e.statusBoxes);
    WriteControls();
    ScheduleRefresh();
}

void CPPOverlay::RepaintSwatches() {
    for (int i = 0; i < 10; ++i) swatches_[i].SetColour(*ColourFor(kSwatchIds[i]));
}

void CPPOverlay::ResetDefaultColours() {
    values.colours = OverlayColours();
    if (!HasWindow()) return;
    RepaintSwatches();
    ScheduleRefresh();
}

void CPPOverlay::ChooseColour(int swatchId) {
    std::uint32_t* colour = ColourFor(swatchId);
    static COLORREF custom[16];
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = host_ ? host_->MainWindow() : hwnd_;
    cc.rgbResult = *colour;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_SOLIDCOLOR | CC_ANYCOLOR;
    if (ChooseColorA(&cc)) *colour = cc.rgbResult;
    ScheduleRefresh();
}

void CPPOverlay::OnClicked(int id) {
    if (id == IDC_OVL_RESETCOLOURS) {
        ResetDefaultColours();
        return;
    }
    if (ColourFor(id)) {
        ChooseColour(id);
        RepaintSwatches();
        return;
    }
    for (const CheckBox& b : kCheckBoxes) {
        if (b.id == id) {
            RefreshStep();
            return;
        }
    }
}

}  // namespace uv
