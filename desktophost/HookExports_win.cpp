// The library's exports, its entry point and the two handshakes between the
// controller's copy of the library and the copy inside the desktop's process.
#include "desktophost/uvdll.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <ctime>

#include "common/NoSse.h"
#include "desktophost/DesktopHost_win.h"
#include "desktophost/HostState_win.h"

using namespace uv;

namespace {

constexpr wchar_t kResourceFileName[] = L"globepix.dll";
// A desktop thread that has not started the host by then never will (the
// window's thread does not take its messages, or the images are unusable).
constexpr DWORD kInstallLimitMs = 10000;
// A host stops within about one render; a desktop thread that has not let
// go by then does not take its messages.
constexpr DWORD kRemoveLimitMs = 20000;

// Runs in DllMain, before the controller's processor check.
UV_NO_SSE void BuildResourcePath(UvdllState& state) {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(state.module, path, MAX_PATH);
    state.resourcePath[0] = L'\0';
    if (length == 0 || length >= MAX_PATH) return;
    wchar_t* slash = std::wcsrchr(path, L'\\');
    const std::size_t dirLength = slash ? static_cast<std::size_t>(slash - path) + 1 : 0;
    if ((dirLength * sizeof(wchar_t)) + sizeof kResourceFileName > sizeof state.resourcePath) return;
    std::memcpy(state.resourcePath, path, dirLength * sizeof(wchar_t));
    std::memcpy(state.resourcePath + dirLength, kResourceFileName, sizeof kResourceFileName);
}

BOOL Post(DWORD thread, MessageId id, LPARAM value) {
    return PostThreadMessageA(thread, State().settingsMessage, ToWire(id), value);
}

DWORD ElapsedSince(DWORD start) { return GetTickCount() - start; }

// The handshakes' milestones, one line each, on the debugger's channel: the
// integration tests read them there to tell how an install or a removal
// went.
void Trace(const char* line) { OutputDebugStringA(line); }

// Unhooks and empties the record.
void ForgetHook(HookRecord& hook) {
    UnhookWindowsHookEx(hook.handle);
    hook = HookRecord{};
}

bool TakeNow(HANDLE semaphore) { return WaitForSingleObject(semaphore, 0) == WAIT_OBJECT_0; }

// A desktop host holds "umbravue" from its start to the end of its stop.
bool HostHoldsBusySemaphore() {
    UniqueKernelHandle busy(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, kBusySemaphoreName));
    if (!busy) return false;
    if (!TakeNow(busy.get())) return true;
    ReleaseSemaphore(busy.get(), 1, nullptr);
    return false;
}

// Asks the host to stop until it lets go of busy, which it holds now.
// False when its desktop thread has not answered in time.
bool StopHostOverHook(const HookRecord& hook, HANDLE busy) {
    const DWORD start = GetTickCount();
    Trace("sending stop message to subclass\n");
    for (;;) {
        if (!Post(hook.thread, MessageId::Unsubclass, reinterpret_cast<LPARAM>(hook.listView)) &&
            GetLastError() == ERROR_INVALID_THREAD_ID) {
            // The desktop thread has ended; no host can be reached there.
            return true;
        }
        Sleep(100);
        if (WaitForSingleObject(busy, 100) == WAIT_OBJECT_0) {
            Trace("ready to exit!\n");
            ReleaseSemaphore(busy, 1, nullptr);
            break;
        }
        if (ElapsedSince(start) >= kRemoveLimitMs) return false;
    }
    Sleep(100);
    if (WaitForSingleObject(busy, kRemoveLimitMs) == WAIT_OBJECT_0) ReleaseSemaphore(busy, 1, nullptr);
    return true;
}

// Runs one protocol message on the desktop thread; returns the hook's result.
LRESULT Dispatch(UvdllState& state, int code, WPARAM wParam, LPARAM lParam, const MSG& msg) {
    if (msg.wParam > 0xFFFFFFFFu) return CallNextHookEx(state.desktop.hookHandle, code, wParam, lParam);
    const SettingAction action = ApplySettingsMessage(state.desktop.settings, state.desktop.cities,
                                                      static_cast<std::uint32_t>(msg.wParam),
                                                      static_cast<std::intptr_t>(msg.lParam), time(nullptr));
    switch (action) {
    case SettingAction::NotHandled: return CallNextHookEx(state.desktop.hookHandle, code, wParam, lParam);
    case SettingAction::StartHost:
        if (!DesktopHostRunning()) StartDesktopHost(reinterpret_cast<HWND>(msg.lParam));
        return 1;
    case SettingAction::StopHost: StopDesktopHost(); return 1;
    case SettingAction::RequestRender: RequestRender(); return 1;
    case SettingAction::RenderDone: ComposeRenderedPicture(); return 1;
    case SettingAction::HookHandle:
    case SettingAction::None: return 1;
    }
    return 1;
}

}  // namespace

