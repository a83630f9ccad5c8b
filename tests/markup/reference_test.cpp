// The reader against a literal transcription of its rules (reference_reader.h).
// The reader itself works on bytes and keeps its path between lines; on random
// documents both must build the same tree and yield to the window equally
// often.
#include <gtest/gtest.h>

#include <random>

#include "markup/modMain.h"
#include "markup/modObject.h"
#include "markup/modString.h"
#include "reference_reader.h"
#include "round_trip.h"
#include "tree_text.h"

namespace {

int yields = 0;

TEST(ReaderAgainstRules, RandomDocuments) {
  const char* pieces[] = {"<",        ">",    "/",  " ",  "=",    "\"",      "?",
                          "(",        "a",    "bc", "x",  "1",    "!",       "-",
                          "\t",       "\r\n", "\n", "\r", "<a>",  "</a>",    "<b x=\"1\">",
                          "<c>v</c>", "  ",   "'",  "|",  "\xff", "<?xml?>", "<d/>"};
  std::mt19937 rng(7);
  YieldHook previous = SetYieldHook([] { ++yields; });
  for (int round = 0; round < 20000; ++round) {
    std::string doc;
    for (int n = static_cast<int>(rng() % 40); n > 0; --n) doc += pieces[rng() % std::size(pieces)];
    clsMarkUp expected, actual;
    expected.bOpen(true);
    actual.bOpen(true);
    yields = 0;
    reference::Read(doc, expected);
    const int expectedYields = yields;
    yields = 0;
    ReadMarkup(doc, actual, "random");
    ASSERT_EQ(TreeText(actual), TreeText(expected)) << doc;
    ASSERT_EQ(yields, expectedYields) << doc;
    // nOpenState of every attribute read is 1: both quotes were seen.
    ASSERT_EQ(round_trip::Check(doc), "") << doc;
  }
  SetYieldHook(previous);
}

}  // namespace
