// scripthost-pack: makes a folder that runs an app's init.lua under the app's
// own name, icon and version, with only the runtime files the app needs.
//
// Everything is checked before the first byte is written: the arguments,
// APP_DIR and its init.lua, OUT_DIR (new or empty), the icon file, the
// runtime beside the packer, and that no file of the app would land on one
// the packer writes. Writing goes through a journal; when a step fails, what
// was made is removed again, so a failed pack leaves no half-made folder.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/icon.hpp"
#include "core/lua_scan.hpp"
#include "core/options.hpp"
#include "core/pe_imports.hpp"
#include "core/plan.hpp"
#include "core/resources.hpp"
#include "core/text.hpp"
#include "reswin.hpp"
#include "winfs.hpp"

// The UTF-8 code page manifest, built into the packer from
// manifests/utf-8/scripthost.exe.manifest so that it needs no file beside it.
extern const unsigned char kUtf8Manifest[];
extern const std::size_t kUtf8ManifestSize;

namespace {

const char kHost[] = "scripthost.exe";
const char kLicences[] = "licenses";

// Text for the user: UTF-16 to a console, UTF-8 to a file or pipe.
void say(DWORD stream, const std::string& text) {
  HANDLE h = GetStdHandle(stream);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0, put = 0;
  if (GetConsoleMode(h, &mode)) {
    const std::wstring w = widen(text);
    WriteConsoleW(h, w.data(), static_cast<DWORD>(w.size()), &put, nullptr);
  } else {
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
  }
}

int fail(const std::string& why) {
  say(STD_ERROR_HANDLE, "scripthost-pack: " + why + "\n");
  return 1;
}

bool is_lua_file(const std::string& rel) { return rel.size() > 4 && ascii_lower(rel.substr(rel.size() - 4)) == ".lua"; }

bool is_program(const std::string& rel) {
  if (rel.size() <= 4) return false;
  const std::string ext = ascii_lower(rel.substr(rel.size() - 4));
  return ext == ".dll" || ext == ".exe";
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

// The names of the DLLs directly in a folder.
std::vector<std::string> dlls_in(const std::wstring& folder) {
  std::vector<std::string> out;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((folder + L"\\*.dll").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return out;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) out.push_back(narrow(fd.cFileName));
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return out;
}

std::string read_imports(const std::wstring& path, std::vector<std::string>& imports) {
  Bytes image;
  std::string why;
  if (!read_file(path, image, why)) return why;
  return pe_imported_dlls(image, imports);
}

struct Plan {
  std::wstring runtime, app, out;
  std::string exe;                         // NAME.exe
  std::vector<std::string> app_files;      // relative to app
  std::vector<std::string> dlls;           // in runtime
  std::vector<std::string> licence_files;  // relative to runtime, under licenses/
  std::vector<std::string> modules;
  std::vector<Resource> resources;
  bool utf8 = false;
};

// Where things are: the runtime beside the packer, APP_DIR with its
// init.lua, and an OUT_DIR that is new or empty and not inside APP_DIR.
std::string check_folders(const PackOptions& o, Plan& p) {
  wchar_t self[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
  if (n == 0 || n >= MAX_PATH * 4) return "cannot find the packer's own folder";
  p.runtime = folder_of(self);
  p.app = full_path(widen(o.app_dir));
  p.out = full_path(widen(o.out_dir));

  switch (path_kind(p.app)) {
    case PathKind::missing: return "APP_DIR " + quoted(o.app_dir) + " does not exist";
    case PathKind::file: return "APP_DIR " + quoted(o.app_dir) + " is a file, not a folder";
    case PathKind::folder: break;
  }
  if (path_kind(join(p.app, "init.lua")) != PathKind::file)
    return "APP_DIR " + quoted(o.app_dir) + " holds no init.lua: an app starts from its init.lua";
  if (same_file_name(narrow(p.app), narrow(p.runtime)))
    return "APP_DIR is the runtime's own folder; put the app's files in a folder of their own";

  const std::string app_key = ascii_lower(narrow(p.app)) + "\\";
  const std::string out_key = ascii_lower(narrow(p.out)) + "\\";
  if (out_key.compare(0, app_key.size(), app_key) == 0)
    return "OUT_DIR " + quoted(o.out_dir) + " lies inside APP_DIR; the packed folder must go elsewhere";
  switch (path_kind(p.out)) {
    case PathKind::file: return "OUT_DIR " + quoted(o.out_dir) + " is a file, not a folder";
    case PathKind::folder:
      if (!folder_is_empty(p.out))
        return "OUT_DIR " + quoted(o.out_dir) +
               " exists and is not empty; the packer never overwrites, so name a new or empty folder";
      break;
    case PathKind::missing: break;
  }
  if (path_kind(join(p.runtime, kHost)) != PathKind::file)
    return std::string(kHost) + " is not beside the packer (in " + narrow(p.runtime) + ")";
  return {};
}

// The app's files, the modules its Lua files name, and the DLLs its own
// programs import (a C module of the app's may need SDL2.dll).
std::string scan_app(Plan& p, std::vector<std::string>& wanted) {
  std::string why;
  if (!list_files(p.app, p.app_files, why)) return why;
  const auto twins = first_case_twins(p.app_files);
  if (!twins.first.empty())
    return "APP_DIR holds both " + twins.first + " and " + twins.second + ", which are one name on Windows";
  std::vector<std::string> named;
  for (const std::string& rel : p.app_files) {
    if (is_lua_file(rel)) {
      Bytes src;
      if (!read_file(join(p.app, rel), src, why)) return "cannot read " + rel + " of the app: " + why;
      for (const std::string& m : modules_named(std::string(src.begin(), src.end()), runtime_modules())) {
        named.push_back(m);
      }
    } else if (is_program(rel)) {
      std::vector<std::string> imports;
      if (read_imports(join(p.app, rel), imports).empty()) wanted.insert(wanted.end(), imports.begin(), imports.end());
    }
  }
  for (const std::string& m : runtime_modules()) {
    for (const std::string& n : named) {
      if (n == m) {
        p.modules.push_back(m);
        break;
      }
    }
  }
  return {};
}

// The runtime DLLs: what the host imports, the used modules, and what those
// import in turn, from the runtime's folder.
std::string plan_runtime(Plan& p, std::vector<std::string> wanted) {
  std::vector<std::string> imports;
  const std::string problem = read_imports(join(p.runtime, kHost), imports);
  if (!problem.empty()) return std::string(kHost) + ": " + problem;
  wanted.insert(wanted.begin(), imports.begin(), imports.end());
  const std::vector<std::string> available = dlls_in(p.runtime);
  for (const std::string& m : p.modules) {
    bool present = false;
    for (const std::string& a : available) present = present || same_file_name(a, m + ".dll");
    if (!present)
      return "the app uses " + m + ", but " + m + ".dll is not beside the packer (in " + narrow(p.runtime) + ")";
    wanted.push_back(m + ".dll");
  }
  return runtime_closure(
      wanted, available,
      [&](const std::string& f, std::vector<std::string>& out) { return read_imports(join(p.runtime, f), out); },
      p.dlls);
}

// The licence texts of what ships; missing ones are warned about, not fatal:
// the folder still runs, and the user can add them.
void plan_licences(Plan& p) {
  std::vector<std::string> shipped{kHost};
  shipped.insert(shipped.end(), p.dlls.begin(), p.dlls.end());
  const LicenceNeeds needs = licences_for(shipped);
  for (const std::string& folder : needs.folders) {
    const std::string rel = std::string(kLicences) + "/" + folder;
    std::vector<std::string> files;
    std::string why;
    if (path_kind(join(p.runtime, rel)) != PathKind::folder || !list_files(join(p.runtime, rel), files, why)) {
      say(STD_ERROR_HANDLE, "scripthost-pack: warning: the licence texts in " + rel +
                                " are not beside the packer; add them to the folder before you hand it on\n");
      continue;
    }
    for (const std::string& f : files) p.licence_files.push_back(rel + "/" + f);
  }
  for (const std::string& f : needs.unknown) {
    say(STD_ERROR_HANDLE, "scripthost-pack: warning: no licence text is known for " + f +
                              "; add its licence to the folder before you hand it on\n");
  }
}

// Every check before anything is written; fills the plan. Returns an empty
// text or the problem.
std::string prepare(const PackOptions& o, Plan& p) {
  p.exe = o.name + ".exe";
  p.utf8 = o.utf8;
  std::string problem = check_folders(o, p);
  if (!problem.empty()) return problem;

  std::vector<IconImage> images;
  if (!o.icon.empty()) {
    Bytes ico;
    std::string why;
    if (!read_file(full_path(widen(o.icon)), ico, why)) return "cannot read the icon " + quoted(o.icon) + ": " + why;
    problem = parse_ico(ico, images);
    if (!problem.empty()) return "the icon " + quoted(o.icon) + " is not an icon file: " + problem;
  }

  std::vector<std::string> wanted;
  problem = scan_app(p, wanted);
  if (problem.empty()) problem = plan_runtime(p, wanted);
  if (!problem.empty()) return problem;
  plan_licences(p);

  std::vector<std::string> own{p.exe};
  own.insert(own.end(), p.dlls.begin(), p.dlls.end());
  own.insert(own.end(), p.licence_files.begin(), p.licence_files.end());
  if (p.utf8) own.push_back(p.exe + ".manifest");
  const std::string clash = first_clash(p.app_files, own);
  if (!clash.empty())
    return "APP_DIR holds " + clash + ", which the packed folder gets from the packer; rename or remove it in APP_DIR";

  std::string why;
  if (!read_resources(join(p.runtime, kHost), p.resources, why)) return why;
  VersionInfo info;
  info.version = o.version;
  info.product_name = o.name;
  info.file_description = o.name;
  info.original_filename = p.exe;
  rebrand_resources(p.resources, images, info);
  return {};
}

std::string write(const Plan& p, Journal& j) {
  std::string why;
  if (!j.make_folders(p.out, why)) return why;
  const std::wstring exe = join(p.out, p.exe);
  if (!j.copy_file(join(p.runtime, kHost), exe, why)) return why;
  if (!write_resources(exe, p.resources, why)) return why;
  for (const std::string& f : p.dlls) {
    if (!j.copy_file(join(p.runtime, f), join(p.out, f), why)) return why;
  }
  auto copy_tree_file = [&](const std::wstring& from_root, const std::string& rel) {
    const bool empty_folder = rel.back() == '/';
    const std::size_t cut = empty_folder ? rel.size() - 1 : rel.find_last_of('/');
    const std::string folder = cut == std::string::npos ? "" : rel.substr(0, cut);
    if (!folder.empty() && !j.make_folders(join(p.out, folder), why)) return false;
    return empty_folder || j.copy_file(join(from_root, rel), join(p.out, rel), why);
  };
  for (const std::string& f : p.licence_files) {
    if (!copy_tree_file(p.runtime, f)) return why;
  }
  for (const std::string& f : p.app_files) {
    if (!copy_tree_file(p.app, f)) return why;
  }
  if (p.utf8 && !j.write_file(join(p.out, p.exe + ".manifest"), kUtf8Manifest, kUtf8ManifestSize, why)) return why;
  return {};
}

std::string listing(const std::vector<std::string>& items) {
  std::string s;
  for (const std::string& i : items) s += (s.empty() ? "" : ", ") + i;
  return s.empty() ? "none" : s;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(narrow(argv[i]));
  PackOptions o;
  const std::string bad = parse_pack_args(args, o);
  if (!bad.empty()) {
    say(STD_ERROR_HANDLE, "scripthost-pack: " + bad + "\n\n" + kPackUsage);
    return 2;
  }
  if (o.help) {
    say(STD_OUTPUT_HANDLE, kPackUsage);
    return 0;
  }

  Plan p;
  const std::string problem = prepare(o, p);
  if (!problem.empty()) return fail(problem + "\nNothing was written.");

  Journal j;
  const std::string failed = write(p, j);
  if (!failed.empty()) {
    j.undo();
    return fail(failed + "\nThe half-made folder was removed again.");
  }
  std::size_t app_count = 0;
  for (const std::string& f : p.app_files) app_count += f.back() != '/';
  say(STD_OUTPUT_HANDLE,
      "packed " + narrow(p.app) + " into " + narrow(p.out) + "\n" + "  program:   " + p.exe + " (version " +
          version_text(o.version) + (o.icon.empty() ? ", the runtime's icon" : ", icon " + o.icon) + ")\n" +
          "  modules:   " + listing(p.modules) + "\n" + "  runtime:   " + listing(p.dlls) + "\n" + "  licences:  " +
          std::to_string(p.licence_files.size()) + " files\n" + "  app files: " + std::to_string(app_count) + "\n" +
          (p.utf8 ? "  manifest:  " + p.exe + ".manifest (UTF-8 code page)\n" : ""));
  return 0;
}
