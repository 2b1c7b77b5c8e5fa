// The library entry routine. On Windows the loader calls DllMain; elsewhere a
// load-time constructor and an unload-time destructor call the same routine
// with the module's own handle.
#include "module/orbiter_api.h"
#include "module/platform.h"

namespace {

const unsigned kProcessDetach = 0;
const unsigned kProcessAttach = 1;

typedef void (*ExitHook)(HINSTANCE);
ExitHook g_exit_hook = nullptr;

bool LibraryEntry(HINSTANCE hModule, unsigned reason) {
  if (reason == kProcessAttach) {
    InitLib(hModule);
    FARPROC hook = GetProcAddress((HMODULE)hModule, "ExitModule");
    if (!hook) hook = GetProcAddress((HMODULE)hModule, "opcDLLExit");
    g_exit_hook = reinterpret_cast<ExitHook>(reinterpret_cast<void (*)()>(hook));
  } else if (reason == kProcessDetach) {
    if (g_exit_hook) g_exit_hook(hModule);
  }
  return true;
}

}  // namespace

#if defined(_WIN32)
extern "C" BOOL WINAPI DllMain(HINSTANCE hModule, DWORD reason, LPVOID) {
  LibraryEntry(hModule, reason == DLL_PROCESS_ATTACH   ? kProcessAttach
                        : reason == DLL_PROCESS_DETACH ? kProcessDetach
                                                       : 2u);
  return TRUE;
}
#else
#include <dlfcn.h>

namespace {

HINSTANCE g_instance = nullptr;

// The module's own handle, found through the file the loader mapped this
// code from.
HINSTANCE OwnHandle() {
  Dl_info info;
  if (!dladdr(reinterpret_cast<void *>(&OwnHandle), &info) || !info.dli_fname) return nullptr;
  void *h = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
  if (h) dlclose(h);  // the handle stays valid while the module is loaded
  return h;
}

__attribute__((constructor)) void ProcessAttach() {
  g_instance = OwnHandle();
  LibraryEntry(g_instance, kProcessAttach);
}

__attribute__((destructor)) void ProcessDetach() { LibraryEntry(g_instance, kProcessDetach); }

}  // namespace
#endif
