// The header image block parser on any bytes.
#include <cstdint>
#include <cstdlib>

#include "resultlist/ImageGroup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const korvane::Bytes block(data, data + size);
  if (const auto strip = korvane::ParseImageGroup(block)) {
    for (const auto& image : strip->images) {
      if (image.size() != static_cast<std::size_t>(strip->imageWidth * strip->imageHeight)) std::abort();
    }
  }
  return 0;
}
