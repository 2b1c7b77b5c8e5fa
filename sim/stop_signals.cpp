#include "sim/stop_signals.h"

#include <csignal>

#if !defined(_WIN32)
#include <string.h>
#endif

namespace sim {

namespace {

volatile std::sig_atomic_t g_caught = 0;

#if defined(_WIN32)
const int kSignals[] = {SIGINT, SIGTERM, SIGBREAK};
void (*g_before[3])(int);
#else
const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
struct sigaction g_before[4];
#endif
const int kCount = (int)(sizeof kSignals / sizeof kSignals[0]);

extern "C" void OnStopSignal(int signal) {
  if (!g_caught) {
    g_caught = signal;
#if defined(_WIN32)
    std::signal(signal, OnStopSignal);  // the C runtime resets it on delivery
#endif
    return;
  }
  // A second request ends the run at once, as it would have without this
  // handler (a run blocked in a call that does not return, say); a closed
  // pipe, which every write into it signals again, does not count.
#if !defined(_WIN32)
  if (signal == SIGPIPE) return;
#endif
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

StopSignals::StopSignals() {
  g_caught = 0;
  for (int i = 0; i < kCount; ++i) {
#if defined(_WIN32)
    g_before[i] = std::signal(kSignals[i], OnStopSignal);
#else
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    // No restart: a call blocked on a pipe or terminal (opening a pipe that
    // nobody reads) returns, and the run stops after the step. Writes to
    // files on disk are not interrupted.
    sa.sa_flags = 0;
    sigaction(kSignals[i], &sa, &g_before[i]);
#endif
  }
}

StopSignals::~StopSignals() {
  for (int i = 0; i < kCount; ++i) {
#if defined(_WIN32)
    std::signal(kSignals[i], g_before[i]);
#else
    // A closed pipe is not given back: what is still printed would kill the
    // run before it says what it wrote.
    if (kSignals[i] != SIGPIPE || !g_caught) sigaction(kSignals[i], &g_before[i], nullptr);
#endif
  }
}

int StopSignals::Caught() { return g_caught; }

const char *StopSignals::Name(int signal) {
  switch (signal) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
#if defined(_WIN32)
    case SIGBREAK:
      return "SIGBREAK";
#else
    case SIGHUP:
      return "SIGHUP";
    case SIGPIPE:
      return "SIGPIPE";
#endif
    default:
      return "a signal";
  }
}

}  // namespace sim
