// Monitors and their wallpapers on Windows: the desktop wallpaper object of
// Windows 8 and later (created at run time, absent elsewhere), monitor sizes
// in physical pixels and each monitor's DPI. Used on the wallpaper thread.
#pragma once

#include <windows.h>

#include <vector>

#include "ways/DesktopWallpaperApi_win.h"
#include "ways/MonitorWallpaper.h"

namespace uv {

// COM on the calling thread, in the multithreaded apartment: the wallpaper
// thread runs no message loop, which an apartment-threaded one would need.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

// While in scope the calling thread measures in physical pixels: a system-
// DPI-aware program is otherwise given scaled sizes for monitors whose DPI
// differs from the system's. SetThreadDpiAwarenessContext exists from
// Windows 10 1607 on; without it nothing changes.
class PhysicalPixels {
public:
    PhysicalPixels();
    ~PhysicalPixels();
    PhysicalPixels(const PhysicalPixels&) = delete;
    PhysicalPixels& operator=(const PhysicalPixels&) = delete;

private:
    HANDLE previous_ = nullptr;  // the thread's DPI_AWARENESS_CONTEXT before
};

// The monitor's DPI (GetDpiForMonitor of Windows 8.1 and later), else the
// screen's; 96 when neither answers.
unsigned MonitorDpi(HMONITOR monitor);

// The monitors as the window system lists them, without ids.
std::vector<MonitorArea> DisplayMonitors();

// The desktop wallpaper object of Windows 8 and later; empty (false) where
// the system has none. Needs COM on the calling thread.
class DesktopWallpaperObject {
public:
    DesktopWallpaperObject();
    // Takes over a reference (tests hand in their own object).
    explicit DesktopWallpaperObject(IDesktopWallpaperApi* api) : api_(api) {}
    ~DesktopWallpaperObject();
    DesktopWallpaperObject(DesktopWallpaperObject&& o) noexcept : api_(o.api_) { o.api_ = nullptr; }
    DesktopWallpaperObject& operator=(DesktopWallpaperObject&& o) noexcept;
    DesktopWallpaperObject(const DesktopWallpaperObject&) = delete;
    DesktopWallpaperObject& operator=(const DesktopWallpaperObject&) = delete;

    explicit operator bool() const { return api_ != nullptr; }

    // The monitors attached now (a detached one has an empty rectangle),
    // with ids and DPI. False when the object does not answer.
    bool Monitors(std::vector<MonitorArea>& out);
    // The device paths of every monitor the object knows, detached ones too.
    bool KnownMonitors(std::vector<WideText>& ids);
    // The picture position and the background colour.
    bool Look(std::uint32_t& position, std::uint32_t& background);
    bool SetLook(std::uint32_t position, std::uint32_t background);
    // True when the system reports a slideshow, which three values cannot
    // bring back.
    bool SlideshowConfigured();
    bool Show(const WideText& monitorId, const WideText& path);
    // Every monitor without a picture: the background colour alone (an empty
    // picture for one monitor does the same to all of them).
    bool ShowNoPicture();
    bool SetPosition(int position);

    // What one monitor shows now; false when it cannot be read. Under "solid
    // colour" Windows 11 fails with ERROR_FILE_NOT_FOUND: no picture.
    bool Shown(const WideText& monitorId, WideText& path);

private:
    IDesktopWallpaperApi* api_ = nullptr;
};

}  // namespace uv
