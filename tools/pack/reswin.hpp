// Reading a program's resources and writing a new set into a copy of it,
// through the platform's resource functions.
#pragma once

#include <string>
#include <vector>

#include "core/resources.hpp"

// Every resource of the program (type, name, language, bytes).
bool read_resources(const std::wstring& program, std::vector<Resource>& out, std::string& why);

// Replaces all resources of `program` by `all` (BeginUpdateResourceW with
// existing resources deleted, one UpdateResourceW each, EndUpdateResourceW),
// then reads the program back and checks that every resource came out as
// written.
bool write_resources(const std::wstring& program, const std::vector<Resource>& all, std::string& why);
