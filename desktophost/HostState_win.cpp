#include "desktophost/HostState_win.h"

namespace uv {

namespace {
UvdllState g_state;
}

UvdllState& State() { return g_state; }

}  // namespace uv
