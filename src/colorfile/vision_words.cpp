#include "colorfile/vision_words.h"

#include <cstdio>

namespace tintmoor::colorfile {

namespace {

struct Names {
  std::string_view key, colour, blind, weak;
};

const Names& NamesOf(Vision v) {
  static const Names kNormal{"normal", "", "", ""};
  static const Names kProtan{"protan", "red", "protanopia", "protanomaly"};
  static const Names kDeutan{"deutan", "green", "deuteranopia", "deuteranomaly"};
  static const Names kTritan{"tritan", "blue", "tritanopia", "tritanomaly"};
  switch (v) {
    case Vision::Normal:
      return kNormal;
    case Vision::Protan:
      return kProtan;
    case Vision::Deutan:
      return kDeutan;
    case Vision::Tritan:
      return kTritan;
  }
  return kNormal;
}

bool Full(double severity) { return severity >= kFullSeverity; }

}  // namespace

std::string_view VisionKey(Vision v) { return NamesOf(v).key; }

std::optional<Vision> VisionFromKey(std::string_view key) {
  for (Vision v : kVisions)
    if (VisionKey(v) == key) return v;
  return std::nullopt;
}

std::string VisionName(Vision v, double severity) {
  if (v == Vision::Normal) return "normal";
  return std::string(NamesOf(v).colour) + (Full(severity) ? "-blind" : "-weak");
}

std::string VisionFullName(Vision v, double severity) {
  if (v == Vision::Normal) return "normal";
  const Names& n = NamesOf(v);
  return VisionName(v, severity) + " (" + std::string(Full(severity) ? n.blind : n.weak) + ")";
}

std::string DistanceText(double d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", RoundDistance(d));
  return buf;
}

std::string NumberText(double x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", x);
  return buf;
}

std::string CheckedLine(const CheckOptions& options) {
  std::string columns;
  for (size_t i = 0; i < options.columns.size(); ++i) {
    if (i) columns += i + 1 == options.columns.size() ? " and " : ", ";
    columns += ColumnName(options.columns[i]);
  }
  std::string kinds;
  const std::vector<Sight>& sights = options.audience.sights;
  for (size_t i = 1; i < sights.size(); ++i) {
    if (i > 1) kinds += i + 1 == sights.size() ? " and " : ", ";
    kinds += VisionFullName(sights[i].vision, options.audience.severity);
  }
  std::string line = "Checked: " + columns + " colors, for normal vision";
  if (!kinds.empty()) line += " and " + kinds + " vision";
  if (!kinds.empty() && !Full(options.audience.severity))
    line += ", at severity " + NumberText(options.audience.severity) +
            " (0.1 is the mildest, 1 full color blindness)";
  return line + ".";
}

// About 1 as the smallest difference noticed side by side: Mokrzycki and
// Tatol's survey of colour difference formulas (see kJustNoticeable).
std::string DistanceLine(double threshold) {
  std::string line =
      "Distances are CIEDE2000 color differences: about 1 is the smallest difference people "
      "notice side by side";
  if (threshold == kDefaultThreshold)
    return line + ", and 10, which the program aims for, is easy to tell apart on a battlefield.";
  return line + "; you asked for " + NumberText(threshold) +
         " (the program aims for 10, easy to tell apart on a battlefield).";
}

std::string ClosestWords(const Closest& closest, double severity) {
  if (closest.distance == INFINITY) return "none (nothing to compare)";
  return DistanceText(closest.distance) + " (" + std::string(ColumnName(closest.column)) +
         " colors of " + std::string(RowCaption(closest.rowA)) + " and " +
         std::string(RowCaption(closest.rowB)) + ", " + VisionName(closest.vision, severity) + ")";
}

std::string FailureWords(const ClosePair& pair, double severity) {
  std::string words;
  for (const auto& [vision, distance] : pair.failures) {
    if (!words.empty()) words += ", ";
    words += VisionName(vision, severity) + " " + DistanceText(distance);
  }
  return words;
}

}  // namespace tintmoor::colorfile
