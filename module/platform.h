// The small platform layer: looking up an already loaded module by name and
// an export of it by name. On Windows these are the system's own routines; on
// POSIX systems they are built on the dynamic loader, with the same meaning
// (a module that is not loaded is not found, and is never loaded here).
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
// One calling convention on these systems: the Windows name means the default.
#ifndef __cdecl
#define __cdecl
#endif
typedef void *HMODULE;
typedef void (*FARPROC)();

// The handle of the loaded module whose file name (without directory)
// equals `name`, compared without regard to case; null when no such module
// is loaded. A null name gives the main program.
HMODULE GetModuleHandleA(const char *name);

// The address of the export `name` of `module`, or null.
FARPROC GetProcAddress(HMODULE module, const char *name);
#endif
