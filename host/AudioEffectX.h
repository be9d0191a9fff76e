#pragma once
#include "host/AudioEffect.h"

// The VST 2.x extensions of the effect base: opcodes 25 to 79 (identity strings, capabilities,
// the editor's keys, knob mode and mouse wheel, and a row of queries answered with defaults), and
// the host services the editor side asks for. Opcodes it does not handle go to AudioEffect.
class AudioEffectX : public AudioEffect {
 public:
  AudioEffectX(audioMasterCallback hostCallback, VstInt32 numPrograms, VstInt32 numParams);

  VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt) override;

  virtual VstInt32 processEvents(void* events);
  virtual bool canBeAutomated(VstInt32 index);
  virtual bool string2parameter(VstInt32 index, char* text);
  virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text);
  virtual bool getInputProperties(VstInt32 index, void* properties);
  virtual bool getOutputProperties(VstInt32 index, void* properties);
  virtual VstInt32 getPlugCategory();
  virtual bool offlineNotify(void* ptr, VstInt32 numAudioFiles, bool start);
  virtual bool offlinePrepare(void* ptr, VstInt32 count);
  virtual bool offlineRun(void* ptr, VstInt32 count);
  virtual bool processVariableIo(void* variableIo);
  virtual bool setSpeakerArrangement(VstIntPtr inputArrangement, void* outputArrangement);
  virtual bool setBypass(bool onOff);
  virtual bool getEffectName(char* name);
  virtual bool getVendorString(char* text);
  virtual bool getProductString(char* text);
  virtual VstInt32 getVendorVersion();
  virtual VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
  virtual VstInt32 canDo(char* text);
  virtual VstInt32 getTailSize();
  virtual bool getParameterProperties(VstInt32 index, void* properties);
  virtual VstInt32 getVstVersion();
  virtual VstInt32 getMidiProgramName(VstInt32 channel, void* midiProgramName);
  virtual VstInt32 getCurrentMidiProgram(VstInt32 channel, void* currentProgram);
  virtual VstInt32 getMidiProgramCategory(VstInt32 channel, void* category);
  virtual bool hasMidiProgramsChanged(VstInt32 channel);
  virtual bool getMidiKeyName(VstInt32 channel, void* keyName);
  virtual bool beginSetProgram();
  virtual bool endSetProgram();
  // Answers "no arrangement": null through both of the host's out-pointers.
  virtual bool getSpeakerArrangement(VstSpeakerArrangement** inputs,
                                     VstSpeakerArrangement** outputs);
  virtual VstInt32 getNextShellPlugin(char* name);
  virtual VstInt32 startProcess();
  virtual VstInt32 stopProcess();
  virtual VstIntPtr setTotalSampleToProcess(VstIntPtr value);
  virtual bool setPanLaw(VstInt32 type, float value);
  virtual VstInt32 beginLoadBank(void* patchChunkInfo);
  virtual VstInt32 beginLoadProgram(void* patchChunkInfo);
  virtual bool setProcessPrecision(VstInt32 precision);
  virtual VstInt32 getNumMidiInputChannels();
  virtual VstInt32 getNumMidiOutputChannels();

  // Brackets a user gesture on a parameter for the host (audioMasterBeginEdit / EndEdit); true
  // when the host answers non-zero.
  bool beginEdit(VstInt32 index);
  bool endEdit(VstInt32 index);

 private:
  VstIntPtr dispatchEditorInput(VstInt32 opcode, VstInt32 index, VstIntPtr value, float opt);
};
