#include "cli/list_formats.h"

#include <ostream>

#include "colorfile/cell_names.h"
#include "colorfile/table_binding.h"
#include "common/text.h"

namespace {

std::string Swatch(Rgb c) {
  return "\x1b[48;2;" + std::to_string(c.r) + ";" + std::to_string(c.g) + ";" +
         std::to_string(c.b) + "m  \x1b[0m ";
}

void PrintCsv(const ColorTable& table, std::ostream& out) {
  out << "row,caption";
  for (int c = 0; c < kColumns; ++c)
    for (const char* part : {"_r", "_g", "_b"}) out << ',' << ColumnName(c) << part;
  out << "\r\n";
  for (int r = 0; r < kRows; ++r) {
    out << r << ',' << RowCaption(r);
    for (Rgb c : table[static_cast<size_t>(r)])
      out << ',' << int{c.r} << ',' << int{c.g} << ',' << int{c.b};
    out << "\r\n";
  }
}

void PrintJson(const ColorTable& table, const std::string& file, std::ostream& out) {
  out << "{\n  \"file\": " << JsonString(file) << ",\n  \"columns\": [";
  for (int c = 0; c < kColumns; ++c)
    out << (c ? ", " : "") << "{\"name\": \"" << ColumnName(c)
        << "\", \"caption\": " << JsonString(ColumnCaption(c)) << "}";
  out << "],\n  \"rows\": [\n";
  for (int r = 0; r < kRows; ++r) {
    out << "    {\"row\": " << r << ", \"caption\": \"" << RowCaption(r) << "\"";
    for (int c = 0; c < kColumns; ++c) {
      const Rgb v = table[static_cast<size_t>(r)][static_cast<size_t>(c)];
      out << ", \"" << ColumnName(c) << "\": [" << int{v.r} << ", " << int{v.g} << ", " << int{v.b}
          << "]";
    }
    out << "}" << (r + 1 < kRows ? "," : "") << "\n";
  }
  out << "  ]\n}\n";
}

void PrintText(const ColorTable& table, const std::string& file, bool swatches, std::ostream& out) {
  out << EscapeControls(file) << "\n\n";
  for (int c = 0; c < kColumns; ++c)
    out << Pad(std::string(ColumnName(c)) + ":", 9) << ColumnCaption(c) << '\n';
  out << '\n';
  const size_t cellWidth = swatches ? 16 : 13;
  out << Pad("Row", 11);
  for (int c = 0; c < kColumns; ++c)
    out << (c + 1 < kColumns ? Pad(std::string(ColumnName(c)), cellWidth)
                             : std::string(ColumnName(c)));
  out << '\n';
  for (int r = 0; r < kRows; ++r) {
    out << Pad(std::string(RowCaption(r)), 11);
    for (int c = 0; c < kColumns; ++c) {
      const Rgb v = table[static_cast<size_t>(r)][static_cast<size_t>(c)];
      // The escape codes take no room on the screen: pad the visible text only.
      const std::string text = CellText(v);
      if (swatches) out << Swatch(v);
      out << (c + 1 < kColumns ? Pad(text, 13) : text);
    }
    out << '\n';
  }
}

}  // namespace

void PrintList(const ColorTable& table, const std::string& file, ListFormat format, bool swatches,
               std::ostream& out) {
  switch (format) {
    case ListFormat::kCsv:
      return PrintCsv(table, out);
    case ListFormat::kJson:
      return PrintJson(table, file, out);
    case ListFormat::kText:
      return PrintText(table, file, swatches, out);
  }
}
