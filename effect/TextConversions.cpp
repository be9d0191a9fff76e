#include "effect/TextConversions.h"

#include <cstdio>
#include <cstdlib>

#include "host/ParameterValue.h"

namespace {

// The number at the start of the text; 0 when there is none.
double readNumber(const char* text) {
  if (!text) return 0.0;
  return std::strtod(text, nullptr);
}

}  // namespace

void formatPlain(float value, char* text) {
  std::snprintf(text, kFormattedValueSize, "%.2f", static_cast<double>(clampParameterValue(value)));
}

void formatPercent(float value, char* text) {
  std::snprintf(text, kFormattedValueSize, "%.0f",
                static_cast<double>(clampParameterValue(value)) * 100.0);
}

float parsePlain(const char* text) {
  double number = readNumber(text);
  // Brought into range before narrowing to float, so huge numbers never overflow the conversion.
  if (!(number > 0.0)) return 0.0f;
  if (number > 1.0) return 1.0f;
  return static_cast<float>(number);
}

float parsePercent(const char* text) {
  double number = readNumber(text);
  if (!(number > 0.0)) return 0.0f;
  if (number > 100.0) return 1.0f;
  return static_cast<float>(number) / 100.0f;
}
