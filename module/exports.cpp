// The module's exported entry points, found by the host under these plain names.
#include <new>

#include "module/fpu_mode.h"
#include "module/shuttlepb.h"

#if defined(_WIN32)
#define DLLCLBK extern "C" __declspec(dllexport)
#else
#define DLLCLBK extern "C" __attribute__((visibility("default")))
#endif

namespace {
// Interface version, converted from the date text on first use; 0 = not yet.
int32_t g_module_version = 0;
}  // namespace

DLLCLBK VESSEL *ovcInit(OBJHANDLE hvessel, int flightmodel) {
  const ModuleFpuMode fpu_mode;
  return new (std::nothrow) ShuttlePB(hvessel, flightmodel);
}

DLLCLBK void ovcExit(VESSEL *vessel) {
  const ModuleFpuMode fpu_mode;
  if (vessel) delete static_cast<ShuttlePB *>(vessel);
}

DLLCLBK const char *ModuleDate() { return "Mar  3 2011"; }

DLLCLBK int GetModuleVersion() {
  const ModuleFpuMode fpu_mode;
  if (g_module_version == 0) g_module_version = Date2Int("Aug 30 2010");
  return g_module_version;
}
