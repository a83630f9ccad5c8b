// The reports `tintmoor-cli check` prints: text for people, JSON for scripts.
#pragma once

#include <iosfwd>
#include <string>

#include "colorfile/color_check.h"

namespace tintmoor::cli {

// The width the text report's long lines are wrapped to.
inline constexpr size_t kReportWidth = 79;

// What was checked, what a distance means, the closest pair, the closest
// pair under each vision and column, and every pair closer than the threshold.
void PrintCheck(const colorfile::CheckResult& result, std::ostream& out);
// The same for scripts: source names what was checked; every pair of every
// checked column, with its distance under each vision.
void PrintCheckJson(const colorfile::CheckResult& result, const std::string& source,
                    std::ostream& out);

}  // namespace tintmoor::cli
