// The writer: the fixed layout, the 16-bit limits, and the round trip of
// generated trees through writer and reader.
#include <gtest/gtest.h>

#include <random>

#include "markup/reader.h"
#include "markup/writer.h"
#include "support/small_stack.h"
#include "tree_build.h"
#include "tree_text.h"

namespace tintmoor::markup {

using common::OverflowError;

namespace {

const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n";

TEST(Writer, EmptyDocumentIsDeclarationAndEmptyLine) {
  Element root;
  EXPECT_EQ(WriteDocument(root), kHead);
}

TEST(Writer, WorkedExample) {
  Element root;
  root.set_name("never written");
  root.set_value("nor this");
  AddAttribute(root, "nor", "this");
  Element& list = AddChild(root, "list");
  AddAttribute(list, "id", "7");
  AddChild(list, "item", "1 2 3");
  AddAttribute(AddChild(list, "item"), "k", "");
  AddChild(AddChild(list, "group", "own value is not written"), "item", "x");
  EXPECT_EQ(WriteDocument(root), kHead +
                                     "<list id=\"7\">\r\n"
                                     "\t<item>1 2 3</item>\r\n"
                                     "\t<item k=\"\"></item>\r\n"
                                     "\t<group>\r\n"
                                     "\t\t<item>x</item>\r\n"
                                     "\t</group>\r\n"
                                     "</list>\r\n");
}

TEST(Writer, TextsAreWrittenAsTheyStand) {
  Element root;
  Element& odd = AddChild(root, "", "<>=\"\t\xff");
  AddAttribute(odd, "", "");
  AddAttribute(odd, "q\"", "a=b");
  AddChild(root, "");
  EXPECT_EQ(WriteDocument(root), kHead +
                                     "< =\"\" q\"=\"a=b\"><>=\"\t\xff</>\r\n"
                                     "<></>\r\n");
}

TEST(Writer, WriteMarkupAppendsAtTheGivenDepth) {
  Element e;
  e.set_name("a");
  AddChild(e, "b", "1");
  std::string sink = "before\r\n";
  WriteMarkup(e, 2, sink);
  EXPECT_EQ(sink, "before\r\n\t\t<a>\r\n\t\t\t<b>1</b>\r\n\t\t</a>\r\n");
}

TEST(Writer, DepthLimit) {
  Element leaf;
  leaf.set_name("x");
  std::string sink;
  WriteMarkup(leaf, 32766, sink);
  EXPECT_EQ(sink, std::string(32766, '\t') + "<x></x>\r\n");

  Element parent;
  parent.set_name("p");
  AddChild(parent, "deepest");
  sink = "kept";
  try {
    WriteMarkup(parent, 32766, sink);
    FAIL();
  } catch (const OverflowError& e) {
    EXPECT_STREQ(e.what(),
                 "Nesting depth overflowed: element \"deepest\" at depth 32767 cannot be "
                 "indented (at most 32766 levels)");
  }
  EXPECT_EQ(sink, "kept");  // refused before anything was written
}

TEST(Writer, DeepTreeWritesOnASmallStack) {
  // The text grows with the square of the depth (a tab per level on every
  // line), so this tree is shallower than the reader's; one stack frame per
  // level would still overflow.
  test::RunOnSmallStack([] {
    constexpr size_t kDeep = 6'000;
    Element root;
    Element* at = &root;
    for (size_t i = 0; i < kDeep; ++i) at = &AddChild(*at, "a");
    at->set_value("v");
    const std::string text = WriteDocument(root);
    // Level d has d tabs before "<a>\r\n" and before "</a>\r\n"; the
    // deepest is the one line "<a>v</a>\r\n".
    size_t size = kHead.size() + (kDeep - 1) + 10;
    for (size_t d = 0; d + 1 < kDeep; ++d) size += 2 * d + 11;
    EXPECT_EQ(text.size(), size);
    EXPECT_NE(text.find("\n" + std::string(kDeep - 1, '\t') + "<a>v</a>\r\n\t"), std::string::npos);
  });
}

TEST(RepeatString, Cases) {
  EXPECT_EQ(RepeatString("ab", 0), "");
  EXPECT_EQ(RepeatString("ab", -5), "");
  EXPECT_EQ(RepeatString("ab", 3), "ababab");
  EXPECT_EQ(RepeatString("", 3), "");
  EXPECT_EQ(RepeatString("\t", 32766).size(), 32766u);
  EXPECT_EQ(RepeatString("\t", -32768), "");
  for (int32_t bad : {32767, 32768, -32769, INT32_MAX, INT32_MIN})
    EXPECT_THROW(RepeatString("\t", bad), OverflowError) << bad;
}

// Random texts from an alphabet, at least minLength long.
std::string Text(std::mt19937& rng, std::string_view alphabet, int minLength, int maxLength) {
  std::string s;
  int n = minLength + static_cast<int>(rng() % static_cast<unsigned>(maxLength - minLength + 1));
  for (int i = 0; i < n; ++i) s += alphabet[rng() % alphabet.size()];
  return s;
}

// What survives a write and a read: names, attributes, values of leaves, and
// structure (every element comes back closed).
std::string Shape(const Element& root) {
  auto copy = root.Clone();
  std::vector<Element*> pending{copy.get()};
  while (!pending.empty()) {
    Element* e = pending.back();
    pending.pop_back();
    e->set_open(false);
    if (e->children().Count() > 0) e->set_value("");
    for (Element& c : e->children()) pending.push_back(&c);
  }
  return TreeText(*copy);
}

TEST(Writer, RoundTripOfGeneratedTrees) {
  // Within the reader's limits: names are non-empty runs of non-delimiters; no
  // text holds a tab or a line break; attribute values hold no "=" or quote;
  // leaf values hold no "<".
  const std::string nameChars = "abcXYZ019_-.:!'\x80\xe9";
  const std::string attrChars = "ab1 <>/?()[]+|'!\xff";
  const std::string valueChars = "ab1 >/=\"?()[]+|'!\xff";
  std::mt19937 rng(2026);
  for (int round = 0; round < 200; ++round) {
    Element root;
    std::vector<Element*> all{&root};
    const int size = static_cast<int>(rng() % 30);
    for (int i = 0; i < size; ++i) {
      Element& e = AddChild(*all[rng() % all.size()], Text(rng, nameChars, 1, 6),
                            Text(rng, valueChars, 0, 8));
      e.set_open(rng() % 3 == 0);
      for (int a = static_cast<int>(rng() % 4); a > 0; --a)
        AddAttribute(e, Text(rng, nameChars, 1, 4), Text(rng, attrChars, 0, 6));
      all.push_back(&e);
    }
    const std::string written = WriteDocument(root);
    Element back;
    back.set_open(true);
    ReadMarkup(written, back, "round trip");
    back.set_open(false);
    ASSERT_EQ(TreeText(back), Shape(root)) << written;
    ASSERT_EQ(WriteDocument(back), written);
  }
}

}  // namespace

}  // namespace tintmoor::markup
