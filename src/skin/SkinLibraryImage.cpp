#include "skin/SkinLibraryImage.h"

#include "skin/EmbeddedBytes.h"

namespace korvane {

std::span<const unsigned char> SkinLibraryImage() {
  return {embedded::kSkinLibraryImage.data, embedded::kSkinLibraryImage.size};
}

}  // namespace korvane
