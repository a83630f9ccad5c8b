// libFuzzer target for the reader and writer. For any bytes:
//  - read, write, read back: the round-trip property of round_trip.h;
//  - the reader builds the same tree as a literal transcription of its rules
//    (reference_reader.h) and yields to the window as often.
// A broken property aborts; so does any sanitizer report or stray exception.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "markup/words.h"
#include "reference_reader.h"
#include "round_trip.h"
#include "tree_text.h"

namespace markup = tintmoor::markup;
using tintmoor::common::OverflowError;

namespace {

int yields = 0;
void CountYield() { ++yields; }

[[noreturn]] void Broken(const std::string& what) {
  std::fprintf(stderr, "broken: %s\n", what.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string broken = markup::round_trip::Check(bytes);
  if (!broken.empty()) Broken("round trip: " + broken);

  markup::Element expected, actual;
  expected.set_open(true);
  actual.set_open(true);
  markup::YieldHook previous = markup::SetYieldHook(CountYield);
  bool overflow = false;
  try {
    yields = 0;
    markup::ReadMarkup(bytes, actual, "input");
  } catch (const OverflowError&) {
    overflow = true;  // a line of more than 32767 words: outside the comparison
  }
  const int actualYields = yields;
  if (!overflow) {
    yields = 0;
    markup::reference::Read(std::string(bytes), expected);
    if (yields != actualYields) Broken("yield count differs from the rules");
    if (TreeText(actual) != TreeText(expected)) Broken("tree differs from the rules");
  }
  markup::SetYieldHook(previous);
  return 0;
}
