#include "options.hpp"

#include <cstring>

#include "text.hpp"

const char kPackUsage[] =
    "usage: scripthost-pack APP_DIR OUT_DIR --name NAME [--icon FILE.ico] [--version A.B.C.D] [--utf8]\n"
    "\n"
    "Makes OUT_DIR, a folder that runs APP_DIR's init.lua as NAME.exe from anywhere:\n"
    "  NAME.exe           the host with the app's name, version and (with --icon) icon\n"
    "  lua53.dll          and the modules the app's Lua files use (orbix with the SDL2 DLLs,\n"
    "                     lua_fsop, setvar), with the licence texts of what is included\n"
    "  the app's files    with their folder structure\n"
    "  NAME.exe.manifest  with --utf8: the process code page becomes UTF-8\n"
    "OUT_DIR must not exist yet or be empty. The version defaults to 1.0.0.0.\n";

namespace {

// A name the device namespace claims: "CON", "con.exe", "Com1.txt" all open a
// device instead of a file on Windows.
bool is_device_name(const std::string& name) {
  std::string stem = ascii_lower(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul" || stem == "conin$" || stem == "conout$")
    return true;
  return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) && stem[3] >= '0' &&
         stem[3] <= '9';
}

bool ends_with_exe(const std::string& s) { return s.size() > 4 && ascii_lower(s.substr(s.size() - 4)) == ".exe"; }

}  // namespace

std::string app_name_problem(const std::string& name) {
  if (name.empty()) return "the app name is empty";
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20) return "the app name \"" + name + "\" holds a control character, which a file name cannot hold";
    if (std::strchr("<>:\"/\\|?*", c)) {
      return "the app name \"" + name + "\" holds the character " + std::string(1, c) +
             ", which a file name cannot hold (none of < > : \" / \\ | ? * may appear)";
    }
  }
  if (name.back() == '.' || name.back() == ' ')
    return "the app name \"" + name + "\" ends with a dot or a space, which Windows drops from file names";
  if (is_device_name(name))
    return "the app name \"" + name + "\" is a device name on Windows (CON, PRN, AUX, NUL, COM0-9, LPT0-9)";
  // NAME.exe.manifest, the longest file made from the name, must fit in the
  // 255 UTF-16 units of a file name.
  if (utf8_to_utf16(name).size() + std::strlen(".exe.manifest") > 255)
    return "the app name is too long for a file name (at most 242 characters)";
  return {};
}

bool parse_version(const std::string& text, Version& out) {
  Version v{0, 0, 0, 0};
  std::size_t part = 0, digits = 0;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : '.';
    if (c >= '0' && c <= '9') {
      value = value * 10 + static_cast<std::uint32_t>(c - '0');
      if (++digits > 5 || value > 0xFFFF) return false;
    } else if (c == '.') {
      if (digits == 0 || part == 4) return false;
      v[part++] = static_cast<std::uint16_t>(value);
      value = 0;
      digits = 0;
    } else {
      return false;
    }
  }
  out = v;
  return true;
}

std::string version_text(const Version& v) {
  return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." + std::to_string(v[3]);
}

std::string parse_pack_args(const std::vector<std::string>& args, PackOptions& out) {
  PackOptions o;
  std::vector<std::string> positional;
  bool have_name = false, have_icon = false, have_version = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h" || a == "/?") {
      o.help = true;
      continue;
    }
    if (a == "--utf8") {
      o.utf8 = true;
      continue;
    }
    if (a.size() < 2 || a.compare(0, 2, "--") != 0) {
      positional.push_back(a);
      continue;
    }
    const std::size_t eq = a.find('=');
    const std::string key = a.substr(0, eq);
    bool* seen = key == "--name"      ? &have_name
                 : key == "--icon"    ? &have_icon
                 : key == "--version" ? &have_version
                                      : nullptr;
    if (!seen) return "unknown option " + key;
    if (*seen) return key + " is given twice";
    *seen = true;
    std::string value;
    if (eq != std::string::npos) {
      value = a.substr(eq + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return key + " needs a value";
    }
    if (key == "--name") {
      o.name = value;
    } else if (key == "--icon") {
      if (value.empty()) return "--icon needs a file name";
      o.icon = value;
    } else if (!parse_version(value, o.version)) {
      return "--version wants up to four numbers from 0 to 65535 separated by dots (A.B.C.D), not \"" + value + "\"";
    }
  }
  if (o.help) {
    out = o;
    return {};
  }
  if (positional.size() < 2) return "APP_DIR and OUT_DIR are both needed";
  if (positional.size() > 2) return "unexpected argument \"" + positional[2] + "\"";
  if (!have_name) return "--name NAME is needed: it names NAME.exe";
  o.app_dir = positional[0];
  o.out_dir = positional[1];
  if (o.app_dir.empty() || o.out_dir.empty()) return "APP_DIR and OUT_DIR must not be empty";
  // "--name Demo.exe" means the app Demo, not Demo.exe.exe.
  if (ends_with_exe(o.name)) o.name.resize(o.name.size() - 4);
  const std::string problem = app_name_problem(o.name);
  if (!problem.empty()) return problem;
  out = o;
  return {};
}
