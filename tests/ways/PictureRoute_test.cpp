#include "ways/PictureRoute.h"

#include <gtest/gtest.h>

namespace uv {
namespace {

TEST(PictureRoute, DecisionTakesTheFirstReasonThatHolds) {
    using W = PictureWay;
    const struct {
        bool chosen, wow64, listView, host;
        PictureWay way;
    } rows[] = {
        {false, false, true, true, W::BehindIcons},
        // The choice wins even where the icons could be reached.
        {true, false, true, true, W::WallpaperChosen},
        {true, true, false, false, W::WallpaperChosen},
        // On 64-bit Windows nothing is searched or installed.
        {false, true, true, true, W::WallpaperWow64},
        {false, true, false, false, W::WallpaperWow64},
        {false, false, false, true, W::WallpaperNoListView},
        // A list view whose host did not start, at start or in a new shell.
        {false, false, true, false, W::WallpaperNoHost},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(DecidePictureWay({r.chosen, r.wow64, r.listView, r.host}), r.way)
            << r.chosen << r.wow64 << r.listView << r.host;
    }
}

}  // namespace
}  // namespace uv
