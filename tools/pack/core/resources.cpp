#include "resources.hpp"

#include <algorithm>
#include <set>

#include "resource_ids.h"
#include "text.hpp"

namespace {

// One node of a version record: wLength, wValueLength, wType, the key, the
// value, the children; every part starts on a 32-bit boundary.
struct VersionNode {
  std::u16string key;
  bool text = false;  // wType 1: the value is UTF-16 text
  Bytes value;
  std::uint16_t value_length = 0;  // in words for text, in bytes otherwise
  std::vector<VersionNode> children;
};

void pad4(Bytes& out) {
  while (out.size() % 4) out.push_back(0);
}

void write_node(Bytes& out, const VersionNode& n) {
  pad4(out);
  const std::size_t start = out.size();
  put16(out, 0);  // wLength, known at the end
  put16(out, n.value_length);
  put16(out, n.text ? 1 : 0);
  for (char16_t c : n.key) put16(out, c);
  put16(out, 0);
  if (!n.value.empty()) {
    pad4(out);
    out.insert(out.end(), n.value.begin(), n.value.end());
  }
  for (const VersionNode& c : n.children) write_node(out, c);
  set16(out, start, static_cast<std::uint32_t>(out.size() - start));
}

VersionNode string_node(const char* key, const std::string& value) {
  VersionNode n;
  n.key = utf8_to_utf16(key);
  n.text = true;
  const std::u16string v = utf8_to_utf16(value);
  for (char16_t c : v) put16(n.value, c);
  put16(n.value, 0);
  n.value_length = static_cast<std::uint16_t>(v.size() + 1);
  return n;
}

VersionNode tree(const char* key, std::vector<VersionNode> children) {
  VersionNode n;
  n.key = utf8_to_utf16(key);
  n.text = true;
  n.children = std::move(children);
  return n;
}

std::string hex4(std::uint32_t v) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s(4, '0');
  for (int i = 3; i >= 0; --i, v >>= 4) s[static_cast<std::size_t>(i)] = digits[v & 0xF];
  return s;
}

bool is_icon_group_1(const Resource& r) { return r.type.is(kRtGroupIcon) && r.name.is(IDI_PROGRAM); }
bool is_version_1(const Resource& r) { return r.type.is(kRtVersion) && r.name.is(IDV_PROGRAM); }

}  // namespace

Bytes build_version_record(const VersionInfo& info, std::uint16_t lang) {
  const Version& v = info.version;
  const std::uint32_t ms = static_cast<std::uint32_t>(v[0]) << 16 | v[1];
  const std::uint32_t ls = static_cast<std::uint32_t>(v[2]) << 16 | v[3];
  VersionNode root;
  root.key = u"VS_VERSION_INFO";
  put32(root.value, 0xFEEF04BD);  // signature
  put32(root.value, 0x00010000);  // structure version 1.0
  put32(root.value, ms);          // file version
  put32(root.value, ls);
  put32(root.value, ms);  // product version
  put32(root.value, ls);
  put32(root.value, 0x3F);        // flags mask: all defined flags
  put32(root.value, 0);           // flags: a release build
  put32(root.value, 0x00040004);  // VOS_NT_WINDOWS32
  put32(root.value, 1);           // VFT_APP
  put32(root.value, 0);           // subtype
  put32(root.value, 0);           // date
  put32(root.value, 0);
  root.value_length = static_cast<std::uint16_t>(root.value.size());

  const std::string version = version_text(v);
  root.children.push_back(tree("StringFileInfo", {tree((hex4(lang) + hex4(kCodePageUnicode)).c_str(),
                                                       {
                                                           string_node("FileDescription", info.file_description),
                                                           string_node("FileVersion", version),
                                                           string_node("OriginalFilename", info.original_filename),
                                                           string_node("ProductName", info.product_name),
                                                           string_node("ProductVersion", version),
                                                       })}));
  VersionNode translation;
  translation.key = u"Translation";
  put16(translation.value, lang);
  put16(translation.value, kCodePageUnicode);
  translation.value_length = 4;
  root.children.push_back(tree("VarFileInfo", {translation}));

  Bytes out;
  write_node(out, root);
  return out;
}

std::uint16_t rebrand_resources(std::vector<Resource>& all, const std::vector<IconImage>& images,
                                const VersionInfo& info) {
  // The record being replaced decides the language: the icon group when
  // there is a new icon, else the version record; then the other one.
  auto language_of = [&](bool (*which)(const Resource&)) {
    for (const Resource& r : all) {
      if (which(r)) return static_cast<int>(r.lang);
    }
    return -1;
  };
  int found = language_of(images.empty() ? is_version_1 : is_icon_group_1);
  if (found < 0) found = language_of(images.empty() ? is_icon_group_1 : is_version_1);
  const std::uint16_t lang = found < 0 ? kLangEnglishUs : static_cast<std::uint16_t>(found);

  if (!images.empty()) {
    // Images that groups other than group 1 name stay.
    std::set<std::uint16_t> old_ids, kept_ids;
    for (const Resource& r : all) {
      if (!r.type.is(kRtGroupIcon)) continue;
      for (std::uint16_t id : icon_group_ids(r.data)) (is_icon_group_1(r) ? old_ids : kept_ids).insert(id);
    }
    all.erase(std::remove_if(all.begin(), all.end(),
                             [&](const Resource& r) {
                               return is_icon_group_1(r) || (r.type.is(kRtIcon) && r.name.text.empty() &&
                                                             old_ids.count(r.name.id) && !kept_ids.count(r.name.id));
                             }),
              all.end());

    std::set<std::uint16_t> used;
    for (const Resource& r : all) {
      if (r.type.is(kRtIcon) && r.name.text.empty()) used.insert(r.name.id);
    }
    std::vector<std::uint16_t> ids;
    for (std::uint32_t id = 1; ids.size() < images.size() && id <= 0xFFFF; ++id) {
      if (!used.count(static_cast<std::uint16_t>(id))) ids.push_back(static_cast<std::uint16_t>(id));
    }
    for (std::size_t i = 0; i < ids.size(); ++i) {
      Resource r;
      r.type.id = kRtIcon;
      r.name.id = ids[i];
      r.lang = lang;
      r.data = images[i].data;
      all.push_back(std::move(r));
    }
    Resource g;
    g.type.id = kRtGroupIcon;
    g.name.id = 1;
    g.lang = lang;
    g.data = build_icon_group(std::vector<IconImage>(images.begin(), images.begin() + ids.size()), ids);
    all.push_back(std::move(g));
  }

  all.erase(std::remove_if(all.begin(), all.end(), is_version_1), all.end());
  Resource v;
  v.type.id = kRtVersion;
  v.name.id = 1;
  v.lang = lang;
  v.data = build_version_record(info, lang);
  all.push_back(std::move(v));
  return lang;
}
