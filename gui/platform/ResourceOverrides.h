#pragma once

// Shared by the backends: the test hook behind overrideLibraryResource, consulted first by each
// backend's findLibraryResource.

#include <cstdint>

#include "gui/platform/PlatformTypes.h"

namespace gui {
namespace platform {

// True, with the registered bytes, when a test registered bytes for the id (low 16 bits).
bool findResourceOverride(int32_t id, ResourceBytes& bytes);

}  // namespace platform
}  // namespace gui
