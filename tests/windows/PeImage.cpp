#include "tests/windows/PeImage.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace pe {

namespace {

constexpr uint16_t dosSignature = 0x5a4d;     // "MZ"
constexpr uint32_t peOffsetField = 0x3c;      // in the DOS header
constexpr uint32_t peSignature = 0x00004550;  // "PE\0\0"
constexpr uint32_t coffHeaderSize = 20;
constexpr uint16_t fileIsDll = 0x2000;
constexpr uint16_t pe32Magic = 0x10b;
constexpr uint16_t pe32PlusMagic = 0x20b;
constexpr uint32_t sectionHeaderSize = 40;
constexpr uint32_t sectionIsExecutable = 0x20000000;
constexpr uint32_t dataDirectorySize = 8;

constexpr uint32_t exportDirectoryIndex = 0;
constexpr uint32_t importDirectoryIndex = 1;
constexpr uint32_t resourceDirectoryIndex = 2;
constexpr uint32_t delayImportDirectoryIndex = 13;

constexpr uint32_t exportDirectorySize = 40;
constexpr uint32_t importDescriptorSize = 20;
constexpr uint32_t delayDescriptorSize = 32;
constexpr uint32_t delayUsesRvas = 1;

constexpr uint32_t resourceDirectoryHeaderSize = 16;
constexpr uint32_t resourceEntrySize = 8;
constexpr uint32_t resourceDataEntrySize = 16;
constexpr uint32_t resourceHighBit = 0x80000000;
// Caps on the work a damaged resource tree can cause (entries shared between directories).
constexpr size_t maxResourceEntriesRead = size_t(1) << 20;
constexpr size_t maxResources = size_t(1) << 16;

[[noreturn]] void fail(const std::string& message) {
  throw std::runtime_error("PE image: " + message);
}

std::string hex(uint64_t value) {
  std::ostringstream text;
  text << "0x" << std::hex << value;
  return text.str();
}

}  // namespace

PeImage::PeImage(std::vector<uint8_t> fileBytes) : bytes_(std::move(fileBytes)) {
  readHeaders();
  readExports();
  readImports();
  readDelayImports();
  readResources();
}

PeImage PeImage::fromFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("PE image: cannot open " + path);
  return PeImage(std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {}));
}

std::vector<uint8_t> PeImage::bytesOf(const PeResource& resource) const {
  const uint64_t offset = fileOffsetOf(resource.rva, resource.size, "resource data");
  const auto first = bytes_.begin() + std::ptrdiff_t(offset);
  return std::vector<uint8_t>(first, first + std::ptrdiff_t(resource.size));
}

bool PeImage::isExecutable(uint32_t rva) const {
  const Section* section = sectionOf(rva);
  return section != nullptr && (section->characteristics & sectionIsExecutable) != 0;
}

// Headers and sections.

void PeImage::readHeaders() {
  if (u16At(0, "DOS header") != dosSignature) fail("no MZ signature at the start of the file");
  const uint32_t peOffset = u32At(peOffsetField, "DOS header");
  if (u32At(peOffset, "PE signature") != peSignature) {
    fail("no PE signature at file offset " + hex(peOffset));
  }
  const uint64_t coff = uint64_t(peOffset) + 4;
  machine_ = u16At(coff, "COFF header");
  const uint16_t sectionCount = u16At(coff + 2, "COFF header");
  const uint16_t optionalSize = u16At(coff + 16, "COFF header");
  isDll_ = (u16At(coff + 18, "COFF header") & fileIsDll) != 0;
  readOptionalHeader(coff + coffHeaderSize, optionalSize);
  readSections(coff + coffHeaderSize + optionalSize, sectionCount);
}

void PeImage::readOptionalHeader(uint64_t offset, uint16_t size) {
  requireInFile(offset, size, "optional header");
  const uint16_t magic = u16At(offset, "optional header");
  if (magic != pe32Magic && magic != pe32PlusMagic) {
    fail("optional header magic " + hex(magic) + " is neither PE32 nor PE32+");
  }
  isPe32Plus_ = magic == pe32PlusMagic;
  const uint32_t countField = isPe32Plus_ ? 108 : 92;
  if (size < countField + 4) {
    fail("optional header of " + std::to_string(size) + " bytes is too short");
  }
  imageBase_ = isPe32Plus_ ? u64At(offset + 24, "image base") : u32At(offset + 28, "image base");
  const uint32_t count = u32At(offset + countField, "optional header");
  if (count > (size - countField - 4) / dataDirectorySize) {
    fail(std::to_string(count) + " data directories do not fit in the optional header");
  }
  const uint64_t first = offset + countField + 4;
  for (uint32_t index = 0; index < count; ++index) {
    const uint64_t entry = first + uint64_t(index) * dataDirectorySize;
    directories_.push_back({u32At(entry, "data directory"), u32At(entry + 4, "data directory")});
  }
}

