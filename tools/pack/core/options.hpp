// The packer's command line and the rules for what it is given: the app's
// name (it becomes file names) and its version.
//
//   scripthost-pack APP_DIR OUT_DIR --name NAME [--icon FILE.ico]
//                   [--version A.B.C.D] [--utf8]
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using Version = std::array<std::uint16_t, 4>;

struct PackOptions {
  std::string app_dir;
  std::string out_dir;
  std::string name;  // without ".exe"
  std::string icon;  // empty: keep the runtime's icon
  Version version{1, 0, 0, 0};
  bool utf8 = false;
  bool help = false;  // --help: print the usage, do nothing else
};

extern const char kPackUsage[];

// Reads the arguments after the program name. Options may come anywhere and
// take their value as the next argument or after '=' (--name=Demo). Returns
// an empty text on success, else what is wrong, for the user. The name and
// version are checked here too; the files are not looked at.
std::string parse_pack_args(const std::vector<std::string>& args, PackOptions& out);

// Why NAME cannot name the app's files (NAME.exe, NAME.exe.manifest) on
// Windows, or an empty text when it can. NAME is UTF-8.
std::string app_name_problem(const std::string& name);

// "A", "A.B", "A.B.C" or "A.B.C.D", each part 0..65535 in decimal; missing
// parts are 0. False for anything else.
bool parse_version(const std::string& text, Version& out);

// "A.B.C.D".
std::string version_text(const Version& v);
