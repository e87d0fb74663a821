#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/paths.hpp"
#include "core/rounding.hpp"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(round_half_even(2.5), 2.0);
  EXPECT_EQ(round_half_even(3.5), 4.0);
  EXPECT_EQ(round_half_even(-2.5), -2.0);
  EXPECT_EQ(round_half_even(-1.5), -2.0);
  EXPECT_EQ(round_half_even(0.5), 0.0);
  EXPECT_EQ(round_half_even(10.4999), 10.0);
  EXPECT_EQ(round_half_even(11.5), 12.0);
  EXPECT_EQ(round_half_even(99.5), 100.0);
  EXPECT_EQ(round_half_even(100.5), 100.0);
}

TEST(Rounding, IgnoresAModeLeftBehindByOtherCode) {
  std::fesetround(FE_UPWARD);
  EXPECT_EQ(round_half_even(2.5), 2.0);
  EXPECT_EQ(round_half_even(2.2), 2.0);
  EXPECT_EQ(std::fegetround(), FE_UPWARD);
  std::fesetround(FE_TONEAREST);
}

TEST(Rounding, Narrowing32BitsUsesIntegerIndefiniteOutOfRange) {
  EXPECT_EQ(number_to_i32(10.5), 10);
  EXPECT_EQ(number_to_i32(-2147483648.0), INT32_MIN);
  EXPECT_EQ(number_to_i32(2147483647.0), INT32_MAX);
  EXPECT_EQ(number_to_i32(2147483647.5), INT32_MIN);  // rounds to 2^31: out of range
  EXPECT_EQ(number_to_i32(2147483648.0), INT32_MIN);
  EXPECT_EQ(number_to_i32(-2147483649.0), INT32_MIN);
  EXPECT_EQ(number_to_i32(kNaN), INT32_MIN);
  EXPECT_EQ(number_to_i32(kInf), INT32_MIN);
}

TEST(Rounding, SixtyFourBitConversions) {
  EXPECT_EQ(number_to_i64(4294967296.5), 4294967296LL);
  EXPECT_EQ(number_to_i64(-9223372036854775808.0), INT64_MIN);
  EXPECT_EQ(number_to_i64(9223372036854775808.0), INT64_MIN);
  EXPECT_EQ(number_to_i64(kNaN), INT64_MIN);
  // A style of 2^31 as a float keeps its top bit in the low 32 bits.
  EXPECT_EQ(static_cast<std::uint32_t>(number_to_i64(2147483648.0)), 0x80000000u);

  EXPECT_EQ(number_to_u64(1.4), 1u);
  EXPECT_EQ(number_to_u64(1.5), 2u);
  EXPECT_EQ(number_to_u64(-1.0), UINT64_MAX);
  EXPECT_EQ(number_to_u64(18446744073709549568.0), 18446744073709549568ull);
  EXPECT_EQ(number_to_u64(18446744073709551616.0), 0u);
  EXPECT_EQ(number_to_u64(kNaN), 0u);
}

TEST(Rounding, CallbackResultsSaturateAndNaNIsZero) {
  EXPECT_EQ(callback_result(2.5), 2);
  EXPECT_EQ(callback_result(-1.5), -2);
  EXPECT_EQ(callback_result(kNaN), 0);
  EXPECT_EQ(callback_result(1e300), INT64_MAX);
  EXPECT_EQ(callback_result(-kInf), INT64_MIN);
  EXPECT_EQ(callback_result(9007199254740993.0), 9007199254740992LL);  // past 2^53: inexact
}

TEST(Paths, InitScriptBesideTheProgram) {
  EXPECT_EQ(init_script_path("C:\\apps\\scripthost.exe"), "C:\\apps\\init.lua");
  EXPECT_EQ(init_script_path("\\\\server\\share\\x\\host.exe"), "\\\\server\\share\\x\\init.lua");
  // A drive root keeps its backslash; the separator follows it.
  EXPECT_EQ(init_script_path("C:\\scripthost.exe"), "C:\\\\init.lua");
  EXPECT_EQ(init_script_path("z:\\a.exe"), "z:\\\\init.lua");
  // Only a letter and a colon make a drive.
  EXPECT_EQ(init_script_path("1:\\a.exe"), "1:\\init.lua");
  EXPECT_EQ(init_script_path("ab\\a.exe"), "ab\\init.lua");
  EXPECT_EQ(init_script_path("scripthost.exe"), "\\init.lua");
  EXPECT_EQ(init_script_path(""), "\\init.lua");
}

TEST(Paths, WideNamesFollowTheSameRules) {
  EXPECT_EQ(init_script_path(std::wstring(L"Z:\\\u5DE5\u5177 Gr\u00F6\u00DFe\\scripthost.exe")),
            L"Z:\\\u5DE5\u5177 Gr\u00F6\u00DFe\\init.lua");
  EXPECT_EQ(init_script_path(std::wstring(L"C:\\scripthost.exe")), L"C:\\\\init.lua");
  EXPECT_EQ(init_script_path(std::wstring(L"1:\\a.exe")), L"1:\\init.lua");
  EXPECT_EQ(init_script_path(std::wstring()), L"\\init.lua");
  EXPECT_EQ(module_directory(std::wstring(L"D:\\")), L"D:\\");
  EXPECT_EQ(module_directory(std::wstring(L"app.exe")), L"");
}

TEST(Paths, ModuleDirectory) {
  EXPECT_EQ(module_directory("C:\\apps\\tool\\scripthost.exe"), "C:\\apps\\tool");
  EXPECT_EQ(module_directory("C:\\app.exe"), "C:\\");
  EXPECT_EQ(module_directory("D:\\"), "D:\\");
  EXPECT_EQ(module_directory("C:\\apps\\"), "C:\\apps");
  EXPECT_EQ(module_directory("app.exe"), "");
  EXPECT_EQ(module_directory("C:app.exe"), "");
}

}  // namespace
