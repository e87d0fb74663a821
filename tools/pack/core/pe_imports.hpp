// The DLLs a Windows program or DLL loads at start: the names in its import
// directory and its delay-load directory, read from the file's bytes.
#pragma once

#include <string>
#include <vector>

#include "bytes.hpp"

// Fills `dlls` with the imported DLL names as the file spells them, each once
// (compared without case), normal imports first. Returns an empty text, or
// why the bytes are not a readable PE image.
std::string pe_imported_dlls(const Bytes& image, std::vector<std::string>& dlls);
