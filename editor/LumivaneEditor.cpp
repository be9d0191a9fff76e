#include "editor/LumivaneEditor.h"

#include <cmath>

#include "editor/CGoniometer.h"
#include "editor/EditorLayout.h"
#include "editor/HeldReference.h"
#include "effect/TextConversions.h"
#include "effect/ValueTag.h"
#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/controls/CAnimKnob.h"
#include "gui/controls/CMovieBitmap.h"
#include "gui/controls/CTextEdit.h"
#include "gui/controls/CVuMeter.h"
#include "host/AudioEffectX.h"

namespace layout = editor_layout;
using gui::CViewPoint;
using gui::CViewRect;

namespace {

const gui::CRgbColor kFieldText(0, 255, 0, 255);
const gui::CRgbColor kFieldBack(0, 0, 0, 255);

// The parameter a control serves: knobs by tags 1 to 6, fields by tags 7 to 12; -1 for others.
VstInt32 parameterOfTag(VstInt32 tag) {
  if (tag >= layout::kFirstKnobTag && tag < layout::kFirstKnobTag + layout::kParameterCount)
    return tag - layout::kFirstKnobTag;
  if (tag >= layout::kFirstFieldTag && tag < layout::kFirstFieldTag + layout::kParameterCount)
    return tag - layout::kFirstFieldTag;
  return -1;
}

bool isFeedIndex(VstInt32 index) {
  return index >= kTagPreDelay && index <= kTagPointMid && index != 6;
}

// A level that is not a number shows as an empty meter.
float meterLevel(float value) { return std::isnan(value) ? 0.0f : value; }

// The image of a resource id; a failed allocation counts as an image that did not load.
gui::CBitmap* loadBackground() {
  try {
    return new gui::CBitmap(layout::kBackgroundImage);
  } catch (...) {
    return nullptr;
  }
}

// Adds a new view to the frame, which from then on holds it (the creator's reference included).
template <typename View>
View* place(gui::CFrame* frame, View* created) {
  HeldReference<View> view(created);
  frame->addView(view.get());
  return view.release();
}

}  // namespace

LumivaneEditor::LumivaneEditor(AudioEffectX* effect)
    : AEffGUIEditor(effect), background(loadBackground()) {
  if (background) {
    rectangle.top = 0;
    rectangle.left = 0;
    rectangle.bottom = static_cast<VstInt16>(background->getHeight());
    rectangle.right = static_cast<VstInt16>(background->getWidth());
  }
}

LumivaneEditor::~LumivaneEditor() {
  // A host may destroy the effect without closing the editor first.
  if (frame) close();
  // The effect is going away: no feed call can come any more.
  for (gui::CView* view : keptAlive) view->dropReference();
  if (background) background->dropReference();
}

bool LumivaneEditor::open(void* parentWindow) {
  if (frame) close();
  AEffGUIEditor::open(parentWindow);
  const int32_t width = background ? background->getWidth() : 0;
  const int32_t height = background ? background->getHeight() : 0;
  HeldReference<gui::CFrame> newFrame(
      new gui::CFrame(CViewRect(0, 0, width, height).normalized(), parentWindow, this));
  if (!newFrame->getNativeWindow()) {
    // No window of ours can live in that parent (on Linux: no display, or an id that is neither
    // an X11 window nor a headless one of the command-line host); the host is told, and nothing
    // is drawn anywhere.
    AEffGUIEditor::close();
    return false;
  }
  auto built = std::make_unique<EditorControls>();
  buildControls(newFrame.get(), *built);
  newFrame->setBackground(background);
  frame = newFrame.release();
  controls = std::move(built);
  releaseKeptAlive();
  // Only now, with every control in place, may the feed reach them.
  feed.publish(controls.get());
  return true;
}

