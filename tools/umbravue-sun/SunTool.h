#pragma once
// umbravue-sun: where the sun and the Moon stand at a moment, and for a place
// or a city its sunrise, sunset, twilights, moonrise, moonset and clock, as
// the program computes them.

#include <string>

class CityDatabase;
class CityZones;

namespace uv {

struct SunToolOptions {
    long long time = 0;
    bool exact = false;
    bool havePlace = false;
    double latitude = 0, longitude = 0;
    int city = -1;  // with --city
};

enum class SunToolParse { Run, Help, Error };

// Reads the command line; on Error, error holds a one-line message.
SunToolParse ParseSunToolOptions(int argc, const char* const* argv, SunToolOptions& options,
                                 std::string& error);
const char* SunToolUsage();

// The report's lines. With a city, database and zones describe the list
// (cities is its city count); false with a message for an index outside it.
bool SunToolReport(const SunToolOptions& options, const CityDatabase* database, const CityZones* zones,
                   std::string& out, std::string& error);

// The city list and zone list that globepix.dll carries, read in the way
// this build can; false with a message when they cannot be had.
bool LoadSunToolData(CityDatabase& database, CityZones& zones, std::string& error);

}  // namespace uv
