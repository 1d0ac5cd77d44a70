// Real pages in a real (hidden-owner) property sheet, driven with the
// messages a user's clicks and keys produce.
#include "common/WinHandles.h"
#include "controlpanel/AboutPageRes.h"
#include "controlpanel/CitiesPageRes.h"
#include "controlpanel/InfoPageRes.h"
#include "controlpanel/MiscPageRes.h"
#include "controlpanel/OffsetPageRes.h"
#include "controlpanel/OverlayPageRes.h"
#include "controlpanel/Pages_win.h"
#include "solar/CityDatabase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace uv {
namespace {

class FakeHost : public CPageHost {
public:
    FakeHost() {
        main_ =
            CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
    ~FakeHost() override { DestroyWindow(main_); }
    void ScheduleRefresh() override { ++refreshes; }
    void RestartRefreshTimer(unsigned periodMs) override { restartedWith = periodMs; }
    void ScheduleSave() override { ++saves; }
    HWND MainWindow() const override { return main_; }
    HCURSOR HandCursor() const override { return LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)); }
    int TimeZoneXOffset() override { return 135; }
    SettingsRecord& Settings() override { return settings; }
    SettingsRecord settings;
    int refreshes = 0;
    int saves = 0;
    unsigned restartedWith = 0;

private:
    HWND main_;
};

