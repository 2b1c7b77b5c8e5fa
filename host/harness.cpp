#include "host/harness.h"

#include "host/module_call.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <algorithm>
#include <cstring>
#include <iterator>

namespace host {

namespace {

// The platform's loader: LoadLibrary and GetProcAddress on Windows, the
// dynamic loader elsewhere. Open returns null and says why in `error`.
#if defined(_WIN32)
void *Open(const std::string &path, bool, std::string &error) {
  // The loader wants backslashes in a path.
  std::string native = path;
  std::replace(native.begin(), native.end(), '/', '\\');
  HMODULE lib = LoadLibraryA(native.c_str());
  if (!lib) error = "Windows error " + std::to_string(GetLastError());
  return reinterpret_cast<void *>(lib);
}
void *Symbol(void *lib, const char *name) {
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(lib), name));
}
void Close(void *lib) { FreeLibrary(static_cast<HMODULE>(lib)); }
#else
void *Open(const std::string &path, bool global, std::string &error) {
  void *lib = dlopen(path.c_str(), RTLD_NOW | (global ? RTLD_GLOBAL : RTLD_LOCAL));
  if (!lib) {
    const char *e = dlerror();
    error = e ? e : "unknown error";
  }
  return lib;
}
void *Symbol(void *lib, const char *name) { return dlsym(lib, name); }
void Close(void *lib) { dlclose(lib); }
#endif

template <typename Fn>
Fn Lookup(void *lib, const char *name) {
  void *sym = Symbol(lib, name);
  Fn f;
  static_assert(sizeof f == sizeof sym, "function and object pointers differ in size");
  std::memcpy(&f, &sym, sizeof f);
  return f;
}
// Calls into the module nest (a callback may make the host call it again);
// the hooks see only the outermost.
int g_module_call_depth = 0;
}  // namespace

ModuleCallHooks &module_call_hooks() {
  static ModuleCallHooks hooks;
  return hooks;
}

bool InModuleCall() { return g_module_call_depth > 0; }

ModuleCall::ModuleCall() {
  if (g_module_call_depth++ == 0 && module_call_hooks().enter) module_call_hooks().enter();
}

ModuleCall::~ModuleCall() {
  if (--g_module_call_depth == 0 && module_call_hooks().leave) module_call_hooks().leave();
}

bool LoadModule(const std::string &path, ModuleApi &api, std::string &error) {
  api = ModuleApi{};
  std::string why;
  void *lib;
  {
    const ModuleCall in;  // the library's start-up code runs here
    lib = Open(path, false, why);
  }
  if (!lib) {
    error = "cannot load module " + path + ": " + why;
    return false;
  }
  api.library = lib;
  api.ovcInit = Lookup<VESSEL *(*)(OBJHANDLE, int)>(lib, "ovcInit");
  api.ovcExit = Lookup<void (*)(VESSEL *)>(lib, "ovcExit");
  api.ModuleDate = Lookup<const char *(*)()>(lib, "ModuleDate");
  api.GetModuleVersion = Lookup<int (*)()>(lib, "GetModuleVersion");
  if (!api.ovcInit) {
    error = "module " + path + " has no ovcInit export";
    const ModuleCall in;
    Close(lib);
    api = ModuleApi{};
    return false;
  }
  return true;
}

void UnloadModule(ModuleApi &api) {
  if (api.library) {
    const ModuleCall in;
    Close(api.library);
  }
  api = ModuleApi{};
}

void *LoadLibraryPath(const std::string &path, std::string &error) {
  std::string why;
  void *lib = Open(path, true, why);
  if (!lib) error = "cannot load " + path + ": " + why;
  return lib;
}

void *LibrarySymbol(void *library, const char *name) { return library ? Symbol(library, name) : nullptr; }

HostVessel &AddVessel(const std::string &name, const std::string &class_name, int fmodel) {
  World &w = world();
  auto v = std::make_unique<HostVessel>();
  v->name = name;
  v->class_name = class_name;
  v->fmodel = fmodel;
  w.vessels.push_back(std::move(v));
  return *w.vessels.back();
}

bool CreateVessel(const ModuleApi &api, HostVessel &hv) {
  const ModuleCall in;
  VESSEL *v = api.ovcInit(&hv, hv.fmodel);
  hv.vessel = v;
  return v != nullptr;
}

VESSEL3 *Callbacks(HostVessel &hv) { return static_cast<VESSEL3 *>(hv.vessel); }

void SetUpVessel(HostVessel &hv, const std::vector<std::string> &lines, ScenarioFile *scenario) {
  const ModuleCall in;
  VESSEL3 *v = Callbacks(hv);
  v->clbkSetClassCaps(nullptr);
  ScenarioFile local;
  ScenarioFile &f = scenario ? *scenario : local;
  f.lines = lines;
  f.next = 0;
  v->clbkLoadStateEx(&f, &f);
  v->clbkPostCreation();
}

void Step(HostVessel &hv, double simt, double simdt, double mjd) {
  hv.forces.clear();
  ++world().trace.step_counter;
  const ModuleCall in;
  Callbacks(hv)->clbkPostStep(simt, simdt, mjd);
}

int Key(HostVessel &hv, DWORD key, bool down, bool shift, bool ctrl, bool alt) {
  char kstate[256];
  std::memset(kstate, 0, sizeof kstate);
  if (shift) kstate[OAPI_KEY_LSHIFT] = (char)0x80;
  if (ctrl) kstate[OAPI_KEY_LCONTROL] = (char)0x80;
  if (alt) kstate[OAPI_KEY_LALT] = (char)0x80;
  if (down && key < 256) kstate[key] = (char)0x80;
  const ModuleCall in;
  return Callbacks(hv)->clbkConsumeBufferedKey(key, down, kstate);
}

HUDPAINTSPEC DefaultHudPaint() { return HUDPAINTSPEC{512, 512, 256, 256, 1.0, 24}; }

bool DrawHUD(HostVessel &hv, RecordingSketchpad &skp, int mode, const HUDPAINTSPEC *hps) {
  HUDPAINTSPEC def = DefaultHudPaint();
  const ModuleCall in;
  return Callbacks(hv)->clbkDrawHUD(mode, hps ? hps : &def, &skp);
}

std::vector<std::string> Save(HostVessel &hv) {
  ScenarioFile f;
  {
    const ModuleCall in;
    Callbacks(hv)->clbkSaveState(&f);
  }
  return f.written;
}

void DestroyVessel(const ModuleApi &api, HostVessel &hv) {
  if (api.ovcExit) {
    const ModuleCall in;
    api.ovcExit(hv.vessel);
  }
  hv.vessel = nullptr;
  World &w = world();
  // Searched from the newest: destroyed newest first, a fleet goes in linear time.
  auto it = std::find_if(w.vessels.rbegin(), w.vessels.rend(),
                         [&](const std::unique_ptr<HostVessel> &p) { return p.get() == &hv; });
  if (it != w.vessels.rend()) w.vessels.erase(std::next(it).base());
}

}  // namespace host
