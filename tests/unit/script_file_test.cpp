#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" {
#include <lauxlib.h>
#include <lualib.h>
}

#include "core/script_file.hpp"

namespace {

// Opens a file by its narrow path, as the C runtime would; a reopen can be
// made to fail.
class NarrowFile : public ScriptFile {
 public:
  explicit NarrowFile(std::string path, bool reopen_fails = false)
      : path_(std::move(path)), reopen_fails_(reopen_fails) {}
  std::FILE* open_text() override { return std::fopen(path_.c_str(), "r"); }
  std::FILE* reopen_binary(std::FILE* f) override {
    if (reopen_fails_) {
      std::fclose(f);
      errno = EACCES;
      return nullptr;
    }
    return std::freopen(path_.c_str(), "rb", f);
  }

 private:
  std::string path_;
  bool reopen_fails_;
};

class ScriptFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    L_ = luaL_newstate();
    luaL_openlibs(L_);
    char tmpl[] = "/tmp/script_file_testXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    lua_close(L_);
    std::system(("rm -rf '" + dir_ + "'").c_str());
  }

  std::string write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_ + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
  }

  // Status and text of a load: the error message, or what the chunk returns
  // (its results joined by commas) and its source name.
  std::string outcome(int status) {
    std::string out = std::to_string(status) + "|";
    if (status != LUA_OK) {
      out += lua_tostring(L_, -1);
      lua_pop(L_, 1);
      return out;
    }
    lua_Debug ar;
    lua_pushvalue(L_, -1);
    lua_getinfo(L_, ">S", &ar);
    out += std::string(ar.source) + "|";
    const int base = lua_gettop(L_) - 1;
    if (lua_pcall(L_, 0, LUA_MULTRET, 0) != LUA_OK) {
      out += std::string("raised ") + lua_tostring(L_, -1);
      lua_settop(L_, base);
      return out;
    }
    for (int i = base + 1, n = lua_gettop(L_); i <= n; ++i) {
      out += std::string(luaL_tolstring(L_, i, nullptr)) + ",";
      lua_pop(L_, 1);
    }
    lua_settop(L_, base);
    return out;
  }

  std::string ours(const std::string& path) {
    NarrowFile file(path);
    const int top = lua_gettop(L_);
    const std::string out = outcome(load_script_file(L_, file, path.c_str()));
    EXPECT_EQ(lua_gettop(L_), top) << "stack height after " << path;
    return out;
  }
  std::string luas(const std::string& path) { return outcome(luaL_loadfilex(L_, path.c_str(), nullptr)); }

  // A precompiled chunk of `source`.
  std::string dumped(const char* source) {
    luaL_loadstring(L_, source);
    lua_getglobal(L_, "string");
    lua_getfield(L_, -1, "dump");
    lua_pushvalue(L_, -3);
    lua_call(L_, 1, 1);
    std::string bytes(lua_tostring(L_, -1), lua_rawlen(L_, -1));
    lua_pop(L_, 3);
    return bytes;
  }

  lua_State* L_ = nullptr;
  std::string dir_;
};

TEST_F(ScriptFileTest, LoadsEveryFileAsLuasOwnLoaderDoes) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::string big = "local t = {}\n" + std::string(20000, ' ') + "\nreturn 'after the padding'\n";
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {
      {"plain.lua", "return 1 + 1, 'two'"},
      {"bom.lua", bom + "return 'bom'"},
      {"shebang.lua", "#!/usr/bin/lua\nreturn 3"},
      {"bom_shebang.lua", bom + "# first line\nreturn debug.getinfo(1, 'l').currentline"},
      {"broken_bom.lua", "\xEF\xBBreturn 1"},
      {"half_bom.lua", "\xEF"},
      {"syntax.lua", "\n\nlocal x = = 1"},
      {"shebang_syntax.lua", "#!lua\nlocal = 1"},
      {"raises.lua", "error('on purpose')"},
      {"empty.lua", ""},
      {"only_shebang.lua", "#!lua"},
      {"crlf.lua", "local a = 1\r\nlocal b = [[x\r\ny]]\r\nreturn a, #b, debug.getinfo(1, 'l').currentline"},
      {"big.lua", big},
      {"binary.luac", dumped("return 'precompiled', 42")},
      {"shebang_binary.luac", "#!lua\n" + dumped("return 'after the line'")},
      {"truncated.luac", dumped("return 1").substr(0, 20)},
  };
  for (const auto& f : files) {
    const std::string path = write(f.name, f.bytes);
    EXPECT_EQ(ours(path), luas(path)) << f.name;
  }
  // The cases above load or fail as intended, not all alike.
  EXPECT_EQ(ours(dir_ + "/bom_shebang.lua"), "0|@" + dir_ + "/bom_shebang.lua|2,");
  const std::string binary = ours(dir_ + "/binary.luac");
  EXPECT_EQ(binary.substr(binary.rfind('|')), "|precompiled,42,");
  EXPECT_EQ(ours(dir_ + "/syntax.lua").substr(0, 2), std::to_string(LUA_ERRSYNTAX) + "|");
}

TEST_F(ScriptFileTest, OpenAndReadFailuresReadLikeLuas) {
  const std::string missing = dir_ + "/missing.lua";
  EXPECT_EQ(ours(missing), luas(missing));
  EXPECT_EQ(ours(missing), std::to_string(LUA_ERRFILE) + "|cannot open " + missing + ": No such file or directory");
  // A folder opens but cannot be read.
  EXPECT_EQ(ours(dir_), luas(dir_));
  EXPECT_NE(ours(dir_).find("cannot read " + dir_ + ": "), std::string::npos);
}

TEST_F(ScriptFileTest, TheNameIsTheCallersNotThePathOpened) {
  const std::string path = write("init.lua", "\nreturn debug.getinfo(1, 'S').source, x.y");
  const char* name =
      "Z:\\tools\\?? Gr\xF6\xDF"
      "e\\init.lua";
  NarrowFile file(path);
  ASSERT_EQ(load_script_file(L_, file, name), LUA_OK);
  ASSERT_NE(lua_pcall(L_, 0, 1, 0), LUA_OK);
  // Error positions use the name (shortened by Lua as for any chunk).
  EXPECT_STREQ(lua_tostring(L_, -1),
               "Z:\\tools\\?? Gr\xF6\xDF"
               "e\\init.lua:2: attempt to index a nil value (global 'x')");
  lua_pop(L_, 1);

  NarrowFile gone(dir_ + "/not-there.lua");
  EXPECT_EQ(load_script_file(L_, gone, name), LUA_ERRFILE);
  EXPECT_EQ(std::string(lua_tostring(L_, -1)), std::string("cannot open ") + name + ": No such file or directory");
  lua_pop(L_, 1);
  EXPECT_EQ(lua_gettop(L_), 0);
}

TEST_F(ScriptFileTest, AFailedReopenIsReportedWithTheName) {
  const std::string path = write("c.luac", dumped("return 1"));
  NarrowFile file(path, true);
  EXPECT_EQ(load_script_file(L_, file, "C:\\x\\init.lua"), LUA_ERRFILE);
  EXPECT_EQ(std::string(lua_tostring(L_, -1)), "cannot reopen C:\\x\\init.lua: Permission denied");
  lua_pop(L_, 1);
  EXPECT_EQ(lua_gettop(L_), 0);
}

}  // namespace