void LumivaneEditor::buildControls(gui::CFrame* newFrame, EditorControls& built) {
  HeldReference<gui::CBitmap> strip(new gui::CBitmap(layout::kKnobStripImage));
  for (int i = 0; i < layout::kParameterCount; ++i) {
    auto* knob = new gui::CAnimKnob(layout::kKnobRects[i], this, layout::kFirstKnobTag + i,
                                    layout::kKnobFrames, layout::kKnobFrameHeight, strip.get(),
                                    CViewPoint(0, 0));
    knob->setValue(effect->getParameter(i));
    built.knobs[i] = place(newFrame, knob);
  }

  for (int i = 0; i < layout::kParameterCount; ++i) {
    auto* field = new gui::CTextEdit(layout::kFieldRects[i], this, layout::kFirstFieldTag + i,
                                     nullptr, nullptr, layout::kFieldStyle);
    field->setFont(layout::kFieldFont);
    field->setFontColor(kFieldText);
    field->setBackColor(kFieldBack);
    field->setFrameColor(kFieldBack);
    // Neither colour is painted: the green text lies on the artwork's field box. The background
    // colour still serves the entry box while the user types.
    field->setTransparency(true);
    field->setValue(effect->getParameter(i));
    field->setValueFormatter(i == kTagPreDelay ? formatPlain : formatPercent);
    built.textFields[i] = place(newFrame, field);
  }

  HeldReference<gui::CBitmap> leftOff(new gui::CBitmap(layout::kLeftPeakOffImage));
  HeldReference<gui::CBitmap> leftOn(new gui::CBitmap(layout::kLeftPeakOnImage));
  auto* leftPeak = new gui::CVuMeter(layout::kLeftPeakRect, leftOn.get(), leftOff.get(),
                                     layout::kMeterSegments, layout::kMeterStyle);
  leftPeak->setValue(0.0f);
  built.leftPeakMeter = place(newFrame, leftPeak);

  HeldReference<gui::CBitmap> rightOff(new gui::CBitmap(layout::kRightPeakOffImage));
  HeldReference<gui::CBitmap> rightOn(new gui::CBitmap(layout::kRightPeakOnImage));
  auto* rightPeak = new gui::CVuMeter(layout::kRightPeakRect, rightOn.get(), rightOff.get(),
                                      layout::kMeterSegments, layout::kMeterStyle);
  rightPeak->setValue(0.0f);
  built.rightPeakMeter = place(newFrame, rightPeak);

  HeldReference<gui::CBitmap> correlationOff(new gui::CBitmap(layout::kCorrelationOffImage));
  HeldReference<gui::CBitmap> correlationOn(new gui::CBitmap(layout::kCorrelationOnImage));
  auto* correlation =
      new gui::CVuMeter(layout::kCorrelationRect, correlationOn.get(), correlationOff.get(),
                        layout::kMeterSegments, layout::kMeterStyle);
  correlation->setValue(1.0f);
  built.correlationMeter = place(newFrame, correlation);

  HeldReference<gui::CBitmap> goniometerImage(new gui::CBitmap(layout::kGoniometerImage));
  built.goniometer =
      place(newFrame, new CGoniometer(layout::kGoniometerRect, goniometerImage.get()));

  HeldReference<gui::CBitmap> overlayImage(new gui::CBitmap(layout::kOverlayImage));
  built.overlay = place(newFrame, new gui::CMovieBitmap(layout::kOverlayRect, this, 0,
                                                        overlayImage.get(), CViewPoint(0, 0)));
  // Leaving this scope drops the bitmaps' creator references: the controls hold them now.
}

void LumivaneEditor::close() {
  if (frame) closeFrame();
  // Closed means closed for the host too (isOpen), whatever window it handed over.
  AEffGUIEditor::close();
}

void LumivaneEditor::closeFrame() {
  const bool drained = feed.shut(kClosePatience);
  if (drained) {
    releaseKeptAlive();
  } else {
    keepAlive(*controls);
    keptAliveSets.push_back(std::move(controls));
  }
  gui::CFrame* closing = frame;
  frame = nullptr;
  // Destroys the window and, through the view tree, every control (but those kept alive).
  closing->dropReference();
  controls.reset();
}

