// The reader: what each kind of line does to the tree, line breaks, the
// deepest-open-element search, deep files, and the word-count limit.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "markup/reader.h"
#include "markup/words.h"
#include "markup/writer.h"
#include "support/small_stack.h"
#include "tree_text.h"

namespace tintmoor::markup {

using common::OverflowError;

namespace {

// Reads text into a fresh open root, as a load does, and pictures the result.
std::string Read(std::string_view text) {
  Element root;
  root.set_open(true);
  ReadMarkup(text, root, "test.xml");
  return TreeText(root);
}

struct ReadCase {
  const char* text;
  const char* tree;
};

TEST(Reader, LinesAndWhatTheyDo) {
  const ReadCase cases[] = {
      // the declaration makes no element
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<a>\r\n</a>", "+[a]"},
      {"<a x=\"1\">\r\n<b>2</b>\r\n</a>", "+[a x=1[b:2]]"},
      {"<a x=\"1\" y=\"2 3\">text\r\n<c></c>", "+[a+ x=1 y=2 3:text[c]]"},
      {"<a>text</b>", "+[a:text]"},  // the end tag's name is not compared
      {"<a></a>", "+[a]"},
      {"<a> 1 </a>", "+[a: 1 ]"},
      {"<a>1</a><b>2</b>", "+[a:1]"},
      {"<a>x<b>", "+"},
      {"<a x=\"p=q\">", "+[a+ x=pq]"},
      {"<a x = \"1\">", "+[a+ x=  1]"},
      {"<a x=\"1>2\">", "+[a+ x=1>2]"},
      {"<a x=\"1\"y=\"2\">", "+[a+ x=1 y=2]"},
      {"<a x=\"1\" >", "+[a+ x=1]"},
      {"<a x=\"\"></a>", "+[a x=]"},
      {"<a x=1>", "+"},
      {"<a x='1'>", "+"},
      {"<a b>", "+"},
      {"<a x=\"1\"/>", "+"},
      {"<a x=\"1\" />", "+"},
      {"<a />", "+"},
      {"<a/>", "+[a+]"},
      {"<a(1)>", "+[a1+]"},
      {"<a?b>", "+[ab+]"},
      {"< a>", "+"},
      {"<>", "+"},
      {"<!-- note -->", "+"},
      {"<a x=\"1\r\n2\">", "+"},  // a start tag over two lines
      {"text\r\n\r\n", "+"},
      {"<a>\r\ntext\r\n</a>", "+[a]"},
      {"\t  <a>", "+"},  // spaces go before tabs, so this line begins with a space
      {"  \t<a>", "+[a+]"},
      {"<a>x\ty</a>", "+[a:xy]"},
      {"<a>x  ", "+[a+:x]"},
      {"<a>x \t", "+[a+:x ]"},
      {"<a>\r\n<b>", "+[a+[b+]]"},
      {"\xEF\xBB\xBF<a>\r\n<b></b>", "+[b]"},  // the byte-order mark spoils line 1
      {"", "+"},
      {"<a>\xff\x80</a>", "+[a:\xff\x80]"},  // bytes pass unchanged
      // "<" with no word after it, at line start or in the text
      {"<", "+"},
      {"<a>text<", "+"},
      // end tags that never end, and text after an end tag
      {"<a>x</", "+"},
      {"<a>\r\n</a", "+[a+]"},
      {"<a>\r\n</a> trailing <b>", "+[a]"},
      {"<a>\r\n</>", "+[a]"},
      {"<a>1 < 2</a>", "+"},
      {"<a>x=\"y\"</a>", "+[a:x=\"y\"]"},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.text), c.tree) << c.text;
}

TEST(Reader, LineBreaksAreCrCrlfOrLf) {
  const ReadCase cases[] = {
      {"<a>\r\n<b>1</b>\r\n</a>\r\n<c/>", "+[a[b:1],c+]"},
      {"<a>\n<b>1</b>\n</a>\n<c/>", "+[a[b:1],c+]"},
      {"<a>\r<b>1</b>\r</a>\r<c/>", "+[a[b:1],c+]"},
      {"<a>\n\r<b>1</b>\r\n\n</a>\r\r<c/>\n", "+[a[b:1],c+]"},
      {"<a>1</a>\n", "+[a:1]"},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.text), c.tree) << c.text;
}

