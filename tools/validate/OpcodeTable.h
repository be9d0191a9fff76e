#pragma once
#include <string>

#include "host/VstInterface.h"

// How the opcode checks fill the dispatcher's arguments when they send every opcode from 0 to
// kLastOpcode with random index, value and float, once with a valid pointer and once with null.
//
// ptr, when valid, is a zeroed buffer of kPointerBytes followed by a guard that must come back
// untouched. A zeroed buffer of that size holds every record an opcode reads or writes through
// ptr: texts (names, labels, displays, strings of effCanDo and effString2Parameter), the chunk
// pointer of effGetChunk (23), a VstEvents with no
// events (25), the pin properties of 33 and 34, a VstVariableIo (41), the parameter properties
// of 56, the MIDI program, category and key-name records of 62, 64 and 66, speaker arrangements
// (42, 69), the patch-chunk info of 75 and 76, and the shell plug-in's name (70).
//
// value is a random number, except where it describes ptr or is a pointer itself:
//   24 effSetChunk                        the byte count of ptr's data: at most kPointerBytes, 0
//                                         with a null ptr
//   38, 39, 40 (offline notify, prepare,  the number of records at ptr: 0, since a random count
//   run)                                  of such records would read past any buffer
//   42 effSetSpeakerArrangement,          a pointer as well: a second zeroed buffer of
//   69 effGetSpeakerArrangement           kPointerBytes, or 0 when ptr is null
//
// Never sent: 1 effClose (it ends the effect; every check ends with it), 13 effEditGetRect and
// 14 effEditOpen (a plug-in may need its window system to answer them, and its ptr must be a real
// parent window; the editor checks ask for the rectangle and open the editor their own way).
struct OpcodeShape {
  enum class Value { number, byteCount, zero, pointer };

  Value value = Value::number;
  bool sent = true;
};

constexpr VstInt32 kLastOpcode = 127;
constexpr int kPointerBytes = 1024;

OpcodeShape opcodeShape(VstInt32 opcode);
// "effGetParamName (8)", or "opcode 90" for numbers without a name.
std::string opcodeName(VstInt32 opcode);
