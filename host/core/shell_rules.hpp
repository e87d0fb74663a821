// Rules behind the shell and process functions, kept free of Win32 calls so
// they can be tested natively: the C runtime's split of a command line, the
// attribute filter of directory searches, and the fixed buffers of the file
// dialogs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Splits a command line the way the C runtime builds argv at start-up.
// The program name (first element) runs to the first blank outside quotes,
// quotes removed and backslashes taken literally. Later arguments follow the
// runtime's escape rules: blanks (space, tab) outside quotes separate; 2n
// backslashes before a quote give n backslashes and the quote opens or
// closes quoting; 2n+1 backslashes before a quote give n backslashes and a
// literal quote; inside quotes a doubled quote is a literal quote; other
// backslashes are literal. An empty line gives no elements at all.
std::vector<std::string> split_command_line(std::string_view line);

// What a script gets for an index into the split command line: a negative
// index joins every argument after the program name with single blanks,
// 0 is the program name, an index past the end gives "".
std::string command_argument(const std::vector<std::string>& argv, std::int32_t index);

// Attribute bits as the C runtime's wildcard search reports them.
constexpr unsigned kAttrReadOnly = 0x01;
constexpr unsigned kAttrHidden = 0x02;
constexpr unsigned kAttrSystem = 0x04;
constexpr unsigned kAttrDirectory = 0x10;
constexpr unsigned kAttrArchive = 0x20;
// The mask a pattern-only search uses: read-only and archive files.
constexpr unsigned kDefaultDirMask = kAttrReadOnly | kAttrArchive;

// Whether a directory entry passes a search mask: every one of the entry's
// low eight attribute bits must lie in the allowed set, which is the mask's
// low eight bits plus the archive bit when the mask does not ask for
// directories.
bool dir_entry_accepted(unsigned attributes, unsigned mask);

// The three 260-byte buffers of a file dialog, filled from the script's
// arguments.
constexpr std::size_t kDialogBufferSize = 260;
struct FileDialogBuffers {
  char file[kDialogBufferSize];
  char filter[kDialogBufferSize];
  char extension[kDialogBufferSize];
};

// The filter list offered when the script gives none: text files first.
extern const char kDefaultFileFilter[];
extern const std::size_t kDefaultFileFilterSize;  // with both closing zeros

// Chooses the inputs by the number of arguments a script passed (args holds
// the first min(count, 3) of them) and fills zeroed buffers:
//   3: file name, filter list, extension;   2: filter list, extension;
//   1: file name, default filters, "txt";   0 or 4+: defaults only.
// File name and extension stop at their first zero byte and at 259 bytes.
// A filter list keeps its zero separators, at most 258 bytes of it, and is
// always closed by two zero bytes.
void fill_file_dialog_buffers(FileDialogBuffers& out, int count, const std::string_view* args);
