// The value texts shared by the host's displays and the editor's fields.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "effect/TextConversions.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

struct FormatCase {
  float value;
  const char* plain;
  const char* percent;
};

TEST(TextConversions, FormatsTwoDecimalsOrWholePercent) {
  const FormatCase cases[] = {
      {0.0f, "0.00", "0"},
      {0.5f, "0.50", "50"},
      {1.0f, "1.00", "100"},
      {0.25f, "0.25", "25"},
      {0.126f, "0.13", "13"},
      {0.3f, "0.30", "30"},
      {0.29f, "0.29", "29"},
      // Out of range, infinite and NaN values are shown as the value the effect would use.
      {-0.5f, "0.00", "0"},
      {-0.0f, "0.00", "0"},
      {2.5f, "1.00", "100"},
      {kInfinity, "1.00", "100"},
      {-kInfinity, "0.00", "0"},
      {kNaN, "0.00", "0"},
  };
  for (const FormatCase& c : cases) {
    char text[kFormattedValueSize + 8];
    std::memset(text, '#', sizeof text);
    formatPlain(c.value, text);
    EXPECT_STREQ(text, c.plain) << c.value;
    EXPECT_EQ(text[kFormattedValueSize], '#') << "wrote past the display buffer";
    formatPercent(c.value, text);
    EXPECT_STREQ(text, c.percent) << c.value;
  }
}

struct ParseCase {
  const char* text;
  float plain;
  float percent;
};

TEST(TextConversions, ParsesIntoTheParameterRange) {
  const ParseCase cases[] = {
      {"0.3", 0.3f, 0.3f / 100.0f},
      {"150", 1.0f, 1.0f},
      {"-3", 0.0f, 0.0f},
      {"50", 1.0f, 0.5f},
      {"100", 1.0f, 1.0f},
      {"0", 0.0f, 0.0f},
      {" 0.75 ms", 0.75f, 0.75f / 100.0f},
      {"1e300", 1.0f, 1.0f},
      {"-1e300", 0.0f, 0.0f},
      {"abc", 0.0f, 0.0f},
      {"", 0.0f, 0.0f},
      {"nan", 0.0f, 0.0f},
      {"inf", 1.0f, 1.0f},
      {"-inf", 0.0f, 0.0f},
      {"12.5%", 1.0f, 0.125f},
  };
  for (const ParseCase& c : cases) {
    EXPECT_EQ(parsePlain(c.text), c.plain) << '"' << c.text << '"';
    EXPECT_EQ(parsePercent(c.text), c.percent) << '"' << c.text << '"';
  }
  EXPECT_EQ(parsePlain(nullptr), 0.0f);
  EXPECT_EQ(parsePercent(nullptr), 0.0f);
}

// A value typed as a percentage and shown again reads the same.
TEST(TextConversions, PercentTextsSurviveTheRoundTrip) {
  for (int percent = 0; percent <= 100; ++percent) {
    char typed[8], shown[kFormattedValueSize];
    std::snprintf(typed, sizeof typed, "%d", percent);
    formatPercent(parsePercent(typed), shown);
    EXPECT_STREQ(shown, typed);
  }
}

}  // namespace
