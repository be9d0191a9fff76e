#include "tools/validate/AudioThread.h"

#include "tools/validate/AudioRunner.h"
#include "tools/validate/CheckOutcomes.h"

AudioThread::AudioThread(const EffectInstance& effect, Precision precision, int blockFrames,
                         double rate)
    : thread([this, &effect, precision, blockFrames, rate] {
        run(effect, precision, blockFrames, rate);
      }) {}

AudioThread::~AudioThread() { join(); }

void AudioThread::run(const EffectInstance& effect, Precision precision, int blockFrames,
                      double rate) {
  try {
    AudioRunner runner(effect, precision, blockFrames);
    runner.setRate(rate);
    runner.setContext("on the audio thread");
    while (!stopping.load()) {
      runner.run(blockFrames);
      blocks.fetch_add(1);
    }
  } catch (const CheckFailure& failure) {
    std::lock_guard<std::mutex> hold(problemLock);
    problem = failure.what();
    stoppedAtProblem.store(true);
  }
}

void AudioThread::waitForBlocks(long count) const {
  while (blocks.load() < count && !stoppedAtProblem.load()) std::this_thread::yield();
}

void AudioThread::join() {
  stopping.store(true);
  if (thread.joinable()) thread.join();
}

void AudioThread::stop() {
  join();
  std::lock_guard<std::mutex> hold(problemLock);
  if (!problem.empty()) throw CheckFailure(problem);
}
