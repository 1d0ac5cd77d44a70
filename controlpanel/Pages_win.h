// The seven pages of the control panel's property sheet. The settings live
// in the one record their host holds; a page shows and edits the rows of
// the settings table that name it, and keeps no values of its own.
#pragma once

#include "settings/Settings.h"
#include "controlpanel/CityChooser.h"
#include "controlpanel/Controls_win.h"
#include "controlpanel/DialogBase_win.h"

#include <array>
#include <string>
#include <vector>

class CityDatabase;

namespace uv {

// What the pages need of the control panel window.
class CPageHost {
public:
    virtual ~CPageHost() = default;
    // Applies the settings 2 s after the last change.
    virtual void ScheduleRefresh() = 0;
    // Restarts the refresh period at once with periodMs.
    virtual void RestartRefreshTimer(unsigned periodMs) = 0;
    // Writes the settings to the registry 2 s after the last change. The two
    // above do it too; this is for changes that never reach the desktop.
    virtual void ScheduleSave() = 0;
    virtual HWND MainWindow() const = 0;
    virtual HCURSOR HandCursor() const = 0;
    virtual int TimeZoneXOffset() = 0;
    // The user asks for the map as the wallpaper again after choosing one.
    virtual void ShowMapAgain() {}
    // The one record of the settings; outlives the pages.
    virtual SettingsRecord& Settings() = 0;
};

// A page that knows its control panel.
class CSettingsPage : public CPropertyPage {
public:
    CSettingsPage(int templateId, SettingPage page) : CPropertyPage(templateId), page_(page) {}
    void SetHost(CPageHost* host) { host_ = host; }
    // The page's check boxes and sliders from and to the record.
    void ReadControls() override;
    void WriteControls() override;
    SettingsRecord& values() const { return host_->Settings(); }

protected:
    // The row of the page shown by control id, or nullptr.
    const SettingInfo* RowOf(int id) const;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    // BN_CLICKED / STN_CLICKED of control id.
    virtual void OnClicked(int /*id*/) {}
    // A slider of the page moved.
    virtual void OnSlider(HWND /*slider*/) {}
    void ScheduleRefresh() {
        if (host_) host_->ScheduleRefresh();
    }
    void ScheduleSave() {
        if (host_) host_->ScheduleSave();
    }
    HCURSOR HandCursor() const { return host_ ? host_->HandCursor() : nullptr; }

    CPageHost* host_ = nullptr;
    StaticControls statics_;
    SettingPage page_;
};

class CPPInfo : public CSettingsPage {
public:
    CPPInfo();
    static constexpr char kImageSourceAddress[] = "https://visibleearth.nasa.gov/";
    // The line that says how the picture is shown now, and whether the
    // button that shows the map again is offered.
    void ShowPictureWay(const std::string& text, bool offerMap = false);

protected:
    void OnInitPage() override;
    void OnClicked(int id) override;

private:
    CLinkStatic credit_;
    std::string pictureWay_;
    bool offerMap_ = false;
};

class CPPOffset : public CSettingsPage {
public:
    CPPOffset();

    // Labels and enabled states from the members, members to the controls:
    // what loading the settings leaves behind.
    void ShowLoadedValues();
    // Moves the X slider (the time zone follows while "timezone offset" is on).
    void SetXOffset(int degrees);

protected:
    void OnInitPage() override;
    void OnClicked(int id) override;
    void OnSlider(HWND slider) override;

private:
    void UpdateLabels();
    void ApplyEnables();
};

class CPPMisc : public CSettingsPage {
public:
    CPPMisc();

    // Both value labels from the slider members.
    void UpdateLabels();

protected:
    void OnInitPage() override;
    void OnClicked(int id) override;
    void OnSlider(HWND slider) override;
};

class CPPOverlay : public CSettingsPage {
public:
    CPPOverlay();

    // Set by the settings store: the next refresh step writes the members
    // to the controls instead of reading the controls first.
    void MarkMembersCurrent() { membersCurrent_ = true; }
    // Controls into members (unless marked current), enabled states, members
    // to controls, then ScheduleRefresh.
    void RefreshStep();
    // Every swatch shows its setting's colour.
    void RepaintSwatches();
    void ResetDefaultColours();

protected:
    void OnInitPage() override;
    void OnClicked(int id) override;

private:
    void ChooseColour(const SettingInfo& row);
    bool membersCurrent_ = false;
    std::array<CColorSwatch, RowCount(SettingKind::Colour, SettingPage::Overlay)> swatches_;
};

class CPPGlyph : public CSettingsPage {
public:
    CPPGlyph();

protected:
    void OnClicked(int id) override;
};

// A list box that remembers its top row and caret row after every left
// button press, so that a refused click can scroll back.
class CityListBox {
public:
    ~CityListBox();
    void Attach(HWND list);
    void Detach();
    // Scrolls back to the top row remembered at the last press.
    void Restore() const;
    int RememberedTop() const { return top_; }
    int RememberedCaret() const { return caret_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    WNDPROC previous_ = nullptr;
    int top_ = 0;
    int caret_ = -1;
};

class CPPCities : public CSettingsPage {
public:
    CPPCities();
    ~CPPCities() override;
    static constexpr int kMaxSelectedCities = uv::kMaxSelectedCities;
    void SetDatabase(CityDatabase* database) { database_ = database; }
    // The list mirrors the database's selection flags again.
    void SyncFromDatabase();
    void WriteControls() override;

    const std::string& CountsText() const { return countsText_; }
    const std::string& DetailsText() const { return detailsText_; }
    int CurrentCity() const { return currentCity_; }
    // Asks before "clear entire selection" goes ahead; true for yes.
    bool ConfirmClear() const;

protected:
    void OnInitPage() override;
    void OnClicked(int id) override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void OnSelectionChange();
    void OnClear();
    void OnStep(bool up);
    void ShowCity(int index);
    std::vector<bool> ListRows() const;
    int SelectedRowCount() const;

    CityDatabase* database_ = nullptr;
    CityListBox cityList_;
    std::string countsText_;
    std::string detailsText_;
    int currentCity_ = -1;
    UniqueFont listFont_;
    UniqueIcon upIcon_;
    UniqueIcon downIcon_;
};

// A shown top-level control panel window ("#32770", "Umbravue") exists.
bool VisibleControlPanelExists();

class CPPAbout : public CSettingsPage {
public:
    CPPAbout();
    const std::string& VersionText() const { return versionText_; }

protected:
    void OnInitPage() override;
    void OnClicked(int id) override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void OpenBesideProgram(const char* file);
    std::string versionText_;
    CLinkStatic iconLink_;
    CLinkStatic homepageLink_;
    CLinkStatic mailLink_;
};

}  // namespace uv
