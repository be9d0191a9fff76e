#pragma once
#include <stdexcept>
#include <string>

// How a check ends other than by passing: thrown from anywhere inside it, caught by the check's
// runner and written as its verdict. The two are one family, so they share this file.

// The plug-in did something a host cannot live with; the message says what, in one line.
class CheckFailure : public std::runtime_error {
 public:
  explicit CheckFailure(const std::string& message) : std::runtime_error(message) {}
};

// The check does not apply to this plug-in (no editor, no programs); the message says why.
class CheckSkipped : public std::runtime_error {
 public:
  explicit CheckSkipped(const std::string& message) : std::runtime_error(message) {}
};
