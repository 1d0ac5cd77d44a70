#include "desktophost/HostState_win.h"

namespace uv {

bool SelectedBitmap::Create(HDC compatible, int w, int h) {
    Reset();
    UniqueMemoryDc newDc(CreateCompatibleDC(compatible));
    UniqueBitmap newBitmap(CreateCompatibleBitmap(compatible, w, h));
    if (!newDc || !newBitmap) return false;
    dc = std::move(newDc);
    bitmap = std::move(newBitmap);
    selection.emplace(dc.get(), bitmap.get());
    width = w;
    height = h;
    return true;
}

void SelectedBitmap::Reset() {
    selection.reset();
    bitmap.reset();
    dc.reset();
    width = 0;
    height = 0;
}

namespace {
UvdllState g_state;
}

UvdllState& State() { return g_state; }

}  // namespace uv
