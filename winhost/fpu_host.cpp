// The floating-point host: orbiter.exe that calls into the module with the
// x87 unit in another mode, as graphics back-ends of the host's era leave it
// (Direct3D switches it to single precision unless told not to): single
// precision and rounding toward minus infinity. The SSE control register is
// left as the host found it. The host's own work runs in its usual mode, so
// anything that flies differently from the plain orbiter.exe is the module
// depending on the mode. The module must also hand the mode back as it found
// it; if not, the run ends at once with a message (exit status 71), as it
// does when the module calls the host outside a ModuleCall (with the trace
// on), which means a call into it that escaped the mode.
#include <windows.h>

#include <cstdio>

#include "host/module_call.h"

namespace {

// Exceptions masked, 24-bit precision, rounding down.
const unsigned short kModuleCallX87 = 0x047F;

unsigned short ControlWord() {
  unsigned short cw;
  __asm__ __volatile__("fnstcw %0" : "=m"(cw));
  return cw;
}
void SetControlWord(unsigned short cw) { __asm__ __volatile__("fldcw %0" : : "m"(cw) : "memory"); }
unsigned Mxcsr() {
  unsigned m;
  __asm__ __volatile__("stmxcsr %0" : "=m"(m));
  return m;
}

unsigned short g_host_x87 = 0;
unsigned g_host_mxcsr = 0;

void Enter() {
  g_host_x87 = ControlWord();
  g_host_mxcsr = Mxcsr();
  SetControlWord(kModuleCallX87);
}

void Leave() {
  const unsigned short cw = ControlWord();
  // The flags record what happened; only the controls must come back.
  const unsigned mxcsr_controls = Mxcsr() & ~0x3Fu;
  SetControlWord(g_host_x87);
  if (cw != kModuleCallX87 || mxcsr_controls != (g_host_mxcsr & ~0x3Fu)) {
    std::fprintf(stderr,
                 "orbiter: the module returned with the floating-point mode changed: x87 control word 0x%04X "
                 "(called with 0x%04X), SSE control 0x%04X (called with 0x%04X)\n",
                 cw, kModuleCallX87, mxcsr_controls, g_host_mxcsr & ~0x3Fu);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 71);
  }
}

// The module runs only inside a ModuleCall; a host function it calls from
// anywhere else means a call into the module that would have escaped the mode.
void Outside(const char *name) {
  std::fflush(stdout);
  std::fprintf(stderr, "orbiter: %s was called by the module outside a ModuleCall\n", name);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 71);
}

struct InstallHooks {
  InstallHooks() {
    host::module_call_hooks().enter = Enter;
    host::module_call_hooks().leave = Leave;
    host::module_call_hooks().outside = Outside;
  }
} g_install_hooks;

}  // namespace
