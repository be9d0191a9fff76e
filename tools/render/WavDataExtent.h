#pragma once
#include <cstdint>
#include <optional>
#include <string>

// The audio data that a WAV file's header promises, against what the file holds: a file cut short
// (an interrupted copy or download) holds fewer bytes than its header counts, and libsndfile then
// reads what is there without a word.
struct WavDataExtent {
  std::uint64_t promisedBytes = 0;
  std::uint64_t heldBytes = 0;

  bool cutShort() const { return promisedBytes > heldBytes; }
};

// The extent of the data chunk of a RIFF or RF64 WAV file; nothing for other files and for
// headers that leave the length open (as a recorder still writing does).
std::optional<WavDataExtent> readWavDataExtent(const std::string& path);
