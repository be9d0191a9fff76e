#include "tools/validate/OpcodeTable.h"

namespace {

struct NamedOpcode {
  VstInt32 number;
  const char* name;
};

// The opcodes the interface header names.
constexpr NamedOpcode kNames[] = {
    {effOpen, "effOpen"},
    {effClose, "effClose"},
    {effSetProgram, "effSetProgram"},
    {effGetProgram, "effGetProgram"},
    {effSetProgramName, "effSetProgramName"},
    {effGetProgramName, "effGetProgramName"},
    {effGetParamLabel, "effGetParamLabel"},
    {effGetParamDisplay, "effGetParamDisplay"},
    {effGetParamName, "effGetParamName"},
    {effSetSampleRate, "effSetSampleRate"},
    {effSetBlockSize, "effSetBlockSize"},
    {effMainsChanged, "effMainsChanged"},
    {effEditGetRect, "effEditGetRect"},
    {effEditOpen, "effEditOpen"},
    {effEditClose, "effEditClose"},
    {effEditIdle, "effEditIdle"},
    {effIdentify, "effIdentify"},
    {effGetChunk, "effGetChunk"},
    {effSetChunk, "effSetChunk"},
    {effProcessEvents, "effProcessEvents"},
    {effCanBeAutomated, "effCanBeAutomated"},
    {effString2Parameter, "effString2Parameter"},
    {effGetProgramNameIndexed, "effGetProgramNameIndexed"},
    {effGetInputProperties, "effGetInputProperties"},
    {effGetOutputProperties, "effGetOutputProperties"},
    {effGetPlugCategory, "effGetPlugCategory"},
    {effOfflineNotify, "effOfflineNotify"},
    {effOfflinePrepare, "effOfflinePrepare"},
    {effOfflineRun, "effOfflineRun"},
    {effProcessVarIo, "effProcessVarIo"},
    {effSetSpeakerArrangement, "effSetSpeakerArrangement"},
    {effSetBypass, "effSetBypass"},
    {effGetEffectName, "effGetEffectName"},
    {effGetVendorString, "effGetVendorString"},
    {effGetProductString, "effGetProductString"},
    {effGetVendorVersion, "effGetVendorVersion"},
    {effVendorSpecific, "effVendorSpecific"},
    {effCanDo, "effCanDo"},
    {effGetTailSize, "effGetTailSize"},
    {effGetParameterProperties, "effGetParameterProperties"},
    {effGetVstVersion, "effGetVstVersion"},
    {effEditKeyDown, "effEditKeyDown"},
    {effEditKeyUp, "effEditKeyUp"},
    {effSetEditKnobMode, "effSetEditKnobMode"},
    {effGetMidiProgramName, "effGetMidiProgramName"},
    {effGetCurrentMidiProgram, "effGetCurrentMidiProgram"},
    {effGetMidiProgramCategory, "effGetMidiProgramCategory"},
    {effHasMidiProgramsChanged, "effHasMidiProgramsChanged"},
    {effGetMidiKeyName, "effGetMidiKeyName"},
    {effBeginSetProgram, "effBeginSetProgram"},
    {effEndSetProgram, "effEndSetProgram"},
    {effGetSpeakerArrangement, "effGetSpeakerArrangement"},
    {effShellGetNextPlugin, "effShellGetNextPlugin"},
    {effStartProcess, "effStartProcess"},
    {effStopProcess, "effStopProcess"},
    {effSetTotalSampleToProcess, "effSetTotalSampleToProcess"},
    {effSetPanLaw, "effSetPanLaw"},
    {effBeginLoadBank, "effBeginLoadBank"},
    {effBeginLoadProgram, "effBeginLoadProgram"},
    {effSetProcessPrecision, "effSetProcessPrecision"},
    {effGetNumMidiInputChannels, "effGetNumMidiInputChannels"},
    {effGetNumMidiOutputChannels, "effGetNumMidiOutputChannels"},
};

}  // namespace

OpcodeShape opcodeShape(VstInt32 opcode) {
  OpcodeShape shape;
  switch (opcode) {
    case effClose:
    case effEditGetRect:
    case effEditOpen:
      shape.sent = false;
      break;
    case effSetChunk:
      shape.value = OpcodeShape::Value::byteCount;
      break;
    case effOfflineNotify:
    case effOfflinePrepare:
    case effOfflineRun:
      shape.value = OpcodeShape::Value::zero;
      break;
    case effSetSpeakerArrangement:
    case effGetSpeakerArrangement:
      shape.value = OpcodeShape::Value::pointer;
      break;
    default:
      break;
  }
  return shape;
}

std::string opcodeName(VstInt32 opcode) {
  for (const NamedOpcode& named : kNames)
    if (named.number == opcode)
      return std::string(named.name) + " (" + std::to_string(opcode) + ")";
  return "opcode " + std::to_string(opcode);
}
