// Command line of umbravue-render.
#pragma once

#include <ctime>
#include <string>

#include "tools/umbravue-render/DesktopOptions.h"

namespace uv {

enum class NightSource { Image, Generated };

struct RenderOptions {
    long long time = 0;    // seconds since 1970-01-01 00:00:00 UTC
    int bandPercent = 10;  // "dawn dusk width"
    NightSource night = NightSource::Image;
    std::string output;    // .bmp or .png
    std::string library;   // globepix.dll (Windows build)
    std::string dayImage;  // BMP files (portable build)
    std::string nightImage;
    bool help = false;
    DesktopOptions desktop;  // window, settings and cities of the desktop picture
};

// "2004-06-21T12:00:00Z" (the Z may be left out; the time is always UTC), or
// whole seconds since 1970 such as "1087819200". False for anything else.
bool ParseUtcTime(const std::string& text, long long& seconds);

// Fills options from argv; on a bad command line returns false with a
// message in error. Missing --output is an error unless --help is given.
bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error);

const char* RenderUsage();

}  // namespace uv
