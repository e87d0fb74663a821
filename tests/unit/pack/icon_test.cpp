#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/bytes.hpp"
#include "core/icon.hpp"

namespace {

// A 32-bit bitmap image as icons store it: header, colour rows, AND mask.
Bytes bitmap_image(int size, std::uint8_t fill) {
  Bytes b;
  put32(b, 40);
  put32(b, static_cast<std::uint32_t>(size));
  put32(b, static_cast<std::uint32_t>(size * 2));
  put16(b, 1);
  put16(b, 32);
  for (int i = 0; i < 6; ++i) put32(b, 0);
  b.insert(b.end(), static_cast<std::size_t>(size * size * 4), fill);
  b.insert(b.end(), static_cast<std::size_t>(size * ((size + 31) / 32) * 4), 0);
  return b;
}

// The start of a PNG file: signature and IHDR (RGBA, 8 bits).
Bytes png_image(std::uint32_t w, std::uint32_t h) {
  Bytes b{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (std::uint32_t v : {w, h}) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>(v >> s));
  }
  b.insert(b.end(), {8, 6, 0, 0, 0, 1, 2, 3, 4});
  return b;
}

struct Entry {
  std::uint8_t w, h;
  std::uint16_t planes, bits;
  Bytes data;
};

Bytes ico(const std::vector<Entry>& entries, std::uint16_t type = 1) {
  Bytes f;
  put16(f, 0);
  put16(f, type);
  put16(f, static_cast<std::uint32_t>(entries.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
  for (const Entry& e : entries) {
    f.insert(f.end(), {e.w, e.h, 0, 0});
    put16(f, e.planes);
    put16(f, e.bits);
    put32(f, static_cast<std::uint32_t>(e.data.size()));
    put32(f, offset);
    offset += static_cast<std::uint32_t>(e.data.size());
  }
  for (const Entry& e : entries) f.insert(f.end(), e.data.begin(), e.data.end());
  return f;
}

std::string parse(const Bytes& f) {
  std::vector<IconImage> images;
  return parse_ico(f, images);
}

TEST(IcoFile, ReadsEveryImageAndFillsDepthFromTheImage) {
  const Bytes file = ico({{16, 16, 1, 32, bitmap_image(16, 0x11)},
                          {32, 32, 0, 0, bitmap_image(32, 0x22)},
                          {0, 0, 0, 0, png_image(256, 256)}});
  std::vector<IconImage> images;
  ASSERT_EQ(parse_ico(file, images), "");
  ASSERT_EQ(images.size(), 3u);
  EXPECT_EQ(images[0].width, 16);
  EXPECT_EQ(images[0].data, bitmap_image(16, 0x11));
  EXPECT_EQ(images[1].planes, 1);  // taken from the bitmap header
  EXPECT_EQ(images[1].bit_count, 32);
  EXPECT_EQ(images[2].width, 0);       // 256
  EXPECT_EQ(images[2].bit_count, 32);  // RGBA, 8 bits per channel
  EXPECT_EQ(images[2].data, png_image(256, 256));
}

TEST(IcoFile, RefusesWhatIsNoIcon) {
  Bytes bad_offset = ico({{16, 16, 1, 32, bitmap_image(16, 1)}});
  bad_offset[18] = 2;  // image offset 2: inside the directory
  Bytes too_long = ico({{16, 16, 1, 32, bitmap_image(16, 1)}});
  too_long.resize(too_long.size() - 1);
  Bytes bad_bits = bitmap_image(16, 1);
  bad_bits[14] = 3;
  const std::vector<std::pair<Bytes, std::string>> cases{
      {{}, "too short"},
      {Bytes{'<', 'h', 't', 'm', 'l', '>', 'x'}, "no icon file header"},
      {png_image(16, 16), "no icon file header"},
      {ico({{16, 16, 1, 32, bitmap_image(16, 1)}}, 2), "a cursor file"},
      {ico({}), "without images"},
      {Bytes{0, 0, 1, 0, 2, 0, 16, 16}, "runs past its end"},
      {bad_offset, "outside the file"},
      {too_long, "outside the file"},
      {ico({{16, 16, 1, 32, {}}}), "empty"},
      {ico({{16, 16, 1, 32, Bytes(64, 'x')}}), "neither a bitmap nor a PNG"},
      {ico({{16, 16, 1, 32, bad_bits}}), "colour depth"},
      {ico({{0, 0, 0, 0, png_image(300, 300)}}), "larger than 256"},
  };
  for (const auto& [file, want] : cases) {
    const std::string got = parse(file);
    EXPECT_NE(got.find(want), std::string::npos) << "got: " << got << ", want: " << want;
  }
  Bytes many;
  put16(many, 0);
  put16(many, 1);
  put16(many, kMaxIconImages + 1);
  EXPECT_NE(parse(many).find("more than"), std::string::npos);
}

TEST(IcoFile, EveryCutOfAFileIsRefusedCleanly) {
  const Bytes file = ico({{16, 16, 1, 32, bitmap_image(16, 5)}, {0, 0, 0, 0, png_image(256, 256)}});
  for (std::size_t n = 0; n < file.size(); ++n) {
    EXPECT_NE(parse(Bytes(file.begin(), file.begin() + static_cast<long>(n))), "") << n;
  }
  EXPECT_EQ(parse(file), "");
}

TEST(IconGroup, NamesEachImageByItsResourceNumber) {
  std::vector<IconImage> images(2);
  images[0].width = images[0].height = 48;
  images[0].planes = 1;
  images[0].bit_count = 32;
  images[0].data = Bytes(300, 1);
  images[1].colors = 16;
  images[1].planes = 1;
  images[1].bit_count = 4;
  images[1].data = Bytes(70000, 2);
  const Bytes g = build_icon_group(images, {7, 9});
  ASSERT_EQ(g.size(), 6u + 2 * 14);
  EXPECT_EQ(le16(g, 2), 1u);  // icon, not cursor
  EXPECT_EQ(le16(g, 4), 2u);
  EXPECT_EQ(g[6], 48);
  EXPECT_EQ(le16(g, 6 + 6), 32u);   // bit count
  EXPECT_EQ(le32(g, 6 + 8), 300u);  // bytes in the image
  EXPECT_EQ(g[20 + 2], 16);         // colours of the second
  EXPECT_EQ(le32(g, 20 + 8), 70000u);
  EXPECT_EQ(icon_group_ids(g), (std::vector<std::uint16_t>{7, 9}));
  // A group cut inside its second entry names only the first image.
  EXPECT_EQ(icon_group_ids(Bytes(g.begin(), g.end() - 1)), (std::vector<std::uint16_t>{7}));
  EXPECT_TRUE(icon_group_ids(Bytes{0, 0, 1}).empty());
}

}  // namespace
