#include "host/AudioEffectX.h"

#include "editor/AEffEditor.h"

namespace {

VstIntPtr truth(bool value) { return value ? 1 : 0; }

// Opcodes whose pointer argument is a text buffer the effect writes into or reads from.
bool needsTextBuffer(VstInt32 opcode) {
  return opcode == effString2Parameter || opcode == effGetProgramNameIndexed ||
         opcode == effGetEffectName || opcode == effGetVendorString ||
         opcode == effGetProductString || opcode == effCanDo || opcode == effShellGetNextPlugin;
}

// The low byte of opt cut toward zero. Values an int cannot hold (and NaN) give 0 rather than
// the undefined result of converting them.
unsigned char lowByteOfTruncated(float opt) {
  if (!(opt > -2147483648.0f && opt < 2147483648.0f)) return 0;
  return static_cast<unsigned char>(static_cast<VstInt32>(opt) & 0xff);
}

VstKeyCode keyCodeFrom(VstInt32 index, VstIntPtr value, float opt) {
  VstKeyCode key{};
  key.character = index;
  key.virt = static_cast<unsigned char>(value & 0xff);
  key.modifier = lowByteOfTruncated(opt);
  return key;
}

}  // namespace

AudioEffectX::AudioEffectX(audioMasterCallback hostCallback, VstInt32 numPrograms,
                           VstInt32 numParams)
    : AudioEffect(hostCallback, numPrograms, numParams) {}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
  if (needsTextBuffer(opcode) && !ptr) return 0;
  char* text = static_cast<char*>(ptr);

  switch (opcode) {
    case effProcessEvents:
      return processEvents(ptr);
    case effCanBeAutomated:
      return truth(canBeAutomated(index));
    case effString2Parameter:
      return truth(string2parameter(index, text));
    case effGetProgramNameIndexed:
      return truth(getProgramNameIndexed(static_cast<VstInt32>(value), index, text));
    case effGetInputProperties:
      return truth(getInputProperties(index, ptr));
    case effGetOutputProperties:
      return truth(getOutputProperties(index, ptr));
    case effGetPlugCategory:
      return getPlugCategory();
    case effOfflineNotify:
      return truth(offlineNotify(ptr, static_cast<VstInt32>(value), index != 0));
    case effOfflinePrepare:
      return truth(offlinePrepare(ptr, static_cast<VstInt32>(value)));
    case effOfflineRun:
      return truth(offlineRun(ptr, static_cast<VstInt32>(value)));
    case effProcessVarIo:
      return truth(processVariableIo(ptr));
    case effSetSpeakerArrangement:
      return truth(setSpeakerArrangement(value, ptr));
    case effSetBypass:
      return truth(setBypass(value != 0));
    case effGetEffectName:
      return truth(getEffectName(text));
    case effGetVendorString:
      return truth(getVendorString(text));
    case effGetProductString:
      return truth(getProductString(text));
    case effGetVendorVersion:
      return getVendorVersion();
    case effVendorSpecific:
      return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
      return canDo(text);
    case effGetTailSize:
      return getTailSize();
    case effGetParameterProperties:
      return truth(getParameterProperties(index, ptr));
    case effGetVstVersion:
      return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp:
    case effSetEditKnobMode:
      return dispatchEditorInput(opcode, index, value, opt);
    case effGetMidiProgramName:
      return getMidiProgramName(index, ptr);
    case effGetCurrentMidiProgram:
      return getCurrentMidiProgram(index, ptr);
    case effGetMidiProgramCategory:
      return getMidiProgramCategory(index, ptr);
    case effHasMidiProgramsChanged:
      return truth(hasMidiProgramsChanged(index));
    case effGetMidiKeyName:
      return truth(getMidiKeyName(index, ptr));
    case effBeginSetProgram:
      return truth(beginSetProgram());
    case effEndSetProgram:
      return truth(endSetProgram());
    case effGetSpeakerArrangement:
      // value and ptr each carry the address of one of the host's arrangement pointers.
      getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                            static_cast<VstSpeakerArrangement**>(ptr));
      return 0;
    case effShellGetNextPlugin:
      return getNextShellPlugin(text);
    case effStartProcess:
      return startProcess();
    case effStopProcess:
      return stopProcess();
    case effSetTotalSampleToProcess:
      return setTotalSampleToProcess(value);
    case effSetPanLaw:
      return truth(setPanLaw(static_cast<VstInt32>(value), opt));
    case effBeginLoadBank:
      return beginLoadBank(ptr);
    case effBeginLoadProgram:
      return beginLoadProgram(ptr);
    case effSetProcessPrecision:
      return truth(setProcessPrecision(static_cast<VstInt32>(value)));
    case effGetNumMidiInputChannels:
      return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels:
      return getNumMidiOutputChannels();
    default:
      return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
  }
}

