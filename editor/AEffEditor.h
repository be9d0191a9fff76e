#pragma once
#include "host/VstInterface.h"

class AudioEffect;

// The editor as the effect's dispatcher sees it. Every request has a harmless default here; the
// effect's real editor derives from this and overrides what it supports. The effect owns its
// editor for its whole life: opening and closing the window neither creates nor destroys it.
class AEffEditor {
 public:
  explicit AEffEditor(AudioEffect* effect);
  virtual ~AEffEditor();

  virtual AudioEffect* getEffect();
  // Stores null in *rect and answers false: this editor has no size to offer.
  virtual bool getRect(ERect** rect);
  // Remembers the host's parent window; answers false since nothing is shown.
  virtual bool open(void* window);
  virtual void close();
  virtual bool isOpen();
  virtual void idle();
  virtual bool onKeyDown(VstKeyCode& keyCode);
  virtual bool onKeyUp(VstKeyCode& keyCode);
  virtual bool onWheel(float distance);
  virtual bool setKnobMode(VstInt32 mode);
  // Values from the effect: parameters 0 to 5 whenever they change, and the display feed
  // (peaks, correlation, goniometer points) from the audio thread while it processes. Must be
  // cheap and must not block: it runs inside the audio callback.
  virtual void setParameter(VstInt32 index, float value);
  // The goniometer points of a run of audio samples, in sample order: for each i the same as
  // setParameter(12, side[i]) followed by setParameter(13, mid[i]), which is what this default
  // does. The effect hands its points over a run at a time, so that an editor can take a whole
  // run in one call instead of two calls per sample.
  virtual void setPoints(const float* side, const float* mid, VstInt32 count);
  // Asked by the effect on the audio thread at the start of each block: whether the display feed
  // would reach anything. An editor whose window is closed drops the feed anyway, and saying so
  // spares the audio thread its cost. Must be cheap and thread-safe; this default says yes.
  virtual bool takesDisplayFeed() const;
  // A value of the display feed from the effect's own processing, on the audio thread, in the
  // order of one block: clear points (10) opens the block, then come its points (setPoints), the
  // correlation (9) and the peaks (7, 8), and show points (11) closes it. Values that a host sends
  // through setParameter at the same indices are single calls, not blocks. This default hands the
  // value to setParameter.
  virtual void setFeedValue(VstInt32 index, float value);

 protected:
  AudioEffect* effect;  // not owned: the effect owns this editor
  void* systemWindow;   // the host's parent window while open, else null
};
