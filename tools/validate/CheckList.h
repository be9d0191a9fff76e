#pragma once
#include <string>
#include <vector>

class CheckContext;

// One check of the suite: its name on the command line and in the report, a line saying what it
// does, and the function that runs it (Checks.h).
struct CheckDefinition {
  const char* name;
  const char* summary;
  std::string (*run)(CheckContext& context);
};

// Every check, in the order the suite runs them: loading first, the editor and state last.
const std::vector<CheckDefinition>& allChecks();
// The check of that name, or null.
const CheckDefinition* findCheck(const std::string& name);
