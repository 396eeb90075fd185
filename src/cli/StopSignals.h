#pragma once
// How a batch is stopped from outside: SIGINT, SIGTERM and SIGHUP only ask it
// to stop, so it starts no new file, removes its temporary files and keeps
// what it committed. SIGPIPE is ignored: a closed output is a write error,
// handled the same way.
#include <csignal>

void CatchStopSignals();

// The signal that asked the batch to stop, or 0.
int StopSignal();

// A write to standard output or error failed: the batch stops too.
void StopForBrokenOutput();
bool OutputBroken();

inline bool StopRequested() { return StopSignal() != 0 || OutputBroken(); }

// The exit status of a run stopped by signal: 128 + its number (130, 143, 129).
inline int StopExitStatus(int signal) { return 128 + signal; }
