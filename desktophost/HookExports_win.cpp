// The library's exports, its entry point and the two handshakes between the
// controller's copy of the library and the copy inside the desktop's process.
#include "desktophost/uvdll.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "desktophost/DesktopHost_win.h"
#include "desktophost/HostState_win.h"

using namespace uv;

namespace {

constexpr char kResourceFileName[] = "globepix.dll";
// A desktop thread that has not started the host by then never will (the
// window's thread does not take its messages, or the images are unusable).
constexpr DWORD kInstallLimitMs = 10000;
// A host stops within about one render; a desktop thread that has not let
// go by then does not take its messages.
constexpr DWORD kRemoveLimitMs = 20000;

void BuildResourcePath(UvdllState& state) {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(state.module, path, MAX_PATH);
    state.resourcePath[0] = '\0';
    if (length == 0 || length >= MAX_PATH) return;
    char* slash = std::strrchr(path, '\\');
    const std::size_t dirLength = slash ? static_cast<std::size_t>(slash - path) + 1 : 0;
    if (dirLength + sizeof kResourceFileName > sizeof state.resourcePath) return;
    std::memcpy(state.resourcePath, path, dirLength);
    std::memcpy(state.resourcePath + dirLength, kResourceFileName, sizeof kResourceFileName);
}

void Post(DWORD thread, MessageId id, LPARAM value) {
    PostThreadMessageA(thread, State().settingsMessage, ToWire(id), value);
}

DWORD ElapsedSince(DWORD start) { return GetTickCount() - start; }

void ForgetHook(UvdllState& state) {
    UnhookWindowsHookEx(state.hookHandle);
    state.hookHandle = nullptr;
    state.ownsHook = false;
    state.targetWindow = nullptr;
    state.targetThread = 0;
    state.hostReached = false;
    OutputDebugStringA("hook removed.\n");
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

// Runs one protocol message on the desktop thread; returns the hook's result.
LRESULT Dispatch(UvdllState& state, int code, WPARAM wParam, LPARAM lParam, const MSG& msg) {
    if (msg.wParam > 0xFFFFFFFFu) return CallNextHookEx(state.hookHandle, code, wParam, lParam);
    const SettingAction action = ApplySettingsMessage(state.settings, state.cities,
                                                      static_cast<std::uint32_t>(msg.wParam),
                                                      static_cast<std::intptr_t>(msg.lParam), time(nullptr));
    switch (action) {
    case SettingAction::NotHandled:
        return CallNextHookEx(state.hookHandle, code, wParam, lParam);
    case SettingAction::StartHost:
        if (!DesktopHostRunning()) StartDesktopHost(reinterpret_cast<HWND>(msg.lParam));
        return 1;
    case SettingAction::StopHost:
        StopDesktopHost();
        return 1;
    case SettingAction::RequestRender:
        RequestRender();
        return 1;
    case SettingAction::RenderDone:
        ComposeRenderedPicture();
        return 1;
    case SettingAction::HookHandle:
    case SettingAction::None:
        return 1;
    }
    return 1;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
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
    if (state.ownsHook) UVDLLRemoveHook();
    if (state.targetWindow) return;  // a removal did not complete
    state.hostReached = false;
    // A null window would make the hook global; refuse it and dead windows.
    if (!window || !IsWindow(window)) return;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (!thread) return;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, UVDLLGetMsgProc, state.module, thread);
    if (!hook) return;
    state.hookHandle = hook;
    state.ownsHook = true;
    state.targetThread = thread;
    Sleep(50);

    const DWORD start = GetTickCount();
    for (;;) {
        Post(thread, MessageId::HookHandle, reinterpret_cast<LPARAM>(hook));
        Sleep(50);
        Post(thread, MessageId::Subclass, reinterpret_cast<LPARAM>(window));
        Sleep(50);
        UniqueKernelHandle busy(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, kBusySemaphoreName));
        if (busy) break;
        OutputDebugStringA("waiting for busy semaphore to be created\n");
        Sleep(50);
        if (ElapsedSince(start) >= kInstallLimitMs) {
            // The host never started: leave nothing installed.
            UnhookWindowsHookEx(hook);
            state.hookHandle = nullptr;
            state.ownsHook = false;
            state.targetThread = 0;
            return;
        }
    }
    state.targetWindow = window;
    state.hostReached = true;
    char line[64];
    std::snprintf(line, sizeof line, "hook installed: %x\n",
                  static_cast<unsigned>(reinterpret_cast<UINT_PTR>(hook)));
    OutputDebugStringA(line);
}

