#include "controlpanel/CitiesPageRes.h"
#include "controlpanel/ControlPanelRes.h"
#include "controlpanel/Pages_win.h"
#include "solar/CityDatabase.h"

#include <cstdio>
#include <ctime>
#include <cstring>

namespace uv {

// --- CityListBox

CityListBox::~CityListBox() { Detach(); }

void CityListBox::Attach(HWND list) {
    Detach();
    if (!list) return;
    hwnd_ = list;
    SetWindowLongPtrA(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CityListBox::Proc)));
}

void CityListBox::Detach() {
    if (hwnd_ && IsWindow(hwnd_) && previous_) {
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    }
    hwnd_ = nullptr;
    previous_ = nullptr;
}

void CityListBox::Restore() const {
    if (hwnd_) SendMessageA(hwnd_, LB_SETTOPINDEX, top_, 0);
}

LRESULT CALLBACK CityListBox::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CityListBox*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || !self->previous_) return DefWindowProcA(hwnd, msg, wParam, lParam);
    const WNDPROC previous = self->previous_;
    if (msg == WM_NCDESTROY) {
        // The window goes before the page object: unhook now.
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->previous_ = nullptr;
        return CallWindowProcA(previous, hwnd, msg, wParam, lParam);
    }
    const LRESULT r = CallWindowProcA(previous, hwnd, msg, wParam, lParam);
    if (msg == WM_LBUTTONDOWN) {
        self->top_ = static_cast<int>(CallWindowProcA(previous, hwnd, LB_GETTOPINDEX, 0, 0));
        self->caret_ = static_cast<int>(CallWindowProcA(previous, hwnd, LB_GETCARETINDEX, 0, 0));
    }
    return r;
}

// --- CPPCities

CPPCities::CPPCities() : CSettingsPage(IDD_CITIES, SettingPage::Cities), countsText_(CityCountsText(0)) {}

CPPCities::~CPPCities() = default;

void CPPCities::OnInitPage() {
    HWND list = Item(IDC_CITIES_LIST);
    HWND header = Item(IDC_CITIES_HEADER);
    cityList_.Attach(list);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    upIcon_.reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_UP), IMAGE_ICON, 16, 16, 0)));
    downIcon_.reset(
        static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_DOWN), IMAGE_ICON, 16, 16, 0)));
    if (upIcon_)
        SendMessageA(Item(IDC_CITIES_UP), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(upIcon_.get()));
    if (downIcon_)
        SendMessageA(Item(IDC_CITIES_DOWN), BM_SETIMAGE, IMAGE_ICON,
                     reinterpret_cast<LPARAM>(downIcon_.get()));

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
            GetTextExtentPoint32A(dc.get(), city->name,
                                  static_cast<int>(strnlen(city->name, sizeof city->name)), &size);
            if (size.cx > widest) widest = size.cx;
            char row[80];
            std::snprintf(row, sizeof row, "%.31s\t%.31s", city->name,
                          city->country ? city->country->name : "");
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

std::vector<bool> CPPCities::ListRows() const {
    HWND list = Item(IDC_CITIES_LIST);
    const int rows = list ? static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)) : 0;
    std::vector<bool> out(static_cast<std::size_t>(rows > 0 ? rows : 0));
    for (int i = 0; i < rows; ++i) out[i] = SendMessageA(list, LB_GETSEL, i, 0) > 0;
    return out;
}

int CPPCities::SelectedRowCount() const {
    HWND list = Item(IDC_CITIES_LIST);
    const LRESULT n = list ? SendMessageA(list, LB_GETSELCOUNT, 0, 0) : 0;
    return n > 0 ? static_cast<int>(n) : 0;
}

