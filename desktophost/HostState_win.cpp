// The library's state of this process, on its own: the loader sets it up
// when the library is loaded, which in the controller's process is before
// the processor check has run. The build compiles this file without SSE, so
// that its set-up and its clean-up at the end (the compiler writes both
// here) run on any processor; tests/binaries/check_sse_at_start.py checks it.
#include "desktophost/HostState_win.h"

namespace uv {
namespace {
UvdllState g_state;
}
UvdllState& State() { return g_state; }
}  // namespace uv
