#include "pe_imports.hpp"

#include "text.hpp"

namespace {

constexpr std::size_t kMaxDescriptors = 4096;  // far beyond any real program
constexpr std::size_t kMaxNameLength = 260;

struct Section {
  std::uint32_t rva, raw_size, raw_offset;
};

struct Image {
  const Bytes& b;
  std::vector<Section> sections;
  std::uint64_t image_base = 0;

  // File offset of an RVA, or false when no section holds it in the file.
  bool offset_of(std::uint64_t rva, std::size_t& out) const {
    for (const Section& s : sections) {
      // Bytes past the raw size exist only in memory (zeros), not in the file.
      if (rva >= s.rva && rva - s.rva < s.raw_size) {
        const std::uint64_t off = s.raw_offset + (rva - s.rva);
        if (off >= b.size()) return false;
        out = static_cast<std::size_t>(off);
        return true;
      }
    }
    return false;
  }

  bool name_at(std::uint64_t rva, std::string& out) const {
    std::size_t off = 0;
    if (!offset_of(rva, off)) return false;
    std::string s;
    for (std::size_t i = off; i < b.size() && b[i] != 0; ++i) {
      if (s.size() == kMaxNameLength) return false;
      s += static_cast<char>(b[i]);
    }
    out = s;
    return !s.empty();
  }
};

void add_unique(std::vector<std::string>& list, const std::string& name) {
  for (const std::string& n : list) {
    if (same_file_name(n, name)) return;
  }
  list.push_back(name);
}

// Walks a table of fixed-size descriptors ending with an all-zero one,
// reading the name RVA at `name_at` of each.
std::string walk(const Image& img, std::uint32_t rva, std::size_t size, std::size_t name_field, bool delay,
                 std::vector<std::string>& dlls) {
  if (rva == 0) return {};
  for (std::size_t i = 0; i < kMaxDescriptors; ++i) {
    std::size_t off = 0;
    if (!img.offset_of(rva + static_cast<std::uint64_t>(i * size), off) || off + size > img.b.size())
      return "an import table outside the file";
    bool zero = true;
    for (std::size_t k = 0; k < size; ++k) zero = zero && img.b[off + k] == 0;
    if (zero) return {};
    std::uint64_t name = le32(img.b, off + name_field);
    // Old delay-load tables hold addresses, not RVAs (attribute bit 0 clear).
    if (delay && (le32(img.b, off) & 1) == 0) name -= img.image_base;
    std::string dll;
    if (!img.name_at(name, dll)) return "an imported DLL name outside the file";
    add_unique(dlls, dll);
  }
  return "an import table without end";
}

}  // namespace

std::string pe_imported_dlls(const Bytes& b, std::vector<std::string>& dlls) {
  if (b.size() < 0x40 || b[0] != 'M' || b[1] != 'Z') return "not a Windows program or DLL";
  const std::uint32_t pe = le32(b, 0x3C);
  if (pe > b.size() || b.size() - pe < 24 || le32(b, pe) != 0x00004550) return "not a Windows program or DLL";
  const std::uint32_t section_count = le16(b, pe + 6);
  const std::uint32_t optional_size = le16(b, pe + 20);
  const std::size_t opt = pe + 24;
  const std::uint32_t magic = le16(b, opt);
  std::size_t dirs = 0;
  Image img{b, {}, 0};
  if (magic == 0x10B) {
    img.image_base = le32(b, opt + 28);
    dirs = opt + 96;
  } else if (magic == 0x20B) {
    img.image_base = le32(b, opt + 24) | static_cast<std::uint64_t>(le32(b, opt + 28)) << 32;
    dirs = opt + 112;
  } else {
    return "a PE image of an unknown kind";
  }
  const std::uint32_t dir_count = le32(b, dirs - 4);
  const std::size_t table = opt + optional_size;
  if (table > b.size() || (b.size() - table) / 40 < section_count) return "a PE image cut short";
  for (std::uint32_t i = 0; i < section_count; ++i) {
    const std::size_t s = table + i * 40;
    img.sections.push_back({le32(b, s + 12), le32(b, s + 16), le32(b, s + 20)});
  }
  auto dir_rva = [&](std::uint32_t index) {
    return index < dir_count && dirs + index * 8 + 8 <= table ? le32(b, dirs + index * 8) : 0;
  };
  std::vector<std::string> found;
  std::string problem = walk(img, dir_rva(1), 20, 12, false, found);
  if (problem.empty()) problem = walk(img, dir_rva(13), 32, 4, true, found);
  if (!problem.empty()) return problem;
  dlls = std::move(found);
  return {};
}
