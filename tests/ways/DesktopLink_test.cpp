#include "ways/DesktopLink.h"

#include <gtest/gtest.h>

namespace uv {
namespace {

TEST(DesktopSearchChoice, ByPlatformAndVersion) {
    EXPECT_EQ(ChooseDesktopSearch(2, 5, 0), DesktopSearch::AnyListView);
    EXPECT_EQ(ChooseDesktopSearch(2, 5, 1), DesktopSearch::FolderView);
    EXPECT_EQ(ChooseDesktopSearch(2, 5, 2), DesktopSearch::FolderView);
    EXPECT_EQ(ChooseDesktopSearch(1, 4, 10), DesktopSearch::AnyListView);
    EXPECT_EQ(ChooseDesktopSearch(2, 6, 0), DesktopSearch::None);
    EXPECT_EQ(ChooseDesktopSearch(2, 4, 0), DesktopSearch::None);
    EXPECT_EQ(ChooseDesktopSearch(0, 5, 1), DesktopSearch::None);
}

}  // namespace
}  // namespace uv
