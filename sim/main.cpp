// tarvex-sim: loads the vessel module as the host does, creates a vessel,
// runs its set-up callbacks and prints what the module did.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "host/harness.h"

int main(int argc, char **argv) {
  std::string module_path = TARVEX_DEFAULT_MODULE;
  bool sound = true;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--module") && i + 1 < argc) {
      module_path = argv[++i];
    } else if (!std::strcmp(argv[i], "--no-sound")) {
      sound = false;
    } else if (!std::strcmp(argv[i], "--help")) {
      std::printf("usage: tarvex-sim [--module PATH] [--no-sound]\n");
      return 0;
    } else {
      std::fprintf(stderr, "tarvex-sim: unknown option %s\n", argv[i]);
      return 2;
    }
  }
  std::string error;
  if (sound && !host::LoadLibraryPath(TARVEX_DEFAULT_SOUND, error))
    std::fprintf(stderr, "tarvex-sim: %s (flying without sound)\n", error.c_str());
  host::ModuleApi api;
  if (!host::LoadModule(module_path, api, error)) {
    std::fprintf(stderr, "tarvex-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("module %s: date \"%s\", interface version %d\n", module_path.c_str(),
              api.ModuleDate ? api.ModuleDate() : "?", api.GetModuleVersion ? api.GetModuleVersion() : 0);
  host::HostVessel &hv = host::AddVessel("Tarvex1");
  if (!host::CreateVessel(api, hv)) {
    std::fprintf(stderr, "tarvex-sim: ovcInit returned no vessel\n");
    return 1;
  }
  host::SetUpVessel(hv, {});
  std::map<std::string, int> counts;
  for (auto &e : host::world().trace.Entries()) ++counts[e.name];
  std::printf("vessel %s set up with %zu host calls:\n", hv.name.c_str(), host::world().trace.Entries().size());
  for (auto &c : counts) std::printf("  %-34s %d\n", c.first.c_str(), c.second);
  std::printf("meshes %zu, animations %zu, thrusters %zu, groups %zu, airfoils %zu, beacons %zu\n", hv.meshes.size(),
              hv.animations.size(), hv.thrusters.size(), hv.groups.size(), hv.airfoils.size(), hv.beacons.size());
  host::DestroyVessel(api, hv);
  return 0;
}
