#pragma once
// Constant data that the build embeds into the program (generated sources define these).

#include <cstddef>

namespace korvane::embedded {

struct Blob {
  const unsigned char* data;
  std::size_t size;
};

// The bytes of the built skin library file.
extern const Blob kSkinLibraryImage;

// The skin files, skin 1 first.
inline constexpr int kSkinFileCount = 87;
extern const Blob kSkinFiles[kSkinFileCount];

}  // namespace korvane::embedded
