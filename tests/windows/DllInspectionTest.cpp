// Lumivane.dll as a file, read by PeImage: built for the machine of this test program, a DLL that
// exports its entry point as VSTPluginMain and main at one address and nothing else, imports only
// DLLs that Windows ships, and holds the editor's ten images as resources of type "PNG" with the
// bytes of the files in resources/. Then PeImage itself against damaged images: every damage is
// reported as such and nothing is read outside the file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>

#include "tests/windows/PeImage.h"

namespace {

using Bytes = std::vector<uint8_t>;
using pe::PeImage;
using pe::PeResource;

std::string lowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

std::string hex(uint32_t value) {
  std::ostringstream text;
  text << "0x" << std::hex << value;
  return text.str();
}

// The built DLL, read once; the summary line is printed when it is read. A machine that cannot
// run 32-bit programs inspects the x86 DLL with the x64 program: LUMIVANE_INSPECT_DLL names
// another DLL, and LUMIVANE_INSPECT_MACHINE ("x86" or "x64") the machine it is built for.

std::string inspectedPath() {
  const char* path = std::getenv("LUMIVANE_INSPECT_DLL");
  return path != nullptr && path[0] != '\0' ? path : LUMIVANE_PLUGIN_PATH;
}

bool expects32Bit() {
  const char* machine = std::getenv("LUMIVANE_INSPECT_MACHINE");
  if (machine != nullptr && std::string(machine) == "x86") return true;
  if (machine != nullptr && std::string(machine) == "x64") return false;
  return sizeof(void*) == 4;
}

std::string machineName(uint16_t machine) {
  if (machine == PeImage::machineI386) return "i386 (0x14c)";
  if (machine == PeImage::machineAmd64) return "AMD64 (0x8664)";
  return "unknown (" + hex(machine) + ")";
}

std::string resourceList(const PeImage& dll) {
  std::string list;
  std::string type;
  for (const PeResource& resource : dll.resources()) {
    if (resource.type.describe() != type) list += " type " + resource.type.describe() + ":";
    type = resource.type.describe();
    list += " " + resource.name.describe();
  }
  return list.empty() ? " none" : list;
}

std::string summary(const PeImage& dll) {
  std::ostringstream line;
  line << "[dll] " << inspectedPath() << ": machine " << machineName(dll.machine()) << ", "
       << (dll.isPe32Plus() ? "PE32+" : "PE32") << (dll.isDll() ? " DLL" : " program")
       << "; exports";
  for (const pe::PeExport& entry : dll.exports())
    line << " " << entry.name << "@" << hex(entry.rva);
  line << "; imports";
  for (const std::string& name : dll.importedDlls()) line << " " << name;
  line << "; delay-loaded " << dll.delayLoadedDlls().size() << "; resources" << resourceList(dll);
  return line.str();
}

struct LoadedDll {
  std::unique_ptr<PeImage> image;
  std::string error;
};

LoadedDll loadDll() {
  try {
    auto image = std::make_unique<PeImage>(PeImage::fromFile(inspectedPath()));
    std::cout << summary(*image) << std::endl;
    return {std::move(image), ""};
  } catch (const std::exception& error) {
    return {nullptr, error.what()};
  }
}

const LoadedDll& loadedDll() {
  static const LoadedDll dll = loadDll();
  return dll;
}

class LumivaneDll : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(loadedDll().image, nullptr) << loadedDll().error; }
  static const PeImage& dll() { return *loadedDll().image; }
};

Bytes fileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), {});
}

// The bytes of resources/<id>-*.png, empty when there is no such file.
Bytes imageFileFor(int id) {
  const std::filesystem::path folder = std::filesystem::path(LUMIVANE_SOURCE_DIR) / "resources";
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(std::to_string(id) + "-", 0) == 0 && entry.path().extension() == ".png") {
      return fileBytes(entry.path());
    }
  }
  return {};
}

TEST_F(LumivaneDll, IsADllForTheMachineItIsBuiltFor) {
  const bool is32Bit = expects32Bit();
  EXPECT_EQ(dll().machine(), is32Bit ? PeImage::machineI386 : PeImage::machineAmd64);
  EXPECT_EQ(dll().isPe32Plus(), !is32Bit);
  EXPECT_TRUE(dll().isDll());
}

