#include "gui/platform/ResourceOverrides.h"

#include <vector>

#include "gui/platform/Platform.h"

namespace gui {
namespace platform {

namespace {

struct Override {
  int32_t id;
  ResourceBytes bytes;
};

std::vector<Override>& overrides() {
  static std::vector<Override> table;
  return table;
}

}  // namespace

void overrideLibraryResource(int32_t id, const void* data, size_t size) {
  const int32_t key = id & 0xFFFF;
  std::vector<Override>& table = overrides();
  for (auto it = table.begin(); it != table.end(); ++it) {
    if (it->id == key) {
      table.erase(it);
      break;
    }
  }
  if (data != nullptr) table.push_back({key, {static_cast<const uint8_t*>(data), size}});
}

void clearLibraryResourceOverrides() { overrides().clear(); }

bool findResourceOverride(int32_t id, ResourceBytes& bytes) {
  const int32_t key = id & 0xFFFF;
  for (const Override& entry : overrides()) {
    if (entry.id == key) {
      bytes = entry.bytes;
      return true;
    }
  }
  return false;
}

}  // namespace platform
}  // namespace gui
