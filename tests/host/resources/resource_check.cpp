// Reads the resources of a built scripthost.exe the way Windows does
// (LoadLibraryEx as a data file, FindResource) and checks them field by field:
// the two dialog templates, the icon group and the version record, and that
// no manifest is present.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

int g_failures = 0;

void check(bool ok, const char* what) {
  if (!ok) {
    std::printf("FAIL %s\n", what);
    ++g_failures;
  }
}

template <class A, class B>
void check_eq(A got, B want, const char* what) {
  if (static_cast<unsigned long long>(got) != static_cast<unsigned long long>(want)) {
    std::printf("FAIL %s: got 0x%llx, want 0x%llx\n", what, static_cast<unsigned long long>(got),
                static_cast<unsigned long long>(want));
    ++g_failures;
  }
}

// A cursor over a resource block, with the alignment rules of templates.
struct Reader {
  const std::uint8_t* base;
  const std::uint8_t* p;
  const std::uint8_t* end;
  template <class T>
  T get() {
    T v{};
    if (p + sizeof v <= end) std::memcpy(&v, p, sizeof v);
    p += sizeof v;
    return v;
  }
  std::string wstr() {  // zero-terminated UTF-16, ASCII expected
    std::string s;
    for (;;) {
      const auto c = get<std::uint16_t>();
      if (c == 0 || p > end) break;
      s += static_cast<char>(c);
    }
    return s;
  }
  // A class or menu field: 0, 0xFFFF + ordinal, or a string.
  std::string sz_or_ord() {
    const auto first = get<std::uint16_t>();
    if (first == 0) return "";
    if (first == 0xFFFF) return "#" + std::to_string(get<std::uint16_t>());
    p -= 2;
    return wstr();
  }
  void align(std::size_t n) {
    const auto off = static_cast<std::size_t>(p - base);
    p = base + ((off + n - 1) / n) * n;
  }
};

struct Item {
  std::uint32_t ex_style, style;
  std::int16_t x, y, cx, cy;
  std::uint32_t id;
  std::string cls, text;
};

