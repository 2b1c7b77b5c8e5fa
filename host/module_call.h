// Every call of the host into a vessel module (the module's load and unload,
// its exports, the vessel's callbacks, an airfoil routine) is made inside a
// ModuleCall. A host variant hooks these to hand the module a machine state
// of its own and to take its own back afterwards: winhost/fpu_host.cpp sets
// the x87 unit to single precision, as graphics back-ends of the host's era
// do. Without hooks a ModuleCall does nothing.
#pragma once

namespace host {

struct ModuleCallHooks {
  void (*enter)() = nullptr;  // before the outermost call into the module
  void (*leave)() = nullptr;  // after it has returned
  // A host function recorded in the trace while no ModuleCall is open: a call
  // into the module that the host made without one.
  void (*outside)(const char *name) = nullptr;
};
ModuleCallHooks &module_call_hooks();
bool InModuleCall();

class ModuleCall {
 public:
  ModuleCall();
  ~ModuleCall();
  ModuleCall(const ModuleCall &) = delete;
  ModuleCall &operator=(const ModuleCall &) = delete;
};

}  // namespace host
