#pragma once
#include <atomic>
#include "host/VstInterface.h"

class AEffEditor;

// Base of every effect object: owns the AEffect record handed to the host, keeps the state common
// to all effects and turns the host's core opcodes (0 to 24) into calls of the operations below.
// The record's functions find the object again through the record's object field.
class AudioEffect {
 public:
  AudioEffect(audioMasterCallback hostCallback, VstInt32 numPrograms, VstInt32 numParams);
  virtual ~AudioEffect();

  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt);

  virtual void open();
  virtual void close();
  virtual void suspend();
  virtual void resume();

  virtual void setSampleRate(float sampleRate);
  virtual void setBlockSize(VstInt32 blockSize);

  virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
  virtual void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames);

  virtual void setParameter(VstInt32 index, float value);
  virtual float getParameter(VstInt32 index);
  // Takes the value (brought into 0..1) and then tells the host, for a change the user made.
  virtual void setParameterAutomated(VstInt32 index, float value);

  virtual VstInt32 getProgram();
  virtual void setProgram(VstInt32 program);
  virtual void setProgramName(char* name);
  virtual void getProgramName(char* name);

  virtual void getParamLabel(VstInt32 index, char* label);
  virtual void getParamDisplay(VstInt32 index, char* text);
  virtual void getParamName(VstInt32 index, char* text);

  virtual VstInt32 getChunk(void** data, bool isPreset);
  virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset);

  virtual void setUniqueID(VstInt32 id);
  virtual void setNumInputs(VstInt32 inputs);
  virtual void setNumOutputs(VstInt32 outputs);

  virtual void canProcessReplacing(bool state);
  virtual void canDoubleReplacing(bool state);

  virtual AEffect* getEffectRecord();
  virtual bool masterIdle();

  // The retired accumulating process: hosts that still call it get silence added, i.e. nothing.
  virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames);

  // Attaches the editor, which the effect owns from then on; a different editor attached before
  // is destroyed. Keeps effFlagsHasEditor in step with whether an editor exists.
  void setEditor(AEffEditor* newEditor);
  AEffEditor* getEditor() const { return editor; }
  float getSampleRate() const { return sampleRate; }
  VstInt32 getBlockSize() const { return blockSize; }

 protected:
  // Calls the host when it gave a callback; without one nothing is sent and the answer is 0.
  VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);

  audioMasterCallback hostCallback;
  AEffEditor* editor;
  float sampleRate;
  VstInt32 blockSize;
  VstInt32 numPrograms;
  VstInt32 numParams;
  // Hosts switch programs and set parameters from threads of their own.
  std::atomic<VstInt32> curProgram;
  AEffect effectRecord;

 private:
  VstIntPtr dispatchEditor(VstInt32 opcode, void* ptr);
  void setFlag(VstInt32 flag, bool state);
};