TEST_F(LumivaneDll, ExportsVstPluginMainAndMainAtOneAddressOfCodeAndNothingElse) {
  const std::vector<pe::PeExport>& exports = dll().exports();
  ASSERT_EQ(exports.size(), 2u);
  std::set<std::string> names;
  for (const pe::PeExport& entry : exports) names.insert(entry.name);
  EXPECT_EQ(names, (std::set<std::string>{"VSTPluginMain", "main"}));
  EXPECT_EQ(exports[0].rva, exports[1].rva);
  EXPECT_TRUE(dll().isExecutable(exports[0].rva)) << hex(exports[0].rva);
}

// msvcrt is the C runtime every Windows has; msimg32 is loaded at run time, never imported; the
// MinGW runtimes (libstdc++-6, libgcc_s, libwinpthread-1) and zlib1 are linked in.
TEST_F(LumivaneDll, ImportsOnlyDllsThatWindowsShips) {
  const std::set<std::string> shipped = {"kernel32.dll", "user32.dll",  "gdi32.dll",
                                         "ole32.dll",    "shell32.dll", "msvcrt.dll"};
  std::set<std::string> imported;
  for (const std::string& name : dll().importedDlls()) {
    imported.insert(lowercase(name));
    EXPECT_EQ(shipped.count(lowercase(name)), 1u) << name << " is not a DLL that Windows ships";
  }
  EXPECT_EQ(imported.count("kernel32.dll"), 1u);
  EXPECT_THAT(dll().delayLoadedDlls(), ::testing::IsEmpty());
}

TEST_F(LumivaneDll, HoldsTheTenImagesAsPngResourcesWithTheBytesOfTheirFiles) {
  std::vector<int> ids;
  for (const PeResource& resource : dll().resources()) {
    if (resource.type.text != "PNG" || resource.name.isText()) continue;
    ids.push_back(resource.name.id);
    const Bytes file = imageFileFor(resource.name.id);
    ASSERT_FALSE(file.empty()) << "no resources/" << resource.name.id << "-*.png";
    EXPECT_TRUE(dll().bytesOf(resource) == file) << resource.name.id;
  }
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, (std::vector<int>{128, 129, 130, 131, 132, 133, 134, 135, 136, 137}));
}

// PeImage against a small PE32 DLL built byte by byte: one section that holds an export
// directory (two names for one function), an import of KERNEL32.dll, a delay-loaded MSIMG32.dll
// and a resource tree with one resource "PNG"/128.

namespace layout {
constexpr uint32_t peOffset = 0x40;
constexpr uint32_t coff = peOffset + 4;
constexpr uint32_t optional = coff + 20;
constexpr uint32_t directories = optional + 96;
constexpr uint32_t optionalSize = 96 + 16 * 8;
constexpr uint32_t sectionHeader = optional + optionalSize;
constexpr uint32_t sectionFileOffset = 0x200;
constexpr uint32_t sectionRva = 0x1000;
constexpr uint32_t sectionSize = 0x280;
constexpr uint32_t imageBase = 0x10000000;
constexpr uint32_t exportedFunction = 0x1100;

// Offsets in the section.
constexpr uint32_t exports = 0x000;
constexpr uint32_t exportFunctions = 0x040;
constexpr uint32_t exportNames = 0x050;
constexpr uint32_t exportOrdinals = 0x060;
constexpr uint32_t dllName = 0x080;
constexpr uint32_t firstName = 0x090;
constexpr uint32_t secondName = 0x098;
constexpr uint32_t imports = 0x0c0;
constexpr uint32_t importName = 0x100;
constexpr uint32_t delayImports = 0x140;
constexpr uint32_t delayImportName = 0x180;
constexpr uint32_t resources = 0x200;

// Offsets in the resource tree, which count from its start.
constexpr uint32_t typeDirectory = 0x00;
constexpr uint32_t nameDirectory = 0x18;
constexpr uint32_t languageDirectory = 0x30;
constexpr uint32_t dataEntry = 0x48;
constexpr uint32_t typeName = 0x60;
constexpr uint32_t resourceData = 0x70;
constexpr uint32_t subdirectory = 0x80000000;
}  // namespace layout

