// The desktop host inside the test's own process: hook dispatch, start and
// its refusals, the paint cache, stop, and leaving while running.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <string>

#include "desktophost/DesktopHost_win.h"
#include "desktophost/DesktopSubclass_win.h"
#include "desktophost/HostState_win.h"
#include "desktophost/uvdll.h"

// Allocations of the thread that arms it fail while they are small, as when
// the heap is exhausted: the host's big buffers still come, every container
// node does not.
namespace {
volatile DWORD g_failingThread = 0;
}

void* operator new(std::size_t size) {
    if (g_failingThread == GetCurrentThreadId() && size < 65536) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

struct FailingAllocations {
    FailingAllocations() { g_failingThread = GetCurrentThreadId(); }
    ~FailingAllocations() { g_failingThread = 0; }
};

using uv::MessageId;
using uv::State;
using uv::ToWire;

std::string BinDirectory() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = std::strrchr(path, '\\');
    if (slash) slash[1] = '\0';
    return path;
}

void UseResourceLibrary(const std::string& path) {
    uv::UvdllState& state = State();
    state.module = GetModuleHandleA(nullptr);
    state.settingsMessage = RegisterWindowMessageA(uv::kSettingsMessageName);
    ASSERT_LT(path.size(), sizeof state.resourcePath / sizeof state.resourcePath[0]);
    std::copy(path.begin(), path.end(), state.resourcePath);  // ASCII
    state.resourcePath[path.size()] = L'\0';
}

// Messages of this thread; the settings message goes through the hook
// procedure as the window system would hand it over.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limitMs) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!msg.hwnd && msg.message == State().settingsMessage) {
                UVDLLGetMsgProc(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&msg));
            } else {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        Sleep(10);
    }
    return true;
}

LRESULT CallHook(int code, UINT message, WPARAM id, LPARAM value) {
    MSG msg{};
    msg.message = message;
    msg.wParam = id;
    msg.lParam = value;
    return UVDLLGetMsgProc(code, PM_REMOVE, reinterpret_cast<LPARAM>(&msg));
}

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

// A top-level window at the screen's origin, standing in for the list view;
// visible only where painting is looked at (showing one costs time).
class TestWindow {
public:
    TestWindow(int width, int height, bool visible = false) {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = PlainProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            wc.lpszClassName = "UvHostTestWindow";
            RegisterClassA(&wc);
            registered = true;
        }
        hwnd =
            CreateWindowExA(WS_EX_TOOLWINDOW, "UvHostTestWindow", "", WS_POPUP | (visible ? WS_VISIBLE : 0),
                            0, 0, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ownProc = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
    }
    ~TestWindow() { DestroyWindow(hwnd); }
    HWND hwnd;
    LONG_PTR ownProc;
};

bool BusySemaphoreExists(const char* name = "umbravue") {
    HANDLE h = OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, name);
    if (h) CloseHandle(h);
    return h != nullptr;
}

COLORREF WindowPixel(HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

class DesktopHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseResourceLibrary(BinDirectory() + "globepix.dll");
        State().desktop.hookHandle = reinterpret_cast<HHOOK>(static_cast<INT_PTR>(1));
        State().desktop.settings = uv::RenderSettings{};
        State().desktop.host.failRenders = 0;
    }
    void TearDown() override {
        uv::StopDesktopHost();
        State().desktop.hookHandle = nullptr;
    }
};

