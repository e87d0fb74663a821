#include "plan.hpp"

#include <algorithm>
#include <cstddef>

#include "text.hpp"

namespace {

struct LicenceRow {
  const char* file;
  std::vector<const char*> folders;  // empty: the runtime's own code
};

// The runtime's files and the licence texts each needs. SDL2_ttf carries
// FreeType inside it.
const std::vector<LicenceRow>& licence_table() {
  static const std::vector<LicenceRow> rows{
      {"scripthost.exe", {}},
      {"orbix.dll", {}},
      {"lua_fsop.dll", {}},
      {"setvar.dll", {}},
      {"lua53.dll", {"lua5.3"}},
      {"SDL2.dll", {"libsdl2"}},
      {"SDL2_image.dll", {"libsdl2-image"}},
      {"SDL2_mixer.dll", {"libsdl2-mixer"}},
      {"SDL2_ttf.dll", {"libsdl2-ttf", "freetype"}},
      {"SDL2_gfx.dll", {"libsdl2-gfx"}},
  };
  return rows;
}

int index_of(const std::vector<std::string>& list, const std::string& name) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (same_file_name(list[i], name)) return static_cast<int>(i);
  }
  return -1;
}

std::string normal_path(const std::string& p) {
  std::string out = ascii_lower(p);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

// Whether `a` is `b` or a folder above it.
bool covers(const std::string& a, const std::string& b) {
  return b.size() >= a.size() && b.compare(0, a.size(), a) == 0 && (b.size() == a.size() || b[a.size()] == '/');
}

}  // namespace

std::string runtime_closure(const std::vector<std::string>& wanted, const std::vector<std::string>& available,
                            const ImportReader& imports_of, std::vector<std::string>& out) {
  std::vector<std::string> found;
  std::vector<std::string> queue = wanted;
  for (std::size_t next = 0; next < queue.size(); ++next) {
    const int at = index_of(available, queue[next]);
    if (at < 0 || index_of(found, queue[next]) >= 0) continue;
    const std::string& file = available[static_cast<std::size_t>(at)];
    found.push_back(file);
    std::vector<std::string> imports;
    const std::string problem = imports_of(file, imports);
    if (!problem.empty()) return file + ": " + problem;
    queue.insert(queue.end(), imports.begin(), imports.end());
  }
  out = std::move(found);
  return {};
}

LicenceNeeds licences_for(const std::vector<std::string>& files) {
  LicenceNeeds needs;
  for (const std::string& f : files) {
    const LicenceRow* row = nullptr;
    for (const LicenceRow& r : licence_table()) {
      if (same_file_name(r.file, f)) row = &r;
    }
    if (!row) {
      needs.unknown.push_back(f);
      continue;
    }
    for (const char* folder : row->folders) {
      if (index_of(needs.folders, folder) < 0) needs.folders.push_back(folder);
    }
  }
  return needs;
}

std::string first_clash(const std::vector<std::string>& app_files, const std::vector<std::string>& own_files) {
  for (const std::string& a : app_files) {
    const std::string na = normal_path(a);
    for (const std::string& o : own_files) {
      const std::string no = normal_path(o);
      if (covers(na, no) || covers(no, na)) return a;
    }
  }
  return {};
}

std::pair<std::string, std::string> first_case_twins(const std::vector<std::string>& files) {
  // Sorted with the separator below every other character, a path comes
  // right before the paths inside it ("notes", "notes/a", "notes.txt").
  std::vector<std::pair<std::string, std::size_t>> keys;
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::string k = normal_path(files[i]);
    for (char& c : k) {
      if (c == '/') c = '\x01';
    }
    keys.emplace_back(k, i);
  }
  std::sort(keys.begin(), keys.end());
  for (std::size_t i = 1; i < keys.size(); ++i) {
    const std::string& a = keys[i - 1].first;
    const std::string& b = keys[i].first;
    // The same name, or one file's name used as another's folder.
    if (b.compare(0, a.size(), a) == 0 && (b.size() == a.size() || b[a.size()] == '\x01'))
      return {files[keys[i - 1].second], files[keys[i].second]};
  }
  return {};
}