void CPPCities::SyncFromDatabase() {
    HWND list = Item(IDC_CITIES_LIST);
    int selected = database_ ? database_->GetSelectedCount() : 0;
    if (list) {
        SendMessageA(list, LB_SETSEL, FALSE, -1);
        const std::vector<bool> flags = database_ ? DatabaseRows(*database_) : std::vector<bool>();
        const int rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        int first = -1;
        for (int i = 0; i < rows && i < static_cast<int>(flags.size()); ++i) {
            if (!flags[i]) continue;
            SendMessageA(list, LB_SETSEL, TRUE, i);
            if (first < 0) first = i;
        }
        selected = SelectedRowCount();
        if (rows > 0) SendMessageA(list, LB_SETCARETINDEX, first < 0 ? 0 : first, FALSE);
    }
    countsText_ = CityCountsText(selected);
    WriteControls();
}

void CPPCities::WriteControls() {
    SetText(IDC_CITIES_COUNTS, countsText_.c_str());
    SetText(IDC_CITIES_DETAILS, detailsText_.c_str());
}

void CPPCities::OnSelectionChange() {
    HWND list = Item(IDC_CITIES_LIST);
    if (!list) return;
    const int caret = static_cast<int>(SendMessageA(list, LB_GETCARETINDEX, 0, 0));
    std::vector<bool> rows = ListRows();
    const std::vector<bool> before = rows;
    bool taken = database_ && TakeListSelection(rows, caret, *database_);
    if (taken && rows != before) {
        // The click that went over the limit is undone.
        SendMessageA(list, LB_SETSEL, FALSE, caret);
    }
    if (!taken) {
        SyncFromDatabase();
        cityList_.Restore();
    }
    countsText_ = CityCountsText(SelectedRowCount());
    ShowCity(caret);
    WriteControls();
    ScheduleRefresh();
}

bool CPPCities::ConfirmClear() const {
    return MessageBoxA(hwnd_, "do you really want to clear all selected cities?", "confirm",
                       MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION) == IDYES;
}

void CPPCities::OnClear() {
    if (!ConfirmClear()) return;
    ScheduleRefresh();
    if (HWND list = Item(IDC_CITIES_LIST)) SendMessageA(list, LB_SETSEL, FALSE, -1);
    if (database_) database_->ClearSelection();
    countsText_ = CityCountsText(0);
    detailsText_.clear();
    currentCity_ = -1;
    WriteControls();
}

void CPPCities::OnStep(bool up) {
    HWND list = Item(IDC_CITIES_LIST);
    if (!list) return;
    const LRESULT caret = SendMessageA(list, LB_GETCARETINDEX, 0, 0);
    if (caret == LB_ERR) return;
    const int row = StepToSelectedRow(ListRows(), static_cast<int>(caret), up);
    if (row < 0) return;
    SendMessageA(list, LB_SETCARETINDEX, row, FALSE);
    SendMessageA(list, LB_SETTOPINDEX, row, 0);
    ShowCity(row);
}

void CPPCities::ShowCity(int index) {
    if (index < 0 || !database_) return;
    const int count = database_->GetCityCount();
    if (count <= 0) return;
    index %= count;
    detailsText_ = CityDetailsText(*database_, index, host_ && values().realLocalTime, std::time(nullptr));
    currentCity_ = index;
    WriteControls();
}

void CPPCities::OnClicked(int id) {
    switch (id) {
    case IDC_CITIES_CLEAR: OnClear(); break;
    case IDC_CITIES_UP: OnStep(true); break;
    case IDC_CITIES_DOWN: OnStep(false); break;
    // The tooltip takes it up at its next tick; the store saves it.
    case IDC_CITIES_WATCH:
        values().trayCity = currentCity_;
        ScheduleSave();
        break;
    default: break;
    }
}

bool CPPCities::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (msg == WM_COMMAND && LOWORD(wParam) == IDC_CITIES_LIST) {
        if (HIWORD(wParam) == LBN_SELCHANGE) OnSelectionChange();
        result = 0;
        return true;
    }
    return CSettingsPage::HandleMessage(msg, wParam, lParam, result);
}

}  // namespace uv
