#include "resultlist/ImageGroup.h"

#include <cstring>

namespace korvane {
namespace {

constexpr int kImagesPerRow = 4;
constexpr int kMaxSide = 256;
constexpr int kMaxImages = 1024;
constexpr std::uint32_t kMaskFlag = 0x0001;

// Little-endian reads at absolute offsets, each checked against the block's end.
class Reader {
 public:
  explicit Reader(const Bytes& bytes) : bytes_(bytes) {}
  bool Has(std::size_t at, std::size_t n) const { return at <= bytes_.size() && bytes_.size() - at >= n; }
  std::optional<std::uint32_t> U16(std::size_t at) const {
    if (!Has(at, 2)) return std::nullopt;
    return static_cast<std::uint32_t>(bytes_[at] | bytes_[at + 1] << 8);
  }
  std::optional<std::uint32_t> U32(std::size_t at) const {
    const auto lo = U16(at), hi = U16(at + 2);
    if (!lo || !hi) return std::nullopt;
    return *lo | *hi << 16;
  }
  bool Is(std::size_t at, const char* text) const {
    const std::size_t n = std::strlen(text);
    return Has(at, n) && std::memcmp(bytes_.data() + at, text, n) == 0;
  }
  unsigned char Byte(std::size_t at) const { return bytes_[at]; }

 private:
  const Bytes& bytes_;
};

struct Bitmap {
  int width = 0;
  int height = 0;
  bool bottomUp = true;
  int bits = 0;
  std::size_t pixels = 0;  // offset of the pixel rows in the block
  std::size_t stride = 0;
  std::size_t end = 0;     // offset just past the pixel rows
};

// A bitmap file (BITMAPFILEHEADER, BITMAPINFOHEADER, palette, rows) of `allowedBits`, uncompressed,
// lying wholly inside the block.
std::optional<Bitmap> ReadBitmap(const Reader& r, std::size_t start, std::initializer_list<int> allowedBits) {
  if (!r.Is(start, "BM")) return std::nullopt;
  const auto offBits = r.U32(start + 10);
  const auto infoSize = r.U32(start + 14);
  const auto width = r.U32(start + 18);
  const auto height = r.U32(start + 22);
  const auto planes = r.U16(start + 26);
  const auto bits = r.U16(start + 28);
  const auto compression = r.U32(start + 30);
  if (!offBits || !infoSize || !width || !height || !planes || !bits || !compression) return std::nullopt;
  if (*infoSize < 40 || *planes != 1 || *compression != 0 || *offBits < 14 + *infoSize) return std::nullopt;
  bool bitsAllowed = false;
  for (const int b : allowedBits) bitsAllowed = bitsAllowed || static_cast<std::uint32_t>(b) == *bits;
  if (!bitsAllowed) return std::nullopt;
  Bitmap b;
  b.width = static_cast<std::int32_t>(*width);
  const auto storedHeight = static_cast<std::int32_t>(*height);
  if (storedHeight == INT32_MIN) return std::nullopt;
  b.bottomUp = storedHeight > 0;
  b.height = storedHeight < 0 ? -storedHeight : storedHeight;
  if (b.width <= 0 || b.width > kMaxSide * kImagesPerRow || b.height <= 0 || b.height > kMaxSide * kMaxImages) {
    return std::nullopt;
  }
  b.bits = static_cast<int>(*bits);
  b.stride = (static_cast<std::size_t>(b.width) * static_cast<std::size_t>(b.bits) + 31) / 32 * 4;
  b.pixels = start + *offBits;
  const std::size_t size = b.stride * static_cast<std::size_t>(b.height);
  if (!r.Has(b.pixels, size)) return std::nullopt;
  b.end = b.pixels + size;
  return b;
}

std::size_t StorageRow(const Bitmap& b, int y) {
  return static_cast<std::size_t>(b.bottomUp ? b.height - 1 - y : y);
}

}  // namespace

std::optional<ImageStrip> ParseImageGroup(const Bytes& block) {
  const Reader r(block);
  if (block.size() < 9 || !r.Is(0, "MITL")) return std::nullopt;
  // The image-list stream's header.
  constexpr std::size_t kStream = 8;
  if (!r.Is(kStream, "IL")) return std::nullopt;
  const auto version = r.U16(kStream + 2);
  const auto count = r.U16(kStream + 4);
  const auto capacity = r.U16(kStream + 6);
  const auto cx = r.U16(kStream + 10);
  const auto cy = r.U16(kStream + 12);
  const auto background = r.U32(kStream + 14);
  const auto flags = r.U16(kStream + 18);
  if (!version || !count || !capacity || !cx || !cy || !background || !flags || !r.Has(kStream, 28)) {
    return std::nullopt;
  }
  if (*version != 0x0101 || *count > *capacity || *count > kMaxImages || *cx == 0 || *cx > kMaxSide || *cy == 0 ||
      *cy > kMaxSide) {
    return std::nullopt;
  }
  const int width = static_cast<int>(*cx), height = static_cast<int>(*cy), images = static_cast<int>(*count);
  const auto colour = ReadBitmap(r, kStream + 28, {24, 32});
  if (!colour) return std::nullopt;
  std::optional<Bitmap> mask;
  if (*flags & kMaskFlag) {
    mask = ReadBitmap(r, colour->end, {1});
    if (!mask) return std::nullopt;
  }
  // The strip must hold every image: four to a row.
  const int columns = images < kImagesPerRow ? images : kImagesPerRow;
  const int rows = (images + kImagesPerRow - 1) / kImagesPerRow;
  for (const Bitmap* b : {&*colour, mask ? &*mask : static_cast<const Bitmap*>(nullptr)}) {
    if (b && (b->width < columns * width || b->height < rows * height)) return std::nullopt;
  }

  ImageStrip strip;
  strip.imageWidth = width;
  strip.imageHeight = height;
  strip.background = *background;
  const std::size_t bytesPerPixel = static_cast<std::size_t>(colour->bits / 8);
  for (int i = 0; i < images; ++i) {
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y) {
      const int stripY = (i / kImagesPerRow) * height + y;
      for (int x = 0; x < width; ++x) {
        const auto stripX = static_cast<std::size_t>((i % kImagesPerRow) * width + x);
        const std::size_t at = colour->pixels + StorageRow(*colour, stripY) * colour->stride + stripX * bytesPerPixel;
        std::uint32_t argb = 0xFF000000u | static_cast<std::uint32_t>(r.Byte(at + 2)) << 16 |
                             static_cast<std::uint32_t>(r.Byte(at + 1)) << 8 | r.Byte(at);
        if (mask) {
          const std::size_t m = mask->pixels + StorageRow(*mask, stripY) * mask->stride + stripX / 8;
          if (r.Byte(m) & (0x80 >> (stripX % 8))) argb = 0;  // a set mask bit is transparent
        }
        pixels.push_back(argb);
      }
    }
    strip.images.push_back(std::move(pixels));
  }
  return strip;
}

}  // namespace korvane
