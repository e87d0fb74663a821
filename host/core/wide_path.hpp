// Widening of ANSI file names for the wide-character image interfaces.
// Kept free of Win32 calls so the rules can be tested natively; the code
// page's own conversion comes from the caller.
#pragma once

#include <cstddef>
#include <string>

// Converts `length` bytes in the process code page to wide characters, all
// or nothing: false when some bytes form no character of the code page.
using CodePageConversion = bool (*)(const char* bytes, std::size_t length, std::wstring& wide);

// Converts a file name to wide characters. The name ends at its first zero
// byte. The code page's conversion is tried first, so the name reaches the
// interface as the same file every ANSI function of the process names; when
// it rejects the bytes, the name is widened byte by byte instead, every byte
// above 0x7F becoming '?', so a name always converts to something of the
// same shape.
//
// Returns false for an empty name: there is no name to pass at all, and the
// caller hands the interface a null pointer, which it rejects.
bool widen_path(const char* name, std::wstring& wide, CodePageConversion convert);