uint32_t fileOffset(uint32_t inSection) { return layout::sectionFileOffset + inSection; }
uint32_t rvaOf(uint32_t inSection) { return layout::sectionRva + inSection; }
uint32_t resourceFileOffset(uint32_t inTree) { return fileOffset(layout::resources + inTree); }

void put16(Bytes& bytes, uint32_t at, uint16_t value) {
  bytes.at(at) = uint8_t(value);
  bytes.at(at + 1) = uint8_t(value >> 8);
}

void put32(Bytes& bytes, uint32_t at, uint32_t value) {
  put16(bytes, at, uint16_t(value));
  put16(bytes, at + 2, uint16_t(value >> 16));
}

void putText(Bytes& bytes, uint32_t at, const std::string& text) {
  std::copy(text.begin(), text.end(), bytes.begin() + at);
}

void putDirectory(Bytes& bytes, uint32_t index, uint32_t rva, uint32_t size) {
  put32(bytes, layout::directories + index * 8, rva);
  put32(bytes, layout::directories + index * 8 + 4, size);
}

void putHeaders(Bytes& bytes) {
  using namespace layout;
  putText(bytes, 0, "MZ");
  put32(bytes, 0x3c, peOffset);
  putText(bytes, peOffset, "PE");
  put16(bytes, coff, PeImage::machineI386);
  put16(bytes, coff + 2, 1);
  put16(bytes, coff + 16, optionalSize);
  put16(bytes, coff + 18, 0x2102);  // DLL, 32-bit machine, executable image
  put16(bytes, optional, 0x10b);
  put32(bytes, optional + 28, imageBase);
  put32(bytes, optional + 92, 16);
  putDirectory(bytes, 0, rvaOf(exports), 40);
  putDirectory(bytes, 1, rvaOf(imports), 40);
  putDirectory(bytes, 2, rvaOf(resources), 0x80);
  putDirectory(bytes, 13, rvaOf(delayImports), 64);
  putText(bytes, sectionHeader, ".data");
  put32(bytes, sectionHeader + 8, sectionSize);
  put32(bytes, sectionHeader + 12, sectionRva);
  put32(bytes, sectionHeader + 16, sectionSize);
  put32(bytes, sectionHeader + 20, sectionFileOffset);
  put32(bytes, sectionHeader + 36, 0xc0000040);  // initialised data, read, write
}

void putExports(Bytes& bytes) {
  using namespace layout;
  put32(bytes, fileOffset(exports) + 12, rvaOf(dllName));
  put32(bytes, fileOffset(exports) + 16, 1);  // ordinal base
  put32(bytes, fileOffset(exports) + 20, 1);  // functions
  put32(bytes, fileOffset(exports) + 24, 2);  // names
  put32(bytes, fileOffset(exports) + 28, rvaOf(exportFunctions));
  put32(bytes, fileOffset(exports) + 32, rvaOf(exportNames));
  put32(bytes, fileOffset(exports) + 36, rvaOf(exportOrdinals));
  put32(bytes, fileOffset(exportFunctions), exportedFunction);
  put32(bytes, fileOffset(exportNames), rvaOf(firstName));
  put32(bytes, fileOffset(exportNames) + 4, rvaOf(secondName));
  putText(bytes, fileOffset(dllName), "test.dll");
  putText(bytes, fileOffset(firstName), "alpha");
  putText(bytes, fileOffset(secondName), "beta");
  // Both ordinal-table entries stay 0: the two names share function 0.
}

void putImports(Bytes& bytes) {
  // One descriptor; the all-zero one after it ends the list.
  put32(bytes, fileOffset(layout::imports) + 12, rvaOf(layout::importName));
  putText(bytes, fileOffset(layout::importName), "KERNEL32.dll");
  // One delay-load descriptor that gives its name as an RVA (attribute bit 0), then the end.
  put32(bytes, fileOffset(layout::delayImports), 1);
  put32(bytes, fileOffset(layout::delayImports) + 4, rvaOf(layout::delayImportName));
  putText(bytes, fileOffset(layout::delayImportName), "MSIMG32.dll");
}

