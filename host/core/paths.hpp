// Path rules of the host, kept free of Win32 calls so they can be tested
// natively. Paths are strings with backslashes: ANSI (std::string) or wide
// (std::wstring), both following the same rules.
#pragma once

#include <string>

// The folder of a module file name: everything before the last backslash.
// A bare drive ("C:") keeps its backslash ("C:\"), so it still names the
// root. A name without a backslash has no folder: "".
std::string module_directory(const std::string& module_file_name);
std::wstring module_directory(const std::wstring& module_file_name);

// Where the bootstrap script lives: the folder, one backslash, "init.lua".
// For a program in a drive root this gives "C:\\init.lua", which Windows
// reads as C:\init.lua.
std::string init_script_path(const std::string& module_file_name);
std::wstring init_script_path(const std::wstring& module_file_name);
