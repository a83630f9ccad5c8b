// POSIX streams carry bytes already.
#include "cli/standard_streams.h"

#include <iostream>

void PrepareStandardStreams() { std::ios::sync_with_stdio(false); }
