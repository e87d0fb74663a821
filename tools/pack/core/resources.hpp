// A program's resources as plain data, and the change that turns the host's
// resources into an app's: its icon group 1 and its version record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bytes.hpp"
#include "icon.hpp"
#include "options.hpp"

// A resource type or name: a number, or a text when `text` is not empty.
struct ResName {
  std::uint16_t id = 0;
  std::u16string text;
  bool is(std::uint16_t n) const { return text.empty() && id == n; }
  bool operator==(const ResName& o) const { return id == o.id && text == o.text; }
};

struct Resource {
  ResName type;
  ResName name;
  std::uint16_t lang = 0;
  Bytes data;
};

constexpr std::uint16_t kRtIcon = 3;
constexpr std::uint16_t kRtGroupIcon = 14;
constexpr std::uint16_t kRtVersion = 16;
constexpr std::uint16_t kLangEnglishUs = 0x0409;
constexpr std::uint16_t kCodePageUnicode = 1200;

struct VersionInfo {
  Version version{1, 0, 0, 0};
  std::string product_name;       // UTF-8
  std::string file_description;   // UTF-8
  std::string original_filename;  // UTF-8
};

// A VS_VERSIONINFO record: the fixed part (file and product version, an
// application for 32-bit Windows), one string table for `lang` in UTF-16
// (FileDescription, FileVersion, OriginalFilename, ProductName,
// ProductVersion) and the translation that names that table.
Bytes build_version_record(const VersionInfo& info, std::uint16_t lang);

// Gives the resources the app's identity, in place:
//  - with images, icon group 1 (every language) is replaced by one group of
//    those images, stored as RT_ICON resources under the lowest numbers no
//    other group uses; the images the old group used go, unless another
//    group names them too, so no image is left behind unnamed;
//  - the version record 1 (every language) is replaced by `info`'s.
// The new resources take the language of the record they replace (the icon
// group when there are images, else the version record; then the other),
// English (US) when there was neither.
// Everything else stays as it was. Returns the language used.
std::uint16_t rebrand_resources(std::vector<Resource>& all, const std::vector<IconImage>& images,
                                const VersionInfo& info);
