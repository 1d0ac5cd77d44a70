#include "tools/umbravue-render/RenderOptions.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "solar/UtcCalendar.h"

namespace uv {
namespace {

bool ParseInteger(const std::string& text, long long& value) {
    if (text.empty()) return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(begin, &end, 10);
    return errno == 0 && end != begin && *end == '\0' &&
           (std::isdigit(static_cast<unsigned char>(text[0])) ||
            ((text[0] == '-' || text[0] == '+') && text.size() > 1));
}

bool Digits(const std::string& text, std::size_t at, std::size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (std::size_t k = at; k < at + count; ++k) {
        if (text[k] < '0' || text[k] > '9') return false;
        value = value * 10 + (text[k] - '0');
    }
    return true;
}

bool LeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

bool ParseUtcTime(const std::string& text, long long& seconds) {
    if (text.find('-', 1) == std::string::npos) return ParseInteger(text, seconds);
    // YYYY-MM-DDTHH:MM:SS with an optional trailing Z.
    const std::string body = !text.empty() && text.back() == 'Z' ? text.substr(0, text.size() - 1) : text;
    int year, month, day, hour, minute, second;
    if (body.size() != 19 || !Digits(body, 0, 4, year) || body[4] != '-' || !Digits(body, 5, 2, month) ||
        body[7] != '-' || !Digits(body, 8, 2, day) || (body[10] != 'T' && body[10] != ' ') ||
        !Digits(body, 11, 2, hour) || body[13] != ':' || !Digits(body, 14, 2, minute) || body[16] != ':' ||
        !Digits(body, 17, 2, second)) {
        return false;
    }
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return false;
    const int monthDays = kDays[month - 1] + (month == 2 && LeapYear(year) ? 1 : 0);
    if (day < 1 || day > monthDays || hour > 23 || minute > 59 || second > 59) return false;
    seconds = UtcCalendarSeconds(year, month, day, hour, minute, second);
    return true;
}

bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error) {
    bool haveTime = false;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return true;
        }
        if (k + 1 >= argc) {
            error = "missing value after " + arg;
            return false;
        }
        const std::string value = argv[++k];
        if (arg == "--time") {
            if (!ParseUtcTime(value, options.time)) {
                error = "bad --time '" + value + "': give YYYY-MM-DDTHH:MM:SSZ or seconds since 1970";
                return false;
            }
            haveTime = true;
        } else if (arg == "--band") {
            long long percent;
            if (!ParseInteger(value, percent) || percent < 0 || percent > 100) {
                error = "bad --band '" + value + "': give a whole percentage from 0 to 100";
                return false;
            }
            options.bandPercent = static_cast<int>(percent);
        } else if (arg == "--night") {
            if (value == "image") {
                options.night = NightSource::Image;
            } else if (value == "generated") {
                options.night = NightSource::Generated;
            } else {
                error = "bad --night '" + value + "': give image or generated";
                return false;
            }
        } else if (arg == "--output" || arg == "--out" || arg == "-o") {
            options.output = value;
        } else if (arg == "--library") {
            options.library = value;
        } else if (arg == "--day-image") {
            options.dayImage = value;
        } else if (arg == "--night-image") {
            options.nightImage = value;
        } else {
            const int desktop = ParseDesktopOption(arg, value, options.desktop, error);
            if (desktop < 0) return false;
            if (desktop == 0) {
                error = "unknown option " + arg;
                return false;
            }
        }
    }
    // The band width and night source set as settings also drive the compositing.
    for (const auto& setting : options.desktop.settings) {
        if (setting.first == 6)
            options.bandPercent = setting.second < 0 ? 0 : setting.second > 100 ? 100 : setting.second;
        if (setting.first == 8)
            options.night = setting.second != 0 ? NightSource::Generated : NightSource::Image;
    }
    if (options.output.empty()) {
        error = "no --output file given";
        return false;
    }
    if (!haveTime) {
        error = "no --time given";
        return false;
    }
    return true;
}

const char* RenderUsage() {
    static const std::string usage =
        std::string(
            "usage: umbravue-render --time TIME --output FILE [options]\n"
            "Renders the day/night map for a moment to a BMP or PNG file.\n"
            "  --time TIME          UTC moment, YYYY-MM-DDTHH:MM:SSZ or seconds since 1970\n"
            "  --output FILE        picture to write; .png gives PNG, else BMP (also --out, -o)\n"
            "  --band PERCENT       dawn/dusk band width, 0..100 (default 10)\n"
            "  --night SOURCE       image (default) or generated\n"
            "  --library FILE       globepix.dll to take the images from (Windows build;\n"
            "                       default: the one beside this program)\n"
            "  --day-image FILE     day image BMP (portable build; default: the build's)\n"
            "  --night-image FILE   night image BMP (portable build; default: the build's)\n") +
        DesktopUsage();
    return usage.c_str();
}

}  // namespace uv
