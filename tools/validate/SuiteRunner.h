#pragma once
#include "tools/validate/CommandLine.h"

// The validator's side of the suite: runs each chosen check in a child process of this program
// (with the hidden --run-check option), reads its result file, and prints one report line per
// check, the notes, the last output of a failed check's process, and a summary. Answers the exit
// status: 0 when no check failed, 1 otherwise, 2 when the plug-in file does not exist.
int runSuite(const ValidateOptions& options);
