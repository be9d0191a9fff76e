#include "gui/PlatformState.h"

#include "gui/platform/Platform.h"

namespace gui {

PlatformState& platformState() {
  static PlatformState state;
  return state;
}

void loadImageOperations(platform::ImageLibrary* library) {
  PlatformState& state = platformState();
  state.alphaBlend = nullptr;
  state.transparentBlt = nullptr;
  if (library == nullptr) return;
  state.alphaBlend = platform::findAlphaBlend(library);
  state.osVersion = platform::OsVersion();
  if (platform::getOsVersion(state.osVersion) && state.osVersion.platformId > 1) {
    state.transparentBlt = platform::findTransparentBlt(library);
  }
}

void ensureImageOperations() {
  if (platformState().alphaBlend != nullptr) return;
  // Loaded once and kept for the life of the process: the entry points stay valid whatever
  // the frames load and free.
  static platform::ImageLibrary* const processLibrary = platform::loadImageLibrary();
  loadImageOperations(processLibrary);
}

}  // namespace gui
