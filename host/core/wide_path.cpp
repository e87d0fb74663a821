#include "wide_path.hpp"

#include <cstdlib>
#include <cstring>

bool widen_path(const char* name, std::wstring& wide) {
  wide.clear();
  if (!name || !*name) return false;
  // First pass measures, second converts; both see the same locale.
  const std::size_t needed = std::mbstowcs(nullptr, name, 0);
  if (needed != static_cast<std::size_t>(-1)) {
    wide.assign(needed + 1, L'\0');
    std::mbstowcs(&wide[0], name, needed + 1);
    wide.resize(needed);
    return true;
  }
  const std::size_t n = std::strlen(name);
  wide.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    wide[i] = c > 0x7F ? L'?' : static_cast<wchar_t>(c);
  }
  return true;
}
