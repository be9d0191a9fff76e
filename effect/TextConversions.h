#pragma once

// Value-to-text and text-to-value conversions of the effect's parameter displays, shared by the
// host's display requests and the editor's text fields. Values are parameter values in 0..1.

// Longest text the formatters write, terminator included ("1.00", "100"): they bring the value
// into 0..1 first, so a host's 8-byte display buffer always suffices.
constexpr int kFormattedValueSize = 8;

// The value with two decimals, e.g. "0.50".
void formatPlain(float value, char* text);
// The value as a whole percentage, e.g. "50" for 0.5.
void formatPercent(float value, char* text);
// Reads a decimal number and brings it into 0..1; text that holds no number (or NaN) gives 0.
float parsePlain(const char* text);
// Reads a percentage: below 0 gives 0, above 100 gives 1, otherwise the number / 100.
float parsePercent(const char* text);
