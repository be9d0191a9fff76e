#include "editor/FeedGate.h"

#include <thread>

// The entry count and the published pointer are the one place where relaxed order is not enough:
// a feed call raises the count and then reads the pointer, closing clears the pointer and then
// reads the count. Only sequential consistency forbids both reads seeing the old state (each
// thread's store overtaken by its own load), and the release of leaving orders every access a call
// made before the editor thread, having seen the count at zero, destroys the controls.

FeedGate::FeedGate() : published(nullptr), inFlight(0) {}

FeedGate::~FeedGate() { finishBlock(); }

void FeedGate::publish(EditorControls* controls) {
  published.store(controls, std::memory_order_seq_cst);
}

bool FeedGate::shut(std::chrono::milliseconds patience) {
  published.store(nullptr, std::memory_order_seq_cst);
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
  finishBlock();
  heldByBlock = enter();
  blockOpen = true;
}

void FeedGate::finishBlock() {
  if (!blockOpen) return;
  if (heldByBlock) leave();
  heldByBlock = nullptr;
  blockOpen = false;
}
