#include <windows.h>

#include "solar/CityDatabase.h"
#include "solar/CityZones.h"

namespace {

// The bytes of a "CSV" resource of module; none when it is missing.
struct CsvResource {
    const char* bytes = nullptr;
    DWORD size = 0;

    CsvResource(void* module, int resourceId) {
        HMODULE handle = static_cast<HMODULE>(module);
        // Only the low 16 bits name the resource.
        HRSRC info = FindResourceA(handle, MAKEINTRESOURCEA(resourceId & 0xFFFF), "CSV");
        // Resource memory belongs to the module; nothing to free.
        HGLOBAL loaded = info ? LoadResource(handle, info) : nullptr;
        bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
        size = bytes ? SizeofResource(handle, info) : 0;
    }
};

}  // namespace

void CityDatabase::LoadFromResource(void* module, int resourceId) {
    const CsvResource csv(module, resourceId);
    Parse(csv.bytes, csv.size);
}

void CityZones::LoadFromResource(void* module, int resourceId, int cityCount) {
    const CsvResource csv(module, resourceId);
    Parse(csv.bytes, csv.size, cityCount);
}