TEST_F(DesktopHostTest, HookDoesNothingBeforeItKnowsItsHookHandle) {
    uv::UvdllState& state = State();
    state.desktop.hookHandle = nullptr;
    const UINT msg = state.settingsMessage;
    EXPECT_EQ(1, CallHook(HC_ACTION, msg, ToWire(MessageId::XOffset), 40));
    EXPECT_EQ(1, CallHook(HC_ACTION, WM_TIMER, 0, 0));
    EXPECT_EQ(0, state.desktop.settings.xOffset);

    EXPECT_EQ(1, CallHook(HC_ACTION, msg, ToWire(MessageId::HookHandle), 0x1234));
    EXPECT_EQ(reinterpret_cast<HHOOK>(static_cast<INT_PTR>(0x1234)), state.desktop.hookHandle);
    EXPECT_EQ(1, CallHook(HC_ACTION, msg, ToWire(MessageId::XOffset), 400));
    EXPECT_EQ(40, state.desktop.settings.xOffset);
    // A null handle, from anyone, is ignored: the hook goes on acting.
    EXPECT_EQ(1, CallHook(HC_ACTION, msg, ToWire(MessageId::HookHandle), 0));
    EXPECT_EQ(1, CallHook(HC_ACTION, msg, ToWire(MessageId::XOffset), 30));
    EXPECT_EQ(30, state.desktop.settings.xOffset);
}

TEST_F(DesktopHostTest, HookHandsOnForeignIdsCodesAndMessages) {
    uv::UvdllState& state = State();
    const UINT msg = state.settingsMessage;
    const uv::RenderSettings before = state.desktop.settings;
    CallHook(HC_ACTION, msg, 9, 77);
    CallHook(HC_ACTION, msg, 38, 77);
    CallHook(-1, msg, ToWire(MessageId::XOffset), 77);
    CallHook(HC_NOREMOVE + 1, msg, ToWire(MessageId::DawnDuskWidth), 50);
    CallHook(HC_ACTION, msg + 1, ToWire(MessageId::XOffset), 77);
    EXPECT_EQ(0, std::memcmp(&before, &state.desktop.settings, sizeof before));
    // A HookHandle seen with another code is handed on too.
    CallHook(-1, msg, ToWire(MessageId::HookHandle), 0x999);
    EXPECT_NE(reinterpret_cast<HHOOK>(static_cast<INT_PTR>(0x999)), state.desktop.hookHandle);
}

TEST_F(DesktopHostTest, StartWithoutTheResourceLibraryLeavesTheDesktopAlone) {
    UseResourceLibrary(BinDirectory() + "no-such-folder\\globepix.dll");
    TestWindow window(320, 240);
    EXPECT_FALSE(uv::StartDesktopHost(window.hwnd));
    EXPECT_FALSE(uv::DesktopHostRunning());
    EXPECT_FALSE(BusySemaphoreExists());
    EXPECT_EQ(window.ownProc, GetWindowLongPtrA(window.hwnd, GWLP_WNDPROC));
    // A Subclass through the hook is refused the same way.
    EXPECT_EQ(1, CallHook(HC_ACTION, State().settingsMessage, ToWire(MessageId::Subclass),
                          reinterpret_cast<LPARAM>(window.hwnd)));
    EXPECT_FALSE(uv::DesktopHostRunning());
}

TEST_F(DesktopHostTest, AStartThatFailsAtItsLastStepLeavesNothingBehind) {
    TestWindow window(320, 240);
    // Our procedure in the window without a host having put it there: the
    // subclassing, after the images and the semaphores, refuses the window.
    SetWindowLongPtrA(window.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&uv::HostWindowProc));
    // A free "umbravue" left by an earlier host: the start takes it and,
    // failing, must give it back.
    HANDLE earlier = CreateSemaphoreA(nullptr, 1, 1, "umbravue");
    const LONG starts = State().desktop.host.starts;
    EXPECT_FALSE(uv::StartDesktopHost(window.hwnd));
    EXPECT_FALSE(uv::DesktopHostRunning());
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(earlier, 0));
    CloseHandle(earlier);
    EXPECT_FALSE(BusySemaphoreExists());
    EXPECT_FALSE(BusySemaphoreExists("umbravue quit received"));
    EXPECT_EQ(starts, State().desktop.host.starts);
    SetWindowLongPtrA(window.hwnd, GWLP_WNDPROC, window.ownProc);
    ASSERT_TRUE(uv::StartDesktopHost(window.hwnd));
    uv::StopDesktopHost();
    EXPECT_EQ(window.ownProc, GetWindowLongPtrA(window.hwnd, GWLP_WNDPROC));
}

