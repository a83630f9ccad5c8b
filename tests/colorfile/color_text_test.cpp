// Colors as people type and paste them: each form alone, and what every form
// refuses.
#include "colorfile/color_text.h"

#include <gtest/gtest.h>

namespace tintmoor::colorfile {

namespace {

constexpr unsigned kAllForms = kColorDecimal | kColorCommas | kColorHash | kColorBareHex;

TEST(ColorText, ReadsEachFormItIsGiven) {
  const struct {
    const char* text;
    unsigned forms;
    std::optional<Rgb> want;
  } cases[] = {
      {"153 102 0", kColorDecimal, Rgb{153, 102, 0}},
      {"  0\t255   7 ", kColorDecimal, Rgb{0, 255, 7}},
      {"007 010 255", kColorDecimal, Rgb{7, 10, 255}},
      {"153,102,0", kColorCommas, Rgb{153, 102, 0}},
      {" 153 , 102 ,0 ", kColorCommas, Rgb{153, 102, 0}},
      {"#996600", kColorHash, Rgb{153, 102, 0}},
      {"#FfA0b1", kColorHash, Rgb{255, 160, 177}},
      {" #ff0000\t", kColorHash, Rgb{255, 0, 0}},
      {"\n0, 128, 255\r\n", kColorCommas, Rgb{0, 128, 255}},
      {"996600", kColorBareHex, Rgb{153, 102, 0}},
      {"123456", kAllForms, Rgb{0x12, 0x34, 0x56}},  // six digits are hexadecimal
      // A form not asked for is refused.
      {"153 102 0", kColorCommas | kColorHash | kColorBareHex, std::nullopt},
      {"153,102,0", kColorDecimal | kColorHash, std::nullopt},
      {"#996600", kColorDecimal | kColorBareHex, std::nullopt},
      {"996600", kColorHash | kColorDecimal, std::nullopt},
      // Not a color in any form.
      {"", kAllForms, std::nullopt},
      {"   ", kAllForms, std::nullopt},
      {"256 0 0", kAllForms, std::nullopt},
      {"1 2", kAllForms, std::nullopt},
      {"1 2 3 4", kAllForms, std::nullopt},
      {"1,2,3,", kAllForms, std::nullopt},
      {"1,2 3", kAllForms, std::nullopt},
      {"1,,2,3", kAllForms, std::nullopt},
      {"-1 2 3", kAllForms, std::nullopt},
      {"+1 2 3", kAllForms, std::nullopt},
      {"0001 2 3", kAllForms, std::nullopt},
      {"1 2 3x", kAllForms, std::nullopt},
      {"1\n2\n3", kAllForms, std::nullopt},
      {"#99660", kAllForms, std::nullopt},
      {"#9966001", kAllForms, std::nullopt},
      {"#99660g", kAllForms, std::nullopt},
      {"##996600", kAllForms, std::nullopt},
      {"# 996600", kAllForms, std::nullopt},
      {"0x996600", kAllForms, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseColorText(c.text, c.forms), c.want) << "\"" << c.text << "\"";
  }
}

TEST(ColorText, ComponentIsOneToThreeDecimalDigitsUpTo255) {
  for (const char* good : {"0", "7", "007", "255"})
    EXPECT_TRUE(ParseColorComponent(good).has_value()) << good;
  for (const char* bad : {"", "256", "1000", "0255", " 1", "1 ", "-0", "+1", "1e2", "x"})
    EXPECT_FALSE(ParseColorComponent(bad).has_value()) << bad;
  EXPECT_EQ(ParseColorComponent("042"), 42);
}

}  // namespace

}  // namespace tintmoor::colorfile
