#pragma once

#include <span>

#include "skin/EmbeddedBytes.h"

namespace korvane {

inline constexpr int kSkinCount = embedded::kSkinFileCount;

// Skin file `skinNumber` (1 to kSkinCount) of the built-in catalogue; empty for any other number.
std::span<const unsigned char> SkinCatalogue(int skinNumber);

}  // namespace korvane