void PeImage::readSections(uint64_t offset, uint16_t count) {
  requireInFile(offset, uint64_t(count) * sectionHeaderSize, "section table");
  for (uint16_t index = 0; index < count; ++index) {
    const uint64_t header = offset + uint64_t(index) * sectionHeaderSize;
    const auto name = reinterpret_cast<const char*>(&bytes_[header]);
    Section section;
    section.name = std::string(name, std::find(name, name + 8, '\0'));
    const uint32_t virtualSize = u32At(header + 8, "section header");
    section.rva = u32At(header + 12, "section header");
    const uint32_t rawSize = u32At(header + 16, "section header");
    section.fileOffset = u32At(header + 20, "section header");
    section.characteristics = u32At(header + 36, "section header");
    requireInFile(section.fileOffset, rawSize, "raw data of section " + section.name);
    section.mappedSize = virtualSize == 0 ? rawSize : std::min(virtualSize, rawSize);
    sections_.push_back(section);
  }
}

// Exports, imports and delay-loaded imports.

void PeImage::readExports() {
  const Directory exportDirectory = directory(exportDirectoryIndex);
  if (exportDirectory.rva == 0) return;
  const ExportTables tables = readExportTables(exportDirectory.rva);
  std::vector<bool> named(tables.functionCount, false);
  for (uint32_t index = 0; index < tables.nameCount; ++index) {
    const uint16_t function = u16At(tables.ordinals + uint64_t(index) * 2, "export ordinal table");
    if (function >= tables.functionCount) {
      fail("export name " + std::to_string(index) + " refers to function " +
           std::to_string(function) + " of " + std::to_string(tables.functionCount));
    }
    const uint32_t nameRva = u32At(tables.names + uint64_t(index) * 4, "export name table");
    exports_.push_back({stringAt(nameRva, "export name"), tables.ordinalBase + function,
                        exportedRva(tables, function)});
    named[function] = true;
  }
  for (uint32_t function = 0; function < tables.functionCount; ++function) {
    if (!named[function] && exportedRva(tables, function) != 0) {
      exports_.push_back({"", tables.ordinalBase + function, exportedRva(tables, function)});
    }
  }
}

PeImage::ExportTables PeImage::readExportTables(uint32_t rva) const {
  const uint64_t directory = fileOffsetOf(rva, exportDirectorySize, "export directory");
  ExportTables tables;
  tables.ordinalBase = u32At(directory + 16, "export directory");
  tables.functionCount = u32At(directory + 20, "export directory");
  tables.nameCount = u32At(directory + 24, "export directory");
  tables.functions = tableAt(u32At(directory + 28, "export directory"), tables.functionCount, 4,
                             "export address table");
  tables.names =
      tableAt(u32At(directory + 32, "export directory"), tables.nameCount, 4, "export name table");
  tables.ordinals = tableAt(u32At(directory + 36, "export directory"), tables.nameCount, 2,
                            "export ordinal table");
  return tables;
}

uint32_t PeImage::exportedRva(const ExportTables& tables, uint32_t function) const {
  return u32At(tables.functions + uint64_t(function) * 4, "export address table");
}

void PeImage::readImports() {
  forEachDescriptor(importDirectoryIndex, importDescriptorSize, "import descriptor",
                    [this](uint64_t descriptor) {
                      const uint32_t nameRva = u32At(descriptor + 12, "import descriptor");
                      importedDlls_.push_back(stringAt(nameRva, "imported DLL name"));
                    });
}

void PeImage::readDelayImports() {
  forEachDescriptor(delayImportDirectoryIndex, delayDescriptorSize, "delay-load descriptor",
                    [this](uint64_t descriptor) {
                      const uint32_t attributes = u32At(descriptor, "delay-load descriptor");
                      const uint32_t name = u32At(descriptor + 4, "delay-load descriptor");
                      const uint32_t nameRva =
                          (attributes & delayUsesRvas) != 0 ? name : rvaOfAddress(name);
                      delayLoadedDlls_.push_back(stringAt(nameRva, "delay-loaded DLL name"));
                    });
}

