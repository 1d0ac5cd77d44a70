// The native build carries the city list and the zone list inside.
#include "solar/CityDatabase.h"
#include "solar/CityZones.h"
#include "tools/umbravue-sun/SunTool.h"

extern const unsigned char kCityList[];
extern const unsigned kCityListSize;
extern const unsigned char kCityZones[];
extern const unsigned kCityZonesSize;

namespace uv {

bool LoadSunToolData(CityDatabase& database, CityZones& zones, std::string&) {
    database.Parse(reinterpret_cast<const char*>(kCityList), kCityListSize);
    zones.Parse(reinterpret_cast<const char*>(kCityZones), kCityZonesSize, database.GetCityCount());
    return true;
}

}  // namespace uv
