#pragma once
#include <sstream>
#include <string>

// Reads the words of one line of an editor script and fails with a message that names the line:
// a RenderError with exit code 2, as for any other mistake on the command line.
class ScriptLineReader {
 public:
  ScriptLineReader(const std::string& text, int line, const std::string& origin);

  [[noreturn]] void fail(const std::string& message) const;
  // The next word; false at the end of the line.
  bool next(std::string& word);
  // The next word, which must be there.
  std::string need(const char* what);
  // A whole number from low to high.
  long integer(const char* what, long low, long high);
  // A number from -limit to limit.
  double number(const char* what, double limit);
  // Everything after the command word and one space, as typed.
  std::string rest();

 private:
  std::istringstream words;
  int line;
  std::string origin;
};
