// The skin file reader on any bytes; what it reads, written again, reads the same.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "skinlib/SkinFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parsed = korvane::ParseSkinFile(std::span<const unsigned char>(data, size));
  if (!parsed.ok()) return 0;
  const auto written = korvane::WriteSkinFile(parsed.skin);
  if (written.empty()) std::abort();
  const auto again = korvane::ParseSkinFile(written);
  if (!again.ok() || !(again.skin == parsed.skin)) std::abort();
  return 0;
}
