#include "tools/validate/ValidatorHost.h"

#include <atomic>
#include <cmath>
#include <mutex>

namespace {

// The host queries for the current sample rate and block size.
constexpr VstInt32 kHostQuerySampleRate = 16;
constexpr VstInt32 kHostQueryBlockSize = 17;

std::atomic<float> currentRate{44100.0f};
std::atomic<VstInt32> currentBlockSize{512};
std::atomic<VstInt32> parameterCount{0};
std::mutex problemLock;
std::string firstProblem;

void keepProblem(const std::string& problem) {
  std::lock_guard<std::mutex> hold(problemLock);
  if (firstProblem.empty()) firstProblem = problem;
}

void judgeParameterRequest(const char* request, VstInt32 index, float value, bool hasValue) {
  VstInt32 count = parameterCount.load();
  if (index < 0 || index >= count)
    keepProblem(std::string("the plug-in sent ") + request + " for parameter " +
                std::to_string(index) + ", which it does not have (it has " +
                std::to_string(count) + ")");
  else if (hasValue && !(value >= 0.0f && value <= 1.0f))
    keepProblem(std::string("the plug-in sent ") + request + " for parameter " +
                std::to_string(index) + " with the value " + std::to_string(value) +
                ", outside 0 to 1");
}

VstIntPtr VSTCALLBACK answer(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                             float opt) {
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterAutomate:
      judgeParameterRequest("audioMasterAutomate", index, opt, true);
      return 0;
    case audioMasterBeginEdit:
      judgeParameterRequest("audioMasterBeginEdit", index, 0.0f, false);
      return 1;
    case audioMasterEndEdit:
      judgeParameterRequest("audioMasterEndEdit", index, 0.0f, false);
      return 1;
    case kHostQuerySampleRate:
      return static_cast<VstIntPtr>(currentRate.load());
    case kHostQueryBlockSize:
      return currentBlockSize.load();
    default:
      return 0;
  }
}

}  // namespace

audioMasterCallback ValidatorHost::callback() { return answer; }

void ValidatorHost::setCurrentRate(float rate) {
  // Only rates a host could run at are passed on to a plug-in that asks.
  if (rate >= 1.0f && rate <= 1e7f) currentRate.store(rate);
}

void ValidatorHost::setCurrentBlockSize(VstInt32 frames) {
  if (frames > 0) currentBlockSize.store(frames);
}

void ValidatorHost::setParameterCount(VstInt32 count) { parameterCount.store(count); }

std::string ValidatorHost::problem() {
  std::lock_guard<std::mutex> hold(problemLock);
  return firstProblem;
}
