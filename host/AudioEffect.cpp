#include "host/AudioEffect.h"

#include <cstring>

#include "editor/AEffEditor.h"
#include "host/ParameterValue.h"

namespace {

AudioEffect* effectOf(AEffect* record) { return static_cast<AudioEffect*>(record->object); }

// The record's six functions. Exceptions must never unwind into the host, which is C code; the
// only one that can arise is a failed allocation, answered like an unhandled request.
VstIntPtr VSTCALLBACK dispatchThroughRecord(AEffect* record, VstInt32 opcode, VstInt32 index,
                                            VstIntPtr value, void* ptr, float opt) {
  AudioEffect* effect = effectOf(record);
  try {
    VstIntPtr result = effect->dispatcher(opcode, index, value, ptr, opt);
    if (opcode == effClose) {
      // The host lets go of the record here: the effect, and with it its editor, goes too.
      delete effect;
      return 1;
    }
    return result;
  } catch (...) {
    return 0;
  }
}

void VSTCALLBACK processThroughRecord(AEffect* record, float** inputs, float** outputs,
                                      VstInt32 frames) {
  effectOf(record)->process(inputs, outputs, frames);
}

void VSTCALLBACK processReplacingThroughRecord(AEffect* record, float** inputs, float** outputs,
                                               VstInt32 frames) {
  effectOf(record)->processReplacing(inputs, outputs, frames);
}

void VSTCALLBACK processDoubleReplacingThroughRecord(AEffect* record, double** inputs,
                                                     double** outputs, VstInt32 frames) {
  effectOf(record)->processDoubleReplacing(inputs, outputs, frames);
}

void VSTCALLBACK setParameterThroughRecord(AEffect* record, VstInt32 index, float value) {
  effectOf(record)->setParameter(index, value);
}

float VSTCALLBACK getParameterThroughRecord(AEffect* record, VstInt32 index) {
  return effectOf(record)->getParameter(index);
}

bool isTextOpcode(VstInt32 opcode) {
  return opcode == effSetProgramName || opcode == effGetProgramName || opcode == effGetParamLabel ||
         opcode == effGetParamDisplay || opcode == effGetParamName;
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback hostCallback, VstInt32 numPrograms, VstInt32 numParams)
    : hostCallback(hostCallback),
      editor(nullptr),
      sampleRate(44100.0f),
      blockSize(1024),
      numPrograms(numPrograms),
      numParams(numParams),
      curProgram(0) {
  std::memset(&effectRecord, 0, sizeof(effectRecord));
  effectRecord.magic = kEffectMagic;
  effectRecord.dispatcher = dispatchThroughRecord;
  effectRecord.process = processThroughRecord;
  effectRecord.setParameter = setParameterThroughRecord;
  effectRecord.getParameter = getParameterThroughRecord;
  effectRecord.numPrograms = numPrograms;
  effectRecord.numParams = numParams;
  effectRecord.numInputs = 1;
  effectRecord.numOutputs = 2;
  effectRecord.flags = effFlagsCanReplacing;
  effectRecord.ioRatio = 1.0f;
  effectRecord.object = this;
  effectRecord.uniqueID = kDefaultUniqueId;
  effectRecord.version = 1;
  effectRecord.processReplacing = processReplacingThroughRecord;
  effectRecord.processDoubleReplacing = processDoubleReplacingThroughRecord;
}

AudioEffect::~AudioEffect() { delete editor; }

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
  // Text requests without a buffer have nowhere to write or nothing to read.
  if (isTextOpcode(opcode) && !ptr) return 0;

