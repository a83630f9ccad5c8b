// The reader against a literal transcription of its rules (reference_reader.h).
// The reader itself works on bytes and keeps its path between lines; on random
// documents both must build the same tree and yield to the window equally
// often.
#include <gtest/gtest.h>

#include <random>

#include "markup/reader.h"
#include "markup/words.h"
#include "reference_reader.h"
#include "round_trip.h"
#include "tree_text.h"

namespace markup {

namespace {

int referenceYields = 0;

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
    // nOpenState of every attribute read is 1: both quotes were seen.
    ASSERT_EQ(round_trip::Check(doc), "") << doc;
  }
  SetYieldHook(previous);
}

}  // namespace

}  // namespace markup
