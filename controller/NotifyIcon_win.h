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

}  // namespace uv