struct ForeignWindowArgs {
    HWND* window;
    HANDLE created;
    HANDLE quit;
};

DWORD WINAPI ForeignWindowThread(void* p) {
    auto* a = static_cast<ForeignWindowArgs*>(p);
    TestWindow w(100, 100);
    *a->window = w.hwnd;
    SetEvent(a->created);
    WaitForSingleObject(a->quit, 10000);
    return 0;
}

TEST_F(DesktopHostTest, StartRefusesAWindowOfAnotherThreadOrNone) {
    EXPECT_FALSE(uv::StartDesktopHost(nullptr));
    HWND foreign = nullptr;
    HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE quit = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ForeignWindowArgs args{&foreign, created, quit};
    HANDLE thread = CreateThread(nullptr, 0, ForeignWindowThread, &args, 0, nullptr);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(created, 10000));
    EXPECT_FALSE(uv::StartDesktopHost(foreign));
    EXPECT_FALSE(BusySemaphoreExists());
    SetEvent(quit);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(created);
    CloseHandle(quit);
}

TEST_F(DesktopHostTest, PaintsFromTheCacheAndStopPutsTheWindowBack) {
    TestWindow window(640, 480, true);
    uv::DesktopHost& host = State().desktop.host;
    const LONG startsBefore = host.starts;
    ASSERT_TRUE(uv::StartDesktopHost(window.hwnd));
    EXPECT_TRUE(uv::DesktopHostRunning());
    EXPECT_NE(window.ownProc, GetWindowLongPtrA(window.hwnd, GWLP_WNDPROC));
    // The named semaphore exists and is held while the host runs.
    HANDLE busy = OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, "umbravue");
    ASSERT_NE(nullptr, busy);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(busy, 0));
    // A second Subclass while running changes nothing.
    EXPECT_TRUE(uv::StartDesktopHost(window.hwnd));
    EXPECT_EQ(startsBefore + 1, host.starts);

    const LONG composes = host.composes;
    ASSERT_TRUE(PumpUntil([&] { return host.composes > composes; }, 15000));
    UpdateWindow(window.hwnd);
    // FitWidth: a 2:1 map at the window's width, centred by YOffset 0.5.
    const int cacheHeight = 640 * host.run->images.height / host.run->images.width;
    EXPECT_EQ(640, host.run->picture.cache().width);
    EXPECT_EQ(cacheHeight, host.run->picture.cache().height);
    const int windowY = (480 - cacheHeight) / 2;
    EXPECT_EQ(GetPixel(host.run->picture.cache().dc.get(), 320, 100),
              WindowPixel(window.hwnd, 320, windowY + 100));

    // Unchanged picture: copies only.
    const LONG rebuilds = host.cacheRebuilds;
    for (int i = 0; i < 3; ++i) {
        InvalidateRect(window.hwnd, nullptr, TRUE);
        UpdateWindow(window.hwnd);
    }
    EXPECT_EQ(rebuilds, host.cacheRebuilds);

    // YOffset only moves the finished cache.
    State().desktop.settings.yOffset = 0.0;
    InvalidateRect(window.hwnd, nullptr, TRUE);
    UpdateWindow(window.hwnd);
    EXPECT_EQ(rebuilds, host.cacheRebuilds);
    EXPECT_EQ(GetPixel(host.run->picture.cache().dc.get(), 320, 100), WindowPixel(window.hwnd, 320, 100));

    // A new size rebuilds at that size; so does a display mode that changes it.
    SetWindowPos(window.hwnd, nullptr, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window.hwnd, nullptr, TRUE);
    UpdateWindow(window.hwnd);
    EXPECT_EQ(800, host.run->picture.cache().width);
    EXPECT_EQ(rebuilds + 1, host.cacheRebuilds);
    State().desktop.settings.displayMode = 1;
    InvalidateRect(window.hwnd, nullptr, TRUE);
    UpdateWindow(window.hwnd);
    EXPECT_EQ(600, host.run->picture.cache().height);
    EXPECT_EQ(rebuilds + 2, host.cacheRebuilds);

    // RenderDone with no render outstanding composes nothing.
    const LONG composed = host.composes;
    PostThreadMessageA(GetCurrentThreadId(), State().settingsMessage, ToWire(MessageId::RenderDone), 0);
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(composed, host.composes);

    const DWORD stopStart = GetTickCount();
    uv::StopDesktopHost();
    EXPECT_LT(GetTickCount() - stopStart, 5000u);
    EXPECT_FALSE(uv::DesktopHostRunning());
    EXPECT_EQ(window.ownProc, GetWindowLongPtrA(window.hwnd, GWLP_WNDPROC));
    // The paint cache, the display bitmap and the worker went with it.
    EXPECT_FALSE(host.run.has_value());
    // The semaphore is free; only our handle keeps it alive now.
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(busy, 0));
    CloseHandle(busy);
    EXPECT_FALSE(BusySemaphoreExists());
    uv::StopDesktopHost();  // a second stop has no effect
    EXPECT_EQ(0, UVDLLHostStatistic(UVDLL_STAT_RUNNING));
}

