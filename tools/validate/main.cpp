// lumivane-validate: runs a suite of host checks on any VST 2.4 plug-in library.
#include <cstdio>

#include "tools/validate/CheckList.h"
#include "tools/validate/CheckRunner.h"
#include "tools/validate/CommandLine.h"
#include "tools/validate/SuiteRunner.h"
#include "tools/validate/ValidateError.h"

namespace {

void listChecks() {
  for (const CheckDefinition& check : allChecks())
    std::printf("%-32s %s\n", check.name, check.summary);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    ValidateOptions options = parseCommandLine(argc, argv);
    if (options.showHelp) {
      std::fputs(usageText().c_str(), stdout);
      return 0;
    }
    if (options.listChecks) {
      listChecks();
      return 0;
    }
    if (!options.runCheck.empty()) return runCheckInThisProcess(options);
    return runSuite(options);
  } catch (const ValidateError& error) {
    std::fprintf(stderr, "lumivane-validate: %s\n", error.what());
    return 2;
  }
}
