// umbravue-sun: see SunTool.h.
#include <cstdio>
#include <string>

#include "solar/CityDatabase.h"
#include "solar/CityZones.h"
#include "tools/umbravue-sun/SunTool.h"

int main(int argc, char** argv) {
    uv::SunToolOptions options;
    std::string error, out;
    switch (uv::ParseSunToolOptions(argc, argv, options, error)) {
    case uv::SunToolParse::Help: std::fputs(uv::SunToolUsage(), stdout); return 0;
    case uv::SunToolParse::Error: std::fprintf(stderr, "umbravue-sun: %s\n", error.c_str()); return 2;
    case uv::SunToolParse::Run: break;
    }
    CityDatabase database;
    CityZones zones;
    if (options.city >= 0 && !uv::LoadSunToolData(database, zones, error)) {
        std::fprintf(stderr, "umbravue-sun: %s\n", error.c_str());
        return 2;
    }
    if (!uv::SunToolReport(options, &database, &zones, out, error)) {
        std::fprintf(stderr, "umbravue-sun: %s\n", error.c_str());
        return 2;
    }
    std::fputs(out.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