TEST_F(DesktopHostTest, LeavingTheProcessWhileRunningPutsTheWindowBack) {
    TestWindow window(320, 240);
    ASSERT_TRUE(uv::StartDesktopHost(window.hwnd));
    uv::DetachDesktopHost();
    EXPECT_FALSE(uv::DesktopHostRunning());
    EXPECT_EQ(window.ownProc, GetWindowLongPtrA(window.hwnd, GWLP_WNDPROC));
    EXPECT_FALSE(State().desktop.host.run);
    EXPECT_FALSE(BusySemaphoreExists());
    // A fresh start works after it.
    ASSERT_TRUE(uv::StartDesktopHost(window.hwnd));
    uv::StopDesktopHost();
    EXPECT_EQ(window.ownProc, GetWindowLongPtrA(window.hwnd, GWLP_WNDPROC));
}

TEST_F(DesktopHostTest, AnotherHostHoldingTheSemaphoreBlocksStartOnlyForABoundedTime) {
    HANDLE other = CreateSemaphoreA(nullptr, 1, 1, "umbravue");
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(other, 0));
    TestWindow window(320, 240);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(uv::StartDesktopHost(window.hwnd));
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(window.ownProc, GetWindowLongPtrA(window.hwnd, GWLP_WNDPROC));
    ReleaseSemaphore(other, 1, nullptr);
    CloseHandle(other);
}

TEST_F(DesktopHostTest, OneRenderPerRequestAndTheLaterOfTwoQuickTimes) {
    TestWindow window(320, 240);
    uv::DesktopHost& host = State().desktop.host;
    const LONG rendersAtStart = host.renders;
    ASSERT_TRUE(uv::StartDesktopHost(window.hwnd));
    // A stray RenderDone while the worker is about to render composes nothing.
    PostThreadMessageA(GetCurrentThreadId(), State().settingsMessage, ToWire(MessageId::RenderDone), 0);
    const LONG first = host.composes;
    ASSERT_TRUE(PumpUntil([&] { return host.composes > first; }, 15000));
    EXPECT_EQ(rendersAtStart + 1, host.renders);
    // The worker is pausing now; both requests find it before its next wait.
    const LONG renders = host.renders, composes = host.composes;
    const UINT msg = State().settingsMessage;
    CallHook(HC_ACTION, msg, ToWire(MessageId::SetTime), 1000000000);
    CallHook(HC_ACTION, msg, ToWire(MessageId::SetTime), 1100000000);
    ASSERT_TRUE(PumpUntil([&] { return host.composes > composes; }, 15000));
    PumpUntil([] { return false; }, 500);
    EXPECT_EQ(renders + 1, host.renders);
    EXPECT_EQ(1100000000, static_cast<long long>(State().desktop.settings.renderTime));
    // SetTime 0 keeps the time it has.
    CallHook(HC_ACTION, msg, ToWire(MessageId::SetTime), 0);
    EXPECT_EQ(1100000000, static_cast<long long>(State().desktop.settings.renderTime));
}

