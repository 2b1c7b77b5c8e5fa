// The test and flight-host side of the stand-in host: load a module by path
// as the host does, create vessels and call their callbacks in the host's
// order, and read what happened through the world and the trace.
#pragma once

#include <string>
#include <vector>

#include "host/scenario_file.h"
#include "host/sketchpad.h"
#include "host/world.h"

namespace host {

// A vessel module's four exports, found by name.
struct ModuleApi {
  void *library = nullptr;  // dynamic loader handle; null for a module linked in
  VESSEL *(*ovcInit)(OBJHANDLE, int) = nullptr;
  void (*ovcExit)(VESSEL *) = nullptr;
  const char *(*ModuleDate)() = nullptr;
  int (*GetModuleVersion)() = nullptr;
};

// Loads the module at `path` and looks its exports up by name. On failure
// returns false and says why in `error`.
bool LoadModule(const std::string &path, ModuleApi &api, std::string &error);
// Unloads a module loaded by LoadModule.
void UnloadModule(ModuleApi &api);

// Loads a shared library by path and keeps it loaded (the sound service).
void *LoadLibraryPath(const std::string &path, std::string &error);
// The address of the export `name` of a library loaded by LoadLibraryPath or
// LoadModule (GetProcAddress on Windows), or null.
void *LibrarySymbol(void *library, const char *name);

// Adds a host vessel record; the module object comes with CreateVessel.
HostVessel &AddVessel(const std::string &name, const std::string &class_name = "Tarvex", int fmodel = 1);

// ovcInit on a host vessel record; false if the module returned null.
bool CreateVessel(const ModuleApi &api, HostVessel &hv);

// The host's order after creation: clbkSetClassCaps, clbkLoadStateEx with the
// given scenario lines, clbkPostCreation. `scenario` receives what the load
// handed to the host's own parser.
void SetUpVessel(HostVessel &hv, const std::vector<std::string> &lines, ScenarioFile *scenario = nullptr);

// One flight step: forces of the previous step are dropped, then clbkPostStep.
void Step(HostVessel &hv, double simt = 0, double simdt = 1.0 / 60, double mjd = 51544.5);

// A buffered key press (or release); modifiers are held in the keyboard state.
int Key(HostVessel &hv, DWORD key, bool down = true, bool shift = false, bool ctrl = false, bool alt = false);

// The HUD surface the host hands over when none is given: 512 by 512 pixels,
// centred, markers of 24 pixels.
HUDPAINTSPEC DefaultHudPaint();

// clbkDrawHUD with a HUD surface of the given size.
bool DrawHUD(HostVessel &hv, RecordingSketchpad &skp, int mode = HUD_SURFACE, const HUDPAINTSPEC *hps = nullptr);

// clbkSaveState; returns the lines written.
std::vector<std::string> Save(HostVessel &hv);

// ovcExit, then the host record is removed.
void DestroyVessel(const ModuleApi &api, HostVessel &hv);

// The module object of a host vessel as the host calls it.
VESSEL3 *Callbacks(HostVessel &hv);

}  // namespace host
