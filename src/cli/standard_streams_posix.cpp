// POSIX streams carry bytes already.
#include "cli/standard_streams.h"

#include <iostream>

namespace tintmoor::cli {

void PrepareStandardStreams() { std::ios::sync_with_stdio(false); }

}  // namespace tintmoor::cli
