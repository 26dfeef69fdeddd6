#include "resultlist/ImageGroup.h"

#include <gtest/gtest.h>

#include "resultlist/SortArrowImages.h"

namespace korvane {
namespace {

std::uint32_t U16(const Bytes& b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t U32(const Bytes& b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

TEST(SortArrowImages, BlockLayout) {
  const Bytes& b = SortArrowImages();
  ASSERT_EQ(b.size(), 2022u);
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 8), (Bytes{'M', 'I', 'T', 'L', 0, 0, 0, 0xFF}));
  // Image-list header.
  EXPECT_EQ(b[8], 'I');
  EXPECT_EQ(b[9], 'L');
  EXPECT_EQ(U16(b, 10), 0x0101u);  // version
  EXPECT_EQ(U16(b, 12), 2u);       // images
  EXPECT_EQ(U16(b, 14), 6u);       // room
  EXPECT_EQ(U16(b, 16), 4u);       // growth
  EXPECT_EQ(U16(b, 18), 8u);       // width
  EXPECT_EQ(U16(b, 20), 7u);       // height
  EXPECT_EQ(U32(b, 22), 0x00FFFFFFu);
  EXPECT_EQ(U16(b, 26), 0x1021u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(U16(b, 28 + 2 * i), 0xFFFFu);
  // Colour bitmap: 32 x 14, 32 bits per pixel.
  const std::size_t colour = 36;
  EXPECT_EQ(b[colour], 'B');
  EXPECT_EQ(U32(b, colour + 18), 32u);
  EXPECT_EQ(U32(b, colour + 22), 14u);
  EXPECT_EQ(U16(b, colour + 28), 32u);
  // Mask bitmap: 32 x 14, 1 bit per pixel, right after the colour pixels.
  const std::size_t mask = colour + 54 + 32 * 14 * 4;
  EXPECT_EQ(b[mask], 'B');
  EXPECT_EQ(U32(b, mask + 18), 32u);
  EXPECT_EQ(U32(b, mask + 22), 14u);
  EXPECT_EQ(U16(b, mask + 28), 1u);
  // 22 zero bytes close the block.
  const std::size_t end = mask + 62 + 4 * 14;
  EXPECT_EQ(end + 22, b.size());
  for (std::size_t i = end; i < b.size(); ++i) EXPECT_EQ(b[i], 0) << i;
}

TEST(SortArrowImages, DecodedPixelsAreTheArrows) {
  const char* const expected[2][7] = {
      {"...GW...", "..G..W..", "..G..W..", ".G....W.", ".G....W.", "G......W", "GGGGGGGW"},
      {"GGGGGGGW", "G......W", ".G....W.", ".G....W.", "..G..W..", "..G..W..", "...GW..."},
  };
  const auto strip = ParseImageGroup(SortArrowImages());
  ASSERT_TRUE(strip);
  EXPECT_EQ(strip->imageWidth, 8);
  EXPECT_EQ(strip->imageHeight, 7);
  EXPECT_EQ(strip->background, 0x00FFFFFFu);
  ASSERT_EQ(strip->images.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    for (int y = 0; y < 7; ++y) {
      std::string row;
      for (int x = 0; x < 8; ++x) {
        const std::uint32_t p = strip->images[static_cast<std::size_t>(i)][static_cast<std::size_t>(y * 8 + x)];
        row += p == 0 ? '.' : p == 0xFF7F7F7F ? 'G' : p == 0xFFFFFFFF ? 'W' : '?';
      }
      EXPECT_EQ(row, expected[i][y]) << "image " << i << " row " << y;
    }
  }
}

TEST(ImageGroup, MalformedBlocksGiveNothing) {
  const Bytes& good = SortArrowImages();
  // Every truncation that cuts into the bitmaps.
  for (std::size_t n = 0; n < good.size() - 22; ++n) {
    ASSERT_FALSE(ParseImageGroup(Bytes(good.begin(), good.begin() + static_cast<long>(n)))) << n;
  }
  struct Mutation {
    const char* what;
    std::size_t at;
    unsigned char value;
  };
  const Mutation mutations[] = {
      {"magnet letters", 0, 'X'},        {"stream magic", 8, 'X'},          {"version", 10, 0x02},
      {"more images than room", 12, 9},  {"zero width", 18, 0},             {"huge width", 19, 0x10},
      {"colour not a bitmap", 36, 'X'},  {"colour bits", 36 + 28, 8},       {"compressed", 36 + 30, 1},
      {"pixel offset far away", 36 + 13, 0x7F}, {"negative height extreme", 36 + 25, 0x80},
      {"bitmap too narrow", 36 + 18, 8}, {"mask bits", 36 + 54 + 1792 + 28, 4},
  };
  for (const auto& m : mutations) {
    Bytes bad = good;
    bad[m.at] = m.value;
    if (std::string(m.what) == "negative height extreme") bad[36 + 22] = bad[36 + 23] = bad[36 + 24] = 0;
    EXPECT_FALSE(ParseImageGroup(bad)) << m.what;
  }
  EXPECT_FALSE(ParseImageGroup(Bytes{'M', 'I', 'T', 'L', 0, 0, 0, 0xFF, 'I'}));
}

TEST(ImageGroup, TopDownBitmapAndNoMask) {
  Bytes b = SortArrowImages();
  // Without the mask flag the mask bitmap is not read and every pixel is opaque.
  b[26] = 0x20;
  const auto strip = ParseImageGroup(b);
  ASSERT_TRUE(strip);
  EXPECT_EQ(strip->images[0][0], 0xFF000000u);
}

}  // namespace
}  // namespace korvane
