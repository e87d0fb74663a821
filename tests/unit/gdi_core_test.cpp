#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/gdi_range.hpp"
#include "core/text_bounds.hpp"
#include "core/text_stream.hpp"
#include "core/wide_path.hpp"

namespace {

// Runs a test body under one locale and restores the previous one.
class LocaleScope {
 public:
  explicit LocaleScope(const char* name) : saved_(std::setlocale(LC_ALL, nullptr)) {
    ok_ = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~LocaleScope() { std::setlocale(LC_ALL, saved_.c_str()); }
  bool ok() const { return ok_; }

 private:
  std::string saved_;
  bool ok_ = false;
};

// Stand-ins for the process code page's conversion.
// A single-byte code page that gives every byte a character.
bool latin1(const char* bytes, std::size_t n, std::wstring& wide) {
  wide.clear();
  for (std::size_t i = 0; i < n; ++i) wide += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
  return true;
}
// UTF-8, strict, through the C runtime (under a UTF-8 locale).
bool utf8(const char* bytes, std::size_t n, std::wstring& wide) {
  const std::string s(bytes, n);
  const std::size_t needed = std::mbstowcs(nullptr, s.c_str(), 0);
  if (needed == static_cast<std::size_t>(-1)) {
    wide = L"partial";  // what a failed conversion leaves must not matter
    return false;
  }
  wide.assign(needed + 1, L'\0');
  std::mbstowcs(&wide[0], s.c_str(), needed + 1);
  wide.resize(needed);
  return true;
}
std::string g_seen;
bool records(const char* bytes, std::size_t n, std::wstring& wide) {
  g_seen.assign(bytes, n);
  return latin1(bytes, n, wide);
}

TEST(WidenPath, AsciiNamesConvertAsTheyAre) {
  std::wstring w = L"stale";
  ASSERT_TRUE(widen_path("C:\\images\\logo.png", w, latin1));
  EXPECT_EQ(w, L"C:\\images\\logo.png");
}

TEST(WidenPath, EmptyOrMissingNameGivesNoName) {
  std::wstring w = L"stale";
  EXPECT_FALSE(widen_path("", w, latin1));
  EXPECT_TRUE(w.empty());
  EXPECT_FALSE(widen_path(nullptr, w, latin1));
}

TEST(WidenPath, NameEndsAtItsFirstZeroByte) {
  const char name[] = "a\xe9.png\0tail";
  std::wstring w;
  ASSERT_TRUE(widen_path(name, w, records));
  EXPECT_EQ(g_seen, "a\xe9.png");
  EXPECT_EQ(w, L"a\u00e9.png");
}

TEST(WidenPath, BytesTheCodePageRejectsBecomeQuestionMarks) {
  LocaleScope utf("C.UTF-8");
  if (!utf.ok()) GTEST_SKIP() << "no C.UTF-8 locale";
  std::wstring w;
  ASSERT_TRUE(widen_path("caf\xe9-\xff.png", w, utf8));
  EXPECT_EQ(w, L"caf?-?.png");
  // An invalid sequence anywhere falls back for the whole name.
  ASSERT_TRUE(widen_path("caf\xc3\xa9\xff.png", w, utf8));
  EXPECT_EQ(w, L"caf???.png");
}

TEST(WidenPath, CodePageConversionIsPreferred) {
  LocaleScope utf("C.UTF-8");
  if (!utf.ok()) GTEST_SKIP() << "no C.UTF-8 locale";
  std::wstring w;
  // CJK and accented letters, as a UTF-8 script names them.
  ASSERT_TRUE(
      widen_path("\xe5\xb7\xa5\xe5\x85\xb7 Gr\xc3\xb6\xc3\x9f"
                 "e.png",
                 w, utf8));
  EXPECT_EQ(w,
            L"\u5de5\u5177 Gr\u00f6\u00df"
            L"e.png");
  // The same bytes in a single-byte code page are six other letters.
  ASSERT_TRUE(widen_path("\xc3\xb6", w, latin1));
  EXPECT_EQ(w, L"\u00c3\u00b6");
}

TEST(CopyCut, StreamedTextCutsAtZeroAndAtCapacity) {
  char buf[8];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(copy_cut(buf, sizeof buf, "ab\0cd", 5), 2u);
  EXPECT_STREQ(buf, "ab");
  EXPECT_EQ(copy_cut(buf, sizeof buf, "0123456789", 10), 7u);
  EXPECT_STREQ(buf, "0123456");
  EXPECT_EQ(copy_cut(buf, sizeof buf, nullptr, 0), 0u);
  EXPECT_STREQ(buf, "");
}

TEST(StreamWrite, PiecesAppendAtThePosition) {
  std::vector<char> buf(16, 'x');
  std::int32_t pos = 0, done = -1;
  EXPECT_EQ(stream_write_piece(buf.data(), buf.size(), pos, "{\\rtf1", 6, done), kStreamGoOn);
  EXPECT_EQ(done, 6);
  EXPECT_EQ(stream_write_piece(buf.data(), buf.size(), pos, " x}", 3, done), kStreamGoOn);
  EXPECT_EQ(pos, 9);
  EXPECT_STREQ(buf.data(), "{\\rtf1 x}");
}

TEST(StreamWrite, AFullBufferStopsTheStreamWithWhatFits) {
  // A guard zone after the usable capacity catches any write past it.
  constexpr std::size_t kCap = 10;
  std::vector<char> buf(kCap + 8, 'G');
  std::int32_t pos = 0, done = 0;
  EXPECT_EQ(stream_write_piece(buf.data(), kCap, pos, "abcdef", 6, done), kStreamGoOn);
  EXPECT_EQ(stream_write_piece(buf.data(), kCap, pos, "ghijkl", 6, done), kStreamBufferFull);
  EXPECT_EQ(done, 3);
  EXPECT_EQ(pos, 9);
  EXPECT_STREQ(buf.data(), "abcdefghi");
  // Once full, nothing more is taken.
  EXPECT_EQ(stream_write_piece(buf.data(), kCap, pos, "m", 1, done), kStreamBufferFull);
  EXPECT_EQ(done, 0);
  EXPECT_EQ(pos, 9);
  for (std::size_t i = kCap; i < buf.size(); ++i) EXPECT_EQ(buf[i], 'G') << i;
}

TEST(StreamWrite, AnExactFitStillGoesOn) {
  char buf[5];
  std::int32_t pos = 0, done = 0;
  EXPECT_EQ(stream_write_piece(buf, sizeof buf, pos, "abcd", 4, done), kStreamGoOn);
  EXPECT_STREQ(buf, "abcd");
  EXPECT_EQ(stream_write_piece(buf, sizeof buf, pos, "", 0, done), kStreamGoOn);
}

TEST(StreamWrite, AStrayPositionIsClampedIntoTheBuffer) {
  std::vector<char> buf(8 + 4, 'G');
  std::int32_t pos = 1000, done = 0;
  EXPECT_EQ(stream_write_piece(buf.data(), 8, pos, "zz", 2, done), kStreamBufferFull);
  EXPECT_EQ(pos, 7);
  EXPECT_EQ(buf[8], 'G');
  pos = -5;
  EXPECT_EQ(stream_write_piece(buf.data(), 8, pos, "zz", 2, done), kStreamGoOn);
  EXPECT_EQ(pos, 2);
}

TEST(StreamRead, DeliversTheTextInPiecesThenZero) {
  const char text[] = "0123456789";
  std::int32_t pos = 0, done = -1;
  char piece[4];
  std::string got;
  for (;;) {
    EXPECT_EQ(stream_read_piece(text, 10, pos, piece, sizeof piece, done), kStreamGoOn);
    if (done == 0) break;
    got.append(piece, done);
  }
  EXPECT_EQ(got, "0123456789");
  EXPECT_EQ(pos, 10);
  // A position beyond the text reads as the end, never past it.
  pos = 50;
  EXPECT_EQ(stream_read_piece(text, 10, pos, piece, sizeof piece, done), kStreamGoOn);
  EXPECT_EQ(done, 0);
}

}  // namespace

TEST(GdiRange, CoordinatesAndExtentsStayWithin27Bits) {
  const int max = static_cast<int>(kGdiCoordinateMax);
  const int ok[] = {-5, 0, 640, 480};
  EXPECT_TRUE(shape_fits_gdi(ok, 4));
  const int edge[] = {0, 0, max, max};
  EXPECT_TRUE(shape_fits_gdi(edge, 4));
  const int wide[] = {0, 0, max + 1, 25};
  EXPECT_FALSE(shape_fits_gdi(wide, 4));
  const int int_max[] = {0, 0, 2147483647, 25};
  EXPECT_FALSE(shape_fits_gdi(int_max, 4));
  const int negative[] = {-max - 1, 0, 0, 25};
  EXPECT_FALSE(shape_fits_gdi(negative, 4));
  // Both corners in range, their distance not.
  const int span[] = {-max, 0, max, 25};
  EXPECT_FALSE(shape_fits_gdi(span, 4));
  // Corner sizes and arc end points count too.
  const int round[] = {0, 0, 50, 25, 7, 1 << 30};
  EXPECT_FALSE(shape_fits_gdi(round, 6));
  const int arc[] = {0, 0, 50, 25, 0, 0, 5, 5};
  EXPECT_TRUE(shape_fits_gdi(arc, 8));
}