  switch (opcode) {
    case effOpen:
      open();
      return 0;
    case effClose:
      close();
      return 0;
    case effSetProgram:
      // The program table has entries 0 to numPrograms - 1 only; anything else is ignored.
      if (value >= 0 && value < numPrograms) setProgram(static_cast<VstInt32>(value));
      return 0;
    case effGetProgram:
      return getProgram();
    case effSetProgramName:
      setProgramName(static_cast<char*>(ptr));
      return 0;
    case effGetProgramName:
      getProgramName(static_cast<char*>(ptr));
      return 0;
    case effGetParamLabel:
      getParamLabel(index, static_cast<char*>(ptr));
      return 0;
    case effGetParamDisplay:
      getParamDisplay(index, static_cast<char*>(ptr));
      return 0;
    case effGetParamName:
      getParamName(index, static_cast<char*>(ptr));
      return 0;
    case effSetSampleRate:
      setSampleRate(opt);
      return 0;
    case effSetBlockSize:
      setBlockSize(static_cast<VstInt32>(value));
      return 0;
    case effMainsChanged:
      if (value == 0)
        suspend();
      else
        resume();
      return 0;
    case effEditGetRect:
    case effEditOpen:
    case effEditClose:
    case effEditIdle:
      return dispatchEditor(opcode, ptr);
    case effIdentify:
      return kEffectIdentity;
    case effGetChunk:
      return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
      return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default:
      return 0;
  }
}

VstIntPtr AudioEffect::dispatchEditor(VstInt32 opcode, void* ptr) {
  if (!editor) return 0;
  switch (opcode) {
    // The rectangle goes out through the host's pointer, and a window needs a parent: without
    // those the editor is not asked.
    case effEditGetRect:
      return ptr && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
      return ptr && editor->open(ptr) ? 1 : 0;
    case effEditClose:
      editor->close();
      return 0;
    case effEditIdle:
      editor->idle();
      return 0;
    default:
      return 0;
  }
}

void AudioEffect::open() {}
void AudioEffect::close() {}
void AudioEffect::suspend() {}
void AudioEffect::resume() {}

void AudioEffect::setSampleRate(float newSampleRate) { sampleRate = newSampleRate; }
void AudioEffect::setBlockSize(VstInt32 newBlockSize) { blockSize = newBlockSize; }

void AudioEffect::processDoubleReplacing(double**, double**, VstInt32) {}

void AudioEffect::setParameter(VstInt32, float) {}
float AudioEffect::getParameter(VstInt32) { return 0.0f; }

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
  if (index < 0) return;
  float taken = clampParameterValue(value);
  setParameter(index, taken);
  callHost(audioMasterAutomate, index, 0, nullptr, taken);
}

VstInt32 AudioEffect::getProgram() { return curProgram.load(std::memory_order_relaxed); }
void AudioEffect::setProgram(VstInt32 program) {
  curProgram.store(program, std::memory_order_relaxed);
}
void AudioEffect::setProgramName(char*) {}
void AudioEffect::getProgramName(char* name) { name[0] = '\0'; }

void AudioEffect::getParamLabel(VstInt32, char* label) { label[0] = '\0'; }
void AudioEffect::getParamDisplay(VstInt32, char* text) { text[0] = '\0'; }
void AudioEffect::getParamName(VstInt32, char* text) { text[0] = '\0'; }

VstInt32 AudioEffect::getChunk(void**, bool) { return 0; }
VstInt32 AudioEffect::setChunk(void*, VstInt32, bool) { return 0; }

void AudioEffect::setUniqueID(VstInt32 id) { effectRecord.uniqueID = id; }
void AudioEffect::setNumInputs(VstInt32 inputs) { effectRecord.numInputs = inputs; }
void AudioEffect::setNumOutputs(VstInt32 outputs) { effectRecord.numOutputs = outputs; }

void AudioEffect::canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
void AudioEffect::canDoubleReplacing(bool state) { setFlag(effFlagsCanDoubleReplacing, state); }

AEffect* AudioEffect::getEffectRecord() { return &effectRecord; }

bool AudioEffect::masterIdle() { return callHost(audioMasterIdle) != 0; }

void AudioEffect::process(float**, float**, VstInt32) {}

void AudioEffect::setEditor(AEffEditor* newEditor) {
  // An editor's own constructor may already have attached it; attaching it again keeps it.
  if (newEditor != editor) delete editor;
  editor = newEditor;
  setFlag(effFlagsHasEditor, editor != nullptr);
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
  if (!hostCallback) return 0;
  return hostCallback(&effectRecord, opcode, index, value, ptr, opt);
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
  if (state)
    effectRecord.flags |= flag;
  else
    effectRecord.flags &= ~flag;
}
