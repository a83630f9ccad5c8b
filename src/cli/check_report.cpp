#include "cli/check_report.h"

#include <cstdio>
#include <ostream>
#include <string>

#include "cli/text.h"

namespace {

std::string Fixed2(double d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", d);
  return buf;
}

// Right-aligned in six columns: distances line up on their decimal point.
std::string Distance(double d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%6.2f", d);
  return buf;
}

std::string PairName(int a, int b) {
  return std::string(RowCaption(a)) + " / " + std::string(RowCaption(b));
}

}  // namespace

void PrintCheck(const CheckResult& result, std::ostream& out) {
  out << "Closest pairs (CIEDE2000):\n";
  out << Pad("vision", 14) << Pad("unit colors", 36) << "minimap colors\n";
  for (size_t v = 0; v < kVisions.size(); ++v) {
    out << Pad(std::string(VisionName(kVisions[v])), 14);
    for (size_t column = 0; column < 2; ++column) {
      const PairDistance& p = result.closest[column][v];
      std::string cell = Distance(RoundDistance(p.distance)) + "  " + PairName(p.rowA, p.rowB);
      out << (column == 0 ? Pad(cell, 36) : cell);
    }
    out << '\n';
  }
  out << '\n';
  char threshold[32];
  std::snprintf(threshold, sizeof threshold, "%g", result.threshold);
  if (result.close.empty()) {
    out << "No pair is closer than " << threshold << ".\n";
    return;
  }
  out << result.close.size() << (result.close.size() == 1 ? " pair is" : " pairs are")
      << " closer than " << threshold << ", closest first:\n";
  for (const ClosePair& p : result.close) {
    out << Distance(p.distance) << "  " << Pad(std::string(ColumnName(p.column)), 9)
        << Pad(PairName(p.rowA, p.rowB), 24);
    for (size_t i = 0; i < p.failures.size(); ++i) {
      if (i) out << ", ";
      out << VisionName(p.failures[i].first);
      if (i) out << ' ' << Fixed2(p.failures[i].second);
    }
    out << '\n';
  }
}
