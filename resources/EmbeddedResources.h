#pragma once

#include <cstddef>
#include <cstdint>

namespace resources {

// The bytes of resources/<id>-<role>.png, compiled into the library at build time (Linux; the
// Windows build stores the same files in its resource script instead).
struct EmbeddedResource {
  int32_t id;
  const uint8_t* data;
  size_t size;
};

// The image stored under `id` (128..137), or null when its file was not there at build time.
const EmbeddedResource* findEmbeddedResource(int32_t id);

}  // namespace resources
