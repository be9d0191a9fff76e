#include "effect/Lumivane.h"
#include "host/PluginMain.h"

AudioEffect* createEffectInstance(audioMasterCallback hostCallback) {
  return new Lumivane(hostCallback);
}
