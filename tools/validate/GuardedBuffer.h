#pragma once
#include <algorithm>
#include <cstring>
#include <vector>

// A zeroed buffer handed to a plug-in through a pointer, followed by a guard of marker bytes
// that must come back untouched: a plug-in that writes past what it was given shows here
// instead of corrupting the host's memory.
class GuardedBuffer {
 public:
  GuardedBuffer(std::size_t size, std::size_t guard) : size(size), bytes(size + guard, kMarker) {
    std::memset(bytes.data(), 0, size);
  }

  void* data() { return bytes.data(); }
  bool guardIntact() const {
    return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(size), bytes.end(),
                       [](unsigned char b) { return b == kMarker; });
  }

 private:
  static constexpr unsigned char kMarker = 0xA5;

  std::size_t size;
  std::vector<unsigned char> bytes;
};