const std::uint8_t* find(HMODULE m, LPCSTR type, LPCSTR name, DWORD* size) {
  HRSRC r = FindResourceExA(m, type, name, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  if (!r) return nullptr;
  *size = SizeofResource(m, r);
  return static_cast<const std::uint8_t*>(LockResource(LoadResource(m, r)));
}

void check_dialog(HMODULE m, int id, std::uint32_t style, int x, int y, int cx, int cy, const char* caption,
                  std::uint16_t weight, const Item* items, int count) {
  DWORD size = 0;
  const std::uint8_t* d = find(m, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(id), &size);
  check(d != nullptr, "dialog template present in language 0x0409");
  if (!d) return;
  Reader r{d, d, d + size};
  check_eq(r.get<std::uint16_t>(), 1, "dlgVer (extended template)");
  check_eq(r.get<std::uint16_t>(), 0xFFFF, "signature");
  r.get<std::uint32_t>();  // help id
  check_eq(r.get<std::uint32_t>(), 0, "exStyle");
  check_eq(r.get<std::uint32_t>(), style, "style");
  check_eq(r.get<std::uint16_t>(), count, "control count");
  check_eq(r.get<std::int16_t>(), x, "x");
  check_eq(r.get<std::int16_t>(), y, "y");
  check_eq(r.get<std::int16_t>(), cx, "cx");
  check_eq(r.get<std::int16_t>(), cy, "cy");
  check(r.sz_or_ord().empty(), "no menu");
  check(r.sz_or_ord().empty(), "default dialog class");
  check(r.wstr() == caption, "caption");
  check_eq(r.get<std::uint16_t>(), 8, "point size");
  check_eq(r.get<std::uint16_t>(), weight, "font weight");
  check_eq(r.get<std::uint8_t>(), 0, "italic");
  check_eq(r.get<std::uint8_t>(), 0, "charset");
  check(r.wstr() == "MS Sans Serif", "typeface");
  for (int i = 0; i < count; ++i) {
    r.align(4);
    r.get<std::uint32_t>();  // help id
    Item it;
    it.ex_style = r.get<std::uint32_t>();
    it.style = r.get<std::uint32_t>();
    it.x = r.get<std::int16_t>();
    it.y = r.get<std::int16_t>();
    it.cx = r.get<std::int16_t>();
    it.cy = r.get<std::int16_t>();
    it.id = r.get<std::uint32_t>();
    it.cls = r.sz_or_ord();
    it.text = r.sz_or_ord();
    const auto extra = r.get<std::uint16_t>();
    r.p += extra;
    const Item& w = items[i];
    std::printf("control %u %s \"%s\" style 0x%08x ex 0x%x at %d,%d %dx%d\n", it.id, it.cls.c_str(), it.text.c_str(),
                it.style, it.ex_style, it.x, it.y, it.cx, it.cy);
    check_eq(it.id, w.id, "control id");
    check(it.cls == w.cls, "control class");
    check(it.text == w.text, "control text");
    check_eq(it.style, w.style, "control style");
    check_eq(it.ex_style, w.ex_style, "control extended style");
    check(it.x == w.x && it.y == w.y && it.cx == w.cx && it.cy == w.cy, "control rectangle");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HMODULE m = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!m) {
    std::printf("FAIL cannot load %s\n", argv[1]);
    return 1;
  }
  // Classes by ordinal: 0x80 button, 0x81 edit, 0x82 static.
  const Item input[] = {
      {0, 0x50010001, 294, 6, 36, 18, 1, "#128", "OK"},
      {0, 0x50010000, 294, 30, 36, 18, 2, "#128", "Cancel"},
      {0, 0x50000000, 3, 3, 279, 45, 3, "#130", "?"},
      {0x200, 0x50010080, 3, 51, 328, 19, 4, "#129", ""},
  };
  check_dialog(m, 1, 0x10CF0040, 10, 10, 340, 73, "Confirm", 0, input, 4);
  check_dialog(m, 2, 0x10CF0840, 6, 5, 274, 157, "Window", 400, nullptr, 0);

  DWORD size = 0;
  const std::uint8_t* group = find(m, MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(1), &size);
  check(group != nullptr && size == 6 + 14, "icon group 1 with one image");
  if (group) {
    Reader r{group, group, group + size};
    r.get<std::uint16_t>();
    check_eq(r.get<std::uint16_t>(), 1, "icon type");
    check_eq(r.get<std::uint16_t>(), 1, "image count");
    check_eq(r.get<std::uint8_t>(), 32, "icon width");
    check_eq(r.get<std::uint8_t>(), 32, "icon height");
    check_eq(r.get<std::uint8_t>(), 16, "icon colours");
    r.get<std::uint8_t>();
    r.get<std::uint16_t>();
    check_eq(r.get<std::uint16_t>(), 4, "bits per pixel");
  }

  const std::uint8_t* block = find(m, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1), &size);
  check(block != nullptr, "version record");
  // The version functions write into the block they are given: use a copy.
  std::string copy(block ? reinterpret_cast<const char*>(block) : "", block ? size : 0);
  copy.resize(copy.size() * 2 + 16);
  void* ver = block ? &copy[0] : nullptr;
  if (ver) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    check(VerQueryValueA(ver, "\\", reinterpret_cast<void**>(&fixed), &len) && fixed, "fixed part");
    if (fixed) {
      check_eq(fixed->dwFileVersionMS, 0x00010000, "file version (high)");
      check_eq(fixed->dwFileVersionLS, 0, "file version (low)");
      check_eq(fixed->dwProductVersionMS, 0x00010000, "product version (high)");
      check_eq(fixed->dwProductVersionLS, 0, "product version (low)");
    }
    char* text = nullptr;
    check(VerQueryValueA(ver, "\\StringFileInfo\\04090000\\FileVersion", reinterpret_cast<void**>(&text), &len) &&
              std::strcmp(text, "1.0.0.0") == 0,
          "FileVersion string");
    check(VerQueryValueA(ver, "\\StringFileInfo\\04090000\\ProductVersion", reinterpret_cast<void**>(&text), &len) &&
              std::strcmp(text, "1.0.0.0") == 0,
          "ProductVersion string");
    check(!VerQueryValueA(ver, "\\StringFileInfo\\04090000\\CompanyName", reinterpret_cast<void**>(&text), &len),
          "no other strings");
  }
  check(FindResourceA(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) == nullptr, "no manifest");
  std::printf("%d failures\n", g_failures);
  return g_failures == 0 ? 0 : 1;
}
