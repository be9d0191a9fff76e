// A tiny working effect for the command-line tools' tests: two inputs, two outputs, one parameter
// (Gain, output = input × gain), two named programs, both precisions, no editor. Output channel o
// is input o modulo the number of inputs, times the gain (silence without inputs). Three
// environment variables, read when the entry point runs, change its shape:
//   LUMIVANE_GAIN_INPUTS, LUMIVANE_GAIN_OUTPUTS   the numbers of inputs and outputs (0 to 1024)
//   LUMIVANE_GAIN_TAIL                            the tail it reports to effGetTailSize, in samples
// and LUMIVANE_FAULT makes it fail in one chosen way, as a careless or damaged plug-in does:
//   null-dispatcher, null-process-replacing, null-process-double, null-set-parameter,
//   null-get-parameter      that function of the record is null (its flag still promises it)
//   many-outputs            the record declares 100000000 outputs
//   crash-on-nan-parameter  setParameter with NaN crashes (SIGSEGV)
//   hang-on-block-of-7      processing a block of 7 frames never returns
//   nan-above-192k          at sample rates above 192 kHz every output sample is NaN
//   subnormal-output        every output sample is a subnormal number
//   unterminated-name       the parameter name fills 100 bytes with no terminating zero
//   writes-past-block       processing writes one frame more than asked
//   doubled-read-back       getParameter answers twice the value set
//   automates-unknown-parameter  setParameter tells the host that parameter 5 changed
//   crash-on-opcode-53      opcode 53 with a null pointer crashes (SIGSEGV)
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/VstInterface.h"

