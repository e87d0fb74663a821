#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/bytes.hpp"
#include "core/resources.hpp"
#include "core/text.hpp"

namespace {

// A version record read back by the rules of the format, independently of
// the writer: every node's wLength must cover its header, key, value and
// children exactly, every part starting on a 32-bit boundary.
struct Node {
  std::string key;
  std::uint16_t type = 0;
  Bytes value;
  std::uint16_t value_length = 0;
  std::vector<Node> children;
};

std::size_t align4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

Node read_node(const Bytes& b, std::size_t at, std::size_t limit) {
  Node n;
  EXPECT_EQ(at % 4, 0u) << "node not aligned";
  const std::size_t length = le16(b, at);
  EXPECT_GE(length, 6u);
  EXPECT_LE(at + length, limit) << "node runs past its parent";
  const std::size_t end = at + length;
  n.value_length = static_cast<std::uint16_t>(le16(b, at + 2));
  n.type = static_cast<std::uint16_t>(le16(b, at + 4));
  std::size_t p = at + 6;
  std::u16string key;
  while (p + 1 < end && le16(b, p) != 0) {
    key += static_cast<char16_t>(le16(b, p));
    p += 2;
  }
  p = align4(p + 2);
  n.key = utf16_to_utf8(key);
  const std::size_t value_bytes = n.type == 1 ? n.value_length * 2u : n.value_length;
  if (value_bytes) {
    EXPECT_LE(p + value_bytes, end) << n.key;
    n.value.assign(b.begin() + static_cast<long>(p), b.begin() + static_cast<long>(std::min(end, p + value_bytes)));
    p += value_bytes;
  }
  for (p = align4(p); p < end; p = align4(p)) {
    n.children.push_back(read_node(b, p, end));
    p += le16(b, p);
  }
  EXPECT_EQ(p, align4(end)) << n.key;
  return n;
}

std::string text_of(const Node& n) {
  std::u16string s;
  for (std::size_t i = 0; i + 1 < n.value.size(); i += 2) s += static_cast<char16_t>(le16(n.value, i));
  EXPECT_FALSE(s.empty());
  EXPECT_EQ(s.back(), u'\0') << "string value without its terminator";
  if (!s.empty()) s.pop_back();
  return utf16_to_utf8(s);
}

TEST(VersionRecord, HoldsTheFixedVersionStringsAndTranslation) {
  VersionInfo info;
  info.version = {2, 3, 4, 5};
  info.product_name = "Démo ✓ App";
  info.file_description = "Démo ✓ App";
  info.original_filename = "Démo ✓ App.exe";
  const Bytes rec = build_version_record(info, 0x0407);
  EXPECT_EQ(rec.size(), le16(rec, 0));
  const Node root = read_node(rec, 0, rec.size());
  EXPECT_EQ(root.key, "VS_VERSION_INFO");
  EXPECT_EQ(root.type, 0);
  ASSERT_EQ(root.value.size(), 52u);
  EXPECT_EQ(le32(root.value, 0), 0xFEEF04BDu);
  EXPECT_EQ(le32(root.value, 8), 0x00020003u);   // file version, high
  EXPECT_EQ(le32(root.value, 12), 0x00040005u);  // file version, low
  EXPECT_EQ(le32(root.value, 16), 0x00020003u);  // product version
  EXPECT_EQ(le32(root.value, 20), 0x00040005u);
  EXPECT_EQ(le32(root.value, 36), 1u);  // an application

  ASSERT_EQ(root.children.size(), 2u);
  const Node& sfi = root.children[0];
  EXPECT_EQ(sfi.key, "StringFileInfo");
  ASSERT_EQ(sfi.children.size(), 1u);
  EXPECT_EQ(sfi.children[0].key, "040704B0");  // German, UTF-16
  std::map<std::string, std::string> strings;
  for (const Node& s : sfi.children[0].children) {
    EXPECT_EQ(s.type, 1);
    strings[s.key] = text_of(s);
  }
  EXPECT_EQ(strings, (std::map<std::string, std::string>{{"FileDescription", "Démo ✓ App"},
                                                         {"FileVersion", "2.3.4.5"},
                                                         {"OriginalFilename", "Démo ✓ App.exe"},
                                                         {"ProductName", "Démo ✓ App"},
                                                         {"ProductVersion", "2.3.4.5"}}));
  const Node& vfi = root.children[1];
  EXPECT_EQ(vfi.key, "VarFileInfo");
  ASSERT_EQ(vfi.children.size(), 1u);
  EXPECT_EQ(vfi.children[0].key, "Translation");
  EXPECT_EQ(vfi.children[0].type, 0);
  EXPECT_EQ(le32(vfi.children[0].value, 0), 0x04B00407u);
}

Resource res(std::uint16_t type, std::uint16_t name, std::uint16_t lang, Bytes data) {
  Resource r;
  r.type.id = type;
  r.name.id = name;
  r.lang = lang;
  r.data = std::move(data);
  return r;
}

IconImage image(std::uint8_t size, std::uint8_t fill) {
  IconImage i;
  i.width = i.height = size;
  i.planes = 1;
  i.bit_count = 32;
  i.data = Bytes(size, fill);
  return i;
}

const Resource* find(const std::vector<Resource>& all, std::uint16_t type, std::uint16_t name) {
  const Resource* hit = nullptr;
  for (const Resource& r : all) {
    if (r.type.is(type) && r.name.is(name)) {
      EXPECT_EQ(hit, nullptr) << "resource " << type << "/" << name << " twice";
      hit = &r;
    }
  }
  return hit;
}

TEST(Rebrand, ReplacesIconGroupOneWithoutLeavingImagesBehind) {
  const std::uint16_t german = 0x0407;
  std::vector<IconImage> other{image(16, 0xAA)};
  std::vector<Resource> all{
      res(kRtIcon, 1, german, Bytes(4, 1)),  // group 1's image
      res(kRtIcon, 2, german, Bytes(4, 2)),  // group 5's image, also in group 1
      res(kRtIcon, 3, german, Bytes(4, 3)),  // group 1's image
      res(kRtGroupIcon, 1, german, build_icon_group({other[0], other[0], other[0]}, {1, 2, 3})),
      res(kRtGroupIcon, 5, german, build_icon_group(other, {2})),
      res(5, 1, 0x0409, Bytes{'d', 'l', 'g'}),
      res(kRtVersion, 1, 0x0409, Bytes(8, 0)),
      res(kRtVersion, 1, german, Bytes(8, 0)),
  };
  Resource named = res(10, 0, 0x0409, Bytes{'x'});
  named.name.text = u"DATA";
  all.push_back(named);

  VersionInfo info;
  info.product_name = "X";
  const std::vector<IconImage> images{image(16, 0x10), image(32, 0x20), image(48, 0x30)};
  EXPECT_EQ(rebrand_resources(all, images, info), german);

  // Image 2 stays for group 5; the new images take the free numbers 1, 3, 4.
  const Resource* group = find(all, kRtGroupIcon, 1);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->lang, german);
  EXPECT_EQ(icon_group_ids(group->data), (std::vector<std::uint16_t>{1, 3, 4}));
  EXPECT_EQ(group->data, build_icon_group(images, {1, 3, 4}));
  EXPECT_EQ(find(all, kRtIcon, 1)->data, images[0].data);
  EXPECT_EQ(find(all, kRtIcon, 2)->data, Bytes(4, 2));
  EXPECT_EQ(find(all, kRtIcon, 3)->data, images[1].data);
  EXPECT_EQ(find(all, kRtIcon, 4)->data, images[2].data);
  EXPECT_NE(find(all, kRtGroupIcon, 5), nullptr);
  EXPECT_EQ(find(all, 5, 1)->data, (Bytes{'d', 'l', 'g'}));
  const Resource* version = find(all, kRtVersion, 1);
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->lang, german);
  EXPECT_EQ(version->data, build_version_record(info, german));
  EXPECT_EQ(all.size(), 4u + 2 + 1 + 1 + 1);  // 4 images, 2 groups, dialog, version, named data
  bool named_kept = false;
  for (const Resource& r : all) named_kept = named_kept || (r.name.text == u"DATA" && r.data == Bytes{'x'});
  EXPECT_TRUE(named_kept);
}

TEST(Rebrand, WithoutAnIconOnlyTheVersionChanges) {
  std::vector<Resource> all{res(kRtIcon, 1, 0x0409, Bytes(4, 1)),
                            res(kRtGroupIcon, 1, 0x0409, build_icon_group({image(32, 1)}, {1})),
                            res(kRtVersion, 1, 0x0C0C, Bytes(8, 0))};
  const std::vector<Resource> before = all;
  VersionInfo info;
  EXPECT_EQ(rebrand_resources(all, {}, info), 0x0C0C);  // the old version record's language
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].data, before[0].data);
  EXPECT_EQ(all[1].data, before[1].data);
  EXPECT_EQ(find(all, kRtVersion, 1)->data, build_version_record(info, 0x0C0C));

  std::vector<Resource> none;
  EXPECT_EQ(rebrand_resources(none, {image(16, 1)}, info), kLangEnglishUs);
  EXPECT_EQ(none.size(), 3u);  // image, group, version
}

}  // namespace
