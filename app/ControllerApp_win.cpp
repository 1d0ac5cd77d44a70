// Start-up and shutdown of umbravue.exe: the single-instance rule, the
// installer's "uninstall" command and the installer mutex around the modal
// run of the control panel.
#include "common/NoSse.h"
#include "common/WinHandles.h"
#include "ways/DesktopLink_win.h"
#include "controller/CommandLine.h"
#include "controller/Instance_win.h"
#include "controller/NotifyIcon_win.h"
#include "controller/ProcessorCheck_win.h"
#include "controller/SettingsStore_win.h"
#include "controller/Uninstall_win.h"
#include "ways/UserWallpaper_win.h"
#include "controlpanel/ControlPanelDlg_win.h"

#include <commctrl.h>

#include <string>

namespace uv {

constexpr char kInstallerMutex[] = "UmbravueInnoSetupMutex";
constexpr char kPanelClass[] = "#32770";
constexpr char kPanelCaption[] = "Umbravue";
// How long a second start looks for the window of a first one that is
// still starting.
constexpr DWORD kFindRunningMs = 15000;
constexpr char kRunsElsewhere[] =
    "Umbravue is already running for your account in another session on this computer "
    "(another log-on, or a remote desktop). Its control panel can only be opened there.";
constexpr char kWindowUnreachable[] =
    "Umbravue is already running for your account, but its control panel could not be reached from here.";

class CControllerApp {
public:
    explicit CControllerApp(const char* commandLine) : commandLine_(commandLine) {}
    int Run();

private:
    static HWND FindRunningInstance() {
        return FindWindowByClassAndText(nullptr, kPanelClass, kPanelCaption);
    }
    int Uninstall();
    int ShowRunningCopy(RunningCopy where);

    const char* commandLine_;
};

int CControllerApp::Uninstall() {
    // The running instance saves its settings while it closes, so it must be
    // gone before the key is deleted. One that never closes is given up on
    // after a while rather than keeping the installer waiting.
    for (unsigned tries = 0; tries < kUninstallCloseTries; ++tries) {
        HWND running = FindRunningInstance();
        if (!running) break;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(running, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        Sleep(kUninstallPollMs);
    }
    {
        UniqueKernelHandle mutex(CreateMutexA(nullptr, TRUE, kInstallerMutex));
        if (mutex) ReleaseMutex(mutex.get());
    }
    Sleep(5000);
    // The kept wallpaper of a run that did not end normally lives in the
    // settings key: it goes back before the key goes, for every user the
    // uninstaller can reach, not only the account it runs as.
    for (const UserRoot& user : UninstallRoots()) UninstallUser(user);
    return 0;
}

// Shows the running copy's window, as a right click on its icon does; a
// first copy that is still starting gets a moment for it. A copy whose
// window cannot be reached is at least told of.
int CControllerApp::ShowRunningCopy(RunningCopy where) {
    HWND running = nullptr;
    if (where == RunningCopy::ThisSession) {
        const DWORD start = GetTickCount();
        while (!(running = FindRunningInstance()) && GetTickCount() - start < kFindRunningMs) Sleep(100);
    }
    DWORD_PTR ignored = 0;
    if (running)
        SendMessageTimeoutA(running, kNotifyCallbackMessage, 0, WM_RBUTTONUP, SMTO_ABORTIFHUNG, 10000,
                            &ignored);
    else
        MessageBoxA(nullptr, where == RunningCopy::OtherSession ? kRunsElsewhere : kWindowUnreachable,
                    kPanelCaption, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    return 0;
}

int CControllerApp::Run() {
    if (IsUninstallCommand(commandLine_)) return Uninstall();
    const InstanceClaim instance;
    if (instance.Found() != RunningCopy::None) return ShowRunningCopy(instance.Found());
    UniqueKernelHandle mutex(CreateMutexA(nullptr, TRUE, kInstallerMutex));
    // A run that was killed or crashed left its picture as the wallpaper:
    // the user's comes back before anything else happens.
    RestoreKeptWallpaper(HKEY_CURRENT_USER);
    // An uninstall left its work to a copy that ended before it saw that.
    if (UninstallLeftToUs(HKEY_CURRENT_USER)) FinishUninstall(HKEY_CURRENT_USER);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    {
        CControlPanelDlg panel;
        // The run ends by the quit message, whose code is 0; the dialog's own
        // result means nothing here.
        panel.DoModal(GetModuleHandleA(nullptr), nullptr);
    }
    // The user's wallpaper is back: what an uninstall left to this copy goes.
    if (UninstallLeftToUs(HKEY_CURRENT_USER)) FinishUninstall(HKEY_CURRENT_USER);
    if (mutex) ReleaseMutex(mutex.get());
    return 0;
}

int RunController() {
    CControllerApp app(CommandLineArguments(GetCommandLineA()));
    return app.Run();
}

#ifdef UV_TEST_NO_SSE2
// The build the tests run as a processor without SSE2.
UV_NO_SSE BOOL WINAPI ReportNoFeature(DWORD) { return FALSE; }
#endif

}  // namespace uv

// The processor check comes first, and WinMain itself is compiled without
// SSE: where SSE2 is missing, the program says so and ends before any code
// that may use it, and the hook is never installed.
UV_NO_SSE int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
#ifdef UV_TEST_NO_SSE2
    if (!uv::CheckProcessor(uv::ReportNoFeature)) return 1;
#else
    if (!uv::CheckProcessor()) return 1;
#endif
    return uv::RunController();
}