void putResources(Bytes& bytes) {
  using namespace layout;
  put16(bytes, resourceFileOffset(typeDirectory) + 12, 1);  // one named entry
  put32(bytes, resourceFileOffset(typeDirectory) + 16, subdirectory | typeName);
  put32(bytes, resourceFileOffset(typeDirectory) + 20, subdirectory | nameDirectory);
  put16(bytes, resourceFileOffset(nameDirectory) + 14, 1);  // one id entry
  put32(bytes, resourceFileOffset(nameDirectory) + 16, 128);
  put32(bytes, resourceFileOffset(nameDirectory) + 20, subdirectory | languageDirectory);
  put16(bytes, resourceFileOffset(languageDirectory) + 14, 1);
  put32(bytes, resourceFileOffset(languageDirectory) + 16, 0x409);
  put32(bytes, resourceFileOffset(languageDirectory) + 20, dataEntry);
  put32(bytes, resourceFileOffset(dataEntry), rvaOf(resources + resourceData));
  put32(bytes, resourceFileOffset(dataEntry) + 4, 4);
  put16(bytes, resourceFileOffset(typeName), 3);
  putText(bytes, resourceFileOffset(typeName) + 2, std::string("P\0N\0G\0", 6));
  putText(bytes, resourceFileOffset(resourceData), "\x89PNG");
}

Bytes smallDll() {
  Bytes bytes(layout::sectionFileOffset + layout::sectionSize, 0);
  putHeaders(bytes);
  putExports(bytes);
  putImports(bytes);
  putResources(bytes);
  return bytes;
}

TEST(PeImageReading, ReadsMachineExportsImportsAndResourcesOfASmallDll) {
  const PeImage image(smallDll());
  EXPECT_EQ(image.machine(), PeImage::machineI386);
  EXPECT_TRUE(image.isDll());
  EXPECT_FALSE(image.isPe32Plus());
  ASSERT_EQ(image.exports().size(), 2u);
  EXPECT_EQ(image.exports()[0].name, "alpha");
  EXPECT_EQ(image.exports()[1].name, "beta");
  for (const pe::PeExport& entry : image.exports()) {
    EXPECT_EQ(entry.ordinal, 1u);
    EXPECT_EQ(entry.rva, layout::exportedFunction);
  }
  EXPECT_EQ(image.importedDlls(), std::vector<std::string>{"KERNEL32.dll"});
  EXPECT_EQ(image.delayLoadedDlls(), std::vector<std::string>{"MSIMG32.dll"});
  ASSERT_EQ(image.resources().size(), 1u);
  const PeResource& resource = image.resources()[0];
  EXPECT_EQ(resource.type.text, "PNG");
  EXPECT_FALSE(resource.name.isText());
  EXPECT_EQ(resource.name.id, 128);
  EXPECT_EQ(resource.language, 0x409);
  EXPECT_EQ(image.bytesOf(resource), (Bytes{0x89, 'P', 'N', 'G'}));
}

struct Damage {
  const char* what;
  std::function<void(Bytes&)> apply;
  const char* reported;  // text the error message contains
};