TEST_F(DesktopHostTest, DestroyingTheListViewStopsTheHost) {
    auto* window = new TestWindow(320, 240);
    ASSERT_TRUE(uv::StartDesktopHost(window->hwnd));
    delete window;
    EXPECT_FALSE(uv::DesktopHostRunning());
    EXPECT_FALSE(State().desktop.host.run);
    EXPECT_FALSE(BusySemaphoreExists());
    TestWindow next(320, 240);
    ASSERT_TRUE(uv::StartDesktopHost(next.hwnd));
    uv::StopDesktopHost();
    EXPECT_EQ(next.ownProc, GetWindowLongPtrA(next.hwnd, GWLP_WNDPROC));
}

WNDPROC g_foreignNext = nullptr;
int g_foreignCalls = 0;
LRESULT CALLBACK ForeignProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_SETTEXT) ++g_foreignCalls;
    return CallWindowProcA(g_foreignNext, w, m, wp, lp);
}

std::string RoundTripText(HWND w, const char* text) {
    SetWindowTextA(w, text);
    char back[64] = {};
    GetWindowTextA(w, back, sizeof back);
    return back;
}

TEST_F(DesktopHostTest, AProcedureInstalledOverOursStaysAndOursKeepsForwarding) {
    TestWindow window(320, 240);
    ASSERT_TRUE(uv::StartDesktopHost(window.hwnd));
    g_foreignNext = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
    uv::StopDesktopHost();
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&ForeignProc), GetWindowLongPtrA(window.hwnd, GWLP_WNDPROC));
    EXPECT_EQ("stopped", RoundTripText(window.hwnd, "stopped"));
    // A new host on the window uses our procedure where it is, once.
    ASSERT_TRUE(uv::StartDesktopHost(window.hwnd));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&ForeignProc), GetWindowLongPtrA(window.hwnd, GWLP_WNDPROC));
    g_foreignCalls = 0;
    EXPECT_EQ("running", RoundTripText(window.hwnd, "running"));
    EXPECT_EQ(1, g_foreignCalls);
    uv::StopDesktopHost();
    // The other procedure leaves, putting ours back: it still forwards.
    SetWindowLongPtrA(window.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_foreignNext));
    EXPECT_EQ("left", RoundTripText(window.hwnd, "left"));
}

TEST_F(DesktopHostTest, AFailedRenderIsNotShown) {
    TestWindow window(320, 240);
    uv::DesktopHost& host = State().desktop.host;
    host.failRenders = 1;
    const LONG composes = host.composes;
    ASSERT_TRUE(uv::StartDesktopHost(window.hwnd));
    // The failed render hands the baton back without a picture.
    ASSERT_TRUE(PumpUntil([&] { return host.run->worker.stage() == uv::RenderStage::Idle; }, 15000));
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(composes, host.composes);
    host.failRenders = 0;
    CallHook(HC_ACTION, State().settingsMessage, ToWire(MessageId::SetTime), 0);
    EXPECT_TRUE(PumpUntil([&] { return host.composes > composes; }, 15000));
}

struct LockHolder {
    HANDLE lock;
    HANDLE taken;
};

DWORD WINAPI HoldLockFourSeconds(void* p) {
    auto* h = static_cast<LockHolder*>(p);
    WaitForSingleObject(h->lock, INFINITE);
    SetEvent(h->taken);
    Sleep(4000);
    ReleaseSemaphore(h->lock, 1, nullptr);
    return 0;
}

