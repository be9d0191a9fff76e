#pragma once
#include "host/AudioEffect.h"

// Tells the effect records of this very library from any others: every effect built here hands
// the host the record functions of AudioEffect, so its dispatcher is the one a minimal effect of
// our own gets. The headless editor opens only such effects, whose object it may then trust.
class EffectRecordProbe : public AudioEffect {
 public:
  static bool isFromThisLibrary(const AEffect* effect) {
    static const AEffectDispatcherProc ourDispatcher =
        EffectRecordProbe().getEffectRecord()->dispatcher;
    return effect && effect->magic == kEffectMagic && effect->object &&
           effect->dispatcher == ourDispatcher;
  }

 private:
  EffectRecordProbe() : AudioEffect(nullptr, 0, 0) {}
  void processReplacing(float**, float**, VstInt32) override {}
};
