// The library's own images: each resources/<id>-<role>.png present at build time is found by its
// id with exactly its bytes; ids without a file answer nothing.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "gui/CBitmap.h"
#include "gui/platform/Platform.h"

namespace {

std::vector<uint8_t> fileFor(int id) {
  const std::filesystem::path folder = std::filesystem::path(LUMIVANE_SOURCE_DIR) / "resources";
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(std::to_string(id) + "-", 0) == 0 && entry.path().extension() == ".png") {
      std::ifstream file(entry.path(), std::ios::binary);
      return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
    }
  }
  return {};
}

uint32_t bigEndian(const uint8_t* bytes) {
  return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

TEST(LibraryResources, EachImageOfTheFolderIsFoundByItsId) {
  for (int id = 128; id <= 137; ++id) {
    const std::vector<uint8_t> file = fileFor(id);
    const gui::platform::ResourceBytes bytes = gui::platform::findLibraryResource(id);
    if (file.empty()) {
      EXPECT_EQ(bytes.data, nullptr) << id;
      continue;
    }
    ASSERT_EQ(bytes.size, file.size()) << id;
    EXPECT_EQ(std::memcmp(bytes.data, file.data(), file.size()), 0) << id;
    auto* bitmap = new gui::CBitmap(id);
    EXPECT_EQ(uint32_t(bitmap->getWidth()), bigEndian(file.data() + 16)) << id;
    EXPECT_EQ(uint32_t(bitmap->getHeight()), bigEndian(file.data() + 20)) << id;
    bitmap->dropReference();
  }
}

TEST(LibraryResources, OtherIdsFindNothing) {
  for (int id : {0, 127, 138, -1, 65536 + 500}) {
    EXPECT_EQ(gui::platform::findLibraryResource(id).data, nullptr) << id;
  }
}

TEST(LibraryResources, TestOverridesComeFirstAndCanBeRemoved) {
  const uint8_t bytes[] = {1, 2, 3};
  gui::platform::overrideLibraryResource(130, bytes, sizeof(bytes));
  EXPECT_EQ(gui::platform::findLibraryResource(130).data, bytes);
  gui::platform::overrideLibraryResource(130, nullptr, 0);
  EXPECT_NE(gui::platform::findLibraryResource(130).data, bytes);
}

}  // namespace
