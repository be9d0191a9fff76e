#pragma once
// The VST 2.4 plug-in interface as hosts see it: the effect record, the host callback, the key and
// rectangle records, and the opcode, flag and category numbers this plug-in speaks. Written for
// this project from the published behaviour of the interface; the memory layout is what real hosts
// read, so it is pinned below with static_asserts for both 32-bit x86 and 64-bit builds.

#include <cstddef>
#include <cstdint>

// Every function of the record, the entry point and the host callback use the C calling
// convention. The build passes VSTCALLBACK=__cdecl where that is not already the default.
#ifndef VSTCALLBACK
#define VSTCALLBACK
#endif

using VstInt16 = std::int16_t;
using VstInt32 = std::int32_t;
// The dispatcher's value argument and result, and the record's two reserved fields, are
// pointer-sized: 32 bits on x86, 64 bits on x86-64.
using VstIntPtr = std::intptr_t;

struct AEffect;

using audioMasterCallback = VstIntPtr(VSTCALLBACK*)(AEffect* effect, VstInt32 opcode,
                                                    VstInt32 index, VstIntPtr value, void* ptr,
                                                    float opt);
using AEffectDispatcherProc = VstIntPtr(VSTCALLBACK*)(AEffect* effect, VstInt32 opcode,
                                                      VstInt32 index, VstIntPtr value, void* ptr,
                                                      float opt);
using AEffectProcessProc = void(VSTCALLBACK*)(AEffect* effect, float** inputs, float** outputs,
                                              VstInt32 sampleFrames);
using AEffectProcessDoubleProc = void(VSTCALLBACK*)(AEffect* effect, double** inputs,
                                                    double** outputs, VstInt32 sampleFrames);
using AEffectSetParameterProc = void(VSTCALLBACK*)(AEffect* effect, VstInt32 index,
                                                   float parameter);
using AEffectGetParameterProc = float(VSTCALLBACK*)(AEffect* effect, VstInt32 index);

