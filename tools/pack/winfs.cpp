#include "winfs.hpp"

#include <algorithm>

#include "core/text.hpp"

namespace {

constexpr int kMaxDepth = 64;  // deeper than any app; a link loop stops here

bool list_below(const std::wstring& root, const std::string& prefix, int depth, std::vector<std::string>& out,
                std::string& why) {
  if (depth > kMaxDepth) {
    why = "folders nested more than " + std::to_string(kMaxDepth) + " deep below " + narrow(root) +
          " (a folder link that loops?)";
    return false;
  }
  const std::wstring here = prefix.empty() ? root : join(root, prefix);
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((here + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) {
    why = "cannot list " + narrow(here) + ": " + error_text(GetLastError());
    return false;
  }
  std::vector<std::pair<std::string, bool>> entries;
  do {
    const std::wstring n = fd.cFileName;
    if (n == L"." || n == L"..") continue;
    entries.emplace_back(narrow(n), (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  std::sort(entries.begin(), entries.end());
  if (entries.empty() && !prefix.empty()) out.push_back(prefix + "/");
  for (const auto& [name, folder] : entries) {
    const std::string rel = prefix.empty() ? name : prefix + "/" + name;
    if (!folder) {
      out.push_back(rel);
    } else if (!list_below(root, rel, depth + 1, out, why)) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::wstring widen(const std::string& utf8) {
  const std::u16string w = utf8_to_utf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::string narrow(const std::wstring& wide) { return utf16_to_utf8(std::u16string(wide.begin(), wide.end())); }

std::string error_text(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring s = n && text ? std::wstring(text, n) : L"";
  if (text) LocalFree(text);
  while (!s.empty() && (s.back() == L'\n' || s.back() == L'\r' || s.back() == L' ' || s.back() == L'.')) s.pop_back();
  return s.empty() ? "error " + std::to_string(code) : narrow(s) + " (error " + std::to_string(code) + ")";
}

std::wstring full_path(const std::wstring& path) {
  const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring out(n, L'\0');
  const DWORD m = GetFullPathNameW(path.c_str(), n, &out[0], nullptr);
  out.resize(m < n ? m : 0);
  // "C:\" keeps its separator; "C:\apps\" loses it.
  while (out.size() > 3 && (out.back() == L'\\' || out.back() == L'/')) out.pop_back();
  return out.empty() ? path : out;
}

std::wstring join(const std::wstring& dir, const std::string& relative) {
  std::wstring r = widen(relative);
  std::replace(r.begin(), r.end(), L'/', L'\\');
  if (!dir.empty() && dir.back() == L'\\') return dir + r;
  return dir + L"\\" + r;
}

std::wstring folder_of(const std::wstring& path) {
  const std::size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? L"." : path.substr(0, cut);
}

PathKind path_kind(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return PathKind::missing;
  return (a & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::folder : PathKind::file;
}

bool read_file(const std::wstring& path, Bytes& out, std::string& why) {
  HANDLE h =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    why = error_text(GetLastError());
    return false;
  }
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(h, &size) && size.QuadPart < 0x7FFFFFFF;
  Bytes data(ok ? static_cast<std::size_t>(size.QuadPart) : 0);
  DWORD got = 0;
  ok = ok && (data.empty() ||
              (ReadFile(h, data.data(), static_cast<DWORD>(data.size()), &got, nullptr) && got == data.size()));
  if (!ok) why = error_text(GetLastError());
  CloseHandle(h);
  if (ok) out = std::move(data);
  return ok;
}

bool list_files(const std::wstring& root, std::vector<std::string>& out, std::string& why) {
  std::vector<std::string> files;
  if (!list_below(root, "", 0, files, why)) return false;
  out = std::move(files);
  return true;
}

bool folder_is_empty(const std::wstring& path) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return true;
  bool empty = true;
  do {
    const std::wstring n = fd.cFileName;
    if (n != L"." && n != L"..") empty = false;
  } while (empty && FindNextFileW(h, &fd));
  FindClose(h);
  return empty;
}

bool Journal::make_folders(const std::wstring& path, std::string& why) {
  const PathKind kind = path_kind(path);
  if (kind == PathKind::folder) return true;
  if (kind == PathKind::file) {
    why = narrow(path) + " is a file, not a folder";
    return false;
  }
  const std::wstring parent = folder_of(path);
  if (parent != path && parent.size() > 2 && !make_folders(parent, why)) return false;
  if (!CreateDirectoryW(path.c_str(), nullptr)) {
    why = "cannot make the folder " + narrow(path) + ": " + error_text(GetLastError());
    return false;
  }
  made_.push_back({path, true});
  return true;
}

bool Journal::copy_file(const std::wstring& from, const std::wstring& to, std::string& why) {
  // Never overwrite: the packer only writes into a new or empty folder.
  if (!CopyFileW(from.c_str(), to.c_str(), TRUE)) {
    why = "cannot copy " + narrow(from) + " to " + narrow(to) + ": " + error_text(GetLastError());
    return false;
  }
  made_.push_back({to, false});
  // A read-only source makes a read-only copy, which the resource update
  // (and the user's next build of the folder) could not change.
  const DWORD a = GetFileAttributesW(to.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(to.c_str(), a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return true;
}

bool Journal::write_file(const std::wstring& path, const void* data, std::size_t size, std::string& why) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    why = "cannot write " + narrow(path) + ": " + error_text(GetLastError());
    return false;
  }
  made_.push_back({path, false});
  DWORD put = 0;
  const bool ok = WriteFile(h, data, static_cast<DWORD>(size), &put, nullptr) && put == size;
  if (!ok) why = "cannot write " + narrow(path) + ": " + error_text(GetLastError());
  return CloseHandle(h) && ok;
}

void Journal::undo() {
  for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
    if (it->folder) {
      RemoveDirectoryW(it->path.c_str());
    } else {
      SetFileAttributesW(it->path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(it->path.c_str());
    }
  }
  made_.clear();
}
