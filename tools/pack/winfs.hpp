// The packer's file-system side on Windows: wide paths, whole-file reads,
// folder listings, and a journal of everything written so that a pack that
// fails half-way can take it all back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/bytes.hpp"

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& wide);

// The text of a Win32 error code, without the closing line break.
std::string error_text(DWORD code);

// The full form of a path (GetFullPathNameW), without a trailing separator.
std::wstring full_path(const std::wstring& path);
std::wstring join(const std::wstring& dir, const std::string& relative);  // '/' becomes '\'
std::wstring folder_of(const std::wstring& path);

enum class PathKind { missing, file, folder };
PathKind path_kind(const std::wstring& path);

// Reads a whole file; false (and the error in `why`) when it cannot.
bool read_file(const std::wstring& path, Bytes& out, std::string& why);

// The files below `root`, as relative '/'-separated UTF-8 paths, folders
// first visited in name order. Empty folders are listed with a trailing '/'
// so that they are made too. False (and why) when a folder cannot be read.
bool list_files(const std::wstring& root, std::vector<std::string>& out, std::string& why);

// Whether a folder holds anything at all.
bool folder_is_empty(const std::wstring& path);

// Everything the packer makes goes through a journal; undo() removes it again,
// newest first, so a failed pack leaves the disk as it found it.
class Journal {
 public:
  bool make_folders(const std::wstring& path, std::string& why);  // with missing parents
  bool copy_file(const std::wstring& from, const std::wstring& to, std::string& why);
  bool write_file(const std::wstring& path, const void* data, std::size_t size, std::string& why);
  void undo();

 private:
  struct Entry {
    std::wstring path;
    bool folder;
  };
  std::vector<Entry> made_;
};
