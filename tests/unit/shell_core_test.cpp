#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/shell_rules.hpp"

namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, BlanksSeparateAndQuotesGroup) {
  EXPECT_EQ(split_command_line("prog a \"b c\""), (Args{"prog", "a", "b c"}));
  EXPECT_EQ(split_command_line("prog   a\t\tb  "), (Args{"prog", "a", "b"}));
  EXPECT_EQ(split_command_line("prog a\"b c\"d e"), (Args{"prog", "ab cd", "e"}));
  EXPECT_EQ(split_command_line("prog \"\" x"), (Args{"prog", "", "x"}));
  EXPECT_EQ(split_command_line("prog \"open to the end"), (Args{"prog", "open to the end"}));
  EXPECT_EQ(split_command_line("prog"), (Args{"prog"}));
  EXPECT_EQ(split_command_line(""), Args{});
}

TEST(CommandLine, BackslashesEscapeOnlyBeforeQuotes) {
  EXPECT_EQ(split_command_line(R"(p a\\b d"e f"g h)"), (Args{"p", R"(a\\b)", "de fg", "h"}));
  EXPECT_EQ(split_command_line(R"(p a\\\"b c d)"), (Args{"p", R"(a\"b)", "c", "d"}));
  EXPECT_EQ(split_command_line(R"(p a\\\\"b c" d e)"), (Args{"p", R"(a\\b c)", "d", "e"}));
  EXPECT_EQ(split_command_line(R"(p "C:\dir\\" next)"), (Args{"p", R"(C:\dir\)", "next"}));
  EXPECT_EQ(split_command_line(R"(p trailing\\)"), (Args{"p", R"(trailing\\)"}));
  // Inside quotes a doubled quote is one literal quote and quoting goes on.
  EXPECT_EQ(split_command_line(R"(p a"b"" c d)"), (Args{"p", R"(ab" c d)"}));
}

TEST(CommandLine, ProgramNameTakesBackslashesLiterally) {
  EXPECT_EQ(split_command_line(R"("C:\Program Files\x.exe" a)"), (Args{R"(C:\Program Files\x.exe)", "a"}));
  EXPECT_EQ(split_command_line(R"(C:\dir\x.exe\" a)"), (Args{R"(C:\dir\x.exe\ a)"}));
  EXPECT_EQ(split_command_line(R"(Z:\a\b.exe x)"), (Args{R"(Z:\a\b.exe)", "x"}));
}

TEST(CommandLine, StopsAtAnEmbeddedZero) {
  EXPECT_EQ(split_command_line(std::string_view("p a\0b", 5)), (Args{"p", "a"}));
}

TEST(CommandLine, IndexSelectsJoinsOrGivesEmpty) {
  const Args argv = split_command_line("prog a \"b c\"   \"\" d");
  EXPECT_EQ(command_argument(argv, -1), "a b c  d");  // the empty argument keeps its place
  EXPECT_EQ(command_argument(argv, -2147483647 - 1), "a b c  d");
  EXPECT_EQ(command_argument(argv, 0), "prog");
  EXPECT_EQ(command_argument(argv, 2), "b c");
  EXPECT_EQ(command_argument(argv, 4), "d");
  EXPECT_EQ(command_argument(argv, 5), "");
  EXPECT_EQ(command_argument(argv, 2147483647), "");
  const Args alone = split_command_line("prog");
  EXPECT_EQ(command_argument(alone, -1), "");
  EXPECT_EQ(command_argument(Args{}, 0), "");
  EXPECT_EQ(command_argument(Args{}, -1), "");
}

TEST(DirFilter, DefaultMaskTakesPlainReadOnlyAndArchiveFiles) {
  EXPECT_TRUE(dir_entry_accepted(0x00, kDefaultDirMask));
  EXPECT_TRUE(dir_entry_accepted(kAttrArchive, kDefaultDirMask));
  EXPECT_TRUE(dir_entry_accepted(kAttrArchive | kAttrReadOnly, kDefaultDirMask));
  EXPECT_FALSE(dir_entry_accepted(kAttrArchive | kAttrHidden, kDefaultDirMask));
  EXPECT_FALSE(dir_entry_accepted(kAttrDirectory, kDefaultDirMask));
  EXPECT_FALSE(dir_entry_accepted(kAttrSystem, kDefaultDirMask));
}

