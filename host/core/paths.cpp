#include "paths.hpp"

namespace {

template <class Char>
bool is_bare_drive(const std::basic_string<Char>& s) {
  if (s.size() != 2 || s[1] != Char(':')) return false;
  const Char c = s[0];
  return (c >= Char('A') && c <= Char('Z')) || (c >= Char('a') && c <= Char('z'));
}

template <class Char>
std::basic_string<Char> directory_of(const std::basic_string<Char>& name) {
  const auto slash = name.rfind(Char('\\'));
  if (slash == std::basic_string<Char>::npos) return {};
  std::basic_string<Char> dir = name.substr(0, slash);
  if (is_bare_drive(dir)) dir += Char('\\');
  return dir;
}

template <class Char>
std::basic_string<Char> script_beside(const std::basic_string<Char>& name) {
  static const Char tail[] = {'\\', 'i', 'n', 'i', 't', '.', 'l', 'u', 'a', 0};
  return directory_of(name) + tail;
}

}  // namespace

std::string module_directory(const std::string& name) { return directory_of(name); }
std::wstring module_directory(const std::wstring& name) { return directory_of(name); }
std::string init_script_path(const std::string& name) { return script_beside(name); }
std::wstring init_script_path(const std::wstring& name) { return script_beside(name); }
