// The colour component operations and the reading of box tags.
#include <gtest/gtest.h>

#include <climits>

#include "colorfile/color_value.h"

namespace {

struct SplitCase {
  int32_t colour;
  int32_t red, green, blue;
};

TEST(SplitColor, GivesTheThreeComponents) {
  const SplitCase cases[] = {
      {0, 0, 0, 0},
      {0x123456, 0x56, 0x34, 0x12},
      {16777215, 255, 255, 255},
      {8421504, 128, 128, 128},
      {255, 255, 0, 0},
      {16711680, 0, 0, 255},
      {0x7ACDE4, 228, 205, 122},
      // Negative values: truncating division, not an arithmetic shift.
      {-1, 255, 0, 0},
      {-256, 0, 255, 0},    // -256 / 256 = -1 -> 255; -256 / 65536 = 0
      {-65536, 0, 0, 255},  // -65536 / 256 = -256 -> 0
      {-257, 255, 255, 0},  // -257 & 255 = 255; -257 / 256 = -1 -> 255
      // -2^31 / 256 = -2^23 and / 65536 = -2^15: both have a zero low byte.
      {INT32_MIN, 0, 0, 0},
      {INT32_MAX, 255, 255, 255},
  };
  for (const SplitCase& c : cases) {
    int32_t r = -1, g = -1, b = -1;
    SplitColor(c.colour, r, g, b);
    EXPECT_EQ(r, c.red) << c.colour;
    EXPECT_EQ(g, c.green) << c.colour;
    EXPECT_EQ(b, c.blue) << c.colour;
    EXPECT_EQ(GetRed(c.colour), c.red);
    EXPECT_EQ(GetGreen(c.colour), c.green);
    EXPECT_EQ(GetBlue(c.colour), c.blue);
  }
}

TEST(SplitColor, EveryColourValueRoundTrips) {
  for (int32_t colour = 0; colour <= 0xFFFFFF; colour += 0x010101 * 7 + 3) {
    EXPECT_EQ(ComposeColor(GetRed(colour), GetGreen(colour), GetBlue(colour)), colour);
  }
}

struct TagCase {
  const char* tag;
  int32_t colour;
};

TEST(TagToColor, ReadsDecimalTagsAndTakesAnythingElseAsGrey) {
  const TagCase cases[] = {
      {"8421504", 8421504},
      {"0", 0},
      {"16711680", 16711680},
      {"255", 255},
      {"-1", -1},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"007", 7},
      // Not a decimal number in the 32-bit range: grey.
      {"", kGreyColor},
      {"-", kGreyColor},
      {"2147483648", kGreyColor},
      {"-2147483649", kGreyColor},
      {"99999999999999999999", kGreyColor},
      {"abc", kGreyColor},
      {"12abc", kGreyColor},
      {" 12", kGreyColor},
      {"12 ", kGreyColor},
      {"+12", kGreyColor},
      {"&HFF", kGreyColor},
      {"1.5", kGreyColor},
      {"0x10", kGreyColor},
  };
  for (const TagCase& c : cases) {
    EXPECT_EQ(TagToColor(c.tag), c.colour) << '"' << c.tag << '"';
  }
  EXPECT_EQ(GetRed("nonsense"), 128);
  EXPECT_EQ(GetGreen("nonsense"), 128);
  EXPECT_EQ(GetBlue("nonsense"), 128);
  EXPECT_EQ(GetBlue("16711680"), 255);
}

TEST(ColorToTag, IsPlainDecimal) {
  EXPECT_EQ(ColorToTag(16711680), "16711680");
  EXPECT_EQ(ColorToTag(0), "0");
  EXPECT_EQ(ColorToTag(255), "255");
  for (int32_t colour : {0, 1, 8421504, 16777215, -1}) {
    EXPECT_EQ(TagToColor(ColorToTag(colour)), colour);
  }
}

}  // namespace
