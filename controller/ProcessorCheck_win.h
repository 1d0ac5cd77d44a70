// Whether this processor can run the program at all: every file is compiled
// for SSE2, and a processor without it stops at the first such instruction.
// Called first thing at start, before any code that may use SSE runs.
#pragma once

#include <windows.h>

namespace uv {

using ProcessorFeatureQuery = BOOL(WINAPI*)(DWORD feature);
using CpuidQuery = bool (*)();

// The message a processor without SSE2 gets, in a message box titled
// "Umbravue".
extern const char kNoSse2Message[];

// True when the processor has SSE2 and the system saves its registers.
// Windows 2000 does not know the SSE2 feature; there a processor whose
// SSE registers the system saves is asked itself (CPUID).
bool ProcessorRunsProgram(ProcessorFeatureQuery query = IsProcessorFeaturePresent,
                          CpuidQuery cpuidSse2 = nullptr);

// ProcessorRunsProgram, and when it says no the message box (owner none);
// showMessage replaces the box for tests.
bool CheckProcessor(ProcessorFeatureQuery query = IsProcessorFeaturePresent,
                    void (*showMessage)(const char* text) = nullptr);

}  // namespace uv
