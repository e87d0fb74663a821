#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "core/text_bounds.hpp"

namespace {

TEST(CopyCut, StopsAtTheFirstZeroByteAndTerminates) {
  char buf[8];
  std::memset(buf, 'x', sizeof buf);
  const std::string s("ab\0cd", 5);
  EXPECT_EQ(copy_cut(buf, sizeof buf, s.data(), s.size()), 2u);
  EXPECT_STREQ(buf, "ab");
}

TEST(CopyCut, NeverFillsTheLastByte) {
  char buf[8];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(copy_cut(buf, sizeof buf, "0123456789", 10), 7u);
  EXPECT_STREQ(buf, "0123456");
  // Exactly one byte short of the buffer fits whole.
  EXPECT_EQ(copy_cut(buf, sizeof buf, "abcdefg", 7), 7u);
  EXPECT_STREQ(buf, "abcdefg");
}

TEST(CopyCut, NullSourceAndTinyBuffers) {
  char buf[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(copy_cut(buf, sizeof buf, nullptr, 99), 0u);
  EXPECT_EQ(buf[0], '\0');
  buf[0] = 'x';
  EXPECT_EQ(copy_cut(buf, 1, "abc", 3), 0u);
  EXPECT_EQ(buf[0], '\0');
  EXPECT_EQ(buf[1], 'x');
  EXPECT_EQ(copy_cut(buf, 0, "abc", 3), 0u);  // writes nothing at all
  EXPECT_EQ(buf[1], 'x');
}

TEST(CopyCut, FaceNameKeepsThirtyOneBytes) {
  char face[32];
  const std::string forty(40, 'F');
  EXPECT_EQ(copy_cut(face, sizeof face, forty.data(), forty.size()), 31u);
  EXPECT_EQ(std::string(face), forty.substr(0, 31));
}

TEST(TextFits, CountsTheTerminatorAndTheCharacterWidth) {
  EXPECT_TRUE(text_fits(32766, 1, 32767));
  EXPECT_FALSE(text_fits(32767, 1, 32767));
  EXPECT_TRUE(text_fits(16383, 2, 32767));
  EXPECT_FALSE(text_fits(16384, 2, 32767));
  EXPECT_TRUE(text_fits(0, 1, 1));
  EXPECT_FALSE(text_fits(-1, 1, 32767)) << "a failed length query";
  EXPECT_FALSE(text_fits(5, 0, 32767));
  EXPECT_FALSE(text_fits(0, 1, 0));
  EXPECT_FALSE(text_fits(INT64_MAX, 2, 32767)) << "no overflow";
}

TEST(ClampRequest, NeverMoreThanTheBuffer) {
  EXPECT_EQ(clamp_request(100, 32767), 100u);
  EXPECT_EQ(clamp_request(1000000, 32767), 32767u);
  EXPECT_EQ(clamp_request(UINT64_MAX, 32767), 32767u) << "wParam -1";
  EXPECT_EQ(clamp_request(65535, 32766), 32766u);
}

constexpr std::size_t kWide = 16384, kBytes = 32767;

TEST(TextRange, EndMarkerConvertsNothing) {
  const TextRangePlan p = plan_text_range(0, -1, kWide, kBytes);
  EXPECT_FALSE(p.send);
  EXPECT_EQ(p.convert_bytes, 0);
}

TEST(TextRange, ByteCountIsTheRangePlusTheTerminator) {
  const TextRangePlan p = plan_text_range(5, 9, kWide, kBytes);
  EXPECT_TRUE(p.send);
  EXPECT_EQ(p.cp_min, 5);
  EXPECT_EQ(p.cp_max, 9);
  EXPECT_EQ(p.convert_bytes, 5);
}

TEST(TextRange, LongRangesAreCutToTheWideBuffer) {
  TextRangePlan p = plan_text_range(0, 20000, kWide, kBytes);
  EXPECT_TRUE(p.send);
  EXPECT_EQ(p.cp_max - p.cp_min, 16383);
  EXPECT_EQ(p.convert_bytes, 20001);
  p = plan_text_range(100, 100 + 16383, kWide, kBytes);
  EXPECT_EQ(p.cp_max, 100 + 16383) << "exactly what fits is left alone";
  p = plan_text_range(1000, INT32_MAX, kWide, kBytes);
  EXPECT_EQ(p.cp_max, 1000 + 16383);
  EXPECT_EQ(p.convert_bytes, 32767) << "limited to the byte buffer";
}

TEST(TextRange, BackwardAndNegativeRangesAreNotSent) {
  EXPECT_FALSE(plan_text_range(9, 5, kWide, kBytes).send);
  EXPECT_FALSE(plan_text_range(-3, 4, kWide, kBytes).send);
  EXPECT_FALSE(plan_text_range(-1, -1, kWide, kBytes).send);
  EXPECT_FALSE(plan_text_range(INT32_MIN, INT32_MAX, kWide, kBytes).send);
  const TextRangePlan same = plan_text_range(4, 4, kWide, kBytes);
  EXPECT_TRUE(same.send);
  EXPECT_EQ(same.convert_bytes, 1);
}

TEST(DateFields, LowSixteenBitsAndTheDayOfTheWeek) {
  EXPECT_EQ(glue::low16_unsigned(2024 + 65536), 2024);
  EXPECT_EQ(glue::low16_unsigned(-1), 0xFFFF);
  EXPECT_EQ(wday_from_record(0), 1);
  EXPECT_EQ(wday_from_record(6), 7);
  EXPECT_EQ(wday_to_record(1), 0);
  EXPECT_EQ(wday_to_record(0), 0xFFFF);
}

}  // namespace
