// The start-up and C++ run-time pieces that Microsoft's static run-time
// library (libcmt/msvcrt.lib and vcruntime) puts into every image it links,
// and that no Debian package carries for the Microsoft ABI. Everything else
// comes from the system's msvcrt.dll. Built twice: with TARVEX_CRT_DLL for
// Tarvex.dll and the sound service, with TARVEX_CRT_EXE for orbiter.exe.
#include <windows.h>

#include <cstdlib>
#include <new>

#if defined(TARVEX_CRT_DLL)
#include "module/fpu_mode.h"
#endif

extern "C" {
typedef void(__cdecl *InitFn)(void);
typedef int(__cdecl *CheckedInitFn)(void);

// The compiler puts the address of every initialiser of a static object into
// a .CRT$XC? section (C initialisers into .CRT$XI?); the linker sorts these
// sections by name, so the A and Z markers enclose them all.
#pragma section(".CRT$XIA", long, read)
#pragma section(".CRT$XIZ", long, read)
#pragma section(".CRT$XCA", long, read)
#pragma section(".CRT$XCZ", long, read)
__declspec(allocate(".CRT$XIA")) CheckedInitFn __xi_a[] = {nullptr};
__declspec(allocate(".CRT$XIZ")) CheckedInitFn __xi_z[] = {nullptr};
__declspec(allocate(".CRT$XCA")) InitFn __xc_a[] = {nullptr};
__declspec(allocate(".CRT$XCZ")) InitFn __xc_z[] = {nullptr};
#pragma comment(linker, "/merge:.CRT=.rdata")

// Referenced by all code that uses floating point.
int _fltused = 0x9875;
}

namespace {

// The markers are separate arrays to the compiler; walking from one to the
// other must not be optimised on that ground.
template <typename T>
T *Opaque(T *p) {
  __asm__("" : "+r"(p));
  return p;
}

int RunInitialisers() {
  for (CheckedInitFn *p = Opaque(__xi_a); p < Opaque(__xi_z); ++p)
    if (*p)
      if (int rc = (**p)()) return rc;
  for (InitFn *p = Opaque(__xc_a); p < Opaque(__xc_z); ++p)
    if (*p) (**p)();
  return 0;
}

// The image's own exit list: the destructors of its static objects. A DLL
// runs it when it is unloaded; msvcrt.dll's list would run it at process
// exit, after the DLL's code is gone.
InitFn g_exit_list[64];
int g_exit_count = 0;

void RunExitList() {
  while (g_exit_count > 0) g_exit_list[--g_exit_count]();
}

}  // namespace

extern "C" int __cdecl atexit(InitFn fn) {
  if (g_exit_count == (int)(sizeof g_exit_list / sizeof g_exit_list[0])) return -1;
  g_exit_list[g_exit_count++] = fn;
  return 0;
}

#if defined(TARVEX_CRT_DLL)
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID);

extern "C" BOOL WINAPI _DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  // The static objects are made and destroyed in the module's own
  // floating-point mode, whatever the loading host's is.
  const ModuleFpuMode fpu_mode;
  if (reason == DLL_PROCESS_ATTACH && RunInitialisers() != 0) return FALSE;
  const BOOL ok = DllMain(instance, reason, reserved);
  if (reason == DLL_PROCESS_DETACH) RunExitList();
  return ok;
}
#elif defined(TARVEX_CRT_EXE)
extern "C" int __cdecl __getmainargs(int *argc, char ***argv, char ***env, int expand_wildcards, int *startinfo);
int main(int argc, char **argv);

extern "C" int mainCRTStartup() {
  int argc = 0, startinfo = 0;
  char **argv = nullptr, **env = nullptr;
  __getmainargs(&argc, &argv, &env, 0, &startinfo);
  if (RunInitialisers() != 0) std::exit(255);
  const int rc = main(argc, argv);
  RunExitList();
  std::exit(rc);  // msvcrt.dll's exit flushes the streams
}
#endif

// The stack probe the compiler calls before it reserves a frame larger than a
// page (size in eax): it touches each page in turn, so the stack grows page
// by page past its guard page, and then moves esp down by the size.
__asm__(
    ".text\n"
    ".globl __chkstk\n"
    "__chkstk:\n"
    "  pushl %ecx\n"
    "  leal 8(%esp), %ecx\n"  // esp before the call
    "  cmpl $0x1000, %eax\n"
    "  jb 2f\n"
    "1:\n"
    "  subl $0x1000, %ecx\n"
    "  testl %ecx, (%ecx)\n"
    "  subl $0x1000, %eax\n"
    "  cmpl $0x1000, %eax\n"
    "  ja 1b\n"
    "2:\n"
    "  subl %eax, %ecx\n"
    "  testl %ecx, (%ecx)\n"
    "  leal 4(%esp), %eax\n"  // where the return address is
    "  movl %ecx, %esp\n"
    "  movl -4(%eax), %ecx\n"  // ecx as it was
    "  pushl (%eax)\n"         // the return address on the new top
    "  subl %esp, %eax\n"      // eax as it was
    "  ret\n");

// --- C++ run-time pieces -------------------------------------------------------
// msvcrt.dll exports only the plain operator new and delete.
namespace std {
const nothrow_t nothrow{};
}
void *operator new(size_t n, const std::nothrow_t &) noexcept { return std::malloc(n ? n : 1); }
void *operator new[](size_t n, const std::nothrow_t &) noexcept { return std::malloc(n ? n : 1); }
void *operator new[](size_t n) { return ::operator new(n); }
void operator delete[](void *p) noexcept { ::operator delete(p); }
void operator delete(void *p, size_t) noexcept { ::operator delete(p); }
void operator delete[](void *p, size_t) noexcept { ::operator delete(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { ::operator delete(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { ::operator delete(p); }

// The vftable of type_info, which every run-time type descriptor the
// compiler emits points at; msvcrt.dll does not export it. Descriptors are
// never destroyed, so only its address matters.
namespace {
void *__thiscall TypeInfoDeletingDestructor(void *self, unsigned) { return self; }
}  // namespace
extern "C" const void *const TypeInfoVftable[1] __asm__("??_7type_info@@6B@") = {
    (const void *)&TypeInfoDeletingDestructor};
