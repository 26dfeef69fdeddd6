#include "skin/SkinCatalogue.h"

namespace korvane {

std::span<const unsigned char> SkinCatalogue(int skinNumber) {
  if (skinNumber < 1 || skinNumber > kSkinCount) return {};
  const embedded::Blob& file = embedded::kSkinFiles[skinNumber - 1];
  return {file.data, file.size};
}

}  // namespace korvane
