#pragma once
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "host/VstInterface.h"

// A host that answers the version query and records what the plug-in tells it: automation, edit
// gestures and requests for idle time. Any thread may call it.
class RecordingHost {
 public:
  struct Call {
    VstInt32 opcode;
    VstInt32 index;
    float value;
    bool operator==(const Call& other) const {
      return opcode == other.opcode && index == other.index && value == other.value;
    }
  };

  static VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                                        float opt) {
    if (opcode == audioMasterVersion) return kVstVersion;
    std::function<void()> reaction;
    {
      std::lock_guard<std::mutex> lock(state().mutex);
      state().calls.push_back({opcode, index, opcode == audioMasterAutomate ? opt : 0.0f});
      if (opcode == audioMasterIdle) reaction = std::exchange(state().onIdle, nullptr);
    }
    if (reaction) reaction();
    return opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit ? 1 : 0;
  }

  // What the host does, once, at the next request for idle time (a host may close the editor
  // there, for instance).
  static void atNextIdle(std::function<void()> reaction) {
    std::lock_guard<std::mutex> lock(state().mutex);
    state().onIdle = std::move(reaction);
  }

  static void clear() {
    std::lock_guard<std::mutex> lock(state().mutex);
    state().calls.clear();
    state().onIdle = nullptr;
  }

  // Every call with one of the opcodes, in order.
  static std::vector<Call> callsOf(std::initializer_list<VstInt32> opcodes) {
    std::lock_guard<std::mutex> lock(state().mutex);
    std::vector<Call> result;
    for (const Call& call : state().calls)
      for (VstInt32 opcode : opcodes)
        if (call.opcode == opcode) result.push_back(call);
    return result;
  }

  // Automation and the edit gestures around it.
  static std::vector<Call> gestures() {
    return callsOf({audioMasterAutomate, audioMasterBeginEdit, audioMasterEndEdit});
  }

 private:
  struct State {
    std::mutex mutex;
    std::vector<Call> calls;
    std::function<void()> onIdle;
  };
  static State& state() {
    static State instance;
    return instance;
  }
};
