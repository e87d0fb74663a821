// What goes into a packed folder besides the app's own files: the runtime
// DLLs the host and the used modules need, the licence texts that go with
// them, and the check that none of it lands on a file of the app.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

// Reads the DLLs one file imports: an empty text and the names, or why the
// file cannot be read.
using ImportReader = std::function<std::string(const std::string& file, std::vector<std::string>& imports)>;

// The files of `available` (the runtime folder's DLLs) that the names in
// `wanted` reach: each wanted name that is available, and what it imports,
// and so on. Names that are not available (the system's DLLs) end the chain.
// Names compare without case; the result uses the spelling of `available`,
// each file once, in the order found. Returns an empty text, or why a file
// could not be read.
std::string runtime_closure(const std::vector<std::string>& wanted, const std::vector<std::string>& available,
                            const ImportReader& imports_of, std::vector<std::string>& out);

// The licence folders (under licenses/ of the runtime) that the shipped
// files need, each once, and the files whose licence the packer does not
// know (not the runtime's own programs and modules).
struct LicenceNeeds {
  std::vector<std::string> folders;
  std::vector<std::string> unknown;
};
LicenceNeeds licences_for(const std::vector<std::string>& files);

// Paths relative to the packed folder, '/' or '\' separated. Returns the
// first path of `app_files` that is one of `own_files` or a folder above one
// (or below one), compared the way Windows compares names; empty when none.
std::string first_clash(const std::vector<std::string>& app_files, const std::vector<std::string>& own_files);

// Two paths of `files` that are one path on Windows (a folder packed from a
// case-sensitive file system may hold Data.txt and data.txt), or two empty
// texts.
std::pair<std::string, std::string> first_case_twins(const std::vector<std::string>& files);
