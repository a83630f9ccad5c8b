// The three forms `tintmoor-cli list` prints the table in.
#pragma once

#include <iosfwd>
#include <string>

#include "colorfile/color_table.h"

namespace tintmoor::cli {

enum class ListFormat { kText, kCsv, kJson };

// Swatches (24-bit colour escapes) go beside the colours of the text form only.
void PrintList(const colorfile::ColorTable& table, const std::string& file, ListFormat format,
               bool swatches, std::ostream& out);

}  // namespace tintmoor::cli