TEST_F(DesktopHostTest, ARenderRequestNeverWaitsLongForTheStateLock) {
    TestWindow window(320, 240);
    uv::DesktopHost& host = State().desktop.host;
    ASSERT_TRUE(uv::StartDesktopHost(window.hwnd));
    const LONG first = host.composes;
    ASSERT_TRUE(PumpUntil([&] { return host.composes > first; }, 15000));
    LockHolder holder{host.run->worker.stateLock(), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, HoldLockFourSeconds, &holder, 0, nullptr);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(holder.taken, 5000));
    const DWORD start = GetTickCount();
    CallHook(HC_ACTION, State().settingsMessage, ToWire(MessageId::SetTime), 1200000000);
    EXPECT_LT(GetTickCount() - start, 2500u);
    // The request is handed over once the lock is free.
    const LONG composes = host.composes;
    EXPECT_TRUE(PumpUntil([&] { return host.composes > composes; }, 20000));
    EXPECT_EQ(1200000000, static_cast<long long>(State().desktop.settings.renderTime));
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(holder.taken);
}

TEST_F(DesktopHostTest, OutOfMemoryInTheShellLeavesOutPiecesAndThrowsNothing) {
    TestWindow window(640, 480, true);
    uv::UvdllState& state = State();
    {
        FailingAllocations failing;
        ASSERT_TRUE(uv::StartDesktopHost(window.hwnd));
    }
    EXPECT_EQ(0, state.desktop.cities.GetCityCount());
    const char cities[] = "A,X,0,0\nB,X,10,10\n";
    state.desktop.cities.Parse(cities, sizeof cities - 1);
    state.desktop.cities.SelectCityIndex(0);
    state.desktop.cities.SelectCityIndex(1);
    uv::RenderSettings& s = state.desktop.settings;
    s.overlayGrid = s.overlayDawnDusk = s.overlayCities = s.cityLabels = s.glyphShowSun = 1;
    s.overlayStatus = s.statusSunLocation = s.statusSunrise = 1;
    state.desktop.host.run->picture.InvalidateCache();
    const LONG rebuilds = state.desktop.host.cacheRebuilds;
    InvalidateRect(window.hwnd, nullptr, FALSE);
    {
        FailingAllocations failing;
        uv::HostWindowProc(window.hwnd, WM_PAINT, 0, 0);
    }
    EXPECT_EQ(rebuilds + 1, state.desktop.host.cacheRebuilds);
}

TEST(HookExports, RemovalForgetsAHookWhoseDesktopHasGone) {
    uv::UvdllState& state = State();
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    state.hook.stage = uv::HookStage::Reached;
    state.hook.handle = reinterpret_cast<HHOOK>(static_cast<INT_PTR>(0x4242));
    state.hook.listView = gone;
    UVDLLRemoveHook();
    EXPECT_EQ(uv::HookStage::None, state.hook.stage);
    EXPECT_EQ(nullptr, state.hook.listView);
    EXPECT_EQ(nullptr, state.hook.handle);
}

// The host stopped by another route (a foreign Unsubclass) while its list
// view lives: "umbravue" is no longer held.
TEST(HookExports, AHostStoppedByAnotherRouteIsNotRunningAndItsRemovalCompletes) {
    uv::UvdllState& state = State();
    HWND alive = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HANDLE released = CreateSemaphoreA(nullptr, 1, 1, "umbravue");
    state.hook = uv::HookRecord{uv::HookStage::Reached, reinterpret_cast<HHOOK>(static_cast<INT_PTR>(0x4242)),
                                alive, GetCurrentThreadId()};
    EXPECT_FALSE(UVDLLIsHostRunning());
    const DWORD start = GetTickCount();
    UVDLLRemoveHook();
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ(uv::HookStage::None, state.hook.stage);
    EXPECT_EQ(nullptr, state.hook.listView);
    EXPECT_EQ(nullptr, state.hook.handle);
    CloseHandle(released);
    DestroyWindow(alive);
}

TEST(HookExports, InstallRefusesNoWindowAndRemovalWithoutHookReturns) {
    const DWORD start = GetTickCount();
    UVDLLInstallHook(nullptr);
    UVDLLInstallHook(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7ffe)));
    UVDLLRemoveHook();
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_FALSE(UVDLLIsHostRunning());
    EXPECT_EQ(uv::HookStage::None, State().hook.stage);
    EXPECT_EQ(-1, UVDLLHostStatistic(99));
}

}  // namespace
