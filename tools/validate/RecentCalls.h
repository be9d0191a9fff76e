#pragma once
#include <deque>
#include <string>

// The last few calls a check made, named in a message about a problem that the audio thread
// shows a little later than the call that caused it.
class RecentCalls {
 public:
  void add(const std::string& call) {
    calls.push_back(call);
    if (calls.size() > kKept) calls.pop_front();
  }

  // "setParameter(1, nan), setParameter(2, 0.5)"
  std::string text() const {
    std::string joined;
    for (const std::string& call : calls) joined += (joined.empty() ? "" : ", ") + call;
    return joined;
  }

 private:
  static constexpr std::size_t kKept = 3;

  std::deque<std::string> calls;
};
