#include "tools/validate/TextAnswer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "tools/validate/EffectInstance.h"

namespace {
// The buffer handed over: the room and far more, filled with a byte no text ends with.
constexpr std::size_t kBufferBytes = 1024;
constexpr char kMarker = '\x7f';
}  // namespace

TextAnswer TextAnswer::ask(const EffectInstance& effect, VstInt32 opcode, VstInt32 index,
                           VstIntPtr value) {
  std::vector<char> buffer(kBufferBytes, kMarker);
  effect.dispatch(opcode, index, value, buffer.data());
  TextAnswer answer;
  auto touched = std::find_if(buffer.rbegin(), buffer.rend(), [](char c) { return c != kMarker; });
  std::size_t written = static_cast<std::size_t>(buffer.rend() - touched);
  if (written == 0) return answer;
  answer.answered = true;
  auto end = std::find(buffer.begin(), buffer.begin() + kRoom, '\0');
  answer.text.assign(buffer.begin(), end);
  if (end == buffer.begin() + kRoom)
    answer.problem =
        "has no terminating zero within the " + std::to_string(kRoom) + " bytes hosts give";
  else if (written > kRoom)
    answer.problem = "wrote " + std::to_string(written) + " bytes, past the " +
                     std::to_string(kRoom) + " bytes hosts give";
  return answer;
}
