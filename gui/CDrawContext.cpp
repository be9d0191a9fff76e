#include "gui/CDrawContext.h"

#include <cstring>

#include "gui/CFrame.h"
#include "gui/FontTable.h"
#include "gui/platform/Platform.h"

namespace gui {

namespace {

const CRgbColor kWhite(255, 255, 255, 255);
const CRgbColor kBlack(0, 0, 0, 255);

int32_t negated(int32_t value) { return value == INT32_MIN ? INT32_MAX : -value; }

int32_t rasterModeOf(int32_t drawMode) {
  switch (drawMode) {
    case kOrMode:
      return platform::kRopMergePen;
    case kXorMode:
      return platform::kRopNotXorPen;
    default:
      return platform::kRopCopyPen;
  }
}

}  // namespace

CDrawContext::CDrawContext(CFrame* frame, platform::PlatformDevice* device, void* window)
    : device(device), window(window), frame(frame) {
  clipRect = frame != nullptr ? frame->getViewSize() : CViewRect(0, 0, 1000, 1000);
  if (this->device == nullptr && window != nullptr) {
    this->device = platform::getWindowDevice(window);
    acquiredDevice = this->device;
  }
  if (this->device != nullptr) {
    savedBrush = this->device->getCurrentBrush();
    savedPen = this->device->getCurrentPen();
    savedFont = this->device->getCurrentFont();
    this->device->setBackgroundMode(platform::kBackgroundTransparent);
  }
  if (window != nullptr) windowOrigin = platform::getWindowOrigin(window);
  setLineColor(kWhite);
  setLineStyle(kLineSolid);
  setLineWidth(1);
  setFillColor(kBlack);
  setFontColor(kWhite);
  setFont(0, 0, 0);
  setDrawMode(kCopyMode);
}

CDrawContext::~CDrawContext() {
  restoreDeviceObjects();
  platform::deleteObject(brush);
  platform::deleteObject(pen);
  platform::deleteObject(font);
  if (acquiredDevice != nullptr) platform::releaseWindowDevice(window, acquiredDevice);
}

void CDrawContext::restoreDeviceObjects() {
  if (device == nullptr) return;
  if (savedBrush != nullptr) device->selectBrush(savedBrush);
  if (savedPen != nullptr) device->selectPen(savedPen);
  if (savedFont != nullptr) device->selectFont(savedFont);
  savedBrush = nullptr;
  savedPen = nullptr;
  savedFont = nullptr;
}

void CDrawContext::adoptDevice(platform::PlatformDevice* newDevice) {
  device = newDevice;
  if (device == nullptr) return;
  savedBrush = device->getCurrentBrush();
  savedPen = device->getCurrentPen();
  savedFont = device->getCurrentFont();
  device->setBackgroundMode(platform::kBackgroundTransparent);
  if (pen != nullptr) device->selectPen(pen);
  if (brush != nullptr) device->selectBrush(brush);
  if (font != nullptr) device->selectFont(font);
  device->setTextColor(fontColor.toPlatform());
  device->setBackgroundColor(fillColor.toPlatform());
  device->setRasterMode(rasterModeOf(drawMode));
}

void CDrawContext::applyPen() {
  platform::PlatformPen* newPen = platform::createPen(penStyle, lineWidth, lineColor.toPlatform());
  if (newPen == nullptr) return;
  if (device != nullptr) device->selectPen(newPen);
  platform::deleteObject(pen);
  pen = newPen;
}

void CDrawContext::setLineColor(const CRgbColor& color) {
  if (color == lineColor) return;
  lineColor = color;
  applyPen();
}

void CDrawContext::setLineWidth(int32_t width) {
  if (width == lineWidth) return;
  lineWidth = width;
  applyPen();
}

void CDrawContext::setLineStyle(int32_t style) {
  if (style == lineStyle) return;
  lineStyle = style;
  penStyle = style == kLineDotted ? platform::kPenDot : platform::kPenSolid;
  applyPen();
}

void CDrawContext::setFillColor(const CRgbColor& color) {
  if (color == fillColor) return;
  fillColor = color;
  if (device != nullptr) device->setBackgroundColor(color.toPlatform());
  platform::PlatformBrush* newBrush = platform::createSolidBrush(color.toPlatform());
  if (newBrush == nullptr) return;  // the old brush stays current
  if (device != nullptr) device->selectBrush(newBrush);
  platform::deleteObject(brush);
  brush = newBrush;
}

void CDrawContext::setFontColor(const CRgbColor& color) {
  fontColor = color;
  if (device != nullptr) device->setTextColor(color.toPlatform());
}

void CDrawContext::setDrawMode(int32_t mode) {
  if (mode == drawMode) return;
  drawMode = mode;
  if (device != nullptr) device->setRasterMode(rasterModeOf(mode));
}

void CDrawContext::setFont(int32_t id, int32_t size, int32_t style) {
  if (id < 0 || id >= kFontTableSize) id = 0;
  const FontTableEntry& entry = fontTableEntry(id);
  const int32_t effectiveSize = size == 0 ? entry.defaultSize : size;
  if (id == fontId && effectiveSize == fontSize && style == fontStyle) return;
  fontId = id;
  fontStyle = style;
  fontSize = effectiveSize;

  platform::LogicalFont logical;
  logical.height = -effectiveSize;
  logical.weight = (style & kBoldFace) || id == 0 ? 700 : 400;
  logical.italic = (style & kItalicFace) != 0;
  logical.underline = (style & kUnderlineFace) != 0;
  logical.pitchAndFamily = id == 7 ? 0x50 : 0x22;
  std::strncpy(logical.faceName, entry.faceName, sizeof(logical.faceName) - 1);

  platform::PlatformFont* newFont = platform::createFont(logical);
  if (newFont == nullptr) return;
  if (device != nullptr) device->selectFont(newFont);
  platform::deleteObject(font);
  font = newFont;
}

void CDrawContext::setClipRect(const CViewRect& clip) {
  const CViewRect translated = clip.offsetBy(offset.x, offset.y);
  if (translated == clipRect) return;
  clipRect = translated;
  if (device != nullptr) device->selectClipRect(clipRect);
}

CViewRect CDrawContext::getClipRect() const {
  return clipRect.offsetBy(negated(offset.x), negated(offset.y));
}

void CDrawContext::moveTo(const CViewPoint& point) {
  if (device == nullptr) return;
  const CViewPoint at = point.offsetBy(offset.x, offset.y);
  device->moveTo(at.x, at.y);
}

void CDrawContext::lineTo(const CViewPoint& point) {
  if (device == nullptr) return;
  const CViewPoint at = point.offsetBy(offset.x, offset.y);
  device->lineTo(at.x, at.y);
}

void CDrawContext::drawRect(const CViewRect& rect, int32_t style) {
  if (device == nullptr || style < kDrawStroked || style > kDrawFilledAndStroked) return;
  const CViewRect area = rect.offsetBy(offset.x, offset.y);
  // An inverted or empty rectangle covers no pixel: neither its fill nor its outline is drawn.
  if (area.isEmpty()) return;
  if (style != kDrawStroked) device->fillRect(area, brush);
  if (style == kDrawFilled) return;
  const int32_t right = area.right - 1;
  const int32_t bottom = area.bottom - 1;
  device->moveTo(area.left, area.top);
  device->lineTo(right, area.top);
  device->lineTo(right, bottom);
  device->lineTo(area.left, bottom);
  device->lineTo(area.left, area.top);
}

void CDrawContext::fillRect(const CViewRect& rect) {
  if (device == nullptr) return;
  const CViewRect area = rect.offsetBy(offset.x, offset.y);
  const CViewRect inner(addSaturated(area.left, 1), addSaturated(area.top, 1), area.right,
                        area.bottom);
  if (inner.isEmpty()) return;
  device->fillRect(inner, brush);
}

void CDrawContext::drawPoint(const CViewPoint& point, const CRgbColor& color) {
  if (device == nullptr) return;
  const CViewPoint at = point.offsetBy(offset.x, offset.y);
  device->setPixel(at.x, at.y, color.toPlatform());
}

void CDrawContext::drawString(const char* text, const CViewRect& rect, int16_t opaque,
                              int32_t align) {
  if (device == nullptr || text == nullptr || text[0] == '\0') return;
  device->setBackgroundMode(opaque != 0 ? platform::kBackgroundOpaque
                                        : platform::kBackgroundTransparent);
  CViewRect area = rect.offsetBy(offset.x, offset.y);
  uint32_t flags =
      platform::kTextSingleLine | platform::kTextVerticalCenter | platform::kTextNoPrefix;
  if (align == kCenterText) {
    flags |= platform::kTextCenter;
  } else if (align == kRightText) {
    flags |= platform::kTextRight;
  } else {
    area.left = addSaturated(area.left, 1);
  }
  device->drawText(text, area, flags);
  device->setBackgroundMode(platform::kBackgroundTransparent);
}

void CDrawContext::getMouseLocation(CViewPoint& point) {
  const CViewPoint cursor = platform::getCursorPosition();
  point = cursor.offsetBy(negated(windowOrigin.x), negated(windowOrigin.y));
}

}  // namespace gui
