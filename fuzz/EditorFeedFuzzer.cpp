// The open editor takes arbitrary values on every index of its receiver, real processing of
// arbitrary samples, and idles in between: nothing may be drawn or marked out of bounds and no
// conversion may be undefined, whatever the numbers.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "editor/AEffEditor.h"
#include "editor/HeadlessEditorSession.h"
#include "effect/Lumivane.h"

namespace {

VstIntPtr VSTCALLBACK fuzzHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}
  bool empty() const { return size == 0; }
  std::uint8_t byte() { return take<std::uint8_t>(); }
  float number() { return take<float>(); }

 private:
  template <typename T>
  T take() {
    T value{};
    std::size_t count = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, count);
    data += count;
    size -= count;
    return value;
  }
  const std::uint8_t* data;
  std::size_t size;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Lumivane effect(fuzzHost);
  static std::unique_ptr<HeadlessEditorSession> session =
      HeadlessEditorSession::open(effect.getEffectRecord());
  if (!session) return 0;
  AEffect* record = effect.getEffectRecord();
  Input input(data, size);
  std::vector<float> samples, left, right;
  while (!input.empty()) {
    const std::uint8_t action = input.byte();
    if (action < 160) {
      effect.getEditor()->setParameter(static_cast<VstInt32>(action % 16) - 1, input.number());
    } else if (action < 200) {
      samples.resize(1 + action % 64);
      for (float& sample : samples) sample = input.number();
      left.resize(samples.size());
      right.resize(samples.size());
      float* inputs[] = {samples.data()};
      float* outputs[] = {left.data(), right.data()};
      record->processReplacing(record, inputs, outputs, static_cast<VstInt32>(samples.size()));
    } else if (action < 250) {
      record->setParameter(record, action % 8, input.number());
    } else {
      session->idle(1);
    }
  }
  session->idle(1);
  return 0;
}
