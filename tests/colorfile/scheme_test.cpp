// Scheme files: round trips, and refusal of anything incomplete or malformed.
#include "colorfile/scheme.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "colorfile/presets.h"

namespace tintmoor::colorfile {

namespace {

using ::testing::HasSubstr;

TEST(Scheme, WrittenSchemesReadBackUnchanged) {
  for (const Preset& p : Presets())
    EXPECT_EQ(ReadScheme(WriteScheme(p.table), "x"), p.table) << p.name;
}

TEST(Scheme, WriterLayoutIsOneAlignedLinePerRow) {
  const std::string text = WriteScheme(DefaultScheme());
  EXPECT_THAT(text, HasSubstr("\nGaia          153 102 0      153 102 0      77 51 0\n"));
  EXPECT_THAT(text, HasSubstr("\nPlayer 12     255 0 102      255 0 102      128 0 51\n"));
}

// A hand-written scheme: rows in any order, comments, blank lines, CRLF,
// captions in any case and spacing, or given by number.
TEST(Scheme, ReadsWhatAPersonWrites) {
  std::string text = "# my scheme\r\n\r\n";
  for (int row = kRows - 1; row >= 1; --row)
    text += "  player   " + std::to_string(row) + "\t1 2 3  4 5 6  7 8 " + std::to_string(row) +
            "   # note\r\n";
  text += "0 10 20 30 40 50 60 70 80 90";  // Gaia by number, no line end
  const ColorTable t = ReadScheme(text, "mine.txt");
  EXPECT_EQ(t[0][0], (Rgb{10, 20, 30}));
  EXPECT_EQ(t[0][2], (Rgb{70, 80, 90}));
  EXPECT_EQ(t[7][1], (Rgb{4, 5, 6}));
  EXPECT_EQ(t[12][2], (Rgb{7, 8, 12}));
}

// What Notepad and PowerShell make of an exported scheme.
TEST(Scheme, ReadsByteOrderMarksAndUtf16) {
  const std::string text = WriteScheme(ColourVisionScheme()) + "# caf\xC3\xA9\n";
  EXPECT_EQ(ReadScheme("\xEF\xBB\xBF" + text, "bom.txt"), ColourVisionScheme());
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (char ch : text) {
    le += ch;
    le += '\0';
    be += '\0';
    be += ch;
  }
  le += "\xE9";  // a last odd byte is ignored
  EXPECT_EQ(ReadScheme(le, "le.txt"), ColourVisionScheme());
  EXPECT_EQ(ReadScheme(be, "be.txt"), ColourVisionScheme());
}

struct BadCase {
  const char* what;
  int line;  // the line that is swapped for `text`
  const char* text;
  const char* message;
};

const BadCase kBad[] = {
    {"too few numbers", 8, "Player 1  50 50 255  0 0 255  25 25",
     "s.txt, line 8: after \"Player 1\" come 8 values, 1 too few: a row is its caption and 9 "
     "numbers, red green blue of the unit, minimap and dead colors"},
    {"too many numbers", 8, "Player 1  50 50 255  0 0 255  25 25 128 4",
     "come 10 values, 1 too many"},
    {"caption only", 8, "Player 1", "come 0 values, 9 too few"},
    {"unknown row", 8, "Player 13  1 1 1  1 1 1  1 1 1",
     "s.txt, line 8: \"Player 13\" is not a row (Gaia, Player 1 to Player 12)"},
    {"no caption", 8, "1 1 1  1 1 1  1 1 1", "come 8 values"},
    {"out of range", 9, "Player 2  255 50 256  225 0 0  128 25 25",
     "s.txt, line 9: \"256\" is above 255, the largest a color takes"},
    {"four digits", 9, "Player 2  255 50 0153  225 0 0  128 25 25",
     "\"0153\" has more than three digits"},
    {"control bytes", 9, "Player 2  255 50 \x1b]0;pwned\x07  225 0 0  128 25 25",
     "\"\\x1b]0;pwned\\x07\" is not a number"},
    {"long text", 9,
     "Player 2  255 50 "
     "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
     "  225 0 0  128 25 25",
     "\"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\" is not"},
    {"not a number", 9, "Player 2  255 50 5O  225 0 0  128 25 25", "\"5O\" is not a number"},
    {"negative", 9, "Player 2  255 50 -5  225 0 0  128 25 25", "\"-5\" is not a number"},
    {"hex", 9, "Player 2  ff 50 5  225 0 0  128 25 25", "\"ff\" is not a number"},
    {"duplicate", 9, "Player 1  1 1 1  1 1 1  1 1 1",
     "s.txt, line 9: \"Player 1\" is given a second time (first on line 8)"},
};

TEST(Scheme, RefusesMalformedRowsNamingTheLine) {
  const std::string good = WriteScheme(DefaultScheme());
  for (const auto& c : kBad) {
    // Lines 1-6 are comments, 7 is Gaia, 8 is Player 1 ...
    std::string text;
    int lineNo = 0;
    size_t pos = 0;
    while (pos < good.size()) {
      const size_t end = good.find('\n', pos);
      ++lineNo;
      text += (lineNo == c.line ? std::string(c.text) : good.substr(pos, end - pos)) + "\n";
      pos = end + 1;
    }
    try {
      ReadScheme(text, "s.txt");
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const SchemeError& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.message)) << c.what;
    }
  }
}

TEST(Scheme, RefusesMissingRowsNamingThem) {
  std::string text = WriteScheme(DefaultScheme());
  for (const char* gone : {"Player 7 ", "Gaia "}) {
    const size_t at = text.find(std::string("\n") + gone);
    text.erase(at + 1, text.find('\n', at + 1) - at);
  }
  try {
    ReadScheme(text, "s.txt");
    ADD_FAILURE() << "accepted";
  } catch (const SchemeError& e) {
    EXPECT_STREQ(e.what(), "s.txt: no line for Gaia, Player 7");
  }
  EXPECT_THROW(ReadScheme("", "empty.txt"), SchemeError);
  EXPECT_THROW(ReadScheme("# only a comment\n", "c.txt"), SchemeError);
}

}  // namespace

}  // namespace tintmoor::colorfile
