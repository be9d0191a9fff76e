#include "tools/render/ScriptLineReader.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "tools/render/RenderError.h"

ScriptLineReader::ScriptLineReader(const std::string& text, int line, const std::string& origin)
    : words(text), line(line), origin(origin) {}

void ScriptLineReader::fail(const std::string& message) const {
  throw RenderError(origin + " line " + std::to_string(line) + ": " + message, 2);
}

bool ScriptLineReader::next(std::string& word) { return static_cast<bool>(words >> word); }

std::string ScriptLineReader::need(const char* what) {
  std::string word;
  if (!next(word)) fail(std::string("missing ") + what);
  return word;
}

long ScriptLineReader::integer(const char* what, long low, long high) {
  std::string word = need(what);
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(word.c_str(), &end, 10);
  if (*end != '\0' || errno != 0 || value < low || value > high)
    fail(std::string(what) + " must be a whole number from " + std::to_string(low) + " to " +
         std::to_string(high) + ", not '" + word + "'");
  return value;
}

double ScriptLineReader::number(const char* what, double limit) {
  std::string word = need(what);
  char* end = nullptr;
  double value = std::strtod(word.c_str(), &end);
  // Also refuses "nan" and "inf", which strtod reads.
  if (*end != '\0' || !(std::fabs(value) <= limit))
    fail(std::string(what) + " must be a number from " + std::to_string(-limit) + " to " +
         std::to_string(limit) + ", not '" + word + "'");
  return value;
}

std::string ScriptLineReader::rest() {
  std::string remaining;
  std::getline(words, remaining);
  if (!remaining.empty() && remaining[0] == ' ') remaining.erase(0, 1);
  return remaining;
}
