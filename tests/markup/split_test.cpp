// The word splitter, its yield to the window, and the small string helpers.
#include <gtest/gtest.h>

#include <vector>

#include "markup/reader.h"
#include "markup/words.h"

namespace tintmoor::markup {

namespace {

struct Piece {
  std::string text;
  int32_t begin;
  int32_t end;
  bool operator==(const Piece&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Piece& w) {
  return os << "{\"" << w.text << "\"," << w.begin << "," << w.end << "}";
}

std::vector<Piece> Split(std::string_view text, std::string_view drop) {
  std::vector<Piece> out;
  for (const Word& w : SplitWords(text, drop)) out.push_back({w.text(), w.first(), w.last()});
  return out;
}

// Each byte of the text a word of its own, as delimiters are.
std::vector<Piece> EachByte(std::string_view text) {
  std::vector<Piece> pieces;
  for (int32_t i = 0; i < static_cast<int32_t>(text.size()); ++i)
    pieces.push_back({std::string(1, text[i]), i, i});
  return pieces;
}

struct SplitCase {
  const char* text;
  const char* drop;
  std::vector<Piece> words;
};

TEST(SplitWords, Cases) {
  const SplitCase cases[] = {
      {"", "-1", {}},
      {"", " ", {}},
      {"abc", "-1", {{"abc", 0, 2}}},
      {"a b", "-1", {{"a", 0, 0}, {" ", 1, 1}, {"b", 2, 2}}},
      {"a b", " ", {{"a", 0, 0}, {"b", 2, 2}}},
      {"255  0 128", " ", {{"255", 0, 2}, {"0", 5, 5}, {"128", 7, 9}}},
      {"   ", "-1", {{" ", 0, 0}, {" ", 1, 1}, {" ", 2, 2}}},
      {"   ", " ", {}},
      {"<a x=\"1\">", "-1", EachByte("<a x=\"1\">")},
      {"x -1", "-1", {{"x", 0, 0}, {" ", 1, 1}, {"-1", 2, 3}}},
      {"a\tb", "-1", {{"a\tb", 0, 2}}},
      {"a", "A", {{"a", 0, 0}}},
      {"<<//", "-1", {{"<", 0, 0}, {"<", 1, 1}, {"/", 2, 2}, {"/", 3, 3}}},
      {"ab?cd", "ab", {{"?", 2, 2}, {"cd", 3, 4}}},
      {"(a)[b]+c|d", "-1", EachByte("(a)[b]+c|d")},
      {"it's-a!b:c", "-1", {{"it's-a!b:c", 0, 9}}},
      {std::string_view("a\0b", 3).data(), "-1", {{"a", 0, 0}}},  // C string stops at NUL
  };
  for (const auto& c : cases) EXPECT_EQ(Split(c.text, c.drop), c.words) << '"' << c.text << '"';
}

TEST(SplitWords, BytesAreBytes) {
  std::string text("\xff\x80 \0z", 5);
  std::vector<Piece> expected = {{"\xff\x80", 0, 1}, {" ", 2, 2}, {std::string("\0z", 2), 3, 4}};
  EXPECT_EQ(Split(text, "-1"), expected);
}

TEST(SplitWords, JoinedWordsGiveBackTheText) {
  const char* texts[] = {"", "<a x=\"1\">text</a>", "  lead and trail  ", "a<<b>>c", "|||"};
  for (const char* t : texts) {
    std::string joined;
    for (const Word& w : SplitWords(t, "-1")) {
      EXPECT_FALSE(w.text().empty());
      joined += w.text();
    }
    EXPECT_EQ(joined, t);
  }
}

int yields = 0;
void CountYield() { ++yields; }

struct YieldCase {
  const char* text;
  int expected;  // one per position, plus one per word ended by a delimiter
};

TEST(SplitWords, YieldsAfterEveryExaminedPositionIncludingReexaminations) {
  const YieldCase cases[] = {
      {"", 0},
      {"abc", 3},
      {"<", 1},
      {"a b", 4},              // a, space seen in the word, space again, b
      {"<a x=\"1\">", 9 + 3},  // a, x and 1 are each ended by a delimiter
      {"ab<", 4},
      {"<ab", 3},
  };
  YieldHook previous = SetYieldHook(CountYield);
  for (const auto& c : cases) {
    yields = 0;
    SplitWords(c.text, "-1");
    EXPECT_EQ(yields, c.expected) << c.text;
    yields = 0;
    SplitWords(c.text, " ");  // dropping words changes nothing here
    EXPECT_EQ(yields, c.expected) << c.text;
  }
  EXPECT_EQ(SetYieldHook(previous), CountYield);
}

TEST(SplitWords, DefaultHookDoesNothing) {
  YieldHook previous = SetYieldHook(nullptr);
  EXPECT_EQ(Split("a b", "-1").size(), 3u);
  SetYieldHook(previous);
}

TEST(IsDelimiter, ExactlyTheThirteen) {
  for (const char* d : {"<", ">", "/", " ", "=", "\"", "?", "(", ")", "[", "]", "+", "|"})
    EXPECT_TRUE(IsDelimiter(d)) << d;
  for (const char* w : {"", "<<", "\t", "'", "!", "-", ":", "a", "0", "{", "}", "\\", "< "})
    EXPECT_FALSE(IsDelimiter(w)) << w;
  EXPECT_FALSE(IsDelimiter(std::string_view("\0", 1)));
}

TEST(RemoveChar, Cases) {
  EXPECT_EQ(RemoveChar("\ta\tb", "\t"), "ab");
  EXPECT_EQ(RemoveChar("\ta\tb", ""), "\ta\tb");
  EXPECT_EQ(RemoveChar("\ta\tb", "\t\t"), "\ta\tb");
  EXPECT_EQ(RemoveChar("", "\t"), "");
  EXPECT_EQ(RemoveChar("aAa", "a"), "A");
}

}  // namespace

}  // namespace tintmoor::markup
