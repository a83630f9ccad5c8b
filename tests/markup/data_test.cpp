// Inputs kept because they are tricky or once broke something (fuzzer
// findings go in data/ too): each must keep the round-trip property.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "common/file_io.h"
#include "round_trip.h"

namespace tintmoor::markup {

using common::ReadFileBytes;

namespace fs = std::filesystem;

namespace {

TEST(KeptInputs, HoldTheRoundTripProperty) {
  const char* source = std::getenv("TINTMOOR_SOURCE_DIR");
  ASSERT_NE(source, nullptr) << "TINTMOOR_SOURCE_DIR is set by ctest";
  int checked = 0;
  for (const char* dir : {"tests/markup/data", "fuzz/corpus", "tests/cli/data"}) {
    for (const auto& entry : fs::directory_iterator(fs::path(source) / dir)) {
      if (!entry.is_regular_file()) continue;
      std::string bytes = ReadFileBytes(entry.path().string());
      EXPECT_EQ(round_trip::Check(bytes), "") << entry.path();
      ++checked;
    }
  }
  EXPECT_GE(checked, 5);
}

}  // namespace

}  // namespace tintmoor::markup
