#pragma once
#include <stdexcept>
#include <string>

// A failure the user can act on, told in one line; main prints it and exits non-zero.
class RenderError : public std::runtime_error {
 public:
  explicit RenderError(const std::string& message, int exitCode = 1)
      : std::runtime_error(message), exitCode(exitCode) {}
  int exitCode;  // 2 for a mistake on the command line, 1 for a run that failed (see --help)
};
