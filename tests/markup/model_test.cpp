// The document model: lists, keys and texts, clones, the global root, and
// trees far deeper than any stack.
#include <gtest/gtest.h>

#include "markup/markup.h"
#include "markup/modObject.h"
#include "tree_text.h"

namespace {

clsMarkUp& AddChild(clsMarkUp& parent, const std::string& name, const std::string& value = "") {
  clsMarkUp& c = parent.Markups().Add();
  c.sName(name);
  c.sValue(value);
  return c;
}

clsParam& AddParam(clsMarkUp& e, const std::string& name, const std::string& value) {
  clsParam& p = e.Params().Add();
  p.sName(name);
  p.sValue(value);
  return p;
}

TEST(OrderedList, OneBasedAccessAndPositionErrorsNamePositionAndCount) {
  clsMarkUp e;
  EXPECT_EQ(e.Markups().Count(), 0);
  EXPECT_EQ(e.Params().Count(), 0);
  try {
    e.Markups().Item(1);
    FAIL() << "position 1 of an empty list";
  } catch (const PositionError& err) {
    EXPECT_STREQ(err.what(), "List position 1 does not exist: the list holds 0 entries");
  }
  AddChild(e, "a");
  AddChild(e, "b");
  EXPECT_EQ(e.Markups().Item(1).sName(), "a");
  EXPECT_EQ(e.Markups().Item(2).sName(), "b");
  for (int32_t bad : {0, -1, 3, INT32_MIN, INT32_MAX}) {
    try {
      e.Markups().Item(bad);
      FAIL() << bad;
    } catch (const PositionError& err) {
      EXPECT_NE(std::string(err.what()).find(std::to_string(bad)), std::string::npos);
      EXPECT_NE(std::string(err.what()).find("holds 2 entries"), std::string::npos);
    }
  }
  std::string order;
  for (const clsMarkUp& c : e.Markups()) order += c.sName();
  EXPECT_EQ(order, "ab");
}

TEST(OrderedList, GetterHandsOutTheElementsOwnList) {
  clsMarkUp e;
  OrderedList<clsMarkUp>& list = e.Markups();
  list.Add();
  EXPECT_EQ(e.Markups().Count(), 1);
  EXPECT_EQ(&e.Markups(), &list);
}

struct KeyTextCase {
  const char* name;
  const char* value;
  std::vector<std::pair<const char*, const char*>> params;
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
    clsMarkUp e;
    e.sName(c.name);
    e.sValue(c.value);
    for (auto [n, v] : c.params) AddParam(e, n, v);
    AddChild(e, "ignored", "child");  // children are part of neither
    EXPECT_EQ(e.GetKey(), c.key) << c.name;
    EXPECT_EQ(e.GetText(), c.text) << c.name;
  }
  clsParam p;
  p.sName("x");
  p.sValue("1");
  EXPECT_EQ(p.GetKey(), "x=1");
  EXPECT_EQ(p.GetText(), "x = 1");
}

TEST(Element, GetTextOverflowsPast32767Attributes) {
  clsMarkUp e;
  e.sName("wide");
  for (int i = 0; i < 32767; ++i) AddParam(e, "a", "");
  EXPECT_NO_THROW(e.GetText());
  AddParam(e, "a", "");
  try {
    e.GetText();
    FAIL();
  } catch (const OverflowError& err) {
    EXPECT_NE(std::string(err.what()).find("Attribute count"), std::string::npos) << err.what();
    EXPECT_NE(std::string(err.what()).find("wide"), std::string::npos) << err.what();
  }
  EXPECT_NO_THROW(e.GetKey());  // no counter there
}

