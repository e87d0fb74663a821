#include "shell_rules.hpp"

#include "text_bounds.hpp"

#include <algorithm>
#include <cstring>

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// A filter list keeps its embedded zeros; two bytes stay free for the zeros
// that close the list.
void copy_filter(char* buffer, std::size_t limit, std::string_view s) {
  const std::size_t n = std::min(s.size(), limit - 2);
  if (n) std::memcpy(buffer, s.data(), n);
}

}  // namespace

std::vector<std::string> split_command_line(std::string_view line) {
  std::vector<std::string> argv;
  std::size_t p = 0;
  const std::size_t end = line.size();
  // The runtime reads the line as a C string.
  const std::size_t stop = std::min(end, line.find('\0'));
  if (stop == 0) return argv;

  // Program name: quotes only protect blanks; backslashes are path
  // separators, never escapes.
  std::string name;
  bool quoted = false;
  for (; p < stop; ++p) {
    const char c = line[p];
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && is_blank(c)) break;
    name += c;
  }
  argv.push_back(name);

  for (;;) {
    while (p < stop && is_blank(line[p])) ++p;
    if (p >= stop) break;
    std::string arg;
    quoted = false;
    while (p < stop) {
      std::size_t slashes = 0;
      while (p < stop && line[p] == '\\') {
        ++slashes;
        ++p;
      }
      if (p < stop && line[p] == '"') {
        arg.append(slashes / 2, '\\');
        if (slashes % 2 == 1) {
          arg += '"';
        } else if (quoted && p + 1 < stop && line[p + 1] == '"') {
          arg += '"';  // a doubled quote inside quotes; quoting goes on
          ++p;
        } else {
          quoted = !quoted;
        }
        ++p;
        continue;
      }
      arg.append(slashes, '\\');
      if (p >= stop || (!quoted && is_blank(line[p]))) break;
      arg += line[p++];
    }
    argv.push_back(arg);
  }
  return argv;
}

std::string command_argument(const std::vector<std::string>& argv, std::int32_t index) {
  if (index < 0) {
    std::string joined;
    for (std::size_t i = 1; i < argv.size(); ++i) {
      if (i > 1) joined += ' ';
      joined += argv[i];
    }
    return joined;
  }
  const auto i = static_cast<std::size_t>(index);
  return i < argv.size() ? argv[i] : std::string();
}

bool dir_entry_accepted(unsigned attributes, unsigned mask) {
  unsigned allowed = mask & 0xFFu;
  if (!(allowed & kAttrDirectory)) allowed |= kAttrArchive;
  return (attributes & 0xFFu & ~allowed) == 0;
}

const char kDefaultFileFilter[] = "Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";
const std::size_t kDefaultFileFilterSize = sizeof kDefaultFileFilter;

void fill_file_dialog_buffers(FileDialogBuffers& out, int count, const std::string_view* args) {
  std::memset(&out, 0, sizeof out);
  const std::string_view default_filter(kDefaultFileFilter, kDefaultFileFilterSize - 1);
  std::string_view file, filter = default_filter, extension = "txt";
  switch (count) {
    case 3:
      file = args[0];
      filter = args[1];
      extension = args[2];
      break;
    case 2:
      filter = args[0];
      extension = args[1];
      break;
    case 1: file = args[0]; break;
    default: break;
  }
  copy_cut(out.file, kDialogBufferSize, file.data(), file.size());
  copy_filter(out.filter, kDialogBufferSize, filter);
  copy_cut(out.extension, kDialogBufferSize, extension.data(), extension.size());
}
