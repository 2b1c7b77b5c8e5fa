// A module with the four entry points that calls the host, linked with one
// deliberately wrong piece at a time (TARVEX_FAULT_*), to show that the
// Microsoft-ABI checks reject each fault they are meant to find.
#include <windows.h>

#include "module/orbiter_api.h"

#if defined(TARVEX_FAULT_HOST_SIGNATURE)
// A host function declared otherwise than the host defines it: the name
// mangled from this declaration is one the host does not export.
OAPIFUNC double oapiGetTimeAcceleration(int which);
double TimeAcceleration() { return oapiGetTimeAcceleration(0); }
#else
double TimeAcceleration() { return oapiGetTimeAcceleration(); }
#endif

#if defined(TARVEX_FAULT_GNU_RUNTIME)
// A routine of the GNU C++ run time, as a GNU-ABI build would import it.
extern "C" __declspec(dllimport) void __cxa_pure_virtual();
#endif

#if defined(TARVEX_FAULT_HOST_DELETE)
// A vessel that frees its animation transform the old way: the transform's
// constructor is the host's, so `delete` runs the host's deleting destructor,
// which hands this module's memory to the host's operator delete.
namespace {
UINT g_wheel_groups[] = {125};
class HostDeleteVessel : public VESSEL3 {
 public:
  HostDeleteVessel(OBJHANDLE h, int fmodel) : VESSEL3(h, fmodel) {
    wheel_ = new MGROUP_ROTATE(0, g_wheel_groups, 1, _V(0, -2, 3), _V(1, 0, 0), 6.283185f);
    AddAnimationComponent(CreateAnimation(0), 0, 1, wheel_);
  }
  ~HostDeleteVessel() override { delete wheel_; }

 private:
  MGROUP_ROTATE *wheel_;
};
}  // namespace
#endif

extern "C" {
void *ovcInit(void *hvessel, int fmodel) {
#if defined(TARVEX_FAULT_HOST_DELETE)
  if (GetModuleHandleA(nullptr)) return static_cast<VESSEL *>(new HostDeleteVessel(hvessel, fmodel));
#endif
  (void)hvessel, (void)fmodel;
#if defined(TARVEX_FAULT_FOREIGN_IMPORT)
  MessageBeep(0);  // from user32.dll, which the module must not need
#endif
#if defined(TARVEX_FAULT_GNU_RUNTIME)
  __cxa_pure_virtual();
#endif
#if defined(TARVEX_FAULT_FPU_MODE)
  // Sets the x87 unit to its start-up mode and leaves it so for the host.
  const unsigned short cw = 0x027F;
  __asm__ __volatile__("fldcw %0" : : "m"(cw));
#endif
  return GetModuleHandleA(nullptr) && TimeAcceleration() > 0 ? nullptr : nullptr;
}
void ovcExit(void *vessel) {
#if defined(TARVEX_FAULT_HOST_DELETE)
  delete static_cast<HostDeleteVessel *>(static_cast<VESSEL *>(vessel));
#endif
  (void)vessel;
}
const char *ModuleDate() { return "Mar  3 2011"; }
int GetModuleVersion() { return Date2Int(ModuleDate()); }
void ExitModule(void *) {}
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
}
