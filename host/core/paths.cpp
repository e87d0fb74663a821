#include "paths.hpp"

namespace {

bool is_bare_drive(const std::string& s) {
  if (s.size() != 2 || s[1] != ':') return false;
  const char c = s[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string module_directory(const std::string& module_file_name) {
  const auto slash = module_file_name.rfind('\\');
  if (slash == std::string::npos) return std::string();
  std::string dir = module_file_name.substr(0, slash);
  if (is_bare_drive(dir)) dir += '\\';
  return dir;
}

std::string init_script_path(const std::string& module_file_name) {
  return module_directory(module_file_name) + "\\init.lua";
}