TEST(Reader, ASurplusEndLineClosesTheRootForGood) {
  // With the root closed, everything goes straight under it, open or not.
  EXPECT_EQ(Read("<a>\r\n</a>\r\n</a>\r\n<b>\r\n<c>\r\n</c>\r\n<d>1</d>"), "[a,b+,c+,d:1]");
  EXPECT_EQ(Read("</x>\r\n<b>"), "[b+]");
}

TEST(Reader, ParseLineWorksOnTheGlobalDocument) {
  auto saved = gDocument.Replace(std::make_unique<Element>());
  gDocument->set_open(true);
  ParseLine("<a x=\"1\">");
  ParseLine("<b>2</b>");
  ParseLine("</a>");
  EXPECT_EQ(TreeText(*gDocument), "+[a x=1[b:2]]");
  gDocument.Replace(std::move(saved));
}

// FindOpenMarkup as the rule reads: the first open child, followed down.
Element& ReferenceFindOpen(Element& m) {
  if (m.is_open() && m.children().Count() >= 1)
    for (Element& c : m.children())
      if (c.is_open()) return ReferenceFindOpen(c);
  return m;
}

TEST(FindOpenMarkup, FollowsTheFirstOpenChild) {
  Element root;
  EXPECT_EQ(&FindOpenMarkup(root), &root);  // closed, childless
  Element& a = root.children().Add();
  Element& b = root.children().Add();
  Element& c = root.children().Add();
  a.set_open(true);
  c.set_open(true);
  EXPECT_EQ(&FindOpenMarkup(root), &root);  // a closed root is not descended
  root.set_open(true);
  EXPECT_EQ(&FindOpenMarkup(root), &a);  // the first open child, not the last
  a.set_open(false);
  EXPECT_EQ(&FindOpenMarkup(root), &c);
  b.set_open(true);
  EXPECT_EQ(&FindOpenMarkup(root), &b);
  Element& b1 = b.children().Add();
  b1.set_open(true);
  EXPECT_EQ(&FindOpenMarkup(root), &b1);
  b.set_open(false);  // its open child is cut off with it
  EXPECT_EQ(&FindOpenMarkup(root), &c);
  EXPECT_EQ(&FindOpenMarkup(b), &b);
}

TEST(FindOpenMarkup, AgreesWithTheRuleOnRandomTrees) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 300; ++round) {
    Element root;
    std::vector<Element*> all{&root};
    const int size = 1 + static_cast<int>(rng() % 40);
    for (int i = 0; i < size; ++i) {
      Element& parent = *all[rng() % all.size()];
      Element& e = parent.children().Add();
      e.set_open(rng() % 2 == 0);
      all.push_back(&e);
    }
    root.set_open(rng() % 4 != 0);
    // Flip a few flags after the fact too, so the counts are exercised.
    for (int i = 0; i < 5; ++i) all[rng() % all.size()]->set_open(rng() % 2 == 0);
    for (Element* m : all) ASSERT_EQ(&FindOpenMarkup(*m), &ReferenceFindOpen(*m)) << round;
  }
}

TEST(Reader, KeepsFollowingTheRuleWhenTheWindowChangesTheTreeMidLoad) {
  // A yield hook stands in for a window event: while line 4 is split, it
  // reopens the first top-level element, which then takes the next element.
  static Element* root;
  static int calls;
  Element r;
  r.set_open(true);
  root = &r;
  calls = 0;
  YieldHook previous = SetYieldHook([] {
    if (++calls == 20) root->children().Item(1).set_open(true);
  });
  // Lines 1-3 yield 4 + 9 + 5 times; line 4 ("<c>") yields on its 2nd position.
  ReadMarkup("<a>\n<b></b>\n</a>\n<c>\n<d/>", r, "t");
  SetYieldHook(previous);
  EXPECT_EQ(TreeText(r), "+[a+[b,c+[d+]]]");
}

