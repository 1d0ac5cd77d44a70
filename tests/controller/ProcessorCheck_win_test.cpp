#include "controller/ProcessorCheck_win.h"

#include <gtest/gtest.h>

namespace uv {
namespace {

// What the fake system reports, and whether the fake processor was asked.
bool g_reportsSse;
bool g_reportsSse2;
bool g_cpuidSse2;
bool g_cpuidAsked;

BOOL WINAPI FakeFeature(DWORD feature) {
    if (feature == PF_XMMI_INSTRUCTIONS_AVAILABLE) return g_reportsSse;
    if (feature == PF_XMMI64_INSTRUCTIONS_AVAILABLE) return g_reportsSse2;
    return FALSE;
}

bool FakeCpuid() {
    g_cpuidAsked = true;
    return g_cpuidSse2;
}

TEST(ProcessorCheck, RunsWhereTheSystemOrTheProcessorReportsSse2) {
    struct Case {
        const char* what;
        bool reportsSse, reportsSse2, cpuidSse2;
        bool runs, cpuidAsked;
    };
    const Case cases[] = {
        {"XP or later, SSE2 processor", true, true, true, true, false},
        {"XP or later, Pentium III", true, false, false, false, true},
        {"Windows 2000, SSE2 processor (the system knows no SSE2)", true, false, true, true, true},
        {"no SSE saved by the system, whatever the processor says", false, false, true, false, false},
    };
    for (const Case& c : cases) {
        g_reportsSse = c.reportsSse;
        g_reportsSse2 = c.reportsSse2;
        g_cpuidSse2 = c.cpuidSse2;
        g_cpuidAsked = false;
        EXPECT_EQ(ProcessorRunsProgram(FakeFeature, FakeCpuid), c.runs) << c.what;
        EXPECT_EQ(g_cpuidAsked, c.cpuidAsked) << c.what;
    }
    // This machine runs the tests, so it has SSE2.
    EXPECT_TRUE(ProcessorRunsProgram());
}

}  // namespace
}  // namespace uv
