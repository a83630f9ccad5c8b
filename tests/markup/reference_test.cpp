// The reader against a literal transcription of its rules (reference_reader.h).
// The reader itself works on bytes and keeps its path between lines; on random
// documents both must build the same tree and yield to the window equally
// often.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "markup/reader.h"
#include "markup/words.h"
#include "reference_reader.h"
#include "round_trip.h"
#include "tree_text.h"

namespace tintmoor::markup {

namespace {

int referenceYields = 0;

// Every attribute's open_state, in one fixed order: TreeText leaves them out.
std::string OpenStates(const Element& root) {
  std::string out;
  std::vector<const Element*> pending{&root};
  while (!pending.empty()) {
    const Element* e = pending.back();
    pending.pop_back();
    for (const Attribute& a : e->attributes()) out += std::to_string(a.open_state());
    out += ';';
    for (const Element& c : e->children()) pending.push_back(&c);
  }
  return out;
}

TEST(ReaderAgainstRules, RandomDocuments) {
  const char* pieces[] = {"<",        ">",    "/",  " ",  "=",    "\"",      "?",
                          "(",        "a",    "bc", "x",  "1",    "!",       "-",
                          "\t",       "\r\n", "\n", "\r", "<a>",  "</a>",    "<b x=\"1\">",
                          "<c>v</c>", "  ",   "'",  "|",  "\xff", "<?xml?>", "<d/>"};
  std::mt19937 rng(7);
  YieldHook previous = SetYieldHook([] { ++referenceYields; });
  for (int round = 0; round < 20000; ++round) {
    std::string doc;
    for (int n = static_cast<int>(rng() % 40); n > 0; --n) doc += pieces[rng() % std::size(pieces)];
    Element expected, actual;
    expected.set_open(true);
    actual.set_open(true);
    referenceYields = 0;
    reference::Read(doc, expected);
    const int expectedYields = referenceYields;
    referenceYields = 0;
    ReadMarkup(doc, actual, "random");
    ASSERT_EQ(TreeText(actual), TreeText(expected)) << doc;
    ASSERT_EQ(referenceYields, expectedYields) << doc;
    ASSERT_EQ(OpenStates(actual), OpenStates(expected)) << doc;
    ASSERT_EQ(round_trip::Check(doc), "") << doc;
  }
  SetYieldHook(previous);
}

}  // namespace

}  // namespace tintmoor::markup
