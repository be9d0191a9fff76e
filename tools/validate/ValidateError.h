#pragma once
#include <stdexcept>
#include <string>

// A mistake on the command line, told in one line; main prints it and exits with status 2.
class ValidateError : public std::runtime_error {
 public:
  explicit ValidateError(const std::string& message) : std::runtime_error(message) {}
};
