// The Windows build reads the lists from globepix.dll beside the program.
#include <windows.h>

#include <cstring>

#include "common/ResourceIds.h"
#include "common/WinHandles.h"
#include "solar/CityDatabase.h"
#include "solar/CityZones.h"
#include "tools/umbravue-sun/SunTool.h"

namespace uv {

bool LoadSunToolData(CityDatabase& database, CityZones& zones, std::string& error) {
    char path[MAX_PATH + 16];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = n > 0 && n < MAX_PATH ? std::strrchr(path, '\\') : nullptr;
    if (!slash) {
        error = "cannot find the program's folder";
        return false;
    }
    std::strcpy(slash + 1, "globepix.dll");
    const UniqueModule module(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) {
        error = std::string("could not load ") + path;
        return false;
    }
    database.LoadFromResource(module.get(), UV_RES_CITY_LIST);
    zones.LoadFromResource(module.get(), UV_RES_CITY_ZONES, database.GetCityCount());
    return true;
}

}  // namespace uv
