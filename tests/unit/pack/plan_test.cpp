#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/plan.hpp"
#include "core/text.hpp"

namespace {

using Names = std::vector<std::string>;

TEST(RuntimeClosure, FollowsImportsThroughTheRuntimeFolderOnly) {
  const std::map<std::string, Names> imports{
      {"orbix.dll", {"lua53.dll", "SDL2.dll", "SDL2_ttf.dll", "KERNEL32.dll"}},
      {"SDL2_ttf.dll", {"sdl2.DLL", "msvcrt.dll"}},
      {"SDL2.dll", {"user32.dll"}},
      {"lua53.dll", {"kernel32.dll"}},
      {"loop_a.dll", {"loop_b.dll"}},
      {"loop_b.dll", {"LOOP_A.dll"}},
  };
  const Names available{"lua53.dll",    "orbix.dll",  "SDL2.dll",   "SDL2_ttf.dll",
                        "SDL2_gfx.dll", "loop_a.dll", "loop_b.dll", "broken.dll"};
  Names read;
  const ImportReader reader = [&](const std::string& f, Names& out) -> std::string {
    read.push_back(f);
    if (f == "broken.dll") return "not a Windows program or DLL";
    out = imports.at(f);
    return {};
  };
  Names got;
  ASSERT_EQ(runtime_closure({"LUA53.dll", "kernel32.dll", "Orbix.DLL"}, available, reader, got), "");
  EXPECT_EQ(got, (Names{"lua53.dll", "orbix.dll", "SDL2.dll", "SDL2_ttf.dll"}));  // no SDL2_gfx
  EXPECT_EQ(read, got);                                                           // each file read once
  ASSERT_EQ(runtime_closure({"loop_a.dll"}, available, reader, got), "");
  EXPECT_EQ(got, (Names{"loop_a.dll", "loop_b.dll"}));
  got = {"kept"};
  EXPECT_EQ(runtime_closure({"lua53.dll", "broken.dll"}, available, reader, got),
            "broken.dll: not a Windows program or DLL");
  EXPECT_EQ(got, Names{"kept"});
}

TEST(Licences, EachShippedPartBringsItsTexts) {
  LicenceNeeds n = licences_for({"scripthost.exe", "lua53.dll"});
  EXPECT_EQ(n.folders, Names{"lua5.3"});
  EXPECT_TRUE(n.unknown.empty());
  n = licences_for({"scripthost.exe", "LUA53.DLL", "orbix.dll", "SDL2.dll", "SDL2_image.dll", "SDL2_mixer.dll",
                    "SDL2_ttf.dll", "SDL2_gfx.dll", "setvar.dll", "lua_fsop.dll", "libpng16-16.dll"});
  EXPECT_EQ(n.folders,
            (Names{"lua5.3", "libsdl2", "libsdl2-image", "libsdl2-mixer", "libsdl2-ttf", "freetype", "libsdl2-gfx"}));
  EXPECT_EQ(n.unknown, Names{"libpng16-16.dll"});
}

TEST(Clash, AppFilesMustNotLandOnThePackersOwn) {
  const Names own{"Démo.exe", "lua53.dll", "licenses/lua5.3/LICENSE.txt", "Démo.exe.manifest"};
  EXPECT_EQ(first_clash({"init.lua", "data/lua53.dll", "licenses/mine.txt", "licenses/lua5.3/extra.txt"}, own), "");
  EXPECT_EQ(first_clash({"init.lua", "LUA53.DLL"}, own), "LUA53.DLL");
  EXPECT_EQ(first_clash({"licenses\\LUA5.3\\license.TXT"}, own), "licenses\\LUA5.3\\license.TXT");
  EXPECT_EQ(first_clash({"licenses"}, own), "licenses");                          // a file where a folder goes
  EXPECT_EQ(first_clash({"lua53.dll/readme.txt"}, own), "lua53.dll/readme.txt");  // a folder where a file goes
  EXPECT_EQ(first_clash({"Démo.exe.manifest"}, own), "Démo.exe.manifest");
}

TEST(Clash, NamesThatOnlyCaseTellsApart) {
  using Twins = std::pair<std::string, std::string>;
  EXPECT_EQ(first_case_twins({"init.lua", "Data/a.txt", "data/b.txt", "x.lua"}), Twins{});
  EXPECT_EQ(first_case_twins({"init.lua", "Data.txt", "b.lua", "data.TXT"}), (Twins{"Data.txt", "data.TXT"}));
  EXPECT_EQ(first_case_twins({"lib/Helper.lua", "LIB\\helper.lua"}), (Twins{"lib/Helper.lua", "LIB\\helper.lua"}));
  EXPECT_EQ(first_case_twins({"notes", "notes.txt", "notes-old", "Notes/todo.txt"}),
            (Twins{"notes", "Notes/todo.txt"}));
  EXPECT_EQ(first_case_twins({"a.lua", "a.luac", "a.lu"}), Twins{});
}

TEST(Text, Utf8AndUtf16RoundTripAndMarkWhatIsBroken) {
  const std::string s = "Démo ✓ \xF0\x9F\x98\x80";
  const std::u16string w = utf8_to_utf16(s);
  EXPECT_EQ(w, (std::u16string{u'D', 0xE9, u'm', u'o', u' ', 0x2713, u' ', 0xD83D, 0xDE00}));
  EXPECT_EQ(utf16_to_utf8(w), s);
  EXPECT_EQ(utf8_to_utf16("a\xFF"
                          "b"),
            u"a\uFFFDb");
  EXPECT_EQ(utf8_to_utf16("a\xE2\x82"
                          "b"),
            u"a\uFFFDb");                               // cut sequence
  EXPECT_EQ(utf8_to_utf16("\xC0\xAF"), u"\uFFFD");      // overlong '/'
  EXPECT_EQ(utf8_to_utf16("\xED\xA0\x80"), u"\uFFFD");  // a surrogate
  EXPECT_EQ(utf16_to_utf8(std::u16string{u'a', 0xD800, u'b'}),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_TRUE(same_file_name("SDL2_TTF.dll", "sdl2_ttf.DLL"));
  EXPECT_FALSE(same_file_name("sdl2.dll", "sdl2.dl"));
}

}  // namespace
