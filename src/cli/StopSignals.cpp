#include "cli/StopSignals.h"

#include <atomic>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t Caught = 0;
std::atomic<bool> Broken{false};

extern "C" void OnStopSignal(int signal) {
  if (Caught == 0) Caught = signal;
}

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
  ::signal(SIGPIPE, SIG_IGN);
}

int StopSignal() { return Caught; }

void StopForBrokenOutput() { Broken = true; }

bool OutputBroken() { return Broken; }
