// The words the window and the command line use for kinds of vision and for
// what the check found, so that both say the same in the same way: plain
// names first ("green-weak"), the medical term after ("deuteranomaly").
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "colorfile/color_check.h"

namespace tintmoor::colorfile {

// "normal", "protan", "deutan", "tritan": what --vision takes and the keys of
// the check's JSON.
std::string_view VisionKey(Vision v);
std::optional<Vision> VisionFromKey(std::string_view key);

// The plain name: "normal", and below full severity "red-weak", "green-weak",
// "blue-weak", at full severity "red-blind", "green-blind", "blue-blind".
std::string VisionName(Vision v, double severity);
// The plain name with the medical term: "green-weak (deuteranomaly)",
// "blue-blind (tritanopia)"; "normal" alone.
std::string VisionFullName(Vision v, double severity);

// A distance as shown everywhere: rounded to two decimals, "1.48".
std::string DistanceText(double d);
// A threshold or a severity as given: "10", "0.6".
std::string NumberText(double x);

// "Checked: unit and minimap colors, for normal vision and red-blind
// (protanopia), green-blind (deuteranopia) and blue-blind (tritanopia)
// vision." Below full severity it says the severity and what it means.
std::string CheckedLine(const CheckOptions& options);
// What a distance means, and what the threshold stands for.
std::string DistanceLine(double threshold);
// "1.48 (unit colors of Player 2 and Player 12, blue-blind)".
std::string ClosestWords(const Closest& closest, double severity);
// "blue-blind 1.48, green-blind 9.97": every vision a close pair fails
// under, closest first, each with its distance.
std::string FailureWords(const ClosePair& pair, double severity);

}  // namespace tintmoor::colorfile
