// The controller's command line: empty, or exactly "uninstall".
#pragma once

namespace uv {

// The text after the program name of a full command line, as a GUI program
// is handed it: the program name (quoted or not) and the blanks after it
// are skipped.
const char* CommandLineArguments(const char* fullCommandLine);
// Exactly "uninstall", case-sensitive, nothing before or after.
bool IsUninstallCommand(const char* arguments);

// How long an uninstalling process waits for a running instance to close
// before it gives up on it: a hung instance must not keep the installer
// waiting for ever.
constexpr unsigned kUninstallCloseTries = 600;  // 600 x 50 ms = 30 s
constexpr unsigned kUninstallPollMs = 50;

}  // namespace uv
