// Exports of uvdll.dll, the hook library that hosts the map on the desktop.
// Ordinals 1 to 3 are fixed; the controller links 1 and 2 at load time.
#pragma once
#ifndef _WIN32
#error "Win32 only"
#endif
#include <windows.h>

extern "C" {

// Installs the message hook on the thread that owns the desktop list view
// and starts the desktop host there. Returns after the host has started, or
// after about ten seconds when it could not be reached (then the hook is
// removed again; UVDLLIsHostRunning tells the caller which happened).
void WINAPI UVDLLInstallHook(HWND listView);  // @1

// Stops the desktop host, waits (bounded) until it has let go of the list
// view, then removes the hook. When no host runs any more (it was stopped
// by another route, its list view or its shell went), only the hook goes,
// at once, so that the next install starts afresh.
void WINAPI UVDLLRemoveHook(void);  // @2

// The WH_GETMESSAGE hook procedure.
LRESULT CALLBACK UVDLLGetMsgProc(int code, WPARAM wParam, LPARAM lParam);  // @3

// TRUE when the last UVDLLInstallHook of this process reached the desktop
// host, no removal has completed since, and a host still runs (holds the
// "umbravue" semaphore).
BOOL WINAPI UVDLLIsHostRunning(void);  // @4

// What the desktop host of this process has done, for tests and
// diagnostics; -1 for an unknown item.
enum UVDLLStatistic {
    UVDLL_STAT_RUNNING = 0,         // 1 while the host runs in this process
    UVDLL_STAT_STARTS = 1,          // hosts started
    UVDLL_STAT_RENDERS = 2,         // pictures rendered by the worker
    UVDLL_STAT_COMPOSES = 3,        // pictures put on display
    UVDLL_STAT_CACHE_REBUILDS = 4,  // paint cache rebuilds
    UVDLL_STAT_CACHE_WIDTH = 5,
    UVDLL_STAT_CACHE_HEIGHT = 6,
    UVDLL_STAT_HOOK_KNOWN = 7,   // 1 once the hook handle has arrived
    UVDLL_STAT_RENDER_TIME = 8,  // render time of the settings record
};
LONG WINAPI UVDLLHostStatistic(int item);  // @5
}
