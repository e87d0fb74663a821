#include <gtest/gtest.h>

#include <string>

#include "core/wave_image.hpp"

namespace {

std::string image(std::uint32_t riff_size, std::size_t actual_body) {
  std::string s = "RIFF";
  for (int i = 0; i < 4; ++i) s += static_cast<char>((riff_size >> (8 * i)) & 0xFF);
  s += "WAVE";
  s.append(actual_body, '\0');
  return s;
}

TEST(WaveImage, SizesMustLieWithinTheString) {
  const std::string ok = image(4 + 36, 36);  // "WAVE" plus 36 bytes of chunks
  EXPECT_TRUE(wave_image_fits(ok.data(), ok.size()));
  EXPECT_TRUE(wave_image_fits(ok.data(), ok.size() + 100));  // trailing bytes are fine
  EXPECT_FALSE(wave_image_fits(ok.data(), ok.size() - 1));
  const std::string lies = image(0xFFFFFFF0u, 36);
  EXPECT_FALSE(wave_image_fits(lies.data(), lies.size()));
}

TEST(WaveImage, OnlyRiffWaveImages) {
  std::string s = image(4, 0);
  EXPECT_TRUE(wave_image_fits(s.data(), s.size()));
  s[0] = 'X';
  EXPECT_FALSE(wave_image_fits(s.data(), s.size()));
  EXPECT_FALSE(wave_image_fits("RIFF", 4));
  EXPECT_FALSE(wave_image_fits(nullptr, 100));
  EXPECT_FALSE(wave_image_fits("", 0));
}

}  // namespace