// Walks an array of descriptors that ends with one of all zero bytes.
void PeImage::forEachDescriptor(uint32_t directoryIndex, uint32_t descriptorSize,
                                const std::string& what,
                                const std::function<void(uint64_t)>& visit) const {
  const Directory descriptors = directory(directoryIndex);
  if (descriptors.rva == 0) return;
  for (uint64_t rva = descriptors.rva;; rva += descriptorSize) {
    if (rva > std::numeric_limits<uint32_t>::max()) fail(what + "s run past the last RVA");
    const uint64_t descriptor = fileOffsetOf(uint32_t(rva), descriptorSize, what);
    if (isZero(descriptor, descriptorSize)) return;
    visit(descriptor);
  }
}

// Resources: a tree of three levels (type, name, language) whose leaves point at the data.

void PeImage::readResources() {
  const Directory resourceDirectory = directory(resourceDirectoryIndex);
  if (resourceDirectory.rva == 0) return;
  resourceBase_ = resourceDirectory.rva;
  for (const ResourceEntry& type : readResourceDirectory(0, "resource type directory")) {
    readResourcesOfType(type);
  }
}

void PeImage::readResourcesOfType(const ResourceEntry& type) {
  if (!type.isDirectory) fail("resource type " + type.name.describe() + " has no name directory");
  for (const ResourceEntry& name : readResourceDirectory(type.offset, "resource name directory")) {
    readResourceLanguages(type.name, name);
  }
}

void PeImage::readResourceLanguages(const PeResourceName& type, const ResourceEntry& name) {
  if (!name.isDirectory) {
    fail("resource " + type.describe() + "/" + name.name.describe() + " has no language directory");
  }
  for (const ResourceEntry& language :
       readResourceDirectory(name.offset, "resource language directory")) {
    if (resources_.size() == maxResources) fail("more than " + hex(maxResources) + " resources");
    resources_.push_back(readResourceData(type, name.name, language));
  }
}

std::vector<PeImage::ResourceEntry> PeImage::readResourceDirectory(uint32_t offset,
                                                                   const std::string& what) {
  const uint32_t rva = resourceRva(offset, what);
  const uint64_t header = fileOffsetOf(rva, resourceDirectoryHeaderSize, what);
  const uint32_t count = uint32_t(u16At(header + 12, what)) + u16At(header + 14, what);
  resourceEntriesRead_ += count;
  if (resourceEntriesRead_ > maxResourceEntriesRead) {
    fail("resource directories hold more than " + hex(maxResourceEntriesRead) + " entries");
  }
  const uint64_t length = resourceDirectoryHeaderSize + uint64_t(count) * resourceEntrySize;
  fileOffsetOf(rva, length, what + " entries");
  std::vector<ResourceEntry> entries;
  for (uint32_t index = 0; index < count; ++index) {
    const uint64_t entry =
        header + resourceDirectoryHeaderSize + uint64_t(index) * resourceEntrySize;
    const uint32_t target = u32At(entry + 4, what);
    entries.push_back({readResourceName(u32At(entry, what)), target & ~resourceHighBit,
                       (target & resourceHighBit) != 0});
  }
  return entries;
}

// A name field holds an id, or with its high bit the offset of a counted UTF-16 string.
PeResourceName PeImage::readResourceName(uint32_t field) const {
  if ((field & resourceHighBit) == 0) {
    if (field > 0xffff) fail("resource id " + hex(field) + " does not fit 16 bits");
    return {"", uint16_t(field)};
  }
  const uint32_t rva = resourceRva(field & ~resourceHighBit, "resource name");
  const uint64_t start = fileOffsetOf(rva, 2, "resource name");
  const uint16_t length = u16At(start, "resource name");
  if (length == 0) fail("resource name at RVA " + hex(rva) + " is empty");
  fileOffsetOf(rva, 2 + uint64_t(length) * 2, "resource name");
  std::string text;
  for (uint16_t index = 0; index < length; ++index) {
    const uint16_t unit = u16At(start + 2 + uint64_t(index) * 2, "resource name");
    text += unit < 0x80 ? char(unit) : '?';
  }
  return {text, 0};
}

