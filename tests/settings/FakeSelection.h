// A city selection over plain flags, for tests of code that reads or
// restores the selection without a city database.
#pragma once
#include "settings/Settings.h"

#include <vector>

namespace uv {

class FakeSelection : public CitySelection {
public:
    explicit FakeSelection(int n) : flags(n, false) {}
    std::vector<bool> flags;
    int Count() const override { return static_cast<int>(flags.size()); }
    bool IsSelected(int i) const override { return flags[i]; }
    void Clear() override { flags.assign(flags.size(), false); }
    void Select(int i) override { flags.at(i) = true; }
};

}  // namespace uv
