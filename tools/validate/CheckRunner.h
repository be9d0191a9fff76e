#pragma once
#include "tools/validate/CommandLine.h"

// Runs the one check that options.runCheck names, in this process: the child's side of the suite.
// Its verdict, steps and notes go to options.resultFile; answers the process's exit status (0 once
// the verdict is written, whatever it is).
int runCheckInThisProcess(const ValidateOptions& options);
