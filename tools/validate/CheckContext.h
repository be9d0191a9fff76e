#pragma once
#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "tools/validate/PluginModule.h"
#include "tools/validate/ResultFile.h"

// What one check works with inside its child process: the plug-in library (loaded on first use),
// the strictness, a random generator seeded from the run's seed and the check's name (so one
// check replays alone with the same numbers), and the result file its steps and notes go to.
class CheckContext {
 public:
  static constexpr int kDefaultStrictness = 5;
  // From this strictness on, texts longer than their nominal length fail instead of being noted.
  static constexpr int kPedanticStrictness = 8;

  CheckContext(std::string pluginPath, const std::string& checkName, int strictness,
               std::uint64_t seed, ResultFile& results);

  const std::string& pluginPath() const { return path; }
  const PluginModule& module();
  int strictness() const { return level; }
  bool pedantic() const { return level >= kPedanticStrictness; }
  // A count given for the default strictness, scaled to this run's strictness (at least 1).
  int scaled(int atDefault) const;
  std::mt19937_64& random() { return generator; }
  // A random whole number from low to high.
  std::int64_t between(std::int64_t low, std::int64_t high);

  // What the check is doing now: left behind when the plug-in crashes or hangs.
  void step(const std::string& text) { results.step(text); }
  // Something worth telling that does not fail the check.
  void note(const std::string& text) { results.note(text); }
  // Closes the library; a plug-in may crash here too, which the validator reports.
  void unload() { loaded.reset(); }

 private:
  std::string path;
  int level;
  std::mt19937_64 generator;
  ResultFile& results;
  std::unique_ptr<PluginModule> loaded;
};
