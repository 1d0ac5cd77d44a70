// Registry values as they are stored, and a store of them that tests can
// stand in for. No Windows types: the logic over values is tested anywhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace uv {

// Registry location, level by level under HKEY_CURRENT_USER.
constexpr char kSoftwareKey[] = "Software";
constexpr char kVendorKey[] = "VantorelSoftware";
constexpr char kProductKey[] = "Umbravue";
// The start-with-Windows entry: value kRunValueName in Software\...\Run.
constexpr const char* kRunKeyPath[] = {"Microsoft", "Windows", "CurrentVersion", "Run"};
constexpr char kRunValueName[] = "Umbravue";

// A registry value as it is stored: missing, or its type and bytes.
struct RegValue {
    bool present = false;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    bool operator==(const RegValue& o) const {
        return present == o.present && (!present || (type == o.type && data == o.data));
    }
};

constexpr std::uint32_t kRegSz = 1;        // REG_SZ
constexpr std::uint32_t kRegExpandSz = 2;  // REG_EXPAND_SZ
constexpr std::uint32_t kRegBinary = 3;    // REG_BINARY
constexpr std::uint32_t kRegDword = 4;     // REG_DWORD

RegValue StringValue(const std::string& text);
RegValue DwordValue(std::uint32_t value);
// The text of a string value up to its first NUL; empty for other types.
std::string ValueText(const RegValue& value);

// The values of one registry key, or a stand-in for them.
class ValueStore {
public:
    virtual ~ValueStore() = default;
    // A missing value reads as not present; false when it cannot be read.
    virtual bool Read(const char* name, RegValue& value) = 0;
    // A value that is not present is deleted (a missing one is no error).
    virtual bool Write(const char* name, const RegValue& value) = 0;
};

}  // namespace uv