TEST(Reader, LoadingFollowsAReplacedGlobalDocument) {
  const std::string path = testing::TempDir() + "replaced.xml";
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("<a>\n<b/>\n", f);
    std::fclose(f);
  }
  static int calls;
  calls = 0;
  auto saved = gDocument.Replace(std::make_unique<Element>());
  gDocument->set_open(true);
  YieldHook previous = SetYieldHook([] {
    if (++calls == 4) {  // the last position of line 1
      auto fresh = std::make_unique<Element>();
      fresh->set_open(true);
      gDocument.Replace(std::move(fresh));  // a reload from inside a yield
    }
  });
  LoadMarkupFile(path);
  SetYieldHook(previous);
  EXPECT_EQ(TreeText(*gDocument), "+[a+[b+]]");
  gDocument.Replace(std::move(saved));
  std::remove(path.c_str());
}

TEST(Reader, DeepNestingLoadsAndReleasesOnASmallStack) {
  test::RunOnSmallStack([] {
    std::string text;
    for (int i = 0; i < test::kDeepLevels; ++i) text += "<a>\n";
    auto root = std::make_unique<Element>();
    root->set_open(true);
    ReadMarkup(text, *root, "deep.xml");
    int depth = 0;
    const Element* at = root.get();
    while (at->children().Count() == 1) {
      at = &at->children().Item(1);
      ++depth;
    }
    EXPECT_EQ(depth, test::kDeepLevels);
    EXPECT_EQ(&FindOpenMarkup(*root), at);
    // Saving stops at the first level that cannot be indented.
    try {
      WriteDocument(*root);
      FAIL();
    } catch (const OverflowError& e) {
      EXPECT_NE(std::string(e.what()).find("depth 32767"), std::string::npos) << e.what();
    }
    root.reset();
  });
}

TEST(Reader, ALineOfMoreThan32767WordsFailsTheWholeLoad) {
  auto Words = [](int n) {
    std::string line = "<a>";
    for (int i = 3; i < n; ++i) line += (i % 2) ? "x" : " ";
    return line;  // "<", "a", ">" and n - 3 more words
  };
  EXPECT_EQ(Read(Words(32767)).substr(0, 5), "+[a+:");
  Element root;
  root.set_open(true);
  std::string text = "<first>\r\n" + Words(32768) + "\r\n<last>";
  try {
    ReadMarkup(text, root, "wide.xml");
    FAIL();
  } catch (const OverflowError& e) {
    EXPECT_STREQ(e.what(),
                 "Word count overflowed: line 2 of \"wide.xml\" has more than 32767 words");
  }
  EXPECT_EQ(TreeText(root), "+");  // not even line 1 got in
  EXPECT_THROW(ParseLine(Words(32768), root), OverflowError);
  // Tabs are gone before words are counted.
  EXPECT_EQ(Read(Words(32767) + std::string(40000, '\t')).substr(0, 5), "+[a+:");
}

TEST(Reader, OnlyAWordTheReaderReachesCountsTowardTheLimit) {
  std::string many;  // 70,000 words: " ", "x", " ", "x", ... (trailing spaces would be trimmed)
  for (int i = 0; i < 35000; ++i) many += " x";
  const struct {
    std::string line;
    bool overflows;
  } cases[] = {
      {"text" + many, false},     // abandoned at its first word
      {"< a" + many, false},      // a delimiter where the name should be
      {"<a>x<b>" + many, false},  // a second start tag in the text
      {"<a>" + std::string(32763, 'x') + "<b>" + many, false},  // one long word before it
      {"<a>" + many + "<b>", true},                             // the "<" comes after word 32,768
      {"</a>" + many, true},                                    // an end tag reads on to the end
      {"<a x=\"" + many, true},  // an unclosed value reads on to the end
  };
  for (const auto& c : cases) {
    Element root;
    root.set_open(true);
    if (c.overflows) {
      EXPECT_THROW(ReadMarkup(c.line, root, "t.xml"), OverflowError) << c.line.substr(0, 10);
    } else {
      EXPECT_NO_THROW(ReadMarkup(c.line, root, "t.xml")) << c.line.substr(0, 10);
      EXPECT_EQ(TreeText(root), "+") << c.line.substr(0, 10);
    }
  }
}

}  // namespace

}  // namespace tintmoor::markup
