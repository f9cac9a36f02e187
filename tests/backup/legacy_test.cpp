// LZRW1-KH blocks of older archives, built by hand item by item.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archiveformat.h"
#include "legacy.h"

using sonaro::backup::DecodeLegacyBlock;
using sonaro::backup::kLegacyBlockMax;

namespace {

// Decodes and returns the text, or "<error>".
std::string Decode(const std::vector<unsigned char>& block) {
  std::vector<unsigned char> out(kLegacyBlockMax);
  const int n = DecodeLegacyBlock(block.data(), int(block.size()), out.data());
  return n < 0 ? "<error>" : std::string(out.begin(), out.begin() + n);
}

std::vector<unsigned char> Block(std::initializer_list<int> bytes) {
  return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

}  // namespace

TEST(LegacyBlock, StoredBlockIsTheBytesAfterTheFlag) {
  EXPECT_EQ(Decode(Block({0x80, 'a', 'b', 'c'})), "abc");
  EXPECT_EQ(Decode(Block({0x80})), "");
}

TEST(LegacyBlock, FlagFortyAndZeroBothMeanCompressed) {
  // Control word 0: every item a literal.
  EXPECT_EQ(Decode(Block({0x40, 0x00, 0x00, 'C', 'i', 'a', 'o'})), "Ciao");
  EXPECT_EQ(Decode(Block({0x00, 0x00, 0x00, 'C', 'i', 'a', 'o'})), "Ciao");
  // Any flag but 0x80 is compressed: 0x41 is not a stored block.
  EXPECT_EQ(Decode(Block({0x41, 0x00, 0x00, 'x'})), "x");
}

TEST(LegacyBlock, OverlappingCopyRepeatsBytes) {
  // Items: 'a', 'b', copy(offset 2, 3 + 3 bytes) -> control bits 0 0 1 = 0x2000.
  EXPECT_EQ(Decode(Block({0x40, 0x20, 0x00, 'a', 'b', 0x00, 0x23})), "abababab");
  // Offset 1 turns one byte into a run: 'z' then 3 + 15 copies.
  EXPECT_EQ(Decode(Block({0x40, 0x40, 0x00, 'z', 0x00, 0x1F})), std::string(19, 'z'));
}

TEST(LegacyBlock, RunItemRepeatsOneByte) {
  // Offset 0: count = b1 * 256 + b2 + 16 copies of b3.
  EXPECT_EQ(Decode(Block({0x40, 0x80, 0x00, 0x00, 0x00, 0x04, 'r'})), std::string(20, 'r'));
  EXPECT_EQ(Decode(Block({0x40, 0x80, 0x00, 0x00, 0x01, 0x00, '-'})), std::string(272, '-'));
}

TEST(LegacyBlock, ControlWordIsReloadedAfterSixteenItems) {
  std::vector<unsigned char> b = {0x40, 0x00, 0x00};
  for (char c : std::string("abcdefghijklmnop")) b.push_back(uint8_t(c));
  b.insert(b.end(), {0x80, 0x00, 0x00, 0x00, 0x00, '!'});  // second word: a run first
  EXPECT_EQ(Decode(b), "abcdefghijklmnop" + std::string(16, '!'));
}

TEST(LegacyBlock, ControlWordAtTheVeryEndEndsTheBlock) {
  std::vector<unsigned char> b = {0x40, 0x00, 0x00};
  for (int i = 0; i < 16; ++i) b.push_back('q');
  b.insert(b.end(), {0x00, 0x00});
  EXPECT_EQ(Decode(b), std::string(16, 'q'));
}

TEST(LegacyBlock, MalformedBlocksAreRejectedWithoutReadingOrWritingOutside) {
  EXPECT_EQ(Decode(Block({})), "<error>");
  EXPECT_EQ(Decode(Block({0x40, 0x00})), "<error>");                 // no control word
  EXPECT_EQ(Decode(Block({0x40, 0x80, 0x00, 0x00, 0x23})), "<error>");  // copy before start
  EXPECT_EQ(Decode(Block({0x40, 0x80, 0x00, 0x05})), "<error>");        // copy cut short
  EXPECT_EQ(Decode(Block({0x40, 0x80, 0x00, 0x00, 0x00, 0x04})), "<error>");  // run cut short
  // Runs that would pass the 32,783-byte area.
  std::vector<unsigned char> runs = {0x40, 0xFF, 0xFF};
  for (int i = 0; i < 9; ++i) runs.insert(runs.end(), {0x00, 0x0F, 0xFF, 'x'});
  EXPECT_EQ(Decode(runs), "<error>");
  // Longer than the block area.
  std::vector<unsigned char> huge(kLegacyBlockMax + 1, 'a');
  huge[0] = 0x80;
  EXPECT_EQ(Decode(huge), "<error>");
}

TEST(LegacyBlock, LargestStoredBlockFitsTheArea) {
  std::vector<unsigned char> b(kLegacyBlockMax, 'k');
  b[0] = 0x80;
  EXPECT_EQ(Decode(b), std::string(kLegacyBlockMax - 1, 'k'));
}
