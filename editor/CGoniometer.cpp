#include "editor/CGoniometer.h"

#include <cstring>

#include "gui/CBitmap.h"
#include "gui/COffscreenContext.h"

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

const gui::CRgbColor kPointColour(0, 255, 0, 0);

std::uint32_t sideOf(gui::CBitmap* bitmap, bool wantWidth) {
  if (!bitmap) return 0;
  const std::int32_t side = wantWidth ? bitmap->getWidth() : bitmap->getHeight();
  return side > 0 ? static_cast<std::uint32_t>(side) : 0;
}

}  // namespace

CGoniometer::CGoniometer(const gui::CViewRect& size, gui::CBitmap* background)
    : gui::CControl(size, nullptr, 0, nullptr),
      cellCount(0),
      backgroundBitmap(background),
      width(sideOf(background, true)),
      height(sideOf(background, false)),
      column(0),
      row(0),
      wordCount(0),
      redrawRequested(false) {
  // Either side 0 leaves the grid empty.
  cellCount = width * height;
  if (height != 0 && cellCount / height != width) cellCount = 0;  // an image too large to grid
  wordCount = (cellCount + kCellsPerWord - 1) / kCellsPerWord;
  if (wordCount > 0) {
    grid.reset(new std::atomic<Word>[wordCount]);
    for (std::uint32_t i = 0; i < wordCount; ++i) grid[i].store(0, relaxed);
  }
  if (cellCount == 0) width = height = 0;
  // Taken last, so that a grid that cannot be had leaves no reference behind.
  if (backgroundBitmap) backgroundBitmap->addReference();
}

CGoniometer::~CGoniometer() {
  if (backgroundBitmap) backgroundBitmap->dropReference();
}

bool CGoniometer::isTypeOf(const char* name) const {
  if (name && std::strcmp(name, "CGoniometer") == 0) return true;
  return gui::CControl::isTypeOf(name);
}

void CGoniometer::setDirty(bool state) { redrawRequested.store(state, relaxed); }

bool CGoniometer::isDirty() const {
  return gui::CControl::isDirty() || redrawRequested.load(relaxed);
}

void CGoniometer::plotPoints(const float* columns, const float* rows, int count) {
  if (count <= 0) return;
  std::uint32_t x = 0;
  std::uint32_t y = 0;
  for (int i = 0; i < count; ++i) {
    x = scaledIndex(width, columns[i]);
    y = scaledIndex(height, rows[i]);
    plotCell(x, y);
  }
  column.store(x, std::memory_order_relaxed);
  row.store(y, std::memory_order_relaxed);
}

void CGoniometer::clearPoints() {
  for (std::uint32_t i = 0; i < wordCount; ++i) grid[i].store(0, relaxed);
}

bool CGoniometer::isMarked(std::uint32_t x, std::uint32_t y) const {
  if (x >= width || y >= height) return false;
  const std::uint32_t cell = y * width + x;
  return (grid[cell / kCellsPerWord].load(relaxed) >> (cell % kCellsPerWord)) & 1u;
}

std::uint32_t CGoniometer::countMarked() const {
  std::uint32_t count = 0;
  for (std::uint32_t i = 0; i < wordCount; ++i) {
    for (Word bits = grid[i].load(relaxed); bits != 0; bits &= bits - 1) ++count;
  }
  return count;
}

void CGoniometer::draw(gui::CDrawContext* context) {
  // Without its image the goniometer has no grid and nothing to show: drawing must not put an
  // off-screen context's default black block where the image would have been.
  if (!backgroundBitmap) {
    setDirty(false);
    return;
  }
  // The buffer starts as a copy of the background, which itself is never drawn into.
  gui::COffscreenContext buffer(context, backgroundBitmap, false);
  if (backgroundBitmap) backgroundBitmap->setAlphaBlended(false);
  for (std::uint32_t i = 0; i < wordCount; ++i) {
    for (Word bits = grid[i].load(relaxed); bits != 0; bits &= bits - 1) {
      const std::uint32_t cell =
          i * kCellsPerWord + static_cast<std::uint32_t>(__builtin_ctzll(bits));
      buffer.drawPoint(gui::CViewPoint(static_cast<std::int32_t>(cell % width),
                                       static_cast<std::int32_t>(cell / width)),
                       kPointColour);
    }
  }
  buffer.copyTo(context, size, gui::CViewPoint(0, 0));
  setDirty(false);
}
