#include "tools/validate/CheckContext.h"

#include <algorithm>

namespace {

// FNV-1a: the same on every platform and compiler, unlike std::hash.
std::uint64_t nameHash(const std::string& name) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : name) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

}  // namespace

CheckContext::CheckContext(std::string pluginPath, const std::string& checkName, int strictness,
                           std::uint64_t seed, ResultFile& results)
    : path(std::move(pluginPath)),
      level(strictness),
      generator(seed ^ nameHash(checkName)),
      results(results) {}

const PluginModule& CheckContext::module() {
  if (!loaded) {
    step("loading the library");
    loaded = std::make_unique<PluginModule>(path);
  }
  return *loaded;
}

int CheckContext::scaled(int atDefault) const {
  return std::max(1, atDefault * level / kDefaultStrictness);
}

std::int64_t CheckContext::between(std::int64_t low, std::int64_t high) {
  return std::uniform_int_distribution<std::int64_t>(low, high)(generator);
}