// One page in a modeless sheet; the page window exists once constructed.
class Sheet {
public:
    explicit Sheet(CSettingsPage& page, FakeHost& host) : page_(page) {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        page.SetHost(&host);
        PROPSHEETPAGEA p = page.Descriptor(GetModuleHandleA(nullptr));
        PROPSHEETHEADERA h = {};
        h.dwSize = sizeof h;
        h.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_NOAPPLYNOW;
        h.hwndParent = host.MainWindow();
        h.hInstance = GetModuleHandleA(nullptr);
        h.nPages = 1;
        h.ppsp = &p;
        h.pszCaption = "test";
        sheet_ = reinterpret_cast<HWND>(PropertySheetA(&h));
        PropSheet_SetCurSel(sheet_, nullptr, 0);
    }
    ~Sheet() { DestroyWindow(sheet_); }
    HWND Item(int id) const { return GetDlgItem(page_.hwnd(), id); }
    void Click(int id) const { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    std::string Text(int id) const {
        char buf[256] = {};
        GetWindowTextA(Item(id), buf, sizeof buf);
        return buf;
    }
    // A key on a slider, which then tells the page as a drag would.
    void Key(int id, WPARAM key) const {
        SendMessageA(Item(id), WM_KEYDOWN, key, 0);
        SendMessageA(Item(id), WM_KEYUP, key, 0);
    }
    int Pos(int id) const { return static_cast<int>(SendMessageA(Item(id), TBM_GETPOS, 0, 0)); }

private:
    CSettingsPage& page_;
    HWND sheet_;
};

// --- Offsets

TEST(OffsetPage, InitialRangesLabelsAndEnables) {
    FakeHost host;
    CPPOffset page;
    Sheet s(page, host);
    EXPECT_EQ(SendMessageA(s.Item(IDC_OFFSET_XSLIDER), TBM_GETRANGEMAX, 0, 0), 359);
    EXPECT_EQ(SendMessageA(s.Item(IDC_OFFSET_YSLIDER), TBM_GETRANGEMAX, 0, 0), 100);
    EXPECT_EQ(s.Pos(IDC_OFFSET_YSLIDER), 50);
    EXPECT_EQ(s.Text(IDC_OFFSET_XLABEL), "0\xB0 ");
    EXPECT_EQ(s.Text(IDC_OFFSET_YLABEL), "50% ");
    EXPECT_FALSE(s.Enabled(IDC_OFFSET_NODISTORT));
    EXPECT_FALSE(s.Enabled(IDC_OFFSET_IGNOREANTARCTICA));
}

TEST(OffsetPage, TimezoneOffsetLocksXSliderAndFollowTheSun) {
    FakeHost host;
    CPPOffset page;
    Sheet s(page, host);
    s.Key(IDC_OFFSET_XSLIDER, VK_NEXT);  // one page: 15 degrees
    EXPECT_EQ(host.settings.xSlider, 15);
    EXPECT_EQ(s.Text(IDC_OFFSET_XLABEL), "15\xB0 ");
    s.Click(IDC_OFFSET_FOLLOW);
    EXPECT_EQ(host.settings.followTheSun, 1);
    EXPECT_EQ(host.settings.xSlider, 0);
    EXPECT_FALSE(s.Enabled(IDC_OFFSET_TIMEZONE));
    s.Click(IDC_OFFSET_FOLLOW);
    EXPECT_TRUE(s.Enabled(IDC_OFFSET_TIMEZONE));

    const int before = host.refreshes;
    s.Click(IDC_OFFSET_TIMEZONE);
    EXPECT_GT(host.refreshes, before);
    EXPECT_EQ(host.settings.timezoneOffset, 1);
    EXPECT_FALSE(s.Enabled(IDC_OFFSET_XSLIDER));
    EXPECT_FALSE(s.Enabled(IDC_OFFSET_FOLLOW));
    EXPECT_EQ(s.Pos(IDC_OFFSET_XSLIDER), 135);
    EXPECT_EQ(s.Text(IDC_OFFSET_XLABEL), "135\xB0 ");
    // Off again: both usable, the slider stays where it is.
    s.Click(IDC_OFFSET_TIMEZONE);
    EXPECT_TRUE(s.Enabled(IDC_OFFSET_XSLIDER));
    EXPECT_TRUE(s.Enabled(IDC_OFFSET_FOLLOW));
    EXPECT_EQ(s.Pos(IDC_OFFSET_XSLIDER), 135);
    EXPECT_FALSE(host.settings.followTheSun && host.settings.timezoneOffset);
}

TEST(OffsetPage, IgnoreAntarcticaOnlyInFullScreenWithoutDistortion) {
    FakeHost host;
    CPPOffset page;
    Sheet s(page, host);
    s.Click(IDC_OFFSET_FULLSCREEN);
    EXPECT_FALSE(s.Enabled(IDC_OFFSET_YSLIDER));
    EXPECT_TRUE(s.Enabled(IDC_OFFSET_NODISTORT));
    EXPECT_FALSE(s.Enabled(IDC_OFFSET_IGNOREANTARCTICA));
    s.Click(IDC_OFFSET_NODISTORT);
    EXPECT_TRUE(s.Enabled(IDC_OFFSET_IGNOREANTARCTICA));
    s.Click(IDC_OFFSET_FULLSCREEN);  // out of full screen again
    EXPECT_TRUE(s.Enabled(IDC_OFFSET_YSLIDER));
    EXPECT_FALSE(s.Enabled(IDC_OFFSET_NODISTORT));
    EXPECT_FALSE(s.Enabled(IDC_OFFSET_IGNOREANTARCTICA));
    EXPECT_EQ(host.settings.noDistort, 1);  // kept, only unusable
}

// --- Misc

TEST(MiscPage, RefreshSliderRestartsPeriodAtOnceAndLabelsFollow) {
    FakeHost host;
    CPPMisc page;
    Sheet s(page, host);
    EXPECT_EQ(s.Text(IDC_MISC_REFRESHLABEL), "3.0m ");
    EXPECT_EQ(s.Text(IDC_MISC_WIDTHLABEL), "10% ");
    s.Key(IDC_MISC_REFRESHSLIDER, VK_END);
    EXPECT_EQ(host.settings.refreshSlider, 21);
    EXPECT_EQ(host.restartedWith, 21u * 30000u);
    EXPECT_EQ(s.Text(IDC_MISC_REFRESHLABEL), "10.5m ");
    EXPECT_EQ(host.refreshes, 0);  // no apply delay for the refresh slider
    s.Key(IDC_MISC_WIDTHSLIDER, VK_RIGHT);
    EXPECT_EQ(s.Text(IDC_MISC_WIDTHLABEL), "11% ");
    EXPECT_GT(host.refreshes, 0);
}

TEST(MiscPage, StartupBoxesAreStoredAtOnceWithoutRefreshAndSaved) {
    FakeHost host;
    CPPMisc page;
    Sheet s(page, host);
    s.Click(IDC_MISC_STARTWITHWINDOWS);
    s.Click(IDC_MISC_AUTOHIDE);
    EXPECT_EQ(host.settings.startWithWindows, 1);
    EXPECT_EQ(host.settings.autohide, 1);
    EXPECT_EQ(host.refreshes, 0);
    EXPECT_EQ(host.saves, 2);  // no apply, but still written soon
    s.Click(IDC_MISC_NOCITYLIGHTS);
    EXPECT_EQ(host.settings.useGeneratedNightSource, 1);
    EXPECT_EQ(host.refreshes, 1);
}

// --- Overlays

TEST(OverlayPage, SwatchesFollowTheirBoxes) {
    FakeHost host;
    CPPOverlay page;
    Sheet s(page, host);
    host.settings.overlayGrid = 1;
    host.settings.overlayCities = 1;
    host.settings.cityLabels = 1;
    page.MarkMembersCurrent();
    page.RefreshStep();
    EXPECT_TRUE(s.Enabled(IDC_OVL_GRID_COLOR));
    const std::int32_t gridColour = host.settings.gridColour;
    s.Click(IDC_OVL_GRID);  // grid off
    EXPECT_FALSE(s.Enabled(IDC_OVL_GRID_COLOR));
    EXPECT_EQ(host.settings.gridColour, gridColour);
    // Cities off: the label box is disabled but keeps its tick; the label
    // swatches follow the label box, not the cities box.
    s.Click(IDC_OVL_CITIES);
    EXPECT_FALSE(s.Enabled(IDC_OVL_CITYLABELS));
    EXPECT_TRUE(s.Checked(IDC_OVL_CITYLABELS));
    EXPECT_FALSE(s.Enabled(IDC_OVL_CITIES_COLOR));
    EXPECT_TRUE(s.Enabled(IDC_OVL_CITYLABEL_FG));
    EXPECT_TRUE(s.Enabled(IDC_OVL_CITYLABEL_BG));
    // Status off: its swatches and five boxes go.
    host.settings.overlayStatus = 1;
    page.MarkMembersCurrent();
    page.RefreshStep();
    EXPECT_TRUE(s.Enabled(IDC_OVL_SUNRISE));
    s.Click(IDC_OVL_STATUS);
    for (int id : {IDC_OVL_STATUS_FG, IDC_OVL_STATUS_BG, IDC_OVL_SUNLOCATION, IDC_OVL_SUNRISE, IDC_OVL_SUNSET,
                   IDC_OVL_SOLAROFFSET, IDC_OVL_LOCALTIME})
        EXPECT_FALSE(s.Enabled(id)) << id;
}

TEST(OverlayPage, ResetDefaultColoursKeepsBoxesAndDisabledSwatches) {
    FakeHost host;
    CPPOverlay page;
    Sheet s(page, host);
    for (std::int32_t* c :
         {&host.settings.gridColour, &host.settings.middayColour, &host.settings.statusLabelBackground})
        *c = 0x123456;
    page.RepaintSwatches();
    host.settings.overlayGrid = host.settings.overlayMidday = host.settings.overlayMidnight = 0;
    host.settings.overlayDawnDusk = host.settings.overlaySunLatitude = 0;
    page.MarkMembersCurrent();
    page.RefreshStep();
    const int before = host.refreshes;
    s.Click(IDC_OVL_RESETCOLOURS);
    EXPECT_EQ(host.settings.gridColour, 0x00402020);
    EXPECT_EQ(host.settings.middayColour, 0x00007F7F);
    EXPECT_EQ(host.settings.statusLabelBackground, 0x00400000);
    EXPECT_EQ(host.settings.cityLabelForeground, 0x0000FFFF);
    EXPECT_GT(host.refreshes, before);
    EXPECT_FALSE(s.Enabled(IDC_OVL_GRID_COLOR));
    EXPECT_FALSE(s.Checked(IDC_OVL_GRID));
    // The swatch paints with the default colour.
    HDC dc = GetDC(s.Item(IDC_OVL_GRID_COLOR));
    const HBRUSH brush =
        reinterpret_cast<HBRUSH>(SendMessageA(page.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                              reinterpret_cast<LPARAM>(s.Item(IDC_OVL_GRID_COLOR))));
    LOGBRUSH lb = {};
    GetObjectA(brush, sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, 0x00402020u);
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
    ReleaseDC(s.Item(IDC_OVL_GRID_COLOR), dc);
}

// Runs body on a thread of its own (CreateThread: the shipped runtime has no
// standard threads), so it can answer a modal dialog while the test thread
// sits in the dialog's loop.
class HelperThread {
public:
    explicit HelperThread(std::function<void()> body)
        : body_(std::make_unique<std::function<void()>>(std::move(body))) {
        thread_.reset(CreateThread(nullptr, 0, Run, body_.get(), 0, nullptr));
    }
    HelperThread(HelperThread&&) = default;
    HelperThread& operator=(HelperThread&& o) {
        join();
        thread_ = std::move(o.thread_);
        body_ = std::move(o.body_);
        return *this;
    }
    ~HelperThread() { join(); }
    void join() {
        if (!thread_) return;
        // The bodies give up after 10 s; one that is still running keeps its
        // function alive rather than reading freed memory.
        if (WaitForSingleObject(thread_.get(), 30000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "helper thread still running";
            body_.release();
        }
        thread_.reset();
    }

private:
    static DWORD WINAPI Run(LPVOID p) {
        (*static_cast<std::function<void()>*>(p))();
        return 0;
    }
    std::unique_ptr<std::function<void()>> body_;
    UniqueKernelHandle thread_;
};

// Answers the colour chooser owned by owner: its red, green and blue boxes
// get red, 0, 0 (unless red is negative), then the button id is pressed.
HelperThread AnswerDialog(HWND owner, int button, int red = -1) {
    return HelperThread([owner, button, red] {
        for (int i = 0; i < 500; ++i) {
            HWND w = nullptr;
            while ((w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr) {
                if (GetWindow(w, GW_OWNER) != owner || !IsWindowVisible(w)) continue;
                if (!GetDlgItem(w, 706)) continue;  // not the colour chooser
                if (red >= 0) {
                    SetDlgItemInt(w, 706, red, FALSE);
                    SetDlgItemInt(w, 707, 0, FALSE);
                    SetDlgItemInt(w, 708, 0, FALSE);
                }
                PostMessageA(w, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                return;
            }
            Sleep(20);
        }
    });
}

TEST(OverlayPage, ColourChooserConfirmSetsColourCancelKeepsIt) {
    FakeHost host;
    CPPOverlay page;
    Sheet s(page, host);
    host.settings.overlayGrid = 1;
    page.MarkMembersCurrent();
    page.RefreshStep();
    const std::int32_t before = host.settings.gridColour;
    HelperThread t = AnswerDialog(host.MainWindow(), IDCANCEL, 200);
    SendMessageA(page.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_OVL_GRID_COLOR, STN_CLICKED),
                 reinterpret_cast<LPARAM>(s.Item(IDC_OVL_GRID_COLOR)));
    t.join();
    EXPECT_EQ(host.settings.gridColour, before);
    const int refreshes = host.refreshes;
    t = AnswerDialog(host.MainWindow(), IDOK, 200);
    SendMessageA(page.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_OVL_GRID_COLOR, STN_CLICKED),
                 reinterpret_cast<LPARAM>(s.Item(IDC_OVL_GRID_COLOR)));
    t.join();
    EXPECT_EQ(host.settings.gridColour, static_cast<std::int32_t>(RGB(200, 0, 0)));
    EXPECT_GT(host.refreshes, refreshes);
}

TEST(OverlayPage, SwatchesShowTheHandCursorAndAnswerForTheirColours) {
    FakeHost host;
    CPPOverlay page;
    Sheet s(page, host);
    HWND swatch = s.Item(IDC_OVL_CITIES_COLOR);
    SetCursor(nullptr);
    const LRESULT handled = SendMessageA(page.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(swatch),
                                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(handled, TRUE);
    EXPECT_EQ(GetCursor(), host.HandCursor());
    // A plain check box is left to the default handling.
    EXPECT_EQ(SendMessageA(page.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(s.Item(IDC_OVL_CITIES)),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              FALSE);
    // "cities color" is a bright red: its caption is white on green and blue, black on red.
    HDC dc = GetDC(swatch);
    SendMessageA(page.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(swatch));
    EXPECT_EQ(GetTextColor(dc), CColorSwatch::TextColourFor(0x002020FF));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 255, 255));
    ReleaseDC(swatch, dc);
}

TEST(InfoPage, CreditIsABlueLinkWithTheHandCursor) {
    FakeHost host;
    CPPInfo page;
    Sheet s(page, host);
    HWND credit = s.Item(1044);
    ASSERT_TRUE(credit);
    HDC dc = GetDC(credit);
    SendMessageA(page.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(credit));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
    ReleaseDC(credit, dc);
    EXPECT_EQ(SendMessageA(page.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(credit),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
}

// The page around a link and the empty end of the link's own box look the
// same: no box of another colour on a themed page.
TEST(InfoPage, CreditLinkHasNoBoxOfItsOwn) {
    FakeHost host;
    CPPInfo page;
    Sheet s(page, host);
    HWND sheet = GetParent(page.hwnd());
    SetWindowPos(sheet, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    // Page and link paint now, together; the screen follows a little later.
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r = {};
    GetWindowRect(s.Item(IDC_INFO_CREDIT), &r);
    HDC screen = GetDC(nullptr);
    COLORREF inside = CLR_INVALID, outside = CLR_INVALID;
    // Black until the painting has reached the screen.
    for (int i = 0; i < 150 && (outside == CLR_INVALID || outside == 0 || inside != outside); ++i) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        Sleep(20);
        inside = GetPixel(screen, r.right - 3, (r.top + r.bottom) / 2);
        outside = GetPixel(screen, r.right - 3, r.bottom + 4);
    }
    ReleaseDC(nullptr, screen);
    ASSERT_NE(outside, 0u) << "the page never reached the screen";
    EXPECT_EQ(inside, outside);
}

// --- Choose Cities

void Fill(CityDatabase& db, int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "Town" + std::to_string(i) + ",Land" + std::to_string(i % 7) + ",10.5,20.25\n";
    db.Parse(text.data(), static_cast<unsigned>(text.size()));
}

struct CitiesFixture {
    explicit CitiesFixture(int n) {
        Fill(db, n);
        page.SetDatabase(&db);
        sheet = std::make_unique<Sheet>(page, host);
        list = sheet->Item(IDC_CITIES_LIST);
    }
    // A mouse click on row, as the user would do it.
    void ClickRow(int row) {
        SendMessageA(list, LB_SETTOPINDEX, row, 0);
        RECT r = {};
        SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
    }
    bool ListMatchesDatabase() {
        for (int i = 0; i < db.GetCityCount(); ++i)
            if ((SendMessageA(list, LB_GETSEL, i, 0) > 0) != (db.GetCity(i)->selected != 0)) return false;
        return true;
    }
    int Caret() { return static_cast<int>(SendMessageA(list, LB_GETCARETINDEX, 0, 0)); }
    FakeHost host;
    CityDatabase db;
    CPPCities page;
    std::unique_ptr<Sheet> sheet;
    HWND list;
};

TEST(CitiesPage, FortyNinthCityIsRefused) {
    CitiesFixture f(60);
    EXPECT_EQ(SendMessageA(f.list, LB_GETCOUNT, 0, 0), 60);
    for (int i = 0; i < 48; ++i) f.ClickRow(i);
    EXPECT_EQ(f.db.GetSelectedCount(), 48);
    f.ClickRow(50);
    EXPECT_EQ(f.db.GetSelectedCount(), 48);
    EXPECT_EQ(SendMessageA(f.list, LB_GETSELCOUNT, 0, 0), 48);
    EXPECT_FALSE(f.db.GetCity(50)->selected);
    EXPECT_TRUE(f.ListMatchesDatabase());
    EXPECT_EQ(f.sheet->Text(IDC_CITIES_COUNTS), "selected 48 (of 48) cities");
    // Unclick and click again, quickly: still in step.
    f.ClickRow(3);
    f.ClickRow(3);
    f.ClickRow(3);
    f.ClickRow(51);
    EXPECT_TRUE(f.ListMatchesDatabase());
    EXPECT_EQ(f.db.GetSelectedCount(), 48);
    EXPECT_TRUE(f.db.GetCity(51)->selected);
    EXPECT_GT(f.host.refreshes, 0);
}

TEST(CitiesPage, UpAndDownJumpBetweenSelectedRows) {
    CitiesFixture f(30);
    f.db.SelectCityIndex(5);
    f.db.SelectCityIndex(20);
    f.page.SyncFromDatabase();
    EXPECT_EQ(f.Caret(), 5);  // first selected row
    f.sheet->Click(IDC_CITIES_DOWN);
    EXPECT_EQ(f.Caret(), 20);
    EXPECT_EQ(SendMessageA(f.list, LB_GETTOPINDEX, 0, 0) <= 20, true);
    EXPECT_EQ(f.page.CurrentCity(), 20);
    EXPECT_EQ(f.sheet->Text(IDC_CITIES_DETAILS)
                  .rfind("Town20: 20\xB0"
                         "15'",
                         0),
              0u)
        << f.sheet->Text(IDC_CITIES_DETAILS);
    f.sheet->Click(IDC_CITIES_DOWN);  // below every other: back up to 20 itself
    EXPECT_EQ(f.Caret(), 20);
    f.sheet->Click(IDC_CITIES_UP);
    EXPECT_EQ(f.Caret(), 5);
    f.sheet->Click(IDC_CITIES_UP);  // above every other: stays on 5
    EXPECT_EQ(f.Caret(), 5);
    SendMessageA(f.list, LB_SETCARETINDEX, 0, FALSE);
    f.sheet->Click(IDC_CITIES_UP);  // above all selected: first one below
    EXPECT_EQ(f.Caret(), 5);
    SendMessageA(f.list, LB_SETCARETINDEX, 29, FALSE);
    f.sheet->Click(IDC_CITIES_DOWN);  // below all selected: last one above
    EXPECT_EQ(f.Caret(), 20);
}

TEST(CitiesPage, SyncPutsCaretOnFirstSelectedRow) {
    CitiesFixture f(10);
    f.db.SelectCityIndex(0);
    f.db.SelectCityIndex(5);
    f.page.SyncFromDatabase();
    EXPECT_EQ(f.Caret(), 0);
    EXPECT_EQ(f.page.CountsText(), "selected 2 (of 48) cities");
    EXPECT_TRUE(f.ListMatchesDatabase());
}

// Answers the confirmation of "clear entire selection".
HelperThread AnswerConfirm(int button) {
    return HelperThread([button] {
        for (int i = 0; i < 500; ++i) {
            if (HWND w = FindWindowA("#32770", "confirm")) {
                if (IsWindowVisible(w)) {
                    PostMessageA(w, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                    return;
                }
            }
            Sleep(20);
        }
    });
}

TEST(CitiesPage, ClearAsksFirstAndLeavesTrayCity) {
    CitiesFixture f(10);
    f.ClickRow(2);
    f.ClickRow(7);
    f.sheet->Click(IDC_CITIES_WATCH);
    EXPECT_EQ(f.host.settings.trayCity, 7);
    HelperThread t = AnswerConfirm(IDNO);
    f.sheet->Click(IDC_CITIES_CLEAR);
    t.join();
    EXPECT_EQ(f.db.GetSelectedCount(), 2);
    EXPECT_TRUE(f.ListMatchesDatabase());
    t = AnswerConfirm(IDYES);
    f.sheet->Click(IDC_CITIES_CLEAR);
    t.join();
    EXPECT_EQ(f.db.GetSelectedCount(), 0);
    EXPECT_EQ(SendMessageA(f.list, LB_GETSELCOUNT, 0, 0), 0);
    EXPECT_EQ(f.sheet->Text(IDC_CITIES_COUNTS), "selected 0 (of 48) cities");
    EXPECT_EQ(f.sheet->Text(IDC_CITIES_DETAILS), "");
    EXPECT_EQ(f.host.settings.trayCity, 7);
    f.sheet->Click(IDC_CITIES_WATCH);
    EXPECT_EQ(f.host.settings.trayCity, -1);
}

TEST(CitiesPage, WatchedCityReachesTheTooltip) {
    CitiesFixture f(10);
    f.sheet->Click(IDC_CITIES_WATCH);  // nothing shown yet
    EXPECT_EQ(f.host.settings.trayCity, -1);
    f.ClickRow(4);
    f.sheet->Click(IDC_CITIES_WATCH);
    EXPECT_EQ(f.host.settings.trayCity, 4);
    EXPECT_GT(f.host.saves, 0);
    const std::string tip = TrayTipText(1700000000, f.db, f.host.settings.trayCity);
    EXPECT_EQ(tip.rfind("Town4, Land4", 0), 0u) << tip;
}

TEST(CitiesPage, EmptyDatabaseGivesAnInertChooser) {
    CitiesFixture f(0);
    EXPECT_EQ(SendMessageA(f.list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(f.sheet->Text(IDC_CITIES_COUNTS), "selected 0 (of 48) cities");
    f.sheet->Click(IDC_CITIES_UP);
    f.sheet->Click(IDC_CITIES_DOWN);
    f.sheet->Click(IDC_CITIES_WATCH);
    SendMessageA(f.list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(f.list, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(f.host.settings.trayCity, -1);
    EXPECT_EQ(f.sheet->Text(IDC_CITIES_DETAILS), "");
    EXPECT_EQ(f.db.GetSelectedCount(), 0);
}

// --- About

TEST(AboutPage, VersionLinksAndSwitchButton) {
    FakeHost host;
    CPPAbout page;
    Sheet s(page, host);
    EXPECT_EQ(s.Text(IDC_ABOUT_VERSION), "Umbravue version 0.12");
    // No control panel window is shown here, so the way back is offered.
    ShowWindow(page.hwnd(), SW_HIDE);
    ShowWindow(page.hwnd(), SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(s.Item(IDC_ABOUT_SWITCH)));
    HWND panel = CreateWindowExA(0, "#32770", "Umbravue", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_TRUE(panel);
    EXPECT_TRUE(VisibleControlPanelExists());
    ShowWindow(page.hwnd(), SW_HIDE);
    ShowWindow(page.hwnd(), SW_SHOW);
    EXPECT_FALSE(IsWindowVisible(s.Item(IDC_ABOUT_SWITCH)));
    DestroyWindow(panel);
}

}  // namespace
}  // namespace uv
