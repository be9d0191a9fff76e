// A working VST 2.4 plug-in library that is not Lumivane: it passes its input through and has no
// headless editor, so the command-line host must refuse --editor-png for it.
#include <cstring>

#include "host/VstInterface.h"

namespace {

VstIntPtr VSTCALLBACK dispatch(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

void VSTCALLBACK passThrough(AEffect*, float** inputs, float** outputs, VstInt32 frames) {
  for (VstInt32 i = 0; i < frames; ++i) outputs[0][i] = outputs[1][i] = inputs[0][i];
}

void VSTCALLBACK setParameter(AEffect*, VstInt32, float) {}
float VSTCALLBACK getParameter(AEffect*, VstInt32) { return 0.0f; }

AEffect makeEffect() {
  AEffect effect;
  std::memset(&effect, 0, sizeof effect);
  effect.magic = kEffectMagic;
  effect.dispatcher = dispatch;
  effect.setParameter = setParameter;
  effect.getParameter = getParameter;
  effect.numInputs = 1;
  effect.numOutputs = 2;
  effect.flags = effFlagsCanReplacing | effFlagsHasEditor;
  effect.processReplacing = passThrough;
  return effect;
}

AEffect theEffect = makeEffect();

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
  return &theEffect;
}