// The controls outlive the frame by one reference each; only their values and the goniometer's
// grid are touched by the feed, never the frame they belonged to.
void LumivaneEditor::keepAlive(const EditorControls& closing) {
  const std::size_t earlier = keptAlive.size();
  gui::CView* views[] = {closing.leftPeakMeter, closing.rightPeakMeter, closing.correlationMeter,
                         closing.goniometer, closing.overlay};
  keptAlive.reserve(earlier + 2 * EditorControls::kParameterCount + 5);
  for (gui::CView* view : closing.knobs) keptAlive.push_back(view);
  for (gui::CView* view : closing.textFields) keptAlive.push_back(view);
  for (gui::CView* view : views) keptAlive.push_back(view);
  for (std::size_t i = earlier; i < keptAlive.size(); ++i) keptAlive[i]->addReference();
}

void LumivaneEditor::releaseKeptAlive() {
  if (keptAlive.empty() || !feed.isDrained()) return;
  for (gui::CView* view : keptAlive) view->dropReference();
  keptAlive.clear();
  keptAliveSets.clear();
}

void LumivaneEditor::setParameter(VstInt32 index, float value) {
  if (!isFeedIndex(index)) return;
  FeedGate::Visit visit(feed);
  if (EditorControls* target = visit.controls()) routeValue(*target, index, value);
}

void LumivaneEditor::setFeedValue(VstInt32 index, float value) {
  if (!isFeedIndex(index)) return;
  if (index == kTagClearPoints) feed.startBlock();
  if (feed.isBlockOpen()) {
    if (EditorControls* target = feed.blockControls()) routeValue(*target, index, value);
  } else {
    setParameter(index, value);
  }
  if (index == kTagShowPoints) feed.finishBlock();
}

void LumivaneEditor::setPoints(const float* side, const float* mid, VstInt32 count) {
  if (feed.isBlockOpen()) {
    if (EditorControls* target = feed.blockControls())
      target->goniometer->plotPoints(side, mid, count);
    return;
  }
  FeedGate::Visit visit(feed);
  if (EditorControls* target = visit.controls()) target->goniometer->plotPoints(side, mid, count);
}

bool LumivaneEditor::takesDisplayFeed() const { return feed.isPublished(); }

void LumivaneEditor::routeValue(EditorControls& target, VstInt32 index, float value) {
  switch (index) {
    case kTagClearPoints:
      target.goniometer->clearPoints();
      return;
    case kTagShowPoints:
      target.goniometer->setDirty(true);
      return;
    case kTagPeakLeft:
      target.leftPeakMeter->setValue(meterLevel(value));
      return;
    case kTagPeakRight:
      target.rightPeakMeter->setValue(meterLevel(value));
      return;
    case kTagCorrelation:
      target.correlationMeter->setValue(meterLevel(value));
      return;
    case kTagPointSide:
      target.goniometer->setColumn(value);
      return;
    case kTagPointMid:
      target.goniometer->plotRow(value);
      return;
    default: {
      // A parameter: both of its controls show the effect's own value, which the effect has
      // already brought into range.
      const float current = effect->getParameter(index);
      target.knobs[index]->setValue(current);
      target.textFields[index]->setValue(current);
    }
  }
}

void LumivaneEditor::beginEdit(VstInt32 tag) {
  const VstInt32 index = parameterOfTag(tag);
  if (index >= 0) AEffGUIEditor::beginEdit(index);
}

void LumivaneEditor::endEdit(VstInt32 tag) {
  const VstInt32 index = parameterOfTag(tag);
  if (index >= 0) AEffGUIEditor::endEdit(index);
}

void LumivaneEditor::valueChanged(gui::CDrawContext*, gui::CControl* control) {
  if (!control) return;
  const VstInt32 tag = control->getTag();
  const VstInt32 index = parameterOfTag(tag);
  if (index < 0) return;
  if (tag < layout::kFirstFieldTag) {
    effect->setParameterAutomated(index, control->getValue());
  } else {
    if (!control->isTypeOf("CTextEdit")) return;
    char text[gui::CParamDisplay::kTextSize];
    static_cast<gui::CTextEdit*>(control)->getText(text);
    effect->setParameterAutomated(index,
                                  index == kTagPreDelay ? parsePlain(text) : parsePercent(text));
  }
  control->setDirty(true);
}