TEST(Element, CloneCopiesEverythingButCurMarkupAndSharesNothing) {
  clsMarkUp src;
  src.sName("list");
  src.sValue("v");
  src.bOpen(true);
  src.curMarkup(&src);
  clsParam& p = AddParam(src, "id", "7");
  p.bOpen(true);
  p.nOpenState(1);
  AddParam(src, "z", "9");
  clsMarkUp& a = AddChild(src, "a", "1");
  a.bOpen(true);
  AddParam(a, "k", "");
  AddChild(a, "deep", "x");
  AddChild(src, "b", "2");

  std::unique_ptr<clsMarkUp> copy = src.Clone();
  EXPECT_EQ(TreeText(*copy), TreeText(src));
  EXPECT_EQ(TreeText(*copy), "list+ id=7 z=9:v[a+ k=:1[deep:x],b:2]");
  EXPECT_EQ(copy->curMarkup(), nullptr);
  EXPECT_TRUE(copy->Params().Item(1).bOpen());
  EXPECT_EQ(copy->Params().Item(1).nOpenState(), 1);

  copy->sName("changed");
  copy->Params().Item(1).sValue("changed");
  copy->Markups().Item(1).Markups().Item(1).sValue("changed");
  copy->Markups().Item(2).Markups().Add();
  EXPECT_EQ(TreeText(src), "list+ id=7 z=9:v[a+ k=:1[deep:x],b:2]");
}

TEST(Document, FirstUseCreatesAnEmptyClosedRootAndReplaceSwapsIt) {
  std::unique_ptr<clsMarkUp> saved = gDocument.Replace(nullptr);
  clsMarkUp& root = *gDocument;
  EXPECT_FALSE(root.bOpen());
  EXPECT_EQ(root.Markups().Count(), 0);
  EXPECT_EQ(&*gDocument, &root);  // the same root on the next use
  EXPECT_FALSE(IsNothing(&root));
  EXPECT_TRUE(IsNothing(static_cast<clsMarkUp*>(nullptr)));

  auto fresh = std::make_unique<clsMarkUp>();
  fresh->bOpen(true);
  clsMarkUp* freshPtr = fresh.get();
  std::unique_ptr<clsMarkUp> old = gDocument.Replace(std::move(fresh));
  EXPECT_EQ(old.get(), &root);
  EXPECT_EQ(gDocument.operator->(), freshPtr);
  gDocument.Replace(std::move(saved));
}

// A chain of n elements, each the only child of the one before.
std::unique_ptr<clsMarkUp> Chain(int n) {
  auto root = std::make_unique<clsMarkUp>();
  clsMarkUp* at = root.get();
  for (int i = 0; i < n; ++i) at = &at->Markups().Add();
  return root;
}

TEST(Element, AMillionLevelsCloneAndReleaseWithoutRecursion) {
  std::unique_ptr<clsMarkUp> root = Chain(1'000'000);
  std::unique_ptr<clsMarkUp> copy = root->Clone();
  int depth = 0;
  for (const clsMarkUp* at = copy.get(); at->Markups().Count() > 0; at = &at->Markups().Item(1))
    ++depth;
  EXPECT_EQ(depth, 1'000'000);
  root.reset();
  copy.reset();
  clsMarkUp holder;
  holder.Markups(std::move(Chain(300'000)->Markups()));  // the setter releases too
  holder.Markups(OrderedList<clsMarkUp>());
  EXPECT_EQ(holder.Markups().Count(), 0);
}

TEST(Element, OpenCountFollowsBOpenThroughAddsMovesAndSetters) {
  clsMarkUp e;
  clsMarkUp& a = AddChild(e, "a");
  clsMarkUp& b = AddChild(e, "b");
  EXPECT_EQ(e.Markups().OpenCount(), 0);
  a.bOpen(true);
  b.bOpen(true);
  b.bOpen(true);
  EXPECT_EQ(e.Markups().OpenCount(), 2);
  a.bOpen(false);
  EXPECT_EQ(e.Markups().OpenCount(), 1);

  OrderedList<clsMarkUp> list;
  auto c = std::make_unique<clsMarkUp>();
  c->bOpen(true);
  clsMarkUp& cRef = list.Add(std::move(c));
  EXPECT_EQ(list.OpenCount(), 1);
  clsMarkUp other;
  other.Markups(std::move(list));
  EXPECT_EQ(other.Markups().OpenCount(), 1);
  cRef.bOpen(false);  // reaches the list it now lives in
  EXPECT_EQ(other.Markups().OpenCount(), 0);
}

}  // namespace
