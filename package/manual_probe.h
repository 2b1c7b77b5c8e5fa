// What the pilot's manual says about the aircraft, read from the module as
// the host sees it: a vessel is set up through the stand-in host and the
// sound service, then its keys, click areas, HUD, views and save are tried
// one by one. Whatever the module declares or answers to is in here, so the
// manual cannot describe an aircraft other than the one built.
#pragma once

#include <string>
#include <vector>

namespace manual {

struct KeyUse {
  unsigned code;
  std::string name;  // as a script names it ("E", "COMMA")
};

struct AreaUse {
  int id;
  double x, y, z, radius;
  std::string action;  // what a click does, as the host received it
};

struct HudLine {
  std::string at;       // pixel positions, "x, y"
  std::string label;    // the text without its number ("THRUST")
  std::string example;  // as drawn ("THRUST 0.0")
};

struct AnimationPart {
  std::string kind;  // "rotation", "translation", "scale"
  unsigned mesh;
  std::vector<unsigned> groups;
  double state0, state1;
};

struct AnimationUse {
  unsigned id;
  std::string member;  // the vessel's identifier of it ("anim_gear")
  std::vector<AnimationPart> parts;
};

struct SoundSlot {
  int slot;
  std::string file;
  int play_mode;
};

struct Findings {
  std::vector<std::string> meshes_loaded;             // in the order loaded
  std::vector<std::string> mesh_slots;                // mesh index -> file, cockpit view
  std::string cockpit_lights_on, cockpit_lights_off;  // mesh index 1 in the cockpit view
  std::string open_view_cockpit_mesh;                 // mesh index 1 in the open view ("" for none)
  std::vector<std::string> exhaust_textures;
  std::vector<AnimationUse> animations;
  std::vector<SoundSlot> slots;
  std::vector<std::string> replaced_stock_sounds;  // "file (stock sound N)"
  std::vector<KeyUse> keys;
  std::vector<AreaUse> areas;
  std::string hud_spec, mfd_specs[2];
  // Mesh groups the displays are drawn on: (mesh index, group, what).
  struct DisplayGroup {
    unsigned mesh, group;
    std::string what;
  };
  std::vector<DisplayGroup> display_groups;
  std::vector<HudLine> hud_lines;
  bool gear_symbol = false;
  std::vector<std::string> lines_not_taken;  // lines loaded that went on to the host
  std::vector<std::string> saved_lines;      // as written after loading them
  std::vector<std::string> silent_log;       // the log's entries of a vessel without the service
  int silent_id = 0;                         // its sound identifier then
  std::string module_date;
  int module_version = 0;
};

// Loads the module and sets up a vessel without the sound service, then
// loads the service from its file and probes one vessel; `lines` are the scenario lines loaded before it is saved.
// False with `error` set when either cannot be loaded.
bool Probe(const std::string &module_path, const std::string &sound_path, const std::vector<std::string> &lines,
           Findings &f, std::string &error);

}  // namespace manual
