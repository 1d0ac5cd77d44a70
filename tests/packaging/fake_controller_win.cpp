// Stands in for a running controller while the installer is tested: it owns
// the installer mutex and shows a "#32770" window titled "Umbravue", as the
// program does. On WM_CLOSE it takes a moment "saving", writes the marker file
// named on its command line and quits; with "stubborn" as the second argument
// it ignores WM_CLOSE. Once its window exists it writes "<marker>.ready". It
// ends by itself after two minutes, so a failed test cannot leave it behind.
//
//   fake_controller.exe <marker file> [stubborn]

#include <windows.h>

#include <shellapi.h>

#include <cwchar>
#include <string>

#include "common/WinHandles.h"

namespace {

using uv::UniqueKernelHandle;

struct FakeState {
    std::wstring marker;
    bool stubborn = false;
};
FakeState g_fake;

constexpr UINT_PTR kLifetimeTimer = 1;

void WriteMarker(const std::wstring& path) {
    UniqueKernelHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    WriteFile(file.get(), "saved\r\n", 7, &written, nullptr);
}

INT_PTR CALLBACK FakeProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextA(window, "Umbravue");
        SetTimer(window, kLifetimeTimer, 120000, nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam == kLifetimeTimer) {
            DestroyWindow(window);
            PostQuitMessage(0);
        }
        return TRUE;
    case WM_CLOSE:
        if (g_fake.stubborn) return TRUE;
        // Saving settings takes a moment; the installer has to wait for it.
        Sleep(700);
        WriteMarker(g_fake.marker);
        DestroyWindow(window);
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

// An empty dialog template, no controls.
struct alignas(4) EmptyTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    g_fake.marker = argv[1];
    g_fake.stubborn = argc > 2 && std::wcscmp(argv[2], L"stubborn") == 0;
    LocalFree(argv);

    UniqueKernelHandle mutex(CreateMutexA(nullptr, TRUE, "UmbravueInnoSetupMutex"));

    EmptyTemplate dialog{};
    dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    dialog.header.cx = 100;
    dialog.header.cy = 40;
    HWND window = CreateDialogIndirectParamA(instance, &dialog.header, nullptr, FakeProc, 0);
    if (!window) return 3;
    WriteMarker(g_fake.marker + L".ready");

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (mutex) ReleaseMutex(mutex.get());
    return 0;
}