std::vector<Damage> damages() {
  using namespace layout;
  const uint32_t lastSectionByte = sectionSize - 1;
  return {
      {"empty file", [](Bytes& b) { b.clear(); }, "DOS header"},
      {"no MZ", [](Bytes& b) { put16(b, 0, 0); }, "no MZ signature"},
      {"PE offset past the end", [](Bytes& b) { put32(b, 0x3c, 0xfffffff0); }, "PE signature at"},
      {"no PE signature", [](Bytes& b) { put16(b, peOffset, 0); }, "no PE signature"},
      {"unknown optional header", [](Bytes& b) { put16(b, optional, 0x107); }, "neither PE32"},
      {"optional header too short", [](Bytes& b) { put16(b, coff + 16, 64); }, "too short"},
      {"more data directories than fit", [](Bytes& b) { put32(b, optional + 92, 17); },
       "do not fit"},
      {"section table past the end", [](Bytes& b) { put16(b, coff + 2, 0xffff); }, "section table"},
      {"section data past the end", [](Bytes& b) { put32(b, sectionHeader + 16, 0x10000); },
       "raw data of section .data"},
      {"export directory in no section", [](Bytes& b) { putDirectory(b, 0, 0x9000, 40); },
       "export directory at RVA 0x9000 lies in no section"},
      {"export address table past the section",
       [](Bytes& b) { put32(b, fileOffset(exports) + 20, 0x1000000); }, "export address table"},
      {"export name in no section", [](Bytes& b) { put32(b, fileOffset(exportNames), 0x50000); },
       "export name at RVA 0x50000"},
      {"export ordinal beyond the functions",
       [](Bytes& b) { put16(b, fileOffset(exportOrdinals) + 2, 5); }, "refers to function 5 of 1"},
      {"export name without its NUL",
       [=](Bytes& b) {
         b.at(fileOffset(lastSectionByte)) = 'x';
         put32(b, fileOffset(exportNames) + 4, rvaOf(lastSectionByte));
       },
       "has no terminating NUL"},
      {"import descriptor at the section's end",
       [](Bytes& b) { putDirectory(b, 1, rvaOf(sectionSize - 8), 40); },
       "import descriptor at RVA 0x1278 (20 bytes) runs past the end of section .data"},
      {"import name in no section", [](Bytes& b) { put32(b, fileOffset(imports) + 12, 0x70000); },
       "imported DLL name at RVA 0x70000 lies in no section"},
      {"delay-load name as an address below the image",
       [](Bytes& b) { putDirectory(b, 13, rvaOf(imports), 64); }, "lies outside the image"},
      {"resource entries past the section",
       [](Bytes& b) { put16(b, resourceFileOffset(typeDirectory) + 14, 0xffff); },
       "resource type directory entries"},
      {"resource directory in no section",
       [](Bytes& b) {
         put32(b, resourceFileOffset(typeDirectory) + 20, subdirectory | 0x7ffff000);
       },
       "resource name directory at RVA"},
      {"resource type name longer than the section",
       [](Bytes& b) { put16(b, resourceFileOffset(typeName), 0x4000); }, "resource name at RVA"},
      {"resource type pointing at data",
       [](Bytes& b) { put32(b, resourceFileOffset(typeDirectory) + 20, nameDirectory); },
       "has no name directory"},
      {"resource id wider than 16 bits",
       [](Bytes& b) { put32(b, resourceFileOffset(nameDirectory) + 16, 0x10080); },
       "does not fit 16 bits"},
      {"resource language looping back to the type directory",
       [](Bytes& b) {
         put32(b, resourceFileOffset(languageDirectory) + 20, subdirectory | typeDirectory);
       },
       "not a language id with data"},
      {"resource data past the section",
       [](Bytes& b) { put32(b, resourceFileOffset(dataEntry) + 4, 0x10000); },
       "resource \"PNG\"/128 data"},
  };
}

TEST(PeImageReading, ReportsEachDamageSayingWhatIsOutOfPlace) {
  for (const Damage& damage : damages()) {
    SCOPED_TRACE(damage.what);
    Bytes bytes = smallDll();
    damage.apply(bytes);
    try {
      PeImage image(bytes);
      ADD_FAILURE() << "read without an error";
    } catch (const std::runtime_error& error) {
      EXPECT_THAT(error.what(), ::testing::HasSubstr(damage.reported));
    }
  }
}

TEST(PeImageReading, RejectsEveryTruncationOfTheFile) {
  const Bytes whole = smallDll();
  for (size_t length = 0; length < whole.size(); ++length) {
    const Bytes truncated(whole.begin(), whole.begin() + std::ptrdiff_t(length));
    EXPECT_THROW(PeImage image(truncated), std::runtime_error) << length << " bytes";
  }
}

// Any one byte set to any of a few values is either read, with every resource's bytes at hand,
// or rejected with a runtime_error: no other exception and no crash.
TEST(PeImageReading, ReadsOrRejectsTheFileWithAnyOneByteChanged) {
  const Bytes whole = smallDll();
  for (size_t offset = 0; offset < whole.size(); ++offset) {
    for (uint8_t value : {0x00, 0x7f, 0x80, 0xff}) {
      Bytes changed = whole;
      changed[offset] = value;
      try {
        const PeImage image(changed);
        for (const PeResource& resource : image.resources()) {
          EXPECT_EQ(image.bytesOf(resource).size(), resource.size) << offset << " " << +value;
        }
      } catch (const std::runtime_error&) {
      }
    }
  }
}

}  // namespace
