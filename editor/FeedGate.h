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
// Counting costs a locked instruction on entry and exit, too much for the points of every audio
// sample. So the effect's processing opens one block per audio block (startBlock, from its clear
// points value) that counts once and keeps the controls until finishBlock (its show points value);
// the points and values of that block use them without counting. Only the processing opens blocks,
// and processing runs on one thread at a time, so the block's fields belong to that thread; every
// other call (a host sending values through the parameter interface, from any thread) is a Visit.
class FeedGate {
 public:
  FeedGate();
  // A block still open is given up.
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

  // One feed call from any thread outside a block: the published controls, or null while the
  // editor is closed.
  class Visit {
   public:
    explicit Visit(FeedGate& gate) : gate(gate), held(gate.enter()) {}
    ~Visit() {
      if (held) gate.leave();
    }
    Visit(const Visit&) = delete;
    Visit& operator=(const Visit&) = delete;
    EditorControls* controls() const { return held; }

   private:
    FeedGate& gate;
    EditorControls* held;
  };

  // The processing thread's block: opened and closed by the effect's own feed. A block that was
  // never closed is closed before the next one opens.
  void startBlock();
  void finishBlock();
  bool isBlockOpen() const { return blockOpen; }
  // The controls of the open block (null while the editor is closed); processing thread only.
  EditorControls* blockControls() const { return heldByBlock; }

 private:
  EditorControls* enter();
  void leave();

  std::atomic<EditorControls*> published;
  std::atomic<std::int32_t> inFlight;
  // The open block, touched only by the processing thread.
  bool blockOpen = false;
  EditorControls* heldByBlock = nullptr;
};
