// The notification-area icon of the control panel window.
#pragma once

#include <windows.h>

namespace uv {

constexpr UINT kNotifyCallbackMessage = WM_USER;
constexpr char kNotifyAddTip[] = "Umbravue: right click to open control panel";

// Adds the icon (identifier 0) with kNotifyAddTip; mouse messages come to
// owner as kNotifyCallbackMessage.
void AddNotifyIcon(HWND owner, HICON icon);
// Replaces the tip; text is cut after its 63rd character.
void SetNotifyTip(HWND owner, const char* text);
void RemoveNotifyIcon(HWND owner);

// From Vista on, a program run elevated (by hand, "Run as administrator")
// gets no message from a lower integrity unless it allows it: the shell's
// icon clicks and its taskbarCreated broadcast after a restart, and a
// second start's kNotifyCallbackMessage. Allowed here for owner; nothing
// where the system has no such filter.
void AcceptShellMessages(HWND owner, UINT taskbarCreated);

}  // namespace uv
