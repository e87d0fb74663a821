// Icon files (.ico) and the icon resources of a program: an .ico holds a
// directory and its images; a program holds each image as one RT_ICON
// resource and the directory as an RT_GROUP_ICON resource whose entries name
// those resources by number instead of by file offset.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct IconImage {
  std::uint8_t width = 0;   // 0 means 256
  std::uint8_t height = 0;  // 0 means 256
  std::uint8_t colors = 0;  // palette size, 0 for 256 or more
  std::uint16_t planes = 0;
  std::uint16_t bit_count = 0;
  std::vector<std::uint8_t> data;  // a BITMAPINFOHEADER-based image or a PNG file
};

// More images than any icon needs: the file is damaged or not an icon.
constexpr std::uint32_t kMaxIconImages = 256;

// Reads an .ico file. Returns an empty text and the images, or why the bytes
// are not an icon file. Every image must lie inside the file and be a
// bitmap or a PNG image. Planes and bit count left 0 in the file's
// directory (usual for PNG images) are taken from the image itself, as the
// size chooser of Windows reads them from the group.
std::string parse_ico(const std::vector<std::uint8_t>& file, std::vector<IconImage>& images);

// The RT_GROUP_ICON resource for images stored as RT_ICON resources with the
// given numbers (ids[i] for images[i]).
std::vector<std::uint8_t> build_icon_group(const std::vector<IconImage>& images, const std::vector<std::uint16_t>& ids);

// The RT_ICON numbers an RT_GROUP_ICON resource names; what lies outside the
// bytes is ignored.
std::vector<std::uint16_t> icon_group_ids(const std::vector<std::uint8_t>& group);
