// The positional colour-table binding: cell parsing, shape problems in the
// user's words, writing back in normal form, and the default colour file.
#include "colorfile/table_binding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/file_io.h"
#include "markup/reader.h"
#include "markup/words.h"
#include "markup/writer.h"
#include "support/test_support.h"

namespace tintmoor::colorfile {

using common::ReadFileBytes;

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

struct CellCase {
  const char* text;
  Rgb color;
  CellState state;
};

TEST(ParseCellText, ReadsThreeNumbersClampsAndRejects) {
  const CellCase cases[] = {
      {"255 0 0", {255, 0, 0}, CellState::kOk},
      {"0 0 255", {0, 0, 255}, CellState::kOk},
      {"0 0 0", {0, 0, 0}, CellState::kOk},
      {"128 128 128", kGreyColor, CellState::kOk},
      {"010 020 030", {10, 20, 30}, CellState::kOk},
      {"10 20 30 40", {10, 20, 30}, CellState::kOk},  // a fourth word is ignored
      {"255  0 128", {255, 0, 128}, CellState::kOk},
      {" 1 2 3 ", {1, 2, 3}, CellState::kOk},
      {"300 0 0", {255, 0, 0}, CellState::kClamped},
      {"-5 7 0", {0, 7, 0}, CellState::kClamped},
      {"99999999999999 0 0", {255, 0, 0}, CellState::kClamped},
      {"1 2", kGreyColor, CellState::kNotNumbers},
      {"", kGreyColor, CellState::kNotNumbers},
      {"12 x 4", kGreyColor, CellState::kNotNumbers},
      {"1.5 2 3", kGreyColor, CellState::kNotNumbers},
      {"+1 2 3", kGreyColor, CellState::kNotNumbers},  // "+" is a word of its own
      {"1\t2 3 4", kGreyColor, CellState::kNotNumbers},
      {"- 2 3", kGreyColor, CellState::kNotNumbers},
  };
  for (const CellCase& c : cases) {
    const CellRead read = ParseCellText(c.text);
    EXPECT_EQ(read.color, c.color) << '"' << c.text << '"';
    EXPECT_EQ(read.state, c.state) << '"' << c.text << '"';
  }
}

int gYields = 0;
void CountYield() { ++gYields; }

TEST(ParseCellText, YieldsToTheWindowWhileSplitting) {
  gYields = 0;
  const markup::YieldHook previous = markup::SetYieldHook(&CountYield);
  ParseCellText("1 2 3");
  markup::SetYieldHook(previous);
  EXPECT_GE(gYields, 5);
}

TEST(CellText, IsNormalForm) {
  EXPECT_EQ(CellText({0, 0, 0}), "0 0 0");
  EXPECT_EQ(CellText(kGreyColor), "128 128 128");
  EXPECT_EQ(CellText({255, 255, 255}), "255 255 255");
  EXPECT_EQ(CellText({86, 52, 18}), "86 52 18");
}

TEST(Captions, NameRowsAndColumnsAsTheWindowDoes) {
  EXPECT_EQ(RowCaption(0), "Gaia");
  EXPECT_EQ(RowCaption(1), "Player 1");
  EXPECT_EQ(RowCaption(12), "Player 12");
  EXPECT_EQ(ColumnCaption(0), "Color for Highlight, Unit, HP Bar and Waypoint Flag");
  EXPECT_EQ(ColumnCaption(1), "Color shown on minimap");
  EXPECT_EQ(ColumnCaption(2), "Color on dead unit");
}

TEST(FindCell, IsPurelyPositional) {
  // Names that mean nothing: only positions count.
  std::string text = "<?xml?>\r\n<x>\r\n";
  for (int r = 0; r < 13; ++r) {
    text += "<y a=\"id\" b=\"" + std::to_string(r) + " 1 1\" c=\"" + std::to_string(r) +
            " 2 2\" d=\"" + std::to_string(r) + " 3 3\"></y>\r\n";
  }
  text += "</x>\r\n";
  const auto root = ParseTree(text);
  ASSERT_NE(FindCell(*root, 4), nullptr);
  EXPECT_EQ(FindCell(*root, 4)->value(), "1 2 2");  // box 4: "Player 1", minimap
  EXPECT_EQ(FindCell(*root, 4)->name(), "c");
  EXPECT_EQ(FindCell(*root, 38)->value(), "12 3 3");
  EXPECT_EQ(FindCell(*root, 0)->value(), "0 1 1");
}

struct ShapeCase {
  const char* name;
  std::string text;
  const char* problem;  // empty: whole
};

TEST(DescribeMissingShape, NamesTheFirstMissingPiece) {
  std::string shortRow = ThirteenRows();
  const std::string row7 = "<player num=\"7\" color1=\"7 0 0\" color2=\"0 7 0\" color3=\"0 0 7\">";
  shortRow.replace(shortRow.find(row7), row7.size(),
                   "<player num=\"7\" color1=\"7 0 0\" color2=\"0 7 0\">");
  std::string fiveRows = "<t>\r\n";
  for (int r = 0; r < 5; ++r) fiveRows += "<p n=\"1\" a=\"1 1 1\" b=\"1 1 1\" c=\"1 1 1\"></p>\r\n";
  fiveRows += "</t>\r\n";
  const ShapeCase cases[] = {
      {"whole", ThirteenRows(), ""},
      {"empty", "", "the color file holds no elements at all"},
      {"declaration only", "<?xml version=\"1.0\"?>\r\n",
       "the color file holds no elements at all"},
      {"five rows", fiveRows,
       "the row for \"Player 5\" is missing (the color table has 5 of its 13 rows)"},
      {"no rows", "<t></t>\r\n",
       "the row for \"Gaia\" is missing (the color table has 0 of its 13 rows)"},
      {"short row", shortRow, "the row for \"Player 7\" has only 2 colors (it needs 3)"},
  };
  for (const ShapeCase& c : cases) {
    const auto root = ParseTree(c.text);
    EXPECT_EQ(DescribeMissingShape(*root), c.problem) << c.name;
  }
  const markup::Element never;  // the empty root a failed load leaves
  EXPECT_EQ(DescribeMissingShape(never), "the color file holds no elements at all");
}

TEST(ReadColorTable, ShowsMissingAndBadCellsGreyAndNamesThem) {
  std::string text = ThirteenRows();
  text.replace(text.find("color2=\"0 2 0\""), 14, "color2=\"12 x 4\"");
  text.replace(text.find("color1=\"3 0 0\""), 14, "color1=\"300 0 0\"");
  text.replace(text.find(" color3=\"0 0 12\""), 16, "");
  const auto root = ParseTree(text);
  const auto cells = ReadColorTable(*root);
  EXPECT_EQ(cells[1 * 3 + 0].color, (Rgb{1, 0, 0}));
  EXPECT_EQ(cells[2 * 3 + 1].state, CellState::kNotNumbers);
  EXPECT_EQ(cells[2 * 3 + 1].color, kGreyColor);
  EXPECT_EQ(cells[3 * 3 + 0].state, CellState::kClamped);
  EXPECT_EQ(cells[3 * 3 + 0].color, (Rgb{255, 0, 0}));
  EXPECT_EQ(cells[38].state, CellState::kMissing);
  EXPECT_EQ(cells[38].color, kGreyColor);
  EXPECT_THAT(
      DescribeTableProblems(*root, cells),
      ElementsAre("the row for \"Player 12\" has only 2 colors (it needs 3)",
                  "\"Player 2\", \"Color shown on minimap\": \"12 x 4\" is not three numbers; "
                  "shown as grey",
                  "\"Player 3\", \"Color for Highlight, Unit, HP Bar and Waypoint Flag\": \"300 0 "
                  "0\" has a number outside 0 to 255; shown as 255 0 0"));
}

TEST(WriteCell, WritesNormalFormAndLeavesEverythingElse) {
  // Attribute 1, attributes after the fourth, a 14th row, element text and a
  // second top-level element reach the writer as they were read.
  const std::string text = Crlf({
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
      "",
      "<playercolors>",
      "\t<player num=\"0\" color1=\"010 020 030\" color2=\"10 20 30 40\" color3=\"1 1 1\" "
      "extra=\"keep me\"></player>",
  });
  std::string rest;
  for (int r = 1; r < 14; ++r) {
    rest += "\t<player num=\"" + std::to_string(r) +
            "\" color1=\"5 5 5\" color2=\"6 6 6\" color3=\"7 7 7\">v</player>\r\n";
  }
  const auto root = ParseTree(text + rest + "</playercolors>\r\n<other a=\"1\">x</other>\r\n");
  const auto cells = ReadColorTable(*root);
  // Rows 1 to 13 are already in normal form: written back, they stay as read.
  for (int cell = 0; cell < kCells; ++cell) ASSERT_TRUE(WriteCell(*root, cell, cells[cell].color));
  EXPECT_EQ(markup::WriteDocument(*root),
            Crlf({"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "", "<playercolors>",
                  "\t<player num=\"0\" color1=\"10 20 30\" color2=\"10 20 30\" color3=\"1 1 1\" "
                  "extra=\"keep me\"></player>"}) +
                rest + "</playercolors>\r\n<other a=\"1\">x</other>\r\n");
  markup::Element empty;
  EXPECT_FALSE(WriteCell(empty, 0, {}));
}

TEST(DefaultColorFile, IsAWholeTableInTheWritersLayout) {
  const std::string bytes = ReadFileBytes(SourcePath("data/playercolors.xml"));
  const auto root = ParseTree(bytes);
  const auto cells = ReadColorTable(*root);
  EXPECT_THAT(DescribeTableProblems(*root, cells), ::testing::IsEmpty());
  EXPECT_EQ(root->children().Item(1).name(), "playercolors");
  EXPECT_EQ(root->children().Item(1).children().Count(), 14);
  EXPECT_EQ(markup::WriteDocument(*root), bytes);  // declaration, empty line, tabs, CRLF
  EXPECT_EQ(cells[0].color, (Rgb{153, 102, 0}));
  EXPECT_EQ(CellText(cells[1 * 3 + 1].color), "0 0 255");
  EXPECT_EQ(CellText(cells[12 * 3 + 2].color), "128 0 51");
  EXPECT_EQ(root->children().Item(1).children().Item(14).attributes().Item(1).value(), "13");
}

}  // namespace

}  // namespace tintmoor::colorfile
