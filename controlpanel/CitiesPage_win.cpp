#include "controlpanel/CitiesPageRes.h"
#include "controlpanel/ControlPanelRes.h"
#include "controlpanel/Pages_win.h"
#include "solar/CityDatabase.h"

#include <cstdio>
#include <cstring>

namespace uv {

CPPCities::CPPCities() : CSettingsPage(IDD_CITIES) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "selected %d (of %d) cities", 0, kMaxSelectedCities);
    countsText_ = buf;
}

CPPCities::~CPPCities() = default;

void CPPCities::OnInitPage() {
    HWND list = Item(IDC_CITIES_LIST);
    HWND header = Item(IDC_CITIES_HEADER);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    upIcon_.reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_UP), IMAGE_ICON, 16, 16, 0)));
    downIcon_.reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_DOWN), IMAGE_ICON, 16, 16, 0)));
    if (upIcon_) SendMessageA(Item(IDC_CITIES_UP), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(upIcon_.get()));
    if (downIcon_) SendMessageA(Item(IDC_CITIES_DOWN), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(downIcon_.get()));

    {
        WindowDc dc(hwnd_);
        const int height = -MulDiv(9, GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
        listFont_.reset(CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0,
                                    FIXED_PITCH | FF_MODERN, "Courier New"));
    }
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
    SendMessageA(header, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);

    int widest = 0;
    if (database_) {
        WindowDc dc(list);
        const int n = database_->GetCityCount();
        for (int i = 0; i < n; ++i) {
            const CityRecord* city = database_->GetCity(i);
            SIZE size = {};
            GetTextExtentPoint32A(dc.get(), city->name, static_cast<int>(std::strlen(city->name)), &size);
            if (size.cx > widest) widest = size.cx;
            char row[80];
            std::snprintf(row, sizeof row, "%s\t%s", city->name, city->country ? city->country->name : "");
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
        }
    }
    const int baseX = LOWORD(GetDialogBaseUnits());
    const int nameWidth = baseX ? widest * 4 / baseX : 0;
    INT stops[2] = {0, nameWidth + 16};
    SendMessageA(list, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
    SendMessageA(header, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("City\tCountry"));
    SendMessageA(header, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
    SyncFromDatabase();
}

void CPPCities::SyncFromDatabase() {
    HWND list = Item(IDC_CITIES_LIST);
    int selected = database_ ? database_->GetSelectedCount() : 0;
    if (list) {
        SendMessageA(list, LB_SETSEL, FALSE, -1);
        const int rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        int first = -1;
        for (int i = 0; database_ && i < rows; ++i) {
            if (database_->GetCity(i)->selected) {
                SendMessageA(list, LB_SETSEL, TRUE, i);
                if (first < 0) first = i;
            }
        }
        selected = static_cast<int>(SendMessageA(list, LB_GETSELCOUNT, 0, 0));
        if (rows > 0) SendMessageA(list, LB_SETCARETINDEX, first < 0 ? 0 : first, FALSE);
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "selected %d (of %d) cities", selected, kMaxSelectedCities);
    countsText_ = buf;
    WriteControls();
}

void CPPCities::WriteControls() {
    SetText(IDC_CITIES_COUNTS, countsText_.c_str());
    SetText(IDC_CITIES_DETAILS, detailsText_.c_str());
}

}  // namespace uv
