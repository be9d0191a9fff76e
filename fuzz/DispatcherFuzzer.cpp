// Drives the effect as a careless host might: arbitrary opcodes, indices, values and floats
// through the dispatcher, parameter calls and process calls with odd sizes and samples. Pointer
// arguments always point at real memory of the size a host provides for that request:
// - text requests: a 256-byte buffer holding a terminated string;
// - out-pointers (rectangle, chunk data, speaker arrangements): a slot for one pointer;
// - effSetChunk: a buffer of at least the stated byte size;
// - effEditOpen: no parent window, since there is no window system to give one.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host/PluginMain.h"
#include "host/VstInterface.h"

namespace {

constexpr int kTextSize = 256;
constexpr int kMaxFrames = 1024;

VstIntPtr VSTCALLBACK fuzzHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

// Any float, NaN and infinities included.
float anyFloat(FuzzedDataProvider& input) {
  std::uint32_t bits = input.ConsumeIntegral<std::uint32_t>();
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

VstInt32 anyOpcode(FuzzedDataProvider& input) {
  // Mostly the opcodes that exist, sometimes anything at all.
  return input.ConsumeBool() ? input.ConsumeIntegralInRange<VstInt32>(-1, 80)
                             : input.ConsumeIntegral<VstInt32>();
}

struct HostMemory {
  char text[kTextSize] = {};
  void* slots[2] = {};
  std::vector<char> chunk;
};

void dispatch(AEffect* effect, FuzzedDataProvider& input, HostMemory& memory) {
  VstInt32 opcode = anyOpcode(input);
  VstInt32 index = input.ConsumeIntegral<VstInt32>();
  auto value = static_cast<VstIntPtr>(input.ConsumeIntegral<std::int64_t>());
  float opt = anyFloat(input);
  void* ptr = nullptr;

  std::string text = input.ConsumeRandomLengthString(kTextSize - 1);
  std::memcpy(memory.text, text.c_str(), text.size() + 1);
  switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
      ptr = memory.text;
      break;
    case 1:
      ptr = &memory.slots[0];
      break;
    default:
      break;
  }
  if (opcode == effEditOpen) ptr = nullptr;
  if (opcode == effSetChunk) {
    memory.chunk.assign(input.ConsumeIntegralInRange<std::size_t>(0, 4096), 0);
    value = static_cast<VstIntPtr>(memory.chunk.size());
    ptr = memory.chunk.empty() ? nullptr : memory.chunk.data();
  }
  if (opcode == effGetSpeakerArrangement) {
    value = input.ConsumeBool() ? reinterpret_cast<VstIntPtr>(&memory.slots[0]) : 0;
    ptr = input.ConsumeBool() ? &memory.slots[1] : nullptr;
  }
  if (opcode == effVendorSpecific && input.ConsumeBool()) {
    index = kWheelVendorIndex;
    value = kWheelVendorValue;
  }
  // Closing ends the effect; that is done once, at the end.
  if (opcode == effClose) return;
  effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

template <typename Sample>
void process(AEffect* effect, FuzzedDataProvider& input) {
  std::vector<Sample> in(kMaxFrames), left(kMaxFrames), right(kMaxFrames);
  for (Sample& sample : in)
    sample = input.remaining_bytes() > 0 ? static_cast<Sample>(anyFloat(input)) : Sample(0);
  Sample* inputs[] = {in.data(), in.data()};
  Sample* outputs[] = {left.data(), right.data()};
  if (input.ConsumeBool()) outputs[input.ConsumeIntegralInRange(0, 1)] = nullptr;
  if (input.ConsumeBool()) outputs[0] = in.data();  // in place
  auto frames = input.ConsumeIntegralInRange<VstInt32>(-4, kMaxFrames);
  if constexpr (sizeof(Sample) == sizeof(float))
    effect->processReplacing(effect, inputs, outputs, frames);
  else
    effect->processDoubleReplacing(effect, inputs, outputs, frames);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  AEffect* effect = pluginMain(fuzzHost);
  if (!effect) return 0;
  HostMemory memory;
  while (input.remaining_bytes() > 0) {
    switch (input.ConsumeIntegralInRange(0, 5)) {
      case 0:
      case 1:
        dispatch(effect, input, memory);
        break;
      case 2:
        effect->setParameter(effect, input.ConsumeIntegral<VstInt32>(), anyFloat(input));
        break;
      case 3:
        effect->getParameter(effect, input.ConsumeIntegral<VstInt32>());
        break;
      case 4:
        process<float>(effect, input);
        break;
      default:
        process<double>(effect, input);
        break;
    }
  }
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  return 0;
}
