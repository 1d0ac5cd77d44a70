#include <windows.h>

#include "solar/CityDatabase.h"

void CityDatabase::LoadFromResource(void* module, int resourceId) {
  HMODULE handle = static_cast<HMODULE>(module);
  const char* bytes = nullptr;
  DWORD size = 0;
  // Only the low 16 bits name the resource.
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
  Parse(bytes, size);
}
