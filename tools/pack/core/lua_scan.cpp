#include "lua_scan.hpp"

#include <cstdint>

#include "text.hpp"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_hex(char c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int hex_value(char c) { return is_digit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }
bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

void put_utf8(std::string& out, std::uint64_t c) {
  // Lua 5.3 accepts code points up to 2^31 in \u{...}; the longer forms do
  // not matter for module names, so they come out as U+FFFD.
  if (c > 0x10FFFF) c = 0xFFFD;
  out += utf16_to_utf8(c < 0x10000 ? std::u16string(1, static_cast<char16_t>(c))
                                   : std::u16string{static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
                                                    static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))});
}

struct Scanner {
  std::string_view s;
  std::size_t p = 0;

  bool at(std::size_t i, char c) const { return i < s.size() && s[i] == c; }

  // A long bracket opening at p: '[' '='* '['. Returns its level or -1.
  int long_bracket_level(std::size_t i) const {
    if (!at(i, '[')) return -1;
    std::size_t j = i + 1;
    while (at(j, '=')) ++j;
    return at(j, '[') ? static_cast<int>(j - i - 1) : -1;
  }

  // Reads a long string or comment body after its opening bracket; false
  // when it never closes.
  bool long_body(int level, std::string* out) {
    p += static_cast<std::size_t>(level) + 2;
    // A newline right after the opening bracket is not part of the text.
    if (at(p, '\r') || at(p, '\n')) {
      const char first = s[p++];
      if ((at(p, '\r') || at(p, '\n')) && s[p] != first) ++p;
    }
    for (; p < s.size(); ++p) {
      if (s[p] == ']') {
        std::size_t j = p + 1;
        while (at(j, '=')) ++j;
        if (at(j, ']') && static_cast<int>(j - p - 1) == level) {
          p = j + 1;
          return true;
        }
      }
      if (out) *out += s[p];
    }
    return false;
  }

  // Reads a quoted string whose quote is at p; false when it never closes.
  bool short_string(std::string& out) {
    const char quote = s[p++];
    while (p < s.size()) {
      const char c = s[p];
      if (c == quote) {
        ++p;
        return true;
      }
      if (c == '\n' || c == '\r') return false;
      if (c != '\\') {
        out += c;
        ++p;
        continue;
      }
      ++p;
      if (p >= s.size()) return false;
      const char e = s[p];
      switch (e) {
        case 'a':
          out += '\a';
          ++p;
          break;
        case 'b':
          out += '\b';
          ++p;
          break;
        case 'f':
          out += '\f';
          ++p;
          break;
        case 'n':
          out += '\n';
          ++p;
          break;
        case 'r':
          out += '\r';
          ++p;
          break;
        case 't':
          out += '\t';
          ++p;
          break;
        case 'v':
          out += '\v';
          ++p;
          break;
        case 'x':
          if (p + 2 < s.size() && is_hex(s[p + 1]) && is_hex(s[p + 2])) {
            out += static_cast<char>(hex_value(s[p + 1]) * 16 + hex_value(s[p + 2]));
            p += 3;
          } else {
            return false;
          }
          break;
        case 'z':  // skips the white space that follows, line breaks too
          ++p;
          while (p < s.size() && is_space(s[p])) ++p;
          break;
        case 'u': {
          if (!at(p + 1, '{')) return false;
          std::size_t j = p + 2;
          std::uint64_t v = 0;
          while (j < s.size() && is_hex(s[j]) && v <= 0x7FFFFFFF)
            v = v * 16 + static_cast<std::uint64_t>(hex_value(s[j++]));
          if (j == p + 2 || !at(j, '}')) return false;
          put_utf8(out, v);
          p = j + 1;
          break;
        }
        case '\r':
        case '\n':  // an escaped line break is a line break
          out += '\n';
          ++p;
          if ((at(p, '\r') || at(p, '\n')) && s[p] != e) ++p;
          break;
        default:
          if (is_digit(e)) {
            int v = 0, n = 0;
            while (n < 3 && p < s.size() && is_digit(s[p])) {
              v = v * 10 + (s[p++] - '0');
              ++n;
            }
            if (v > 255) return false;
            out += static_cast<char>(v);
          } else {
            out += e;  // \\ \" \' and, leniently, anything else
            ++p;
          }
      }
    }
    return false;
  }
};

bool names_module(const std::string& literal, const std::string& module) {
  if (literal == module) return true;
  const std::string dll = module + ".dll";
  if (literal.size() < dll.size()) return false;
  const std::size_t start = literal.size() - dll.size();
  if (!same_file_name(literal.substr(start), dll)) return false;
  return start == 0 || literal[start - 1] == '/' || literal[start - 1] == '\\';
}

}  // namespace

const std::vector<std::string>& runtime_modules() {
  static const std::vector<std::string> modules{"orbix", "lua_fsop", "setvar"};
  return modules;
}

std::vector<std::string> lua_string_literals(std::string_view source) {
  std::vector<std::string> out;
  Scanner sc{source};
  if (sc.at(0, '#')) {
    while (sc.p < source.size() && source[sc.p] != '\n') ++sc.p;
  }
  while (sc.p < source.size()) {
    const char c = source[sc.p];
    if (c == '-' && sc.at(sc.p + 1, '-')) {
      sc.p += 2;
      const int level = sc.long_bracket_level(sc.p);
      if (level >= 0) {
        if (!sc.long_body(level, nullptr)) break;
      } else {
        while (sc.p < source.size() && source[sc.p] != '\n' && source[sc.p] != '\r') ++sc.p;
      }
    } else if (c == '"' || c == '\'') {
      std::string lit;
      if (!sc.short_string(lit)) break;
      out.push_back(std::move(lit));
    } else if (c == '[' && sc.long_bracket_level(sc.p) >= 0) {
      std::string lit;
      if (!sc.long_body(sc.long_bracket_level(sc.p), &lit)) break;
      out.push_back(std::move(lit));
    } else {
      ++sc.p;
    }
  }
  return out;
}

std::vector<std::string> modules_named(std::string_view source, const std::vector<std::string>& modules) {
  const std::vector<std::string> literals = lua_string_literals(source);
  std::vector<std::string> used;
  for (const std::string& m : modules) {
    for (const std::string& lit : literals) {
      if (names_module(lit, m)) {
        used.push_back(m);
        break;
      }
    }
  }
  return used;
}
