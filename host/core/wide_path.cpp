#include "wide_path.hpp"

#include <cstring>

bool widen_path(const char* name, std::wstring& wide, CodePageConversion convert) {
  wide.clear();
  if (!name || !*name) return false;
  const std::size_t n = std::strlen(name);
  if (convert(name, n, wide)) return true;
  wide.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    wide[i] = c > 0x7F ? L'?' : static_cast<wchar_t>(c);
  }
  return true;
}
