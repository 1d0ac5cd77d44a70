#include "controller/CommandLine.h"

namespace uv {

const char* CommandLineArguments(const char* p) {
    if (!p) return "";
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

bool IsUninstallCommand(const char* arguments) {
    const char kWord[] = "uninstall";
    if (!arguments) return false;
    for (unsigned i = 0; i < sizeof kWord; ++i)
        if (arguments[i] != kWord[i]) return false;
    return true;
}

}  // namespace uv
