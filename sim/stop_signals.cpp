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
  if (!g_caught) g_caught = signal;
#if defined(_WIN32)
  std::signal(signal, OnStopSignal);  // the C runtime resets it on delivery
#endif
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
    sa.sa_flags = SA_RESTART;  // a write under way finishes; the run stops after the step
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
