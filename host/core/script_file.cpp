#include "script_file.hpp"

#include <cerrno>
#include <cstring>

extern "C" {
#include <lauxlib.h>
}

namespace {

struct Reader {
  std::FILE* f;
  int pending;  // bytes of `buffer` already read ahead, handed out first
  char buffer[BUFSIZ];
};

const char* read_piece(lua_State*, void* data, size_t* size) {
  auto* r = static_cast<Reader*>(data);
  if (r->pending > 0) {
    *size = static_cast<size_t>(r->pending);
    r->pending = 0;
    return r->buffer;
  }
  // fread may deliver the last bytes and set end-of-file together; reading
  // again after that could wait for more input on some streams.
  if (std::feof(r->f)) return nullptr;
  *size = std::fread(r->buffer, 1, sizeof r->buffer, r->f);
  return r->buffer;
}

// Replaces the chunk name at `name_index` with "cannot <what> <name>: <reason>".
int file_error(lua_State* L, const char* what, int name_index) {
  const char* reason = std::strerror(errno);
  const char* name = lua_tostring(L, name_index) + 1;  // without the '@'
  lua_pushfstring(L, "cannot %s %s: %s", what, name, reason);
  lua_remove(L, name_index);
  return LUA_ERRFILE;
}

// The first character after an optional UTF-8 byte-order mark. The bytes of
// a mark that breaks off stay in the buffer for the parser.
int skip_bom(Reader& r) {
  static const unsigned char bom[] = {0xEF, 0xBB, 0xBF};
  r.pending = 0;
  for (unsigned char b : bom) {
    const int c = std::getc(r.f);
    if (c == EOF || c != b) return c;
    r.buffer[r.pending++] = static_cast<char>(c);
  }
  r.pending = 0;
  return std::getc(r.f);
}

// Skips the mark and a first line starting with '#' (a Unix interpreter
// line); `first` receives the first character that follows. True when a line
// was skipped.
bool skip_header(Reader& r, int& first) {
  int c = first = skip_bom(r);
  if (c != '#') return false;
  do c = std::getc(r.f);
  while (c != EOF && c != '\n');
  first = std::getc(r.f);
  return true;
}

}  // namespace

int load_script_file(lua_State* L, ScriptFile& file, const char* name) {
  const int name_index = lua_gettop(L) + 1;
  lua_pushfstring(L, "@%s", name);
  Reader r;
  r.pending = 0;
  r.f = file.open_text();
  if (!r.f) return file_error(L, "open", name_index);
  int c = 0;
  // The skipped line still counts, so line numbers match the file.
  if (skip_header(r, c)) r.buffer[r.pending++] = '\n';
  if (c == LUA_SIGNATURE[0]) {
    // A precompiled chunk: text mode would mangle its bytes.
    r.f = file.reopen_binary(r.f);
    if (!r.f) return file_error(L, "reopen", name_index);
    skip_header(r, c);
  }
  if (c != EOF) r.buffer[r.pending++] = static_cast<char>(c);
  const int status = lua_load(L, read_piece, &r, lua_tostring(L, -1), nullptr);
  const bool read_failed = std::ferror(r.f) != 0;
  std::fclose(r.f);
  if (read_failed) {
    lua_settop(L, name_index);  // the parser's result does not count
    return file_error(L, "read", name_index);
  }
  lua_remove(L, name_index);
  return status;
}
