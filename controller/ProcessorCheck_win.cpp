// Nothing in this file may use SSE: it runs where SSE may be missing. The
// whole file is compiled without it, and it calls nothing of ours that is
// compiled with it (no templates or inline functions of other files).
#if defined(__i386__)
#pragma GCC target("no-sse,no-sse2,fpmath=387")
#endif

#include "controller/ProcessorCheck_win.h"

#include <cpuid.h>

namespace uv {

namespace {

bool CpuidSaysSse2() {
#if defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
    return (edx & bit_SSE2) != 0;
#else
    return true;  // every x64 processor has it
#endif
}

}  // namespace

const char kNoSse2Message[] =
    "Umbravue needs a processor with SSE2 (Pentium 4, Athlon 64 or later). "
    "This computer's processor does not have it, so Umbravue cannot run here.";

bool ProcessorRunsProgram(ProcessorFeatureQuery query, CpuidQuery cpuidSse2) {
    if (query(PF_XMMI64_INSTRUCTIONS_AVAILABLE)) return true;
    if (!query(PF_XMMI_INSTRUCTIONS_AVAILABLE)) return false;
    return cpuidSse2 ? cpuidSse2() : CpuidSaysSse2();
}

bool CheckProcessor(ProcessorFeatureQuery query, void (*showMessage)(const char* text)) {
    if (ProcessorRunsProgram(query)) return true;
    if (showMessage) {
        showMessage(kNoSse2Message);
    } else {
        MessageBoxA(nullptr, kNoSse2Message, "Umbravue", MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
    }
    return false;
}

}  // namespace uv
