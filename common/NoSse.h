// For the few functions that run before the processor check: the loader
// calls uvdll.dll's DllMain (and what it calls) before umbravue.exe's
// WinMain, and everything is compiled for SSE2 otherwise. A processor
// without SSE2 must get through them to hear why the program cannot run.
// tests/binaries/check_sse_at_start.py checks the files for it.
#pragma once

#if defined(__i386__)
#define UV_NO_SSE __attribute__((target("no-sse,no-sse2,fpmath=387")))
#else
#define UV_NO_SSE
#endif
