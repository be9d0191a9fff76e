#include "gui/platform/raster/RasterTextEntry.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "gui/VirtualKeys.h"
#include "gui/platform/Platform.h"
#include "gui/platform/raster/NativeWindow.h"
#include "gui/platform/raster/RasterImage.h"
#include "gui/platform/raster/RasterObjects.h"
#include "gui/platform/raster/RasterText.h"
#include "gui/platform/raster/WindowRecord.h"

namespace gui {
namespace raster {

namespace {

// Boxes whose window went away before their owner closed them; kept reachable until then.
std::vector<RasterTextEntry*>& orphans() {
  static auto* list = new std::vector<RasterTextEntry*>();
  return *list;
}

FontFace* faceOf(platform::PlatformFont* font) { return font != nullptr ? font->face : nullptr; }

int32_t widthOf(FontFace* face, const std::string& text) {
  return face != nullptr ? textWidth(face, text.c_str()) : 0;
}

}  // namespace

RasterTextEntry::RasterTextEntry(platform::WindowRecord* window,
                                 const platform::TextEntryRequest& request,
                                 platform::TextEntryListener* listener)
    : window(window),
      listener(listener),
      rect(request.rect),
      text(request.text != nullptr ? request.text : ""),
      alignment(request.alignment),
      maxLength(std::clamp(request.maxLength, 0, 255)),
      fontColor(request.fontColor & 0xFFFFFF),
      backColor(request.backColor & 0xFFFFFF),
      font(request.font) {
  retain(font);
  if (text.size() > size_t(maxLength)) text.resize(size_t(maxLength));
  initialText = text;
  anchor = 0;
  caret = text.size();  // the whole text selected
}

RasterTextEntry::~RasterTextEntry() { releaseSelection(font); }

int32_t RasterTextEntry::getText(char* buffer, int32_t size) {
  if (buffer == nullptr || size <= 0) return 0;
  const size_t length = std::min(text.size(), size_t(size - 1));
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return int32_t(length);
}

void RasterTextEntry::destroy() {
  if (window != nullptr && window->entry == this) {
    window->entry = nullptr;
    // A native window gives the keyboard focus back and shows what the box covered.
    if (window->native != nullptr) window->native->textEntryClosed(rect);
  }
  auto& list = orphans();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  delete this;
}

void RasterTextEntry::windowGone() {
  if (window != nullptr && window->entry == this) window->entry = nullptr;
  window = nullptr;
  orphans().push_back(this);
}

size_t RasterTextEntry::getSelectionStart() const { return std::min(caret, anchor); }

size_t RasterTextEntry::getSelectionEnd() const { return std::max(caret, anchor); }

void RasterTextEntry::replaceSelection(const std::string& insertion) {
  const size_t start = getSelectionStart();
  text.erase(start, getSelectionEnd() - start);
  const size_t room = size_t(maxLength) > text.size() ? size_t(maxLength) - text.size() : 0;
  text.insert(start, insertion.substr(0, room));
  moveCaret(start + std::min(insertion.size(), room));
}

void RasterTextEntry::eraseSelectionOr(int direction) {
  if (caret != anchor) {
    replaceSelection(std::string());
    return;
  }
  if (direction < 0 && caret > 0) {
    text.erase(caret - 1, 1);
    moveCaret(caret - 1);
  } else if (direction > 0 && caret < text.size()) {
    text.erase(caret, 1);
  }
}

void RasterTextEntry::moveCaret(size_t position) {
  caret = std::min(position, text.size());
  anchor = caret;
}

void RasterTextEntry::finish() {
  if (listener != nullptr) listener->textEntryFinished(this);  // may destroy this object
}

void RasterTextEntry::handleKey(const KeyEvent& key) {
  switch (key.virt) {
    case kVirtualKeyReturn:
    case kVirtualKeyEnter:
      finish();
      return;
    case kVirtualKeyEscape:
      text = initialText;
      moveCaret(text.size());
      finish();
      return;
    case kVirtualKeyBack:
      eraseSelectionOr(-1);
      return;
    case kVirtualKeyDelete:
      eraseSelectionOr(+1);
      return;
    case kVirtualKeyLeft:
      moveCaret(caret != anchor ? getSelectionStart() : (caret > 0 ? caret - 1 : 0));
      return;
    case kVirtualKeyRight:
      moveCaret(caret != anchor ? getSelectionEnd() : caret + 1);
      return;
    case kVirtualKeyHome:
      moveCaret(0);
      return;
    case kVirtualKeyEnd:
      moveCaret(text.size());
      return;
    case kVirtualKeySpace:
      replaceSelection(" ");
      return;
    default:
      break;
  }
  if (key.character == '\r' || key.character == '\n') {
    finish();
  } else if (key.character == 8) {
    eraseSelectionOr(-1);
  } else if (key.character == 27) {
    text = initialText;
    moveCaret(text.size());
    finish();
  } else if (key.character >= 32 && key.character < 256 && key.character != 127) {
    replaceSelection(std::string(1, char(key.character)));
  }
}

bool RasterTextEntry::contains(const CViewPoint& where) const {
  return where.x >= rect.left && where.x < rect.right && where.y >= rect.top &&
         where.y < rect.bottom;
}

int32_t RasterTextEntry::textOffsetX() const {
  const int32_t width = widthOf(faceOf(font), text);
  const int32_t boxWidth = rect.getWidth();
  if (width > boxWidth) {
    // Scrolled so that the caret stays in view.
    const int32_t caretX = widthOf(faceOf(font), text.substr(0, caret));
    return rect.left - std::max(0, caretX - boxWidth + 1);
  }
  if (alignment == 2) return rect.right - width;
  if (alignment != 0) return rect.left + (boxWidth - width) / 2;
  return rect.left;
}

void RasterTextEntry::handlePress(const CViewPoint& where) {
  FontFace* face = faceOf(font);
  int32_t x = textOffsetX();
  size_t position = 0;
  while (position < text.size() && face != nullptr) {
    const int32_t advance = glyphFor(face, uint8_t(text[position])).advance;
    if (where.x < x + advance / 2) break;
    x += advance;
    ++position;
  }
  moveCaret(face != nullptr ? position : text.size());
}

void RasterTextEntry::loseFocus() { finish(); }

void RasterTextEntry::render(platform::PlatformImage& image) const {
  if (image.pixels == nullptr || image.monochrome) return;
  TextTarget target;
  target.image = &image;
  target.bounds = rect.intersect(CViewRect(0, 0, image.width, image.height));
  if (target.bounds.isEmpty()) return;
  const uint32_t back = opaquePixel(backColor);
  for (int32_t y = target.bounds.top; y < target.bounds.bottom; ++y) {
    for (int32_t x = target.bounds.left; x < target.bounds.right; ++x) {
      std::memcpy(image.row(y) + x * 4, &back, 4);
    }
  }
  FontFace* face = faceOf(font);
  if (face == nullptr) return;
  const int32_t lineTop = rect.top + (rect.getHeight() - textHeight(face)) / 2;
  const size_t start = getSelectionStart();
  const size_t end = getSelectionEnd();
  int32_t x = textOffsetX();
  const std::string parts[3] = {text.substr(0, start), text.substr(start, end - start),
                                text.substr(end)};
  for (int part = 0; part < 3; ++part) {
    const int32_t width = widthOf(face, parts[part]);
    TextTarget segment = target;
    const bool selected = part == 1;
    segment.textColor = selected ? backColor : fontColor;
    segment.backgroundColor = fontColor;
    segment.opaque = selected;
    drawTextLine(segment, face, false, parts[part].c_str(),
                 CViewRect(x, lineTop, x + width, lineTop + textHeight(face)),
                 platform::kTextSingleLine);
    if (part == 0 && start == end) {
      const uint32_t caretPixel = opaquePixel(fontColor);
      const CViewRect caretLine =
          CViewRect(x + width, lineTop, x + width + 1, lineTop + textHeight(face))
              .intersect(target.bounds);
      for (int32_t y = caretLine.top; y < caretLine.bottom; ++y) {
        for (int32_t column = caretLine.left; column < caretLine.right; ++column) {
          std::memcpy(image.row(y) + column * 4, &caretPixel, 4);
        }
      }
    }
    x += width;
  }
}

}  // namespace raster
}  // namespace gui