TEST(DirFilter, ArchiveBitIsAddedOnlyWithoutTheDirectoryBit) {
  // Directories only: files with the archive bit are left out.
  EXPECT_TRUE(dir_entry_accepted(kAttrDirectory, 0x10));
  EXPECT_TRUE(dir_entry_accepted(0x00, 0x10));
  EXPECT_FALSE(dir_entry_accepted(kAttrArchive, 0x10));
  EXPECT_FALSE(dir_entry_accepted(kAttrDirectory | kAttrHidden, 0x10));
  EXPECT_FALSE(dir_entry_accepted(kAttrDirectory | kAttrArchive, 0x10));
  EXPECT_TRUE(dir_entry_accepted(kAttrDirectory | kAttrArchive, 0x30));
  // Hidden files are found only when asked for, with the archive bit implied.
  EXPECT_TRUE(dir_entry_accepted(kAttrHidden | kAttrArchive, 0x02));
  EXPECT_FALSE(dir_entry_accepted(kAttrHidden | kAttrReadOnly, 0x02));
  // Only the low eight bits of mask and attributes count.
  EXPECT_TRUE(dir_entry_accepted(0x100 | kAttrArchive, 0x100));
  EXPECT_FALSE(dir_entry_accepted(kAttrDirectory, 0x100 | 0x01));
  EXPECT_TRUE(dir_entry_accepted(kAttrReadOnly | 0x80, 0xFF));
}

std::string bytes(const char* p, std::size_t n) { return std::string(p, n); }

TEST(FileDialogBuffers, ArgumentCountChoosesTheInputs) {
  FileDialogBuffers b;
  const std::string_view none[3];
  fill_file_dialog_buffers(b, 0, none);
  EXPECT_STREQ(b.file, "");
  EXPECT_EQ(bytes(b.filter, kDefaultFileFilterSize),
            std::string("Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0\0", 46));
  EXPECT_STREQ(b.extension, "txt");

  const std::string_view one[3] = {"notes.txt"};
  fill_file_dialog_buffers(b, 1, one);
  EXPECT_STREQ(b.file, "notes.txt");
  EXPECT_EQ(bytes(b.filter, kDefaultFileFilterSize), bytes(kDefaultFileFilter, kDefaultFileFilterSize));
  EXPECT_STREQ(b.extension, "txt");

  const std::string_view lua("Lua\0*.lua\0", 10);
  const std::string_view two[3] = {lua, "lua"};
  fill_file_dialog_buffers(b, 2, two);
  EXPECT_STREQ(b.file, "");
  EXPECT_EQ(bytes(b.filter, 12), std::string("Lua\0*.lua\0\0\0", 12));
  EXPECT_STREQ(b.extension, "lua");

  const std::string_view three[3] = {"a.md", std::string_view("Md\0*.md", 7), "md"};
  fill_file_dialog_buffers(b, 3, three);
  EXPECT_STREQ(b.file, "a.md");
  EXPECT_EQ(bytes(b.filter, 9), std::string("Md\0*.md\0\0", 9));
  EXPECT_STREQ(b.extension, "md");

  const std::string_view four[3] = {"x", "y", "z"};
  fill_file_dialog_buffers(b, 4, four);
  EXPECT_STREQ(b.file, "");
  EXPECT_STREQ(b.extension, "txt");
  EXPECT_STREQ(b.filter, "Text Files (*.txt)");
}

TEST(FileDialogBuffers, LongInputsAreCutAndStayTerminated) {
  FileDialogBuffers b;
  const std::string long_name(400, 'n');
  const std::string long_filter(400, 'f');
  const std::string_view args[3] = {long_name, long_filter, long_name};
  fill_file_dialog_buffers(b, 3, args);
  EXPECT_EQ(std::string(b.file), std::string(259, 'n'));
  EXPECT_EQ(b.file[259], '\0');
  EXPECT_EQ(std::string(b.extension), std::string(259, 'n'));
  EXPECT_EQ(bytes(b.filter, 258), std::string(258, 'f'));
  EXPECT_EQ(b.filter[258], '\0');
  EXPECT_EQ(b.filter[259], '\0');

  // Names stop at their first zero byte; filter lists keep theirs.
  const std::string_view zeroed[3] = {std::string_view("ab\0cd", 5), std::string_view("A\0*.a\0B\0*.b", 11),
                                      std::string_view("e\0f", 3)};
  fill_file_dialog_buffers(b, 3, zeroed);
  EXPECT_EQ(bytes(b.file, 5), std::string("ab\0\0\0", 5));
  EXPECT_EQ(bytes(b.extension, 3), std::string("e\0\0", 3));
  EXPECT_EQ(bytes(b.filter, 13), std::string("A\0*.a\0B\0*.b\0\0", 13));

  // A filter of exactly 258 bytes fits; the 259th byte is dropped.
  const std::string f259 = std::string(258, 'g') + "h";
  const std::string_view edge[3] = {"", f259, ""};
  fill_file_dialog_buffers(b, 3, edge);
  EXPECT_EQ(bytes(b.filter, 260), std::string(258, 'g') + std::string(2, '\0'));
}

}  // namespace
