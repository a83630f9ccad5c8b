// The report `tintmoor-cli check` prints.
#pragma once

#include <iosfwd>

#include "colorfile/color_check.h"

void PrintCheck(const CheckResult& result, std::ostream& out);
