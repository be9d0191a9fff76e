// The opened editor, once its meters have settled (they start full and fall a step per idle),
// pixel for pixel against the committed picture under tests/reference, which the Windows build's
// editor (drawn by GDI under Wine) is compared with as well. After a deliberate change of the
// editor's look, LUMIVANE_WRITE_REFERENCE=1 writes the picture anew.
#include <png.h>

#include <cstdlib>
#include <vector>

#include "tests/editor/EditorSessionFixture.h"

namespace {

const char kReferencePath[] = LUMIVANE_SOURCE_DIR "/tests/reference/editor-opened.png";
// Idles after which every meter has fallen to its level.
constexpr int kSettlingIdles = 30;

struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
  gui::platform::PlatformColor at(int x, int y) const {
    const uint8_t* pixel = &rgb[(size_t(y) * width + x) * 3];
    return gui::platform::makeColor(pixel[0], pixel[1], pixel[2]);
  }
};

RgbPicture loadPicture(const char* path) {
  RgbPicture picture;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path)) return picture;
  image.format = PNG_FORMAT_RGB;
  picture.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) return RgbPicture();
  picture.width = int(image.width);
  picture.height = int(image.height);
  return picture;
}

class EditorPicture : public EditorSessionFixture {};

TEST_F(EditorPicture, TheOpenedEditorLooksLikeTheReferencePicture) {
  ASSERT_TRUE(session->idle(kSettlingIdles));
  if (std::getenv("LUMIVANE_WRITE_REFERENCE") != nullptr) {
    ASSERT_TRUE(session->snapshot(kReferencePath));
  }
  const RgbPicture reference = loadPicture(kReferencePath);
  ASSERT_EQ(reference.width, 752) << "no reference picture at " << kReferencePath;
  ASSERT_EQ(reference.height, 160);
  const gui::raster::RasterImageCopy shown = screenshot();
  long differing = 0;
  for (int y = 0; y < reference.height; ++y) {
    for (int x = 0; x < reference.width; ++x) {
      if (shown.colorAt(x, y) != reference.at(x, y)) ++differing;
    }
  }
  EXPECT_EQ(differing, 0) << "the editor no longer looks like " << kReferencePath;
}

}  // namespace
