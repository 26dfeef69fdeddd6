#pragma once
// Reading an image-group block: "MITL", four bytes, an image-list stream (header, colour bitmap,
// optional mask bitmap). Any malformed block gives nothing.
#include <cstdint>
#include <optional>
#include <vector>

#include "text/Types.h"

namespace korvane {

struct ImageStrip {
  int imageWidth = 0;
  int imageHeight = 0;
  std::uint32_t background = 0;  // 0x00BBGGRR as stored
  // One entry per image, imageWidth * imageHeight pixels each, top row first, as 0xAARRGGBB;
  // alpha is 0 where the mask is transparent and 0xFF elsewhere.
  std::vector<std::vector<std::uint32_t>> images;
};

std::optional<ImageStrip> ParseImageGroup(const Bytes& block);

}  // namespace korvane