void WINAPI UVDLLRemoveHook(void) {
    UvdllState& state = State();
    if (!state.ownsHook || !state.hookHandle) return;
    const DWORD thread = state.targetThread;
    UniqueKernelHandle busy(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, kBusySemaphoreName));
    if (!busy || TakeNow(busy.get())) {
        // No host runs: it stopped by another route (a foreign Unsubclass,
        // its list view destroyed, its shell ended) or never started. The
        // hook goes too, or a recorded target would refuse every later
        // install. The host keeps its library loaded while any procedure of
        // it is installed, so this never unloads it under a window.
        if (busy) ReleaseSemaphore(busy.get(), 1, nullptr);
        busy.reset();
        ForgetHook(state);
        return;
    }
    const DWORD start = GetTickCount();
    for (;;) {
        OutputDebugStringA("sending stop message to subclass\n");
        if (!PostThreadMessageA(thread, state.settingsMessage, ToWire(MessageId::Unsubclass),
                                reinterpret_cast<LPARAM>(state.targetWindow)) &&
            GetLastError() == ERROR_INVALID_THREAD_ID) {
            // The desktop thread has ended; no host can be reached there.
            OutputDebugStringA("NOT ready to exit!\n");
            busy.reset();
            ForgetHook(state);
            return;
        }
        Sleep(100);
        if (WaitForSingleObject(busy.get(), 100) == WAIT_OBJECT_0) {
            OutputDebugStringA("ready to exit!\n");
            ReleaseSemaphore(busy.get(), 1, nullptr);
            break;
        }
        OutputDebugStringA("NOT ready to exit!\n");
        // The desktop thread does not answer: keep the hook and the target,
        // so that a later removal tries again.
        if (ElapsedSince(start) >= kRemoveLimitMs) return;
    }
    Sleep(100);
    state.targetWindow = nullptr;
    if (WaitForSingleObject(busy.get(), kRemoveLimitMs) == WAIT_OBJECT_0) ReleaseSemaphore(busy.get(), 1, nullptr);
    busy.reset();
    ForgetHook(state);
}

LRESULT CALLBACK UVDLLGetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
    UvdllState& state = State();
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && msg && msg->message == state.settingsMessage &&
        msg->wParam == ToWire(MessageId::HookHandle)) {
        // Anyone can post this message: a null handle would make the hook
        // swallow every later message, Unsubclass included.
        if (msg->lParam) state.hookHandle = reinterpret_cast<HHOOK>(msg->lParam);
        return 1;
    }
    // Nothing is handed on before this process knows its hook handle.
    if (!state.hookHandle) return 1;
    if (code != HC_ACTION || !msg || msg->message != state.settingsMessage)
        return CallNextHookEx(state.hookHandle, code, wParam, lParam);
    // No exception may leave into the shell's message loop.
    try {
        return Dispatch(state, code, wParam, lParam, *msg);
    } catch (...) {
        return 1;
    }
}

BOOL WINAPI UVDLLIsHostRunning(void) {
    const UvdllState& state = State();
    // The host may have stopped by another route since the install.
    return state.hostReached && state.targetWindow && HostHoldsBusySemaphore() ? TRUE : FALSE;
}

LONG WINAPI UVDLLHostStatistic(int item) {
    const UvdllState& state = State();
    const DesktopHost& host = state.host;
    switch (item) {
    case UVDLL_STAT_RUNNING: return host.savedWindowProc ? 1 : 0;
    case UVDLL_STAT_STARTS: return host.starts;
    case UVDLL_STAT_RENDERS: return host.renders;
    case UVDLL_STAT_COMPOSES: return host.composes;
    case UVDLL_STAT_CACHE_REBUILDS: return host.cacheRebuilds;
    case UVDLL_STAT_CACHE_WIDTH: return host.paintCache.width;
    case UVDLL_STAT_CACHE_HEIGHT: return host.paintCache.height;
    case UVDLL_STAT_HOOK_KNOWN: return state.hookHandle ? 1 : 0;
    case UVDLL_STAT_RENDER_TIME: return static_cast<LONG>(state.settings.renderTime);
    default: return -1;
    }
}