VstIntPtr AudioEffectX::dispatchEditorInput(VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                            float opt) {
  if (!editor) return 0;
  if (opcode == effSetEditKnobMode) return truth(editor->setKnobMode(static_cast<VstInt32>(value)));
  VstKeyCode key = keyCodeFrom(index, value, opt);
  bool handled = opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
  return truth(handled);
}

VstInt32 AudioEffectX::processEvents(void*) { return 0; }
// Every parameter of this effect can be automated, and the answer does not depend on the index a
// host asks about.
bool AudioEffectX::canBeAutomated(VstInt32) { return true; }
bool AudioEffectX::string2parameter(VstInt32, char*) { return false; }
bool AudioEffectX::getProgramNameIndexed(VstInt32, VstInt32, char*) { return false; }
bool AudioEffectX::getInputProperties(VstInt32, void*) { return false; }
bool AudioEffectX::getOutputProperties(VstInt32, void*) { return false; }
VstInt32 AudioEffectX::getPlugCategory() { return kPlugCategUnknown; }
bool AudioEffectX::offlineNotify(void*, VstInt32, bool) { return false; }
bool AudioEffectX::offlinePrepare(void*, VstInt32) { return false; }
bool AudioEffectX::offlineRun(void*, VstInt32) { return false; }
bool AudioEffectX::processVariableIo(void*) { return false; }
bool AudioEffectX::setSpeakerArrangement(VstIntPtr, void*) { return false; }
bool AudioEffectX::setBypass(bool) { return false; }
bool AudioEffectX::getEffectName(char*) { return false; }
bool AudioEffectX::getVendorString(char*) { return false; }
bool AudioEffectX::getProductString(char*) { return false; }
VstInt32 AudioEffectX::getVendorVersion() { return 0; }

VstIntPtr AudioEffectX::vendorSpecific(VstInt32 index, VstIntPtr value, void*, float opt) {
  // The one vendor request understood: a mouse-wheel step for the editor, opt being the distance.
  if (editor && index == kWheelVendorIndex && value == kWheelVendorValue)
    return truth(editor->onWheel(opt));
  return 0;
}

VstInt32 AudioEffectX::canDo(char*) { return 0; }
VstInt32 AudioEffectX::getTailSize() { return 0; }
bool AudioEffectX::getParameterProperties(VstInt32, void*) { return false; }
VstInt32 AudioEffectX::getVstVersion() { return kVstVersion; }
VstInt32 AudioEffectX::getMidiProgramName(VstInt32, void*) { return 0; }
// No MIDI programs: -1 says so.
VstInt32 AudioEffectX::getCurrentMidiProgram(VstInt32, void*) { return -1; }
VstInt32 AudioEffectX::getMidiProgramCategory(VstInt32, void*) { return 0; }
bool AudioEffectX::hasMidiProgramsChanged(VstInt32) { return false; }
bool AudioEffectX::getMidiKeyName(VstInt32, void*) { return false; }
bool AudioEffectX::beginSetProgram() { return false; }
bool AudioEffectX::endSetProgram() { return false; }

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** inputs,
                                         VstSpeakerArrangement** outputs) {
  // A host that passes no address for one of them gets nothing written there.
  if (inputs) *inputs = nullptr;
  if (outputs) *outputs = nullptr;
  return false;
}

VstInt32 AudioEffectX::getNextShellPlugin(char*) { return 0; }
VstInt32 AudioEffectX::startProcess() { return 0; }
VstInt32 AudioEffectX::stopProcess() { return 0; }
VstIntPtr AudioEffectX::setTotalSampleToProcess(VstIntPtr value) { return value; }
bool AudioEffectX::setPanLaw(VstInt32, float) { return false; }
VstInt32 AudioEffectX::beginLoadBank(void*) { return 0; }
VstInt32 AudioEffectX::beginLoadProgram(void*) { return 0; }
bool AudioEffectX::setProcessPrecision(VstInt32) { return false; }
VstInt32 AudioEffectX::getNumMidiInputChannels() { return 0; }
VstInt32 AudioEffectX::getNumMidiOutputChannels() { return 0; }

bool AudioEffectX::beginEdit(VstInt32 index) {
  if (index < 0) return false;
  return callHost(audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit(VstInt32 index) {
  if (index < 0) return false;
  return callHost(audioMasterEndEdit, index) != 0;
}
