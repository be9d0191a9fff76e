#include "host/PluginMain.h"

#include <new>

#include "host/AudioEffect.h"

AEffect* pluginMain(audioMasterCallback hostCallback) {
  // Without a callback there is no host to ask, and nothing the effect could tell it.
  if (!hostCallback) return nullptr;
  if (hostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  try {
    AudioEffect* effect = createEffectInstance(hostCallback);
    return effect ? effect->getEffectRecord() : nullptr;
  } catch (const std::bad_alloc&) {
    // Unwinding has released the partly built effect; the host sees a plug-in that did not load.
    return nullptr;
  }
}
