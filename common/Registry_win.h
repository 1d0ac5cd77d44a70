// The registry calls of the whole program: keys level by level, values read
// and written as they are stored, the product's own keys.
#pragma once

#include "common/Registry.h"
#include "common/WideText.h"
#include "common/WinHandles.h"

#include <cstddef>
#include <string>
#include <vector>

namespace uv {

// Invalid when parent is invalid or the key cannot be made or opened.
UniqueRegKey CreateKey(HKEY parent, const char* path, REGSAM access = KEY_ALL_ACCESS);
// Never creates the key.
UniqueRegKey OpenKey(HKEY parent, const char* path, REGSAM access);
// Through the wide function: a key's name (a user's SID, a desktop's id) is
// passed on as the registry gave it.
UniqueRegKey OpenKey(HKEY parent, const wchar_t* path, REGSAM access);
// Deletes a key that has no subkeys; a missing key is no error.
bool DeleteKey(HKEY parent, const char* name);
// The names of a key's subkeys in the registry's order, through the wide
// functions, at most limit of them; the list ends at the first that cannot
// be read.
std::vector<WideText> SubkeyNames(HKEY key, std::size_t limit = static_cast<std::size_t>(-1));

// A missing value reads as not present; false when it exists but cannot be
// read, or key is invalid. wide: through the wide functions, so that a
// string value's bytes are UTF-16 and hold any character, not only those of
// the ANSI code page.
bool ReadValue(HKEY key, const char* name, RegValue& value, bool wide = false);
// A value that is not present is deleted (a missing one is no error).
bool WriteValue(HKEY key, const char* name, const RegValue& value, bool wide = false);

// Creates or opens Software, VantorelSoftware and Umbravue, level by level.
// Invalid when a level cannot be opened.
UniqueRegKey OpenProductKey(HKEY root);

// The Run key, opened (never created) level by level from Software.
UniqueRegKey OpenRunKey(HKEY root, REGSAM access);

// The values of an open key.
class RegistryValues : public ValueStore {
public:
    explicit RegistryValues(HKEY key) : key_(key) {}
    bool Read(const char* name, RegValue& value) override { return ReadValue(key_, name, value); }
    bool Write(const char* name, const RegValue& value) override { return WriteValue(key_, name, value); }

private:
    HKEY key_;
};

// The full path of the running program file, and of a file beside it, as
// the wide functions take it: the install folder's name may hold characters
// that the ANSI code page has not.
WideText ProgramPath();
WideText BesideProgram(const char* name);

}  // namespace uv
