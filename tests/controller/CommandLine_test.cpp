#include "controller/CommandLine.h"

#include <gtest/gtest.h>

namespace uv {
namespace {

TEST(CommandLine, OnlyExactUninstallCounts) {
    EXPECT_STREQ(CommandLineArguments("umbravue.exe uninstall"), "uninstall");
    EXPECT_STREQ(CommandLineArguments("\"C:\\Program Files\\U\\umbravue.exe\"   uninstall"), "uninstall");
    EXPECT_STREQ(CommandLineArguments("umbravue.exe"), "");
    EXPECT_STREQ(CommandLineArguments("\"unterminated"), "");
    EXPECT_TRUE(IsUninstallCommand("uninstall"));
    EXPECT_FALSE(IsUninstallCommand("Uninstall"));
    EXPECT_FALSE(IsUninstallCommand("uninstall x"));
    EXPECT_FALSE(IsUninstallCommand("uninstall "));
    EXPECT_FALSE(IsUninstallCommand("uninstal"));
    EXPECT_FALSE(IsUninstallCommand(""));
    EXPECT_FALSE(IsUninstallCommand(nullptr));
}

}  // namespace
}  // namespace uv
