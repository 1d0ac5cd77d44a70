// umbravue-render: writes the day/night map of a given moment to a file, for
// checking the picture without a desktop.
#include <cstdio>
#include <ctime>
#include <limits>
#include <string>

#include "settings/SettingsProtocol.h"
#include "solar/SunModel.h"
#include "solar/SunPosition.h"
#include "tools/umbravue-render/ImageFile.h"
#include "tools/umbravue-render/RenderOptions.h"
#include "tools/umbravue-render/RenderPicture.h"

int main(int argc, char** argv) {
    uv::RenderOptions options;
    std::string error;
    if (!uv::ParseRenderOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "umbravue-render: %s\n%s", error.c_str(), uv::RenderUsage());
        return 2;
    }
    if (options.help) {
        std::fputs(uv::RenderUsage(), stdout);
        return 0;
    }
    if (options.time < static_cast<long long>(std::numeric_limits<time_t>::min()) ||
        options.time > static_cast<long long>(std::numeric_limits<time_t>::max())) {
        std::fprintf(stderr, "umbravue-render: the time is outside what this build's time_t holds\n");
        return 2;
    }

    bool exact = false;
    for (const auto& s : options.desktop.settings)
        if (s.first == uv::ToWire(uv::MessageId::ExactSun)) exact = s.second != 0;
    uv::SubsolarPoint sun = {};
    SubsolarPointFor(exact, static_cast<time_t>(options.time), sun.declination, sun.longitude);

    uv::PixelImage picture;
    if (!uv::RenderPicture(options, sun, picture, error) ||
        !uv::WriteImageFile(options.output, picture, error)) {
        std::fprintf(stderr, "umbravue-render: %s\n", error.c_str());
        return 1;
    }
    std::printf("subsolar point %.4f N %.4f E, %dx%d picture written to %s\n", sun.declination * 180 / kPi,
                sun.longitude * 180 / kPi, picture.width, picture.height, options.output.c_str());
    return 0;
}
