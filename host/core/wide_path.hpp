// Widening of ANSI file names for the wide-character image interfaces.
// Kept free of Win32 calls so the rules can be tested natively.
#pragma once

#include <string>

// Converts a file name to wide characters. The name ends at its first zero
// byte. The C runtime's multibyte conversion of the current locale
// (mbstowcs) is tried first; when it rejects the bytes, the name is widened
// byte by byte instead, every byte above 0x7F becoming '?', so a name always
// converts to something of the same shape.
//
// Returns false for an empty name: there is no name to pass at all, and the
// caller hands the interface a null pointer, which it rejects.
bool widen_path(const char* name, std::wstring& wide);
