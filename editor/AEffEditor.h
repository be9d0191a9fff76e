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

protected:
  AudioEffect* effect;  // not owned: the effect owns this editor
  void* systemWindow;   // the host's parent window while open, else null
};
