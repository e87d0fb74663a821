#include "icon.hpp"

#include <cstring>

#include "bytes.hpp"

namespace {

constexpr std::size_t kDirHeader = 6;
constexpr std::size_t kFileEntry = 16;
constexpr std::size_t kGroupEntry = 14;
const std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t be32(const Bytes& d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) << 24 | static_cast<std::uint32_t>(d[at + 1]) << 16 |
         static_cast<std::uint32_t>(d[at + 2]) << 8 | d[at + 3];
}

bool is_png(const Bytes& d) { return d.size() >= 8 && std::memcmp(d.data(), kPngSignature, 8) == 0; }

// Checks one image and fills in planes and bit count where the directory
// left them 0. Returns why the image is unusable, or an empty text.
std::string check_image(IconImage& img) {
  const Bytes& d = img.data;
  if (is_png(d)) {
    // The IHDR chunk comes first: length 13, "IHDR", width, height (big
    // endian), bit depth, colour type.
    if (d.size() < 8 + 8 + 13 || std::memcmp(&d[12], "IHDR", 4) != 0) return "a PNG image without its header";
    const std::uint32_t w = be32(d, 16);
    const std::uint32_t h = be32(d, 20);
    if (w == 0 || h == 0 || w > 256 || h > 256) return "a PNG image larger than 256 x 256 pixels";
    static const int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};  // by PNG colour type
    const int type = d[25];
    if (type > 6 || kChannels[type] == 0) return "a PNG image of an unknown colour type";
    if (img.planes == 0) img.planes = 1;
    if (img.bit_count == 0) img.bit_count = static_cast<std::uint16_t>(d[24] * kChannels[type]);
    return {};
  }
  // A device-independent bitmap: BITMAPINFOHEADER (or a later, longer one),
  // twice the icon's height (colour image over the AND mask).
  const std::uint32_t header = le32(d, 0);
  if (header < 40 || header > d.size()) return "an image that is neither a bitmap nor a PNG image";
  const auto w = static_cast<std::int32_t>(le32(d, 4));
  const auto h = static_cast<std::int32_t>(le32(d, 8));
  const std::uint32_t planes = le16(d, 12);
  const std::uint32_t bits = le16(d, 14);
  if (w <= 0 || w > 256 || h <= 0 || h > 512) return "a bitmap image of an impossible size";
  if (planes != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
    return "a bitmap image with an impossible colour depth";
  if (img.planes == 0) img.planes = 1;
  if (img.bit_count == 0) img.bit_count = static_cast<std::uint16_t>(bits);
  return {};
}

}  // namespace

std::string parse_ico(const Bytes& file, std::vector<IconImage>& images) {
  if (file.size() < kDirHeader) return "too short for an icon file";
  if (le16(file, 0) != 0) return "no icon file header";
  const std::uint32_t type = le16(file, 2);
  if (type == 2) return "a cursor file, not an icon file";
  if (type != 1) return "no icon file header";
  const std::uint32_t count = le16(file, 4);
  if (count == 0) return "an icon file without images";
  if (count > kMaxIconImages) return "more than " + std::to_string(kMaxIconImages) + " images";
  const std::size_t dir_end = kDirHeader + count * kFileEntry;
  if (dir_end > file.size()) return "the icon file's directory runs past its end";

  std::vector<IconImage> out;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t e = kDirHeader + i * kFileEntry;
    IconImage img;
    img.width = file[e];
    img.height = file[e + 1];
    img.colors = file[e + 2];
    img.planes = static_cast<std::uint16_t>(le16(file, e + 4));
    img.bit_count = static_cast<std::uint16_t>(le16(file, e + 6));
    const std::uint32_t size = le32(file, e + 8);
    const std::uint32_t offset = le32(file, e + 12);
    const std::string n = "image " + std::to_string(i + 1) + ": ";
    if (size == 0) return n + "empty";
    if (offset < dir_end || offset > file.size() || size > file.size() - offset)
      return n + "its data lies outside the file";
    img.data.assign(file.begin() + offset, file.begin() + offset + size);
    const std::string problem = check_image(img);
    if (!problem.empty()) return n + problem;
    out.push_back(std::move(img));
  }
  images = std::move(out);
  return {};
}

Bytes build_icon_group(const std::vector<IconImage>& images, const std::vector<std::uint16_t>& ids) {
  Bytes g;
  put16(g, 0);
  put16(g, 1);
  put16(g, static_cast<std::uint32_t>(images.size()));
  for (std::size_t i = 0; i < images.size(); ++i) {
    const IconImage& img = images[i];
    g.push_back(img.width);
    g.push_back(img.height);
    g.push_back(img.colors);
    g.push_back(0);
    put16(g, img.planes);
    put16(g, img.bit_count);
    put32(g, static_cast<std::uint32_t>(img.data.size()));
    put16(g, ids[i]);
  }
  return g;
}

std::vector<std::uint16_t> icon_group_ids(const Bytes& group) {
  std::vector<std::uint16_t> ids;
  const std::uint32_t count = le16(group, 4);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = kDirHeader + i * kGroupEntry + 12;
    std::uint32_t id = 0;
    if (!read_le(group, at, 2, id)) break;
    ids.push_back(static_cast<std::uint16_t>(id));
  }
  return ids;
}
