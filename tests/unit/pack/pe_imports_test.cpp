#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/bytes.hpp"
#include "core/pe_imports.hpp"

namespace {

using Names = std::vector<std::string>;

void put_at(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A minimal PE image: headers, then one section at RVA 0x1000 (file offset
// 0x200) holding the import descriptors, the delay-load descriptors and the
// DLL names.
Bytes pe_image(const Names& imports, const Names& delayed, bool pe32plus = true, bool old_delay = false) {
  const std::uint64_t base = 0x140000000ull;
  Bytes b(0x200 + 0x400, 0);
  b[0] = 'M';
  b[1] = 'Z';
  const std::size_t pe = 0x80;
  put_at(b, 0x3C, pe);
  put_at(b, pe, 0x00004550);
  b[pe + 6] = 1;  // one section
  const std::size_t opt_size = pe32plus ? 240 : 224;
  b[pe + 20] = static_cast<std::uint8_t>(opt_size);
  const std::size_t opt = pe + 24;
  b[opt] = 0x0B;
  b[opt + 1] = pe32plus ? 0x02 : 0x01;
  if (pe32plus) {
    put_at(b, opt + 24, static_cast<std::uint32_t>(base));
    put_at(b, opt + 28, static_cast<std::uint32_t>(base >> 32));
  } else {
    put_at(b, opt + 28, 0x400000);
  }
  const std::size_t dirs = opt + (pe32plus ? 112 : 96);
  put_at(b, dirs - 4, 16);
  const std::size_t sec = opt + opt_size;
  std::memcpy(&b[sec], ".idata", 6);
  put_at(b, sec + 8, 0x400);    // virtual size
  put_at(b, sec + 12, 0x1000);  // RVA
  put_at(b, sec + 16, 0x400);   // raw size
  put_at(b, sec + 20, 0x200);   // raw offset

  const std::uint32_t imp = 0x1000, delay = 0x1100;
  std::uint32_t name_rva = 0x1200;
  auto add_name = [&](const std::string& n) {
    std::memcpy(&b[0x200 + (name_rva - 0x1000)], n.c_str(), n.size() + 1);
    const std::uint32_t at = name_rva;
    name_rva += static_cast<std::uint32_t>(n.size() + 1);
    return at;
  };
  for (std::size_t i = 0; i < imports.size(); ++i)
    put_at(b, 0x200 + (imp - 0x1000) + i * 20 + 12, add_name(imports[i]));
  for (std::size_t i = 0; i < delayed.size(); ++i) {
    const std::size_t d = 0x200 + (delay - 0x1000) + i * 32;
    const std::uint32_t rva = add_name(delayed[i]);
    put_at(b, d, old_delay ? 0 : 1);
    put_at(b, d + 4, old_delay ? rva + (pe32plus ? static_cast<std::uint32_t>(base) : 0x400000) : rva);
  }
  if (!imports.empty()) put_at(b, dirs + 8, imp);
  if (!delayed.empty()) put_at(b, dirs + 13 * 8, delay);
  return b;
}

TEST(PeImports, ReadsImportAndDelayLoadNamesOnce) {
  Names got;
  ASSERT_EQ(pe_imported_dlls(pe_image({"lua53.dll", "KERNEL32.dll", "SDL2.dll"}, {"Lua53.DLL", "winmm.dll"}), got), "");
  EXPECT_EQ(got, (Names{"lua53.dll", "KERNEL32.dll", "SDL2.dll", "winmm.dll"}));
  ASSERT_EQ(pe_imported_dlls(pe_image({"a.dll"}, {"b.dll"}, false, true), got), "");
  EXPECT_EQ(got, (Names{"a.dll", "b.dll"}));
  ASSERT_EQ(pe_imported_dlls(pe_image({}, {}), got), "");
  EXPECT_TRUE(got.empty());
}

TEST(PeImports, RefusesOtherFilesAndSurvivesEveryCut) {
  Names got{"kept"};
  EXPECT_NE(pe_imported_dlls(Bytes{'M', 'Z'}, got), "");
  EXPECT_NE(pe_imported_dlls(Bytes(0x400, 'x'), got), "");
  Bytes bad_rva = pe_image({"a.dll"}, {});
  put_at(bad_rva, 0x200 + 12, 0x9000);  // the name lies in no section
  EXPECT_NE(pe_imported_dlls(bad_rva, got), "");
  Bytes endless = pe_image({}, {});
  const std::size_t dirs = 0x80 + 24 + 112;
  put_at(endless, dirs + 8, 0x1000);
  for (std::size_t i = 0; i < 0x400; i += 4) put_at(endless, 0x200 + i, 0x1200);  // no zero descriptor
  EXPECT_NE(pe_imported_dlls(endless, got), "");
  EXPECT_EQ(got, Names{"kept"});

  // A cut image is refused or read in part; never read outside its bytes.
  const Bytes full = pe_image({"lua53.dll", "SDL2.dll"}, {"x.dll"});
  for (std::size_t n = 0; n < full.size(); n += 7) {
    Names part;
    const std::string why = pe_imported_dlls(Bytes(full.begin(), full.begin() + static_cast<long>(n)), part);
    if (why.empty()) {
      EXPECT_LE(part.size(), 3u);
    }
  }
}

}  // namespace
