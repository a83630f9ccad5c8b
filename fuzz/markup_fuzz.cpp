// libFuzzer target: read any bytes, write the tree, read it back, and check
// the round-trip property (tests/markup/round_trip.h). Any broken property,
// sanitizer report or uncaught exception is a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string broken = round_trip::Check(bytes);
  if (!broken.empty()) {
    std::fprintf(stderr, "round trip broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