namespace {

struct GainEffect {
  AEffect record{};
  audioMasterCallback host = nullptr;
  std::string fault;
  // Set on the host's threads while its audio thread processes.
  std::atomic<float> gain{1.0f};
  std::atomic<float> sampleRate{44100.0f};
  int program = 0;
  VstIntPtr tailSamples = 0;
  char programNames[2][kVstMaxProgNameLen] = {"Unity", "Quiet"};
};

GainEffect* effectOf(AEffect* record) { return static_cast<GainEffect*>(record->object); }

bool faultIs(AEffect* record, const char* name) { return effectOf(record)->fault == name; }

// Ends the process as a stray write through a null pointer does, whatever the optimiser makes of
// such a write.
void crash() { std::raise(SIGSEGV); }

void copyText(void* ptr, const char* text) {
  if (ptr) std::snprintf(static_cast<char*>(ptr), 24, "%s", text);
}

VstIntPtr programRequest(GainEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                         void* ptr) {
  switch (opcode) {
    case effSetProgram:
      if (value >= 0 && value < 2) effect->program = static_cast<int>(value);
      return 0;
    case effGetProgram:
      return effect->program;
    case effSetProgramName:
      if (ptr)
        std::snprintf(effect->programNames[effect->program], kVstMaxProgNameLen, "%s",
                      static_cast<char*>(ptr));
      return 0;
    case effGetProgramName:
      copyText(ptr, effect->programNames[effect->program]);
      return 0;
    case effGetProgramNameIndexed:
      if (index < 0 || index > 1) return 0;
      copyText(ptr, effect->programNames[index]);
      return 1;
    default:
      return 0;
  }
}

VstIntPtr parameterText(GainEffect* effect, VstInt32 opcode, VstInt32 index, void* ptr) {
  if (!ptr || index != 0) return 0;
  if (opcode == effGetParamName && effect->fault == "unterminated-name") {
    std::memset(ptr, 'G', 100);
    return 0;
  }
  char display[24];
  std::snprintf(display, sizeof display, "%.2f", static_cast<double>(effect->gain.load()));
  copyText(ptr, opcode == effGetParamName ? "Gain" : opcode == effGetParamLabel ? "x" : display);
  return 0;
}

VstIntPtr VSTCALLBACK dispatch(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                               void* ptr, float opt) {
  GainEffect* effect = effectOf(record);
  switch (opcode) {
    case effClose:
      delete effect;
      return 1;
    case effSetProgram:
    case effGetProgram:
    case effSetProgramName:
    case effGetProgramName:
    case effGetProgramNameIndexed:
      return programRequest(effect, opcode, index, value, ptr);
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
      return parameterText(effect, opcode, index, ptr);
    case effSetSampleRate:
      if (opt > 0.0f && std::isfinite(opt)) effect->sampleRate.store(opt);
      return 0;
    case effGetEffectName:
      copyText(ptr, "Gain");
      return 1;
    case effGetVendorString:
      copyText(ptr, "Lumivane tests");
      return 1;
    case effGetProductString:
      copyText(ptr, "Gain");
      return 1;
    case effGetVstVersion:
      return kVstVersion;
    case effGetTailSize:
      return effect->tailSamples;
    case 53:
      if (!ptr && effect->fault == "crash-on-opcode-53") crash();
      return 0;
    default:
      return 0;
  }
}

float outputSample(GainEffect* effect, double input) {
  if (effect->fault == "subnormal-output") return 1e-40f;
  if (effect->fault == "nan-above-192k" && effect->sampleRate.load() > 192000.0f) return NAN;
  return static_cast<float>(input * effect->gain.load());
}

template <typename Sample>
void processBlock(AEffect* record, Sample** inputs, Sample** outputs, VstInt32 frames) {
  GainEffect* effect = effectOf(record);
  if (frames == 7 && effect->fault == "hang-on-block-of-7")
    for (volatile bool forever = true; forever;) {
    }
  VstInt32 written = effect->fault == "writes-past-block" ? frames + 1 : frames;
  for (VstInt32 channel = 0; channel < record->numOutputs; ++channel) {
    const Sample* input = record->numInputs > 0 ? inputs[channel % record->numInputs] : nullptr;
    for (VstInt32 i = 0; i < written; ++i)
      outputs[channel][i] = outputSample(effect, input ? input[i] : 0.0);
  }
}

void VSTCALLBACK processFloats(AEffect* record, float** inputs, float** outputs, VstInt32 frames) {
  processBlock(record, inputs, outputs, frames);
}

void VSTCALLBACK processDoubles(AEffect* record, double** inputs, double** outputs,
                                VstInt32 frames) {
  processBlock(record, inputs, outputs, frames);
}

void VSTCALLBACK setParameter(AEffect* record, VstInt32 index, float value) {
  if (std::isnan(value) && faultIs(record, "crash-on-nan-parameter")) crash();
  if (faultIs(record, "automates-unknown-parameter"))
    effectOf(record)->host(record, audioMasterAutomate, 5, 0, nullptr, value);
  // A subnormal gain would make subnormal samples: it counts as silence.
  if (std::fpclassify(value) == FP_SUBNORMAL) value = 0.0f;
  if (index == 0 && value >= 0.0f && value <= 1.0f) effectOf(record)->gain.store(value);
}

float VSTCALLBACK getParameter(AEffect* record, VstInt32 index) {
  if (index != 0) return 0.0f;
  return effectOf(record)->gain.load() * (faultIs(record, "doubled-read-back") ? 2.0f : 1.0f);
}

// The number in the environment variable, or `otherwise` when it is not set.
long long numberFromEnvironment(const char* name, long long otherwise) {
  const char* text = std::getenv(name);
  return text ? std::strtoll(text, nullptr, 10) : otherwise;
}

// A record without a dispatcher can never be closed: it lives in static storage, so that nothing
// leaks.
GainEffect* newEffect(const std::string& fault) {
  static GainEffect unclosable;
  return fault == "null-dispatcher" ? &unclosable : new GainEffect;
}

void applyFault(AEffect& record, const std::string& fault) {
  if (fault == "null-dispatcher") record.dispatcher = nullptr;
  if (fault == "null-process-replacing") record.processReplacing = nullptr;
  if (fault == "null-process-double") record.processDoubleReplacing = nullptr;
  if (fault == "null-set-parameter") record.setParameter = nullptr;
  if (fault == "null-get-parameter") record.getParameter = nullptr;
  if (fault == "many-outputs") record.numOutputs = 100000000;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
  if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  const char* fault = std::getenv("LUMIVANE_FAULT");
  GainEffect* effect = newEffect(fault ? fault : "");
  effect->host = host;
  effect->fault = fault ? fault : "";
  AEffect& record = effect->record;
  record.magic = kEffectMagic;
  record.dispatcher = dispatch;
  record.setParameter = setParameter;
  record.getParameter = getParameter;
  record.processReplacing = processFloats;
  record.processDoubleReplacing = processDoubles;
  record.numPrograms = 2;
  record.numParams = 1;
  record.numInputs = static_cast<VstInt32>(numberFromEnvironment("LUMIVANE_GAIN_INPUTS", 2));
  record.numOutputs = static_cast<VstInt32>(numberFromEnvironment("LUMIVANE_GAIN_OUTPUTS", 2));
  effect->tailSamples = static_cast<VstIntPtr>(numberFromEnvironment("LUMIVANE_GAIN_TAIL", 0));
  record.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  record.ioRatio = 1.0f;
  record.object = effect;
  record.uniqueID = fourCharacters('L', 'v', 'G', 'n');
  record.version = 1;
  applyFault(record, effect->fault);
  return &record;
}
