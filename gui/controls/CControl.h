#pragma once

#include <atomic>
#include <cstdint>

#include "gui/CView.h"
#include "gui/CViewPoint.h"
#include "gui/MouseButtonState.h"

namespace gui {

class CBitmap;
class CControlListener;
class CDrawContext;

// A view holding one float value between a minimum and a maximum, a tag by which its owner knows
// it, and a listener told about changes the user makes. Every user gesture is bracketed by
// beginEdit and endEdit, which travel through the frame to the editor and the host.
//
// `value` is the one field that crosses threads: the effect sets it from the audio or automation
// thread with setValue while the editor thread reads it, so it is a relaxed atomic. Everything
// else belongs to the editor thread.
class CControl : public CView {
 public:
  // listener and background may be empty; the control holds a reference on the background.
  CControl(const CViewRect& size, CControlListener* listener = nullptr, int32_t tag = 0,
           CBitmap* background = nullptr);
  ~CControl() override;

  void draw(CDrawContext* context) override = 0;
  // value differs from oldValue (NaN on either side counts as different), else the dirty flag.
  bool isDirty() const override;
  // true: oldValue becomes a number that surely differs from value; false: oldValue = value.
  void setDirty(bool state = true) override;
  // "CControl" and "CView".
  bool isTypeOf(const char* name) const override;

  // Serves the frame (and through it the editor and host) from inside a mouse-tracking loop.
  virtual void serviceIdle();
  // Stores only: no clamping, no dirty flag, no listener call. Safe from any thread.
  virtual void setValue(float newValue);
  virtual float getValue() const;
  // Bounds are stored only; the value is left as it is.
  virtual void setMin(float newMin);
  virtual float getMin() const;
  virtual void setMax(float newMax);
  virtual float getMax() const;
  virtual void setOldValue(float newOldValue);
  virtual float getOldValue() const;
  virtual void setDefaultValue(float newDefault);
  virtual float getDefaultValue() const;
  virtual void setTag(int32_t newTag);
  virtual int32_t getTag() const;
  // Start and end of a user gesture: the control becomes the frame's focus view and the frame
  // hears beginEdit / endEdit of the tag. Without a frame nothing happens.
  virtual void beginEdit();
  virtual void endEdit();
  virtual void setBackOffset(const CViewPoint& offset);
  // backOffset = the top-left corner of the view's size.
  virtual void copyBackOffset();
  virtual void setWheelIncrement(float increment);
  virtual float getWheelIncrement() const;
  // Puts value inside minValue..maxValue; a NaN becomes minValue.
  virtual void clampValue();
  // Left + Control (exactly 17): sets the default value as one gesture and answers true.
  virtual bool resetOnControlClick(CDrawContext* context, MouseButtonState buttons);

  // The second of two clicks closer together than doubleClickDelay answers true (and starts a
  // new pair). False without a frame, which has the clock.
  bool isDoubleClick();

  CControlListener* getListener() const { return listener; }
  CViewPoint getBackOffset() const { return backOffset; }
  int32_t getDoubleClickDelay() const { return doubleClickDelay; }

 protected:
  float loadValue() const { return value.load(std::memory_order_relaxed); }
  void storeValue(float newValue) { value.store(newValue, std::memory_order_relaxed); }
  // The gesture step shared by every control: tell the listener when isDirty says so.
  void reportIfDirty(CDrawContext* context);

  CControlListener* listener = nullptr;
  int32_t tag = 0;
  float oldValue = 1.0f;
  float defaultValue = 0.5f;
  std::atomic<float> value{0.0f};
  float minValue = 0.0f;
  float maxValue = 1.0f;
  float wheelIncrement = 0.1f;
  int32_t lastClickTicks = -1;
  int32_t doubleClickDelay = 250;
  CViewPoint backOffset;
};

}  // namespace gui
