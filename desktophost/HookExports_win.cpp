// Placeholder exports so the controller can link while the host is built.
#include "desktophost/uvdll.h"

void WINAPI UVDLLInstallHook(HWND) {}
void WINAPI UVDLLRemoveHook(void) {}
LRESULT CALLBACK UVDLLGetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
BOOL WINAPI UVDLLIsHostRunning(void) { return FALSE; }
