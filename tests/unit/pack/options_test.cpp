#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/options.hpp"

namespace {

using Args = std::vector<std::string>;

std::string parse(const Args& a, PackOptions& o) { return parse_pack_args(a, o); }

TEST(PackArgs, PositionalsAndOptionsInAnyOrder) {
  PackOptions o;
  ASSERT_EQ(parse({"--utf8", "my app", "--name", "Démo App", "out dir", "--icon=a b.ico", "--version=2.3"}, o), "");
  EXPECT_EQ(o.app_dir, "my app");
  EXPECT_EQ(o.out_dir, "out dir");
  EXPECT_EQ(o.name, "Démo App");
  EXPECT_EQ(o.icon, "a b.ico");
  EXPECT_EQ(o.version, (Version{2, 3, 0, 0}));
  EXPECT_TRUE(o.utf8);

  PackOptions d;
  ASSERT_EQ(parse({"app", "out", "--name=Tool.EXE"}, d), "");
  EXPECT_EQ(d.name, "Tool");  // not Tool.EXE.exe
  EXPECT_EQ(d.version, (Version{1, 0, 0, 0}));
  EXPECT_TRUE(d.icon.empty());
  EXPECT_FALSE(d.utf8);

  PackOptions h;
  ASSERT_EQ(parse({"--help"}, h), "");
  EXPECT_TRUE(h.help);
}

TEST(PackArgs, MistakesAreNamedAndLeaveTheOptionsAlone) {
  const std::vector<std::pair<Args, std::string>> cases{
      {{"app", "out"}, "--name NAME is needed"},
      {{"app", "--name", "x"}, "APP_DIR and OUT_DIR are both needed"},
      {{"app", "out", "more", "--name", "x"}, "unexpected argument \"more\""},
      {{"app", "out", "--name"}, "--name needs a value"},
      {{"app", "out", "--name", "x", "--name", "y"}, "--name is given twice"},
      {{"app", "out", "--name", "x", "--colour", "red"}, "unknown option --colour"},
      {{"app", "out", "--name", "x", "--icon="}, "--icon needs a file name"},
      {{"app", "out", "--name", "x", "--version", "1.2.x"}, "not \"1.2.x\""},
      {{"app", "out", "--name", "a|b"}, "holds the character |"},
      {{"", "out", "--name", "x"}, "must not be empty"},
  };
  for (const auto& [args, want] : cases) {
    PackOptions o;
    o.name = "untouched";
    const std::string got = parse(args, o);
    EXPECT_NE(got.find(want), std::string::npos) << got;
    EXPECT_EQ(o.name, "untouched");
  }
}

TEST(PackArgs, NamesThatCannotBeFileNames) {
  for (const char* bad : {"a<b", "a>b", "a:b", "a\"b", "a/b", "a\\b", "a|b", "a?b", "a*b", "tab\there"}) {
    EXPECT_NE(app_name_problem(bad), "") << bad;
  }
  EXPECT_NE(app_name_problem(""), "");
  EXPECT_NE(app_name_problem("ends."), "");
  EXPECT_NE(app_name_problem("ends "), "");
  for (const char* device : {"CON", "con", "Nul", "aux.tool", "PRN ", "COM1", "lpt9", "com0.app", "CONIN$"}) {
    EXPECT_NE(app_name_problem(device), "") << device;
  }
  for (const char* good : {"Démo App", "Console", "COM10", "lpt", "a.b.c", "x-1_2 (beta)", "日本語"}) {
    EXPECT_EQ(app_name_problem(good), "") << good;
  }
}

TEST(PackArgs, NameLengthCountsUtf16UnitsOfTheManifestName) {
  EXPECT_EQ(app_name_problem(std::string(242, 'a')), "");
  EXPECT_NE(app_name_problem(std::string(243, 'a')), "");
  // U+1F600 takes two UTF-16 units (four UTF-8 bytes).
  std::string wide;
  for (int i = 0; i < 121; ++i) wide += "\xF0\x9F\x98\x80";
  EXPECT_EQ(app_name_problem(wide), "");
  EXPECT_NE(app_name_problem(wide + "a"), "");
}

TEST(PackVersion, PartsAndLimits) {
  Version v{};
  ASSERT_TRUE(parse_version("1.2.3.4", v));
  EXPECT_EQ(v, (Version{1, 2, 3, 4}));
  ASSERT_TRUE(parse_version("65535.0.00007", v));
  EXPECT_EQ(v, (Version{65535, 0, 7, 0}));
  ASSERT_TRUE(parse_version("3", v));
  EXPECT_EQ(version_text(v), "3.0.0.0");
  v = Version{9, 9, 9, 9};
  for (const char* bad : {"", "65536", "1..2", ".1", "1.", "1.2.3.4.5", "a", "+1", "1 .2", "-1", "000001", "1.2,3"}) {
    EXPECT_FALSE(parse_version(bad, v)) << bad;
  }
  EXPECT_EQ(v, (Version{9, 9, 9, 9}));
}

}  // namespace
