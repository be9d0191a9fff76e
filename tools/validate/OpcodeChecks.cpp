// Every dispatcher opcode from 0 to 127 with random index, value and float, once with valid
// pointers and once with null ones (OpcodeTable.h says what each opcode gets).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "tools/validate/AudioRunner.h"
#include "tools/validate/CheckContext.h"
#include "tools/validate/CheckOutcomes.h"
#include "tools/validate/Checks.h"
#include "tools/validate/EffectInstance.h"
#include "tools/validate/GuardedBuffer.h"
#include "tools/validate/OpcodeTable.h"

namespace {

// Bytes after each pointer buffer that must come back as they were given.
constexpr std::size_t kGuardBytes = 3072;

struct Arguments {
  VstInt32 index = 0;
  VstIntPtr value = 0;
  float opt = 0.0f;
};

// Mostly numbers near the ones that mean something, some anywhere, some at the extremes.
std::int64_t randomNumber(CheckContext& context, std::int64_t near) {
  switch (context.between(0, 9)) {
    case 0:
      return std::numeric_limits<VstInt32>::min();
    case 1:
      return std::numeric_limits<VstInt32>::max();
    case 2:
    case 3:
      return context.between(std::numeric_limits<VstInt32>::min(),
                             std::numeric_limits<VstInt32>::max());
    default:
      return context.between(-2, near + 2);
  }
}

float randomFloat(CheckContext& context) {
  const float special[] = {std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(),
                           0.0f,
                           -0.0f,
                           1e30f,
                           std::numeric_limits<float>::denorm_min()};
  switch (context.between(0, 3)) {
    case 0:
      return special[context.between(0, std::size(special) - 1)];
    case 1:
      return std::uniform_real_distribution<float>(-1e6f, 1e6f)(context.random());
    default:
      return std::uniform_real_distribution<float>(0.0f, 1.0f)(context.random());
  }
}

Arguments randomArguments(CheckContext& context, const EffectInstance& effect) {
  std::int64_t near = std::max({effect.parameterCount(), effect.programCount(), 16});
  return {static_cast<VstInt32>(randomNumber(context, near)),
          static_cast<VstIntPtr>(randomNumber(context, near)), randomFloat(context)};
}

std::string describe(VstInt32 opcode, const Arguments& arguments, bool validPointers) {
  char text[160];
  std::snprintf(text, sizeof text, ", index %d, value %lld, float %g, %s", arguments.index,
                static_cast<long long>(arguments.value), static_cast<double>(arguments.opt),
                validPointers ? "a zeroed 1024-byte buffer" : "a null pointer");
  return opcodeName(opcode) + text;
}

void send(CheckContext& context, const EffectInstance& effect, VstInt32 opcode,
          bool validPointers) {
  OpcodeShape shape = opcodeShape(opcode);
  Arguments arguments = randomArguments(context, effect);
  GuardedBuffer buffer(kPointerBytes, kGuardBytes), second(kPointerBytes, kGuardBytes);
  if (shape.value == OpcodeShape::Value::byteCount)
    arguments.value = validPointers ? context.between(0, kPointerBytes) : 0;
  if (shape.value == OpcodeShape::Value::zero) arguments.value = 0;
  if (shape.value == OpcodeShape::Value::pointer)
    arguments.value = validPointers ? reinterpret_cast<VstIntPtr>(second.data()) : 0;
  std::string call = describe(opcode, arguments, validPointers);
  context.step(call);
  effect.dispatch(opcode, arguments.index, arguments.value, validPointers ? buffer.data() : nullptr,
                  arguments.opt);
  if (!buffer.guardIntact() || !second.guardIntact())
    throw CheckFailure(call + ": the plug-in wrote past the " + std::to_string(kPointerBytes) +
                       " bytes given");
}

std::string fuzzOpcodes(CheckContext& context, bool validPointers) {
  EffectInstance effect(context.module());
  effect.start(44100.0f, 512);
  int calls = context.scaled(5);
  // Every opcode `calls` times, in a shuffled order, so each meets the state others leave behind.
  std::vector<VstInt32> order;
  for (VstInt32 opcode = 0; opcode <= kLastOpcode; ++opcode)
    if (opcodeShape(opcode).sent)
      order.insert(order.end(), static_cast<std::size_t>(calls), opcode);
  std::shuffle(order.begin(), order.end(), context.random());
  for (VstInt32 opcode : order) send(context, effect, opcode, validPointers);

  context.step("processing after the opcodes, at 44100 Hz in blocks of 512");
  effect.suspend();
  effect.setSampleRate(44100.0f);
  effect.setBlockSize(512);
  effect.resume();
  for (Precision precision : effect.precisions()) {
    AudioRunner runner(effect, precision, 512);
    runner.setContext("after the opcodes");
    runner.runFor(8 * 512, 512);
  }
  return std::to_string(order.size()) + " calls (" + std::to_string(calls) +
         " of each opcode from 0 to 127 but effClose, effEditGetRect and effEditOpen), then 8 "
         "blocks of sound";
}

}  // namespace

std::string checkOpcodeFuzz(CheckContext& context) { return fuzzOpcodes(context, true); }

std::string checkOpcodeFuzzNullPointers(CheckContext& context) {
  return fuzzOpcodes(context, false);
}
