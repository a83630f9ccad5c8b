// The document model: lists, keys and texts, clones, the global root, and
// trees too deep for a small stack to recurse through.
#include <gtest/gtest.h>

#include "markup/element.h"
#include "support/small_stack.h"
#include "tree_build.h"
#include "tree_text.h"

namespace tintmoor::markup {

using common::OverflowError;
using common::PositionError;

namespace {

TEST(OrderedList, OneBasedAccessAndPositionErrorsNamePositionAndCount) {
  Element e;
  EXPECT_EQ(e.children().Count(), 0);
  EXPECT_EQ(e.attributes().Count(), 0);
  try {
    e.children().Item(1);
    FAIL() << "position 1 of an empty list";
  } catch (const PositionError& err) {
    EXPECT_STREQ(err.what(), "List position 1 does not exist: the list holds 0 entries");
  }
  AddChild(e, "a");
  AddChild(e, "b");
  EXPECT_EQ(e.children().Item(1).name(), "a");
  EXPECT_EQ(e.children().Item(2).name(), "b");
  for (int32_t bad : {0, -1, 3, INT32_MIN, INT32_MAX}) {
    try {
      e.children().Item(bad);
      FAIL() << bad;
    } catch (const PositionError& err) {
      EXPECT_NE(std::string(err.what()).find(std::to_string(bad)), std::string::npos);
      EXPECT_NE(std::string(err.what()).find("holds 2 entries"), std::string::npos);
    }
  }
  std::string order;
  for (const Element& c : e.children()) order += c.name();
  EXPECT_EQ(order, "ab");
}

TEST(OrderedList, GetterHandsOutTheElementsOwnList) {
  Element e;
  OrderedList<Element>& list = e.children();
  list.Add();
  EXPECT_EQ(e.children().Count(), 1);
  EXPECT_EQ(&e.children(), &list);
}

struct KeyTextCase {
  const char* name;
  const char* value;
  std::vector<std::pair<const char*, const char*>> attributes;
  const char* key;
  const char* text;
};

TEST(Element, GetKeyAndGetText) {
  const KeyTextCase cases[] = {
      {"", "", {}, "", " = "},
      {"item", "5", {}, "item5", "item = 5"},
      {"item", "5", {{"a", "1"}}, "itema=1", "item (a = 1)"},
      {"item", "5", {{"a", "1"}, {"b", "2"}}, "itema=1b=2", "item (a = 1, b = 2)"},
      {"item", "", {{"k", ""}}, "itemk=", "item (k = )"},
  };
  for (const auto& c : cases) {
    Element e;
    e.set_name(c.name);
    e.set_value(c.value);
    for (auto [n, v] : c.attributes) AddAttribute(e, n, v);
    AddChild(e, "ignored", "child");  // children are part of neither
    EXPECT_EQ(e.GetKey(), c.key) << c.name;
    EXPECT_EQ(e.GetText(), c.text) << c.name;
  }
  Attribute p;
  p.set_name("x");
  p.set_value("1");
  EXPECT_EQ(p.GetKey(), "x=1");
  EXPECT_EQ(p.GetText(), "x = 1");
}

TEST(Element, GetTextOverflowsPast32767Attributes) {
  Element e;
  e.set_name("wide");
  for (int i = 0; i < 32767; ++i) AddAttribute(e, "a", "");
  EXPECT_NO_THROW(e.GetText());
  AddAttribute(e, "a", "");
  try {
    e.GetText();
    FAIL();
  } catch (const OverflowError& err) {
    EXPECT_NE(std::string(err.what()).find("Attribute count"), std::string::npos) << err.what();
    EXPECT_NE(std::string(err.what()).find("wide"), std::string::npos) << err.what();
  }
  EXPECT_NO_THROW(e.GetKey());  // no counter there
}

TEST(Element, CloneCopiesEverythingAndSharesNothing) {
  Element src;
  src.set_name("list");
  src.set_value("v");
  src.set_open(true);
  Attribute& p = AddAttribute(src, "id", "7");
  p.set_open(true);
  p.set_open_state(1);
  AddAttribute(src, "z", "9");
  Element& a = AddChild(src, "a", "1");
  a.set_open(true);
  AddAttribute(a, "k", "");
  AddChild(a, "deep", "x");
  AddChild(src, "b", "2");

  std::unique_ptr<Element> copy = src.Clone();
  EXPECT_EQ(TreeText(*copy), TreeText(src));
  EXPECT_EQ(TreeText(*copy), "list+ id=7 z=9:v[a+ k=:1[deep:x],b:2]");
  EXPECT_TRUE(copy->attributes().Item(1).is_open());
  EXPECT_EQ(copy->attributes().Item(1).open_state(), 1);

  copy->set_name("changed");
  copy->attributes().Item(1).set_value("changed");
  copy->children().Item(1).children().Item(1).set_value("changed");
  copy->children().Item(2).children().Add();
  EXPECT_EQ(TreeText(src), "list+ id=7 z=9:v[a+ k=:1[deep:x],b:2]");
}

TEST(Document, FirstUseCreatesAnEmptyClosedRootAndReplaceSwapsIt) {
  std::unique_ptr<Element> saved = gDocument.Replace(nullptr);
  Element& root = *gDocument;
  EXPECT_FALSE(root.is_open());
  EXPECT_EQ(root.children().Count(), 0);
  EXPECT_EQ(&*gDocument, &root);  // the same root on the next use

  auto fresh = std::make_unique<Element>();
  fresh->set_open(true);
  Element* freshPtr = fresh.get();
  std::unique_ptr<Element> old = gDocument.Replace(std::move(fresh));
  EXPECT_EQ(old.get(), &root);
  EXPECT_EQ(gDocument.operator->(), freshPtr);
  gDocument.Replace(std::move(saved));
}

// A chain of n elements, each the only child of the one before.
std::unique_ptr<Element> Chain(int n) {
  auto root = std::make_unique<Element>();
  Element* at = root.get();
  for (int i = 0; i < n; ++i) at = &at->children().Add();
  return root;
}

TEST(Element, DeepTreesCloneAndReleaseOnASmallStack) {
  test::RunOnSmallStack([] {
    std::unique_ptr<Element> root = Chain(test::kDeepLevels);
    std::unique_ptr<Element> copy = root->Clone();
    int depth = 0;
    for (const Element* at = copy.get(); at->children().Count() > 0; at = &at->children().Item(1))
      ++depth;
    EXPECT_EQ(depth, test::kDeepLevels);
    root.reset();
    copy.reset();
    Element holder;  // the setter releases the children it replaces
    holder.set_children(std::move(Chain(test::kDeepLevels)->children()));
    holder.set_children(OrderedList<Element>());
    EXPECT_EQ(holder.children().Count(), 0);
  });
}

TEST(Element, OpenCountFollowsTheOpenFlagThroughAddsMovesAndSetters) {
  Element e;
  Element& a = AddChild(e, "a");
  Element& b = AddChild(e, "b");
  EXPECT_EQ(e.children().OpenCount(), 0);
  a.set_open(true);
  b.set_open(true);
  b.set_open(true);
  EXPECT_EQ(e.children().OpenCount(), 2);
  a.set_open(false);
  EXPECT_EQ(e.children().OpenCount(), 1);

  OrderedList<Element> list;
  auto c = std::make_unique<Element>();
  c->set_open(true);
  Element& cRef = list.Add(std::move(c));
  EXPECT_EQ(list.OpenCount(), 1);
  Element other;
  other.set_children(std::move(list));
  EXPECT_EQ(other.children().OpenCount(), 1);
  cRef.set_open(false);  // reaches the list it now lives in
  EXPECT_EQ(other.children().OpenCount(), 0);
}

}  // namespace

}  // namespace tintmoor::markup
