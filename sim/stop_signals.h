// The signals that ask a run to stop (SIGINT, SIGTERM, SIGHUP, and SIGPIPE
// when what it prints goes into a pipe that closed): caught while a run
// flies, so that it stops at the end of the current step and writes every
// output whole for the flight so far instead of dying with temporaries left.
#pragma once

namespace sim {

class StopSignals {
 public:
  StopSignals();   // catches them
  ~StopSignals();  // and gives them back to whatever handled them before
  StopSignals(const StopSignals &) = delete;
  StopSignals &operator=(const StopSignals &) = delete;

  // The signal number caught, 0 while none was.
  static int Caught();
  // Its name ("SIGINT"); "signal N" for one without a name here.
  static const char *Name(int signal);
};

}  // namespace sim
