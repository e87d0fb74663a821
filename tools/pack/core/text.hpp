// Text helpers of the packer, free of Win32 calls: UTF-8 and UTF-16
// conversion (the packer keeps names and paths as UTF-8 and widens them only
// at the platform's door) and the ASCII case folding that file-name
// comparisons need.
#pragma once

#include <string>
#include <string_view>

// Decodes UTF-8 into UTF-16. A byte sequence that is not UTF-8 (a stray
// continuation byte, an overlong form, a surrogate, a cut sequence) becomes
// U+FFFD, so the result always has a meaning.
std::u16string utf8_to_utf16(std::string_view s);

// Encodes UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16_to_utf8(std::u16string_view s);

// Lower-cases A-Z only: enough to compare the names the packer itself
// chooses (DLL names, licence folders) the way Windows file names compare.
std::string ascii_lower(std::string_view s);

// Whether two file names are the same name on Windows, as far as ASCII
// letters go.
bool same_file_name(std::string_view a, std::string_view b);
