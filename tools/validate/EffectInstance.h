#pragma once
#include <string>
#include <vector>

#include "host/VstInterface.h"

class PluginModule;

// The two sample formats of replacing processing.
enum class Precision { single, twice };

// One effect built by the plug-in's entry point, driven through its record as a host drives it,
// and closed (effClose) when this object ends unless the check closed it itself.
class EffectInstance {
 public:
  // The most inputs, outputs, parameters and programs a record may declare before it counts as
  // damaged: far beyond any real plug-in, well short of what would exhaust memory.
  static constexpr VstInt32 kMaxChannels = 1024;
  static constexpr VstInt32 kMaxParametersOrPrograms = 65536;

  // Throws CheckFailure when the entry point gives no effect, the record lacks the magic, a
  // function its flags promise, or has counts no host could serve.
  explicit EffectInstance(const PluginModule& module);
  ~EffectInstance();
  EffectInstance(const EffectInstance&) = delete;
  EffectInstance& operator=(const EffectInstance&) = delete;

  AEffect* record() const { return effect; }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const;
  // effOpen, the sample rate, the block size and effMainsChanged on: ready to process.
  void start(float rate, VstInt32 blockSize) const;
  void setSampleRate(float rate) const;
  void setBlockSize(VstInt32 frames) const;
  void resume() const;
  void suspend() const;
  // effClose; the record must not be used afterwards.
  void close();

  VstInt32 inputCount() const { return effect->numInputs; }
  VstInt32 outputCount() const { return effect->numOutputs; }
  VstInt32 parameterCount() const { return effect->numParams; }
  VstInt32 programCount() const { return effect->numPrograms; }
  bool hasEditor() const { return (effect->flags & effFlagsHasEditor) != 0; }
  // The precisions the record's flags offer, single first.
  std::vector<Precision> precisions() const;
  void setParameter(VstInt32 index, float value) const {
    effect->setParameter(effect, index, value);
  }
  float getParameter(VstInt32 index) const { return effect->getParameter(effect, index); }

 private:
  AEffect* effect = nullptr;
};

// "32-bit" or "64-bit", for messages.
const char* precisionName(Precision precision);