PeResource PeImage::readResourceData(const PeResourceName& type, const PeResourceName& name,
                                     const ResourceEntry& language) const {
  const std::string what = "resource " + type.describe() + "/" + name.describe();
  if (language.isDirectory || language.name.isText()) {
    fail(what + " has a language entry that is not a language id with data");
  }
  const uint32_t entryRva = resourceRva(language.offset, what);
  const uint64_t entry = fileOffsetOf(entryRva, resourceDataEntrySize, what + " data entry");
  const uint32_t dataRva = u32At(entry, what);
  const uint32_t size = u32At(entry + 4, what);
  fileOffsetOf(dataRva, size, what + " data");
  return {type, name, language.name.id, dataRva, size};
}

// Bounds-checked access: every read of the file goes through these.

PeImage::Directory PeImage::directory(uint32_t index) const {
  return index < directories_.size() ? directories_[index] : Directory();
}

const PeImage::Section* PeImage::sectionOf(uint32_t rva) const {
  for (const Section& section : sections_) {
    if (rva >= section.rva && rva - section.rva < section.mappedSize) return &section;
  }
  return nullptr;
}

// The file offset of `length` bytes at `rva`, all inside one section's bytes in the file.
uint64_t PeImage::fileOffsetOf(uint32_t rva, uint64_t length, const std::string& what) const {
  const Section* section = sectionOf(rva);
  if (section == nullptr) fail(what + " at RVA " + hex(rva) + " lies in no section's file bytes");
  const uint32_t inSection = rva - section->rva;
  if (length > section->mappedSize - inSection) {
    fail(what + " at RVA " + hex(rva) + " (" + std::to_string(length) +
         " bytes) runs past the end of section " + section->name);
  }
  return uint64_t(section->fileOffset) + inSection;
}

uint64_t PeImage::tableAt(uint32_t rva, uint32_t count, uint32_t entrySize,
                          const std::string& what) const {
  return count == 0 ? 0 : fileOffsetOf(rva, uint64_t(count) * entrySize, what);
}

uint32_t PeImage::resourceRva(uint32_t offset, const std::string& what) const {
  const uint64_t rva = uint64_t(resourceBase_) + offset;
  if (rva > std::numeric_limits<uint32_t>::max()) {
    fail(what + " at resource offset " + hex(offset) + " runs past the last RVA");
  }
  return uint32_t(rva);
}

uint32_t PeImage::rvaOfAddress(uint64_t address) const {
  if (address < imageBase_ || address - imageBase_ > std::numeric_limits<uint32_t>::max()) {
    fail("address " + hex(address) + " lies outside the image at " + hex(imageBase_));
  }
  return uint32_t(address - imageBase_);
}

// A NUL-terminated string at `rva`, ending inside the section that holds its start.
std::string PeImage::stringAt(uint32_t rva, const std::string& what) const {
  const uint64_t start = fileOffsetOf(rva, 1, what);
  const Section& section = *sectionOf(rva);
  const auto first = bytes_.begin() + std::ptrdiff_t(start);
  const auto last = bytes_.begin() + std::ptrdiff_t(section.fileOffset + section.mappedSize);
  const auto end = std::find(first, last, uint8_t(0));
  if (end == last) fail(what + " at RVA " + hex(rva) + " has no terminating NUL in its section");
  return std::string(first, end);
}

bool PeImage::isZero(uint64_t offset, uint64_t length) const {
  requireInFile(offset, length, "zero check");
  const auto first = bytes_.begin() + std::ptrdiff_t(offset);
  return std::all_of(first, first + std::ptrdiff_t(length), [](uint8_t b) { return b == 0; });
}

void PeImage::requireInFile(uint64_t offset, uint64_t length, const std::string& what) const {
  if (offset > bytes_.size() || length > bytes_.size() - offset) {
    fail(what + " at file offset " + hex(offset) + " (" + std::to_string(length) +
         " bytes) runs past the end of the file (" + std::to_string(bytes_.size()) + " bytes)");
  }
}

uint16_t PeImage::u16At(uint64_t offset, const std::string& what) const {
  requireInFile(offset, 2, what);
  return uint16_t(bytes_[offset] | bytes_[offset + 1] << 8);
}

uint32_t PeImage::u32At(uint64_t offset, const std::string& what) const {
  requireInFile(offset, 4, what);
  return uint32_t(u16At(offset, what)) | uint32_t(u16At(offset + 2, what)) << 16;
}

uint64_t PeImage::u64At(uint64_t offset, const std::string& what) const {
  requireInFile(offset, 8, what);
  return uint64_t(u32At(offset, what)) | uint64_t(u32At(offset + 4, what)) << 32;
}

}  // namespace pe
