#pragma once
// Tomaru without a window: a batch over files named on the command line.

// Whether the arguments hold one of the command-line options; the program
// then runs as a batch, with no window and no display connection.
bool IsCommandLineRun(int argc, char** argv);

// Runs the batch; the exit status: 0 all done, 1 some failed, 2 a usage error.
int RunCommandLine(int argc, char** argv);
