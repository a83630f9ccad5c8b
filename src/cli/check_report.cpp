#include "cli/check_report.h"

#include <cstdio>
#include <ostream>
#include <string>

#include "colorfile/vision_words.h"
#include "common/text.h"

namespace {

// Right-aligned in six columns: distances line up on their decimal point.
std::string Distance(double d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%6.2f", RoundDistance(d));
  return buf;
}

// Scripts get more decimals than people: enough to sort and compare by.
std::string JsonNumber(double d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", d);
  return buf;
}

std::string PairName(int a, int b) {
  return std::string(RowCaption(a)) + " / " + std::string(RowCaption(b));
}

std::string JsonRows(int a, int b) {
  // Built by appending: GCC 12 at -O3 warns of an overlapping copy (-Wrestrict)
  // in "[" + a temporary string.
  std::string rows = "[";
  rows += JsonString(RowCaption(a));
  rows += ", ";
  rows += JsonString(RowCaption(b));
  rows += "]";
  return rows;
}

}  // namespace

void PrintCheck(const CheckResult& result, std::ostream& out) {
  const CheckOptions& options = result.options;
  const double severity = options.audience.severity;
  const std::string threshold = NumberText(options.threshold);
  out << Wrap(CheckedLine(options), kReportWidth)
      << Wrap(DistanceLine(options.threshold), kReportWidth)
      << "\nClosest pair: " << ClosestWords(result.overall, severity) << "\n\n";

  out << "Closest pair under each vision:\n" << Pad("vision", 14);
  for (size_t c = 0; c < options.columns.size(); ++c) {
    const std::string head = std::string(ColumnName(options.columns[c])) + " colors";
    out << (c + 1 < options.columns.size() ? Pad(head, 32) : head);
  }
  out << '\n';
  const std::vector<Sight>& sights = options.audience.sights;
  for (size_t s = 0; s < sights.size(); ++s) {
    out << Pad(VisionName(sights[s].vision, severity), 14);
    for (size_t c = 0; c < options.columns.size(); ++c) {
      const PairDistance& p = result.closest[c][s];
      const std::string cell = Distance(p.distance) + "  " + PairName(p.rowA, p.rowB);
      out << (c + 1 < options.columns.size() ? Pad(cell, 32) : cell);
    }
    out << '\n';
  }
  out << '\n';
  if (result.close.empty()) {
    out << "No pair is closer than " << threshold << ".\n";
    return;
  }
  const size_t n = result.close.size();
  out << Wrap(std::to_string(n) + (n == 1 ? " pair is" : " pairs are") + " closer than " +
                  threshold +
                  ", closest first. Each line: the smallest distance, the colors, the two "
                  "players, then every vision under which they are closer than " +
                  threshold + ", with the distance under it.",
              kReportWidth);
  for (const ClosePair& p : result.close)
    out << Distance(p.distance) << "  " << Pad(std::string(ColumnName(p.column)), 9)
        << Pad(PairName(p.rowA, p.rowB), 24) << FailureWords(p, severity) << '\n';
}

void PrintCheckJson(const CheckResult& result, const std::string& source, std::ostream& out) {
  const CheckOptions& options = result.options;
  const std::vector<Sight>& sights = options.audience.sights;
  const double severity = options.audience.severity;
  out << "{\n  \"source\": " << JsonString(source)
      << ",\n  \"threshold\": " << NumberText(options.threshold)
      << ",\n  \"severity\": " << NumberText(severity) << ",\n  \"visions\": [";
  for (size_t s = 0; s < sights.size(); ++s)
    out << (s ? ", " : "") << JsonString(VisionKey(sights[s].vision));
  out << "],\n  \"vision_names\": {";
  for (size_t s = 0; s < sights.size(); ++s)
    out << (s ? ", " : "") << JsonString(VisionKey(sights[s].vision)) << ": "
        << JsonString(VisionFullName(sights[s].vision, severity));
  out << "},\n  \"columns\": [";
  for (size_t c = 0; c < options.columns.size(); ++c)
    out << (c ? ", " : "") << JsonString(ColumnName(options.columns[c]));
  out << "],\n  \"closest\": ";
  const Closest& closest = result.overall;
  if (closest.distance == INFINITY) {
    out << "null";
  } else {
    out << "{\"column\": " << JsonString(ColumnName(closest.column))
        << ", \"rows\": " << JsonRows(closest.rowA, closest.rowB)
        << ", \"vision\": " << JsonString(VisionKey(closest.vision))
        << ", \"distance\": " << JsonNumber(closest.distance) << "}";
  }
  out << ",\n  \"closer_than_threshold\": " << result.close.size() << ",\n  \"pairs\": [";
  for (size_t i = 0; i < result.pairs.size(); ++i) {
    const PairDistances& p = result.pairs[i];
    out << (i ? ",\n" : "\n") << "    {\"column\": " << JsonString(ColumnName(p.column))
        << ", \"rows\": " << JsonRows(p.rowA, p.rowB) << ", \"distance\": {";
    std::string tooClose;
    for (size_t s = 0; s < sights.size(); ++s) {
      const std::string key = JsonString(VisionKey(sights[s].vision));
      out << (s ? ", " : "") << key << ": " << JsonNumber(p.distance[s]);
      if (RoundDistance(p.distance[s]) < options.threshold)
        tooClose += (tooClose.empty() ? "" : ", ") + key;
    }
    out << "}, \"too_close\": [" << tooClose << "]}";
  }
  out << "\n  ]\n}\n";
}
