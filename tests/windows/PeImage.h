#pragma once

// Reads a PE image (a Windows DLL or program) from its bytes as the PE/COFF format lays it out:
// the machine type, the DLL flag, the exports, the imported and delay-loaded DLLs and the
// resources. Portable C++, no Windows API. Every offset and RVA is checked against the file and
// its sections before a byte is read, so a damaged file gives a std::runtime_error saying what is
// out of place instead of a read out of bounds.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pe {

// One exported function: by name (empty for an export by ordinal only), ordinal and RVA.
struct PeExport {
  std::string name;
  uint32_t ordinal = 0;
  uint32_t rva = 0;
};

// A resource type or name: a string, or a 16-bit id when `text` is empty.
struct PeResourceName {
  std::string text;
  uint16_t id = 0;

  bool isText() const { return !text.empty(); }
  // "TEXT" in quotes, or the id in decimal.
  std::string describe() const { return isText() ? "\"" + text + "\"" : std::to_string(id); }
};

// One resource: where its bytes lie in the image (the reader has checked they are in the file).
struct PeResource {
  PeResourceName type;
  PeResourceName name;
  uint16_t language = 0;
  uint32_t rva = 0;
  uint32_t size = 0;
};

class PeImage {
 public:
  static constexpr uint16_t machineI386 = 0x14c;
  static constexpr uint16_t machineAmd64 = 0x8664;

  // Reads the whole image at once; throws std::runtime_error when it is not well formed.
  explicit PeImage(std::vector<uint8_t> fileBytes);
  static PeImage fromFile(const std::string& path);

  uint16_t machine() const { return machine_; }
  bool isDll() const { return isDll_; }
  bool isPe32Plus() const { return isPe32Plus_; }
  const std::vector<PeExport>& exports() const { return exports_; }
  const std::vector<std::string>& importedDlls() const { return importedDlls_; }
  const std::vector<std::string>& delayLoadedDlls() const { return delayLoadedDlls_; }
  const std::vector<PeResource>& resources() const { return resources_; }

  std::vector<uint8_t> bytesOf(const PeResource& resource) const;
  // Whether `rva` lies in a section the loader maps executable (code).
  bool isExecutable(uint32_t rva) const;

 private:
  struct Section {
    std::string name;
    uint32_t rva = 0;
    uint32_t mappedSize = 0;  // the bytes both mapped and present in the file
    uint32_t fileOffset = 0;
    uint32_t characteristics = 0;
  };
  struct Directory {
    uint32_t rva = 0;
    uint32_t size = 0;
  };
  struct ExportTables {  // file offsets of the three tables and their sizes
    uint64_t functions = 0;
    uint64_t names = 0;
    uint64_t ordinals = 0;
    uint32_t functionCount = 0;
    uint32_t nameCount = 0;
    uint32_t ordinalBase = 0;
  };
  struct ResourceEntry {
    PeResourceName name;
    uint32_t offset = 0;  // from the start of the resource directory
    bool isDirectory = false;
  };

  void readHeaders();
  void readOptionalHeader(uint64_t offset, uint16_t size);
  void readSections(uint64_t offset, uint16_t count);
  void readExports();
  ExportTables readExportTables(uint32_t rva) const;
  uint32_t exportedRva(const ExportTables& tables, uint32_t function) const;
  void readImports();
  void readDelayImports();
  void forEachDescriptor(uint32_t directoryIndex, uint32_t descriptorSize, const std::string& what,
                         const std::function<void(uint64_t)>& visit) const;
  void readResources();
  void readResourcesOfType(const ResourceEntry& type);
  void readResourceLanguages(const PeResourceName& type, const ResourceEntry& name);
  std::vector<ResourceEntry> readResourceDirectory(uint32_t offset, const std::string& what);
  PeResourceName readResourceName(uint32_t field) const;
  PeResource readResourceData(const PeResourceName& type, const PeResourceName& name,
                              const ResourceEntry& language) const;

  Directory directory(uint32_t index) const;
  const Section* sectionOf(uint32_t rva) const;
  uint64_t fileOffsetOf(uint32_t rva, uint64_t length, const std::string& what) const;
  uint64_t tableAt(uint32_t rva, uint32_t count, uint32_t entrySize, const std::string& what) const;
  uint32_t resourceRva(uint32_t offset, const std::string& what) const;
  uint32_t rvaOfAddress(uint64_t address) const;
  std::string stringAt(uint32_t rva, const std::string& what) const;
  bool isZero(uint64_t offset, uint64_t length) const;
  void requireInFile(uint64_t offset, uint64_t length, const std::string& what) const;
  uint16_t u16At(uint64_t offset, const std::string& what) const;
  uint32_t u32At(uint64_t offset, const std::string& what) const;
  uint64_t u64At(uint64_t offset, const std::string& what) const;

  std::vector<uint8_t> bytes_;
  std::vector<Section> sections_;
  std::vector<Directory> directories_;
  uint16_t machine_ = 0;
  bool isDll_ = false;
  bool isPe32Plus_ = false;
  uint64_t imageBase_ = 0;
  uint32_t resourceBase_ = 0;
  size_t resourceEntriesRead_ = 0;
  std::vector<PeExport> exports_;
  std::vector<std::string> importedDlls_;
  std::vector<std::string> delayLoadedDlls_;
  std::vector<PeResource> resources_;
};

}  // namespace pe
