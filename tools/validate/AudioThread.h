#pragma once
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "tools/validate/EffectInstance.h"

// Processing on a thread of its own, as a host's audio thread runs, while the check calls the
// effect from its own thread (parameters, programs, the editor). Blocks are checked as
// AudioRunner checks them; the first problem stops the thread and is thrown by stop().
class AudioThread {
 public:
  AudioThread(const EffectInstance& effect, Precision precision, int blockFrames, double rate);
  // Stops and joins without throwing.
  ~AudioThread();
  AudioThread(const AudioThread&) = delete;
  AudioThread& operator=(const AudioThread&) = delete;

  // Waits until at least `count` blocks have run since the start (or the thread has stopped at a
  // problem), so that a check knows its calls overlapped with processing.
  void waitForBlocks(long count) const;
  // Waits until a whole block has run after this call began: a problem it shows comes from what
  // the check did before.
  void waitForWholeBlock() const { waitForBlocks(blocks.load() + 2); }
  // Stops and joins; throws CheckFailure with the first problem, if there was one.
  void stop();
  // True once a block had a problem (the thread has stopped then).
  bool failed() const { return stoppedAtProblem.load(); }

 private:
  void run(const EffectInstance& effect, Precision precision, int blockFrames, double rate);
  void join();

  std::atomic<bool> stopping{false};
  std::atomic<long> blocks{0};
  std::atomic<bool> stoppedAtProblem{false};
  mutable std::mutex problemLock;
  std::string problem;
  std::thread thread;
};