// Four ASCII characters packed with the first one in the high byte, as the interface's magic
// numbers and identifiers are written.
constexpr VstInt32 fourCharacters(char a, char b, char c, char d) {
  return static_cast<VstInt32>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                               (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                               (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                               static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

constexpr VstInt32 kEffectMagic = fourCharacters('V', 's', 't', 'P');  // 0x56737450

// The record through which the host reaches the effect.
struct AEffect {
  VstInt32 magic;
  AEffectDispatcherProc dispatcher;
  AEffectProcessProc process;  // accumulating; retired but still called by old hosts
  AEffectSetParameterProc setParameter;
  AEffectGetParameterProc getParameter;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 numInputs;
  VstInt32 numOutputs;
  VstInt32 flags;
  VstIntPtr resvd1;
  VstIntPtr resvd2;
  VstInt32 initialDelay;
  VstInt32 realQualities;
  VstInt32 offQualities;
  float ioRatio;
  void* object;
  void* user;
  VstInt32 uniqueID;
  VstInt32 version;
  AEffectProcessProc processReplacing;
  AEffectProcessDoubleProc processDoubleReplacing;
  char future[56];
};

// The layout hosts read, for whichever pointer size this build has.
namespace vst_layout {
constexpr bool is32 = sizeof(void*) == 4;
constexpr bool is64 = sizeof(void*) == 8;
static_assert(is32 || is64, "the record is defined for 32-bit and 64-bit pointers only");

constexpr bool at(std::size_t actual, std::size_t offset32, std::size_t offset64) {
  return actual == (is32 ? offset32 : offset64);
}

static_assert(at(offsetof(AEffect, magic), 0, 0));
static_assert(at(offsetof(AEffect, dispatcher), 4, 8));
static_assert(at(offsetof(AEffect, process), 8, 16));
static_assert(at(offsetof(AEffect, setParameter), 12, 24));
static_assert(at(offsetof(AEffect, getParameter), 16, 32));
static_assert(at(offsetof(AEffect, numPrograms), 20, 40));
static_assert(at(offsetof(AEffect, numParams), 24, 44));
static_assert(at(offsetof(AEffect, numInputs), 28, 48));
static_assert(at(offsetof(AEffect, numOutputs), 32, 52));
static_assert(at(offsetof(AEffect, flags), 36, 56));
static_assert(at(offsetof(AEffect, resvd1), 40, 64));
static_assert(at(offsetof(AEffect, resvd2), 44, 72));
static_assert(at(offsetof(AEffect, initialDelay), 48, 80));
static_assert(at(offsetof(AEffect, realQualities), 52, 84));
static_assert(at(offsetof(AEffect, offQualities), 56, 88));
static_assert(at(offsetof(AEffect, ioRatio), 60, 92));
static_assert(at(offsetof(AEffect, object), 64, 96));
static_assert(at(offsetof(AEffect, user), 68, 104));
static_assert(at(offsetof(AEffect, uniqueID), 72, 112));
static_assert(at(offsetof(AEffect, version), 76, 116));
static_assert(at(offsetof(AEffect, processReplacing), 80, 120));
static_assert(at(offsetof(AEffect, processDoubleReplacing), 84, 128));
static_assert(at(offsetof(AEffect, future), 88, 136));
static_assert(at(sizeof(AEffect), 144, 192));
}  // namespace vst_layout

// Key record handed to the editor for effEditKeyDown and effEditKeyUp.
struct VstKeyCode {
  VstInt32 character;
  unsigned char virt;
  unsigned char modifier;
};
static_assert(offsetof(VstKeyCode, virt) == 4 && offsetof(VstKeyCode, modifier) == 5);

// The editor's rectangle as the host reads it.
struct ERect {
  VstInt16 top;
  VstInt16 left;
  VstInt16 bottom;
  VstInt16 right;
};
static_assert(sizeof(ERect) == 8);

// Only ever handled through pointers: effGetSpeakerArrangement answers with null ones.
struct VstSpeakerArrangement;

// Flags of AEffect::flags.
enum VstAEffectFlags : VstInt32 {
  effFlagsHasEditor = 1 << 0,
  effFlagsCanReplacing = 1 << 4,
  effFlagsIsSynth = 1 << 8,
  effFlagsCanDoubleReplacing = 1 << 12,
};

// Plug-in categories answered to effGetPlugCategory.
enum VstPlugCategory : VstInt32 {
  kPlugCategUnknown = 0,
  kPlugCategEffect = 1,
  kPlugCategSynth = 2,
  kPlugCategAnalysis = 3,
  kPlugCategMastering = 4,
  kPlugCategSpacializer = 5,
};

// Opcodes the host sends through the dispatcher. Numbers without a name here are retired: the
// dispatcher answers them with 0.
enum AEffectOpcodes : VstInt32 {
  effOpen = 0,
  effClose = 1,
  effSetProgram = 2,
  effGetProgram = 3,
  effSetProgramName = 4,
  effGetProgramName = 5,
  effGetParamLabel = 6,
  effGetParamDisplay = 7,
  effGetParamName = 8,
  effSetSampleRate = 10,
  effSetBlockSize = 11,
  effMainsChanged = 12,
  effEditGetRect = 13,
  effEditOpen = 14,
  effEditClose = 15,
  effEditIdle = 19,
  effIdentify = 22,
  effGetChunk = 23,
  effSetChunk = 24,
  effProcessEvents = 25,
  effCanBeAutomated = 26,
  effString2Parameter = 27,
  effGetProgramNameIndexed = 29,
  effGetInputProperties = 33,
  effGetOutputProperties = 34,
  effGetPlugCategory = 35,
  effOfflineNotify = 38,
  effOfflinePrepare = 39,
  effOfflineRun = 40,
  effProcessVarIo = 41,
  effSetSpeakerArrangement = 42,
  effSetBypass = 44,
  effGetEffectName = 45,
  effGetVendorString = 47,
  effGetProductString = 48,
  effGetVendorVersion = 49,
  effVendorSpecific = 50,
  effCanDo = 51,
  effGetTailSize = 52,
  effGetParameterProperties = 56,
  effGetVstVersion = 58,
  effEditKeyDown = 59,
  effEditKeyUp = 60,
  effSetEditKnobMode = 61,
  effGetMidiProgramName = 62,
  effGetCurrentMidiProgram = 63,
  effGetMidiProgramCategory = 64,
  effHasMidiProgramsChanged = 65,
  effGetMidiKeyName = 66,
  effBeginSetProgram = 67,
  effEndSetProgram = 68,
  effGetSpeakerArrangement = 69,
  effShellGetNextPlugin = 70,
  effStartProcess = 71,
  effStopProcess = 72,
  effSetTotalSampleToProcess = 73,
  effSetPanLaw = 74,
  effBeginLoadBank = 75,
  effBeginLoadProgram = 76,
  effSetProcessPrecision = 77,
  effGetNumMidiInputChannels = 78,
  effGetNumMidiOutputChannels = 79,
};

// Opcodes the plug-in sends through the host callback.
enum AudioMasterOpcodes : VstInt32 {
  audioMasterAutomate = 0,
  audioMasterVersion = 1,
  audioMasterIdle = 3,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44,
};

// The answer to effIdentify.
constexpr VstInt32 kEffectIdentity = fourCharacters('N', 'v', 'E', 'f');  // 0x4E764566
// The unique ID an effect carries until it sets its own.
constexpr VstInt32 kDefaultUniqueId = fourCharacters('N', 'o', 'E', 'f');  // 0x4E6F4566
// effVendorSpecific with these index and value arguments reports a mouse-wheel step (opt).
constexpr VstInt32 kWheelVendorIndex = fourCharacters('s', 't', 'C', 'A');   // 0x73744341
constexpr VstIntPtr kWheelVendorValue = fourCharacters('W', 'h', 'e', 'e');  // 0x57686565

// The interface version hosts and effects announce: 2.4.
constexpr VstInt32 kVstVersion = 2400;

// Text buffer sizes that the record's program names need (23 characters and a terminator).
constexpr int kVstMaxProgNameLen = 24;
