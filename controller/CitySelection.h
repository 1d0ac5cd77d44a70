// The selection flags of the controller's CityDatabase seen as a
// CitySelection, for the settings store and the settings burst.
#pragma once

#include "settings/Settings.h"
#include "solar/CityDatabase.h"

namespace uv {

class DatabaseSelection : public CitySelection {
public:
    explicit DatabaseSelection(CityDatabase& database) : db_(database) {}
    int Count() const override { return db_.GetCityCount(); }
    bool IsSelected(int index) const override {
        const CityRecord* city = db_.GetCity(index);
        return city && city->selected;
    }
    void Clear() override { db_.ClearSelection(); }
    void Select(int index) override { db_.SelectCityIndex(index); }

private:
    CityDatabase& db_;
};

}  // namespace uv