// Runs before the controller's processor check: no SSE on the way that the
// controller's process takes (a host runs only where the check passed).
extern "C" UV_NO_SSE BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    UvdllState& state = State();
    if (reason == DLL_PROCESS_ATTACH) {
        state.module = instance;
        DisableThreadLibraryCalls(instance);
        state.settingsMessage = RegisterWindowMessageA(kSettingsMessageName);
        BuildResourcePath(state);
    } else if (reason == DLL_PROCESS_DETACH) {
        if (DesktopHostRunning()) {
            // Unloaded from the desktop's process while the host runs. At
            // process exit the worker is gone already and nothing is left to
            // protect; on an unload the list view must not keep pointing here.
            if (!reserved) DetachDesktopHost();
        } else {
            UVDLLRemoveHook();
        }
    }
    return TRUE;
}

void WINAPI UVDLLInstallHook(HWND window) {
    UvdllState& state = State();
    HookRecord& hook = state.hook;
    if (hook.stage != HookStage::None) UVDLLRemoveHook();
    if (hook.stage != HookStage::None) return;  // a removal did not complete
    // A null window would make the hook global; refuse it and dead windows.
    if (!window || !IsWindow(window)) return;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (!thread) return;
    HHOOK handle = SetWindowsHookExA(WH_GETMESSAGE, UVDLLGetMsgProc, state.module, thread);
    if (!handle) return;
    hook = HookRecord{HookStage::Installed, handle, window, thread};
    Sleep(50);

    const DWORD start = GetTickCount();
    for (bool waiting = false;; waiting = true) {
        Post(thread, MessageId::HookHandle, reinterpret_cast<LPARAM>(handle));
        Sleep(50);
        Post(thread, MessageId::Subclass, reinterpret_cast<LPARAM>(window));
        Sleep(50);
        UniqueKernelHandle busy(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, kBusySemaphoreName));
        if (busy) break;
        if (!waiting) Trace("waiting for busy semaphore to be created\n");
        Sleep(50);
        if (ElapsedSince(start) >= kInstallLimitMs) {
            // The host never started: leave nothing installed.
            ForgetHook(hook);
            return;
        }
    }
    hook.stage = HookStage::Reached;
    char line[64];
    std::snprintf(line, sizeof line, "hook installed: %x\n",
                  static_cast<unsigned>(reinterpret_cast<UINT_PTR>(handle)));
    Trace(line);
}

void WINAPI UVDLLRemoveHook(void) {
    HookRecord& hook = State().hook;
    if (hook.stage == HookStage::None) return;
    UniqueKernelHandle busy(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, kBusySemaphoreName));
    // A host that does not hold "umbravue" stopped by another route (a
    // foreign Unsubclass, its list view destroyed, its shell ended) or never
    // started: only the hook goes, or a recorded hook would refuse every
    // later install. The host keeps its library loaded while any procedure
    // of it is installed, so this never unloads it under a window.
    const bool hostRuns = busy && !TakeNow(busy.get());
    if (busy && !hostRuns) ReleaseSemaphore(busy.get(), 1, nullptr);
    if (hostRuns && !StopHostOverHook(hook, busy.get())) {
        // The desktop thread does not answer: keep the hook and its list
        // view, so that a later removal tries again.
        hook.stage = HookStage::RemovalPending;
        return;
    }
    busy.reset();
    ForgetHook(hook);
    Trace("hook removed.\n");
}

LRESULT CALLBACK UVDLLGetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
    UvdllState& state = State();
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && msg && msg->message == state.settingsMessage &&
        msg->wParam == ToWire(MessageId::HookHandle)) {
        // Anyone can post this message: a null handle would make the hook
        // swallow every later message, Unsubclass included.
        if (msg->lParam) state.desktop.hookHandle = reinterpret_cast<HHOOK>(msg->lParam);
        return 1;
    }
    // Nothing is handed on before this process knows its hook handle.
    if (!state.desktop.hookHandle) return 1;
    if (code != HC_ACTION || !msg || msg->message != state.settingsMessage)
        return CallNextHookEx(state.desktop.hookHandle, code, wParam, lParam);
    // No exception may leave into the shell's message loop.
    try {
        return Dispatch(state, code, wParam, lParam, *msg);
    } catch (...) {
        return 1;
    }
}

BOOL WINAPI UVDLLIsHostRunning(void) {
    // The host may have stopped by another route since the install.
    const HookStage stage = State().hook.stage;
    const bool reached = stage == HookStage::Reached || stage == HookStage::RemovalPending;
    return reached && HostHoldsBusySemaphore() ? TRUE : FALSE;
}

LONG WINAPI UVDLLHostStatistic(int item) {
    const DesktopSide& desk = State().desktop;
    const DesktopHost& host = desk.host;
    switch (item) {
    case UVDLL_STAT_RUNNING: return host.run ? 1 : 0;
    case UVDLL_STAT_STARTS: return host.starts;
    case UVDLL_STAT_RENDERS: return host.renders;
    case UVDLL_STAT_COMPOSES: return host.composes;
    case UVDLL_STAT_CACHE_REBUILDS: return host.cacheRebuilds;
    case UVDLL_STAT_CACHE_WIDTH: return host.run ? host.run->picture.cache().width : 0;
    case UVDLL_STAT_CACHE_HEIGHT: return host.run ? host.run->picture.cache().height : 0;
    case UVDLL_STAT_HOOK_KNOWN: return desk.hookHandle ? 1 : 0;
    case UVDLL_STAT_RENDER_TIME: return static_cast<LONG>(desk.settings.renderTime);
    default: return -1;
    }
}
