#include "cli/list_formats.h"

#include <ostream>

#include "colorfile/cell_names.h"
#include "colorfile/table_binding.h"
#include "common/text.h"

namespace tintmoor::cli {

namespace {

std::string Swatch(colorfile::Rgb c) {
  return "\x1b[48;2;" + std::to_string(c.r) + ";" + std::to_string(c.g) + ";" +
         std::to_string(c.b) + "m  \x1b[0m ";
}

void PrintCsv(const colorfile::ColorTable& table, std::ostream& out) {
  out << "row,caption";
  for (int c = 0; c < colorfile::kColumns; ++c)
    for (const char* part : {"_r", "_g", "_b"}) out << ',' << colorfile::ColumnName(c) << part;
  out << "\r\n";
  for (int r = 0; r < colorfile::kRows; ++r) {
    out << r << ',' << colorfile::RowCaption(r);
    for (colorfile::Rgb c : table[static_cast<size_t>(r)])
      out << ',' << int{c.r} << ',' << int{c.g} << ',' << int{c.b};
    out << "\r\n";
  }
}

void PrintJson(const colorfile::ColorTable& table, const std::string& file, std::ostream& out) {
  out << "{\n  \"file\": " << common::JsonString(file) << ",\n  \"columns\": [";
  for (int c = 0; c < colorfile::kColumns; ++c)
    out << (c ? ", " : "") << "{\"name\": \"" << colorfile::ColumnName(c)
        << "\", \"caption\": " << common::JsonString(colorfile::ColumnCaption(c)) << "}";
  out << "],\n  \"rows\": [\n";
  for (int r = 0; r < colorfile::kRows; ++r) {
    out << "    {\"row\": " << r << ", \"caption\": \"" << colorfile::RowCaption(r) << "\"";
    for (int c = 0; c < colorfile::kColumns; ++c) {
      const colorfile::Rgb v = table[static_cast<size_t>(r)][static_cast<size_t>(c)];
      out << ", \"" << colorfile::ColumnName(c) << "\": [" << int{v.r} << ", " << int{v.g} << ", "
          << int{v.b} << "]";
    }
    out << "}" << (r + 1 < colorfile::kRows ? "," : "") << "\n";
  }
  out << "  ]\n}\n";
}

void PrintText(const colorfile::ColorTable& table, const std::string& file, bool swatches,
               std::ostream& out) {
  out << common::EscapeControls(file) << "\n\n";
  for (int c = 0; c < colorfile::kColumns; ++c)
    out << common::Pad(std::string(colorfile::ColumnName(c)) + ":", 9)
        << colorfile::ColumnCaption(c) << '\n';
  out << '\n';
  const size_t cellWidth = swatches ? 16 : 13;
  out << common::Pad("Row", 11);
  for (int c = 0; c < colorfile::kColumns; ++c)
    out << (c + 1 < colorfile::kColumns
                ? common::Pad(std::string(colorfile::ColumnName(c)), cellWidth)
                : std::string(colorfile::ColumnName(c)));
  out << '\n';
  for (int r = 0; r < colorfile::kRows; ++r) {
    out << common::Pad(std::string(colorfile::RowCaption(r)), 11);
    for (int c = 0; c < colorfile::kColumns; ++c) {
      const colorfile::Rgb v = table[static_cast<size_t>(r)][static_cast<size_t>(c)];
      // The escape codes take no room on the screen: pad the visible text only.
      const std::string text = colorfile::CellText(v);
      if (swatches) out << Swatch(v);
      out << (c + 1 < colorfile::kColumns ? common::Pad(text, 13) : text);
    }
    out << '\n';
  }
}

}  // namespace

void PrintList(const colorfile::ColorTable& table, const std::string& file, ListFormat format,
               bool swatches, std::ostream& out) {
  switch (format) {
    case ListFormat::kCsv:
      return PrintCsv(table, out);
    case ListFormat::kJson:
      return PrintJson(table, file, out);
    case ListFormat::kText:
      return PrintText(table, file, swatches, out);
  }
}

}  // namespace tintmoor::cli
