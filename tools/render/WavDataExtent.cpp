#include "tools/render/WavDataExtent.h"

#include <cstring>
#include <fstream>

namespace {

// RIFF sizes are little-endian; a RIFF data size of all ones marks a length left open.
constexpr std::uint32_t kOpenLength = 0xFFFFFFFFu;

std::uint64_t littleEndian(const unsigned char* bytes, int count) {
  std::uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

bool readBytes(std::ifstream& file, unsigned char* bytes, std::streamsize count) {
  return static_cast<bool>(file.read(reinterpret_cast<char*>(bytes), count));
}

}  // namespace

std::optional<WavDataExtent> readWavDataExtent(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return std::nullopt;
  auto fileSize = static_cast<std::uint64_t>(file.tellg());
  file.seekg(0);
  unsigned char header[12];
  if (!readBytes(file, header, 12) || std::memcmp(header + 8, "WAVE", 4) != 0) return std::nullopt;
  bool rf64 = std::memcmp(header, "RF64", 4) == 0;
  if (!rf64 && std::memcmp(header, "RIFF", 4) != 0) return std::nullopt;

  std::uint64_t rf64DataSize = 0;  // RF64 keeps the real size in its ds64 chunk
  unsigned char chunk[8];
  for (std::uint64_t offset = 12; offset + 8 <= fileSize;) {
    file.seekg(static_cast<std::streamoff>(offset));
    if (!readBytes(file, chunk, 8)) return std::nullopt;
    std::uint64_t size = littleEndian(chunk + 4, 4);
    std::uint64_t body = offset + 8;
    if (std::memcmp(chunk, "ds64", 4) == 0) {
      unsigned char sizes[16];
      if (!readBytes(file, sizes, 16)) return std::nullopt;
      rf64DataSize = littleEndian(sizes + 8, 8);
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (rf64 && size == kOpenLength)
        size = rf64DataSize;
      else if (size == kOpenLength)
        return std::nullopt;
      return WavDataExtent{size, fileSize - body};
    }
    offset = body + size + (size & 1);  // chunks are padded to an even length
  }
  return std::nullopt;
}
