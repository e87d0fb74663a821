// Packing of accelerator entries handed over by scripts.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "core/accel.hpp"

TEST(AccelPacking, KeepsTheLowBitsOfEachField) {
  const AccelFields f = pack_accel(0x101, 0x10041, 70000);
  EXPECT_EQ(f.fvirt, 0x01);
  EXPECT_EQ(f.key, 0x0041);
  EXPECT_EQ(f.cmd, 4464);  // 70000 - 65536

  const AccelFields ctrl_s = pack_accel(0x01 | 0x08, 0x53, 1001);  // FVIRTKEY|FCONTROL, 'S'
  EXPECT_EQ(ctrl_s.fvirt, 0x09);
  EXPECT_EQ(ctrl_s.key, 0x53);
  EXPECT_EQ(ctrl_s.cmd, 1001);
}

TEST(AccelPacking, NegativeAndExtremeValuesWrapLikeTwosComplement) {
  const AccelFields f = pack_accel(-1, -1, -2);
  EXPECT_EQ(f.fvirt, 0xFF);
  EXPECT_EQ(f.key, 0xFFFF);
  EXPECT_EQ(f.cmd, 0xFFFE);
  const AccelFields g = pack_accel(INT64_MIN, INT64_MAX, INT64_MIN + 7);
  EXPECT_EQ(g.fvirt, 0x00);
  EXPECT_EQ(g.key, 0xFFFF);
  EXPECT_EQ(g.cmd, 7);
}

TEST(AccelBlock, SizesFollowTheCountAndRefuseWhatCannotBeDescribed) {
  std::size_t entries = 99, bytes = 99;
  ASSERT_TRUE(accel_block_size(3, &entries, &bytes));
  EXPECT_EQ(entries, 3u);
  EXPECT_EQ(bytes, 18u);

  // An empty list is a zero-length block (the table then fails to build).
  ASSERT_TRUE(accel_block_size(0, &entries, &bytes));
  EXPECT_EQ(entries, 0u);
  EXPECT_EQ(bytes, 0u);

  // A __len that reports a negative length means no entries, not a huge
  // unsigned block.
  ASSERT_TRUE(accel_block_size(-5, &entries, &bytes));
  EXPECT_EQ(entries, 0u);
  EXPECT_EQ(bytes, 0u);

  ASSERT_TRUE(accel_block_size(INT_MAX, &entries, &bytes));
  EXPECT_EQ(bytes, static_cast<std::size_t>(INT_MAX) * 6u);
  EXPECT_FALSE(accel_block_size(static_cast<std::int64_t>(INT_MAX) + 1, &entries, &bytes));
  EXPECT_FALSE(accel_block_size(INT64_MAX, &entries, &bytes));
}
