#include "cli/check_report.h"

#include <cstdio>
#include <ostream>
#include <string>

#include "colorfile/vision_words.h"
#include "common/text.h"

namespace tintmoor::cli {

namespace {

// Right-aligned in six columns: distances line up on their decimal point.
std::string Distance(double d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%6.2f", colorfile::RoundDistance(d));
  return buf;
}

// Scripts get more decimals than people: enough to sort and compare by.
std::string JsonNumber(double d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", d);
  return buf;
}

std::string PairName(int a, int b) {
  return std::string(colorfile::RowCaption(a)) + " / " + std::string(colorfile::RowCaption(b));
}

std::string JsonRows(int a, int b) {
  // Built by appending: GCC 12 at -O3 warns of an overlapping copy (-Wrestrict)
  // in "[" + a temporary string.
  std::string rows = "[";
  rows += common::JsonString(colorfile::RowCaption(a));
  rows += ", ";
  rows += common::JsonString(colorfile::RowCaption(b));
  rows += "]";
  return rows;
}

}  // namespace

void PrintCheck(const colorfile::CheckResult& result, std::ostream& out) {
  const colorfile::CheckOptions& options = result.options;
  const double severity = options.audience.severity;
  const std::string threshold = colorfile::NumberText(options.threshold);
  out << common::Wrap(colorfile::CheckedLine(options), kReportWidth)
      << common::Wrap(colorfile::DistanceLine(options.threshold), kReportWidth)
      << "\nClosest pair: " << colorfile::ClosestWords(result.overall, severity) << "\n\n";

  out << "Closest pair under each vision:\n" << common::Pad("vision", 14);
  for (size_t c = 0; c < options.columns.size(); ++c) {
    const std::string head = std::string(colorfile::ColumnName(options.columns[c])) + " colors";
    out << (c + 1 < options.columns.size() ? common::Pad(head, 32) : head);
  }
  out << '\n';
  const std::vector<colorfile::Sight>& sights = options.audience.sights;
  for (size_t s = 0; s < sights.size(); ++s) {
    out << common::Pad(colorfile::VisionName(sights[s].vision, severity), 14);
    for (size_t c = 0; c < options.columns.size(); ++c) {
      const colorfile::PairDistance& p = result.closest[c][s];
      const std::string cell = Distance(p.distance) + "  " + PairName(p.rowA, p.rowB);
      out << (c + 1 < options.columns.size() ? common::Pad(cell, 32) : cell);
    }
    out << '\n';
  }
  out << '\n';
  if (result.close.empty()) {
    out << "No pair is closer than " << threshold << ".\n";
    return;
  }
  const size_t n = result.close.size();
  out << common::Wrap(std::to_string(n) + (n == 1 ? " pair is" : " pairs are") + " closer than " +
                          threshold +
                          ", closest first. Each line: the smallest distance, the colors, the two "
                          "players, then every vision under which they are closer than " +
                          threshold + ", with the distance under it.",
                      kReportWidth);
  for (const colorfile::ClosePair& p : result.close)
    out << Distance(p.distance) << "  "
        << common::Pad(std::string(colorfile::ColumnName(p.column)), 9)
        << common::Pad(PairName(p.rowA, p.rowB), 24) << colorfile::FailureWords(p, severity)
        << '\n';
}

void PrintCheckJson(const colorfile::CheckResult& result, const std::string& source,
                    std::ostream& out) {
  const colorfile::CheckOptions& options = result.options;
  const std::vector<colorfile::Sight>& sights = options.audience.sights;
  const double severity = options.audience.severity;
  out << "{\n  \"source\": " << common::JsonString(source)
      << ",\n  \"threshold\": " << colorfile::NumberText(options.threshold)
      << ",\n  \"severity\": " << colorfile::NumberText(severity) << ",\n  \"visions\": [";
  for (size_t s = 0; s < sights.size(); ++s)
    out << (s ? ", " : "") << common::JsonString(colorfile::VisionKey(sights[s].vision));
  out << "],\n  \"vision_names\": {";
  for (size_t s = 0; s < sights.size(); ++s)
    out << (s ? ", " : "") << common::JsonString(colorfile::VisionKey(sights[s].vision)) << ": "
        << common::JsonString(colorfile::VisionFullName(sights[s].vision, severity));
  out << "},\n  \"columns\": [";
  for (size_t c = 0; c < options.columns.size(); ++c)
    out << (c ? ", " : "") << common::JsonString(colorfile::ColumnName(options.columns[c]));
  out << "],\n  \"closest\": ";
  const colorfile::Closest& closest = result.overall;
  if (closest.distance == INFINITY) {
    out << "null";
  } else {
    out << "{\"column\": " << common::JsonString(colorfile::ColumnName(closest.column))
        << ", \"rows\": " << JsonRows(closest.rowA, closest.rowB)
        << ", \"vision\": " << common::JsonString(colorfile::VisionKey(closest.vision))
        << ", \"distance\": " << JsonNumber(closest.distance) << "}";
  }
  out << ",\n  \"closer_than_threshold\": " << result.close.size() << ",\n  \"pairs\": [";
  for (size_t i = 0; i < result.pairs.size(); ++i) {
    const colorfile::PairDistances& p = result.pairs[i];
    out << (i ? ",\n" : "\n")
        << "    {\"column\": " << common::JsonString(colorfile::ColumnName(p.column))
        << ", \"rows\": " << JsonRows(p.rowA, p.rowB) << ", \"distance\": {";
    std::string tooClose;
    for (size_t s = 0; s < sights.size(); ++s) {
      const std::string key = common::JsonString(colorfile::VisionKey(sights[s].vision));
      out << (s ? ", " : "") << key << ": " << JsonNumber(p.distance[s]);
      if (colorfile::RoundDistance(p.distance[s]) < options.threshold)
        tooClose += (tooClose.empty() ? "" : ", ") + key;
    }
    out << "}, \"too_close\": [" << tooClose << "]}";
  }
  out << "\n  ]\n}\n";
}

}  // namespace tintmoor::cli
