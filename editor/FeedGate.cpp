#include "editor/FeedGate.h"

#include <thread>

namespace {

std::atomic<std::uint64_t> nextSerial{1};

}  // namespace

// The entry count and the published pointer are the one place where relaxed order is not enough:
// a feed call raises the count and then reads the pointer, closing clears the pointer and then
// reads the count. Only sequential consistency forbids both reads seeing the old state (each
// thread's store overtaken by its own load), and the release of leaving orders every access a call
// made before the editor thread, having seen the count at zero, destroys the controls.

FeedGate::FeedGate()
    : published(nullptr), inFlight(0), serial(nextSerial.fetch_add(1, std::memory_order_relaxed)) {}

FeedGate::~FeedGate() { finishBlock(); }

void FeedGate::publish(EditorControls* controls) { published.store(controls, std::memory_order_seq_cst); }

bool FeedGate::shut(std::chrono::milliseconds patience) {
  published.store(nullptr, std::memory_order_seq_cst);
  // The editor thread's own unfinished block would otherwise be waited for by itself.
  finishBlock();
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (!isDrained()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::yield();
  }
  return true;
}

bool FeedGate::isDrained() const { return inFlight.load(std::memory_order_seq_cst) == 0; }

EditorControls* FeedGate::enter() {
  inFlight.fetch_add(1, std::memory_order_seq_cst);
  EditorControls* controls = published.load(std::memory_order_seq_cst);
  if (!controls) leave();
  return controls;
}

void FeedGate::leave() { inFlight.fetch_sub(1, std::memory_order_seq_cst); }

void FeedGate::startBlock() {
  HeldBlock& block = heldBlock();
  if (block.serial == serial) finishBlock();  // the previous block never finished: start afresh
  // A thread still marked as inside another gate's block (left behind unfinished) keeps that mark;
  // its calls here simply count one by one.
  if (block.serial != 0) return;
  EditorControls* controls = enter();
  block.serial = serial;
  block.controls = controls;
  block.counted = controls != nullptr;
}

void FeedGate::finishBlock() {
  HeldBlock& block = heldBlock();
  if (block.serial != serial) return;
  if (block.counted) leave();
  block = HeldBlock();
}

