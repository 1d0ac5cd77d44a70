#include <windows.h>

#include "solar/CityZones.h"

void CityZones::LoadFromResource(void* module, int resourceId, int cityCount) {
  HMODULE handle = static_cast<HMODULE>(module);
  const char* bytes = nullptr;
  DWORD size = 0;
  HRSRC info = FindResourceA(handle, MAKEINTRESOURCEA(resourceId & 0xFFFF), "CSV");
  if (info) {
    // Resource memory belongs to the module; nothing to free.
    HGLOBAL loaded = LoadResource(handle, info);
    if (loaded) {
      bytes = static_cast<const char*>(LockResource(loaded));
      size = SizeofResource(handle, info);
    }
  }
  if (!bytes) size = 0;
  Parse(bytes, size, cityCount);
}
