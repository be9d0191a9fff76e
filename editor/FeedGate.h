#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>

struct EditorControls;

// Keeps the display feed away from controls that the editor thread is about to destroy, without
// the feed ever waiting or locking.
//
// The editor thread publishes the controls of an open window; a feed call reaches them only
// through a Visit, which counts itself in flight before it reads the published pointer. Closing
// clears the pointer first and then waits, on the editor thread, until nothing is in flight: from
// then on no call can hold the old controls, and they may be destroyed.
//
// Counting costs a locked instruction on entry and exit, too much for the two calls each audio
// sample makes. So the audio thread's block is one visit: startBlock (the feed's block start)
// counts once and keeps the controls for this thread until finishBlock (the block end); every call
// the same thread makes in between uses them without counting. The block belongs to the thread that
// started it; a call from any other thread counts for itself. A block started and never finished
// (only a host that sends the feed's own values through the parameter interface can do that)
// holds the count, so closing waits only as long as it is told to.
class FeedGate {
public:
  FeedGate();
  // A block this thread still holds is given up.
  ~FeedGate();
  FeedGate(const FeedGate&) = delete;
  FeedGate& operator=(const FeedGate&) = delete;

  // Editor thread: the controls are complete and may receive the feed from now on.
  void publish(EditorControls* controls);
  // Editor thread: stops new feed calls from reaching the published controls and waits at most
  // `patience` until no call holds them any more. True: the controls may be destroyed.
  bool shut(std::chrono::milliseconds patience);
  // Controls are published: an editor window is open and takes the feed.
  bool isPublished() const { return published.load(std::memory_order_relaxed) != nullptr; }
  // No call holds any controls now (after shut: none ever will again).
  bool isDrained() const;

  // One feed call from any thread: the published controls, or null while the editor is closed.
  // Inline, as it runs twice for every audio sample.
  class Visit {
  public:
    explicit Visit(FeedGate& gate) : gate(gate), held(nullptr), counted(false) {
      const HeldBlock& block = heldBlock();
      if (block.serial == gate.serial) {
        held = block.controls;
      } else {
        held = gate.enter();
        counted = held != nullptr;
      }
    }
    ~Visit() {
      if (counted) gate.leave();
    }
    Visit(const Visit&) = delete;
    Visit& operator=(const Visit&) = delete;
    EditorControls* controls() const { return held; }

  private:
    FeedGate& gate;
    EditorControls* held;
    bool counted;
  };

  // The calling thread's block of feed calls.
  void startBlock();
  void finishBlock();

private:
  // The block this thread holds: which gate, the controls it handed out, and whether the block
  // counts in that gate's in-flight number (not when the editor was closed at the block's start).
  struct HeldBlock {
    std::uint64_t serial = 0;
    EditorControls* controls = nullptr;
    bool counted = false;
  };
  static HeldBlock& heldBlock() {
    static thread_local HeldBlock block;
    return block;
  }

  EditorControls* enter();
  void leave();

  std::atomic<EditorControls*> published;
  std::atomic<std::int32_t> inFlight;
  // Names this gate in the threads' block records. A number instead of the address, so that a
  // record left behind by a gate that is gone never matches a new gate at the same address.
  const std::uint64_t serial;
};
