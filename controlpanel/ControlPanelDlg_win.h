// The control panel: the program's only window, run modally for the life of
// the process. Its initialisation starts everything (city list, pages,
// notification icon, settings, the picture's route, timers); its destruction
// saves the settings and takes the picture off the desktop again.
#pragma once

#include "common/WideText.h"
#include "controller/CitySelection.h"
#include "controlpanel/Controls_win.h"
#include "controlpanel/DialogBase_win.h"
#include "controlpanel/Pages_win.h"
#include "solar/CityDatabase.h"

#include <memory>
#include <string>

namespace uv {

class PictureRoute;

class CControlPanelDlg : public CDialog, public CPageHost {
public:
    // Timer ids of the window.
    static constexpr UINT_PTR kRefreshTimer = 0;
    static constexpr UINT_PTR kAutohideTimer = 2;
    static constexpr UINT_PTR kTipTimer = 4;
    static constexpr UINT_PTR kSaveTimer = 5;
    static constexpr unsigned kApplyDelayMs = 2000;
    static constexpr unsigned kTipPeriodMs = 15000;

    // settingsRoot holds Software\VantorelSoftware\Umbravue and the Run key.
    explicit CControlPanelDlg(HKEY settingsRoot = HKEY_CURRENT_USER);
    ~CControlPanelDlg() override;

    // CPageHost
    void ScheduleRefresh() override;
    void RestartRefreshTimer(unsigned periodMs) override;
    void ScheduleSave() override;
    HWND MainWindow() const override { return hwnd_; }
    HCURSOR HandCursor() const override { return handCursor_; }
    int TimeZoneXOffset() override;
    void ShowMapAgain() override;
    SettingsRecord& Settings() override { return settings_; }

    // Shows the window on top with the About page active.
    void ShowAboutPage();
    // Shows the window at the user's request, also when it was hidden at start.
    void ShowPanel();
    void LoadSettings();
    void SaveSettings();
    // What the pages show, written to the registry.
    void SaveEdits();

    UINT SettingsMessage() const { return settingsMessage_; }

protected:
    BOOL OnInitDialog() override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void OnDestroy() override;

private:
    void CreatePages();
    void CreateSheet();
    void Layout();
    void DeletePages();
    void OnTimer(UINT_PTR id);
    void UpdateNotifyTip();
    void PaintIconic();

    HKEY settingsRoot_;
    UINT settingsMessage_ = 0;
    UINT taskbarCreatedMessage_ = 0;
    // The settings and the city list outlive the pages and the route.
    SettingsRecord settings_;
    CityDatabase cities_;
    DatabaseSelection selection_{cities_};
    HICON programIcon_ = nullptr;   // shared resource icon, not destroyed
    HCURSOR handCursor_ = nullptr;  // shared resource cursor
    CLinkStatic iconLink_;
    StaticControls statics_;
    HWND sheet_ = nullptr;
    std::unique_ptr<CPPAbout> about_;
    std::unique_ptr<CPPCities> citiesPage_;
    std::unique_ptr<CPPOverlay> overlay_;
    std::unique_ptr<CPPInfo> info_;
    std::unique_ptr<CPPOffset> offset_;
    std::unique_ptr<CPPMisc> misc_;
    std::unique_ptr<CPPGlyph> glyph_;
    WideText resourceLibrary_;
    std::unique_ptr<PictureRoute> route_;
    bool notifyIconAdded_ = false;
    // Set while "autohide" keeps the window hidden since start.
    bool holdHidden_ = false;
    // The settings went with an uninstall this copy finished: never again saved.
    bool uninstallFinished_ = false;
};

}  // namespace uv
