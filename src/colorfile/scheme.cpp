#include "colorfile/scheme.h"

#include <array>
#include <cctype>
#include <optional>
#include <vector>

#include "colorfile/color_text.h"
#include "colorfile/table_binding.h"
#include "common/text.h"

namespace tintmoor::colorfile {

namespace {

bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\v' || ch == '\f'; }

std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

// Text from the scheme in double quotes, safe to print and cut short. (Built
// by appending: GCC 12 warns wrongly about "literal" + std::string at -O3.)
std::string Quote(std::string_view text) {
  const std::string shown = common::Shown(text);
  std::string out;
  out.reserve(shown.size() + 2);
  out += '"';
  out += shown;
  out += '"';
  return out;
}

// Appends word, with the separator unless text is still empty.
void AppendWord(std::string& text, std::string_view word, std::string_view separator) {
  if (!text.empty()) text += separator;
  text += word;
}

bool IsDigits(std::string_view token) {
  for (char ch : token)
    if (ch < '0' || ch > '9') return false;
  return !token.empty();
}

bool IsPlayerWord(std::string_view word) {
  constexpr std::string_view kPlayer = "player";
  if (word.size() != kPlayer.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(word[i])) != kPlayer[i]) return false;
  return true;
}

// The scheme as 8-bit text. Editors on Windows like to start a file with a
// byte-order mark, and PowerShell's ">" writes UTF-16: both are read. A
// character past ASCII can only stand in a comment, so it becomes '?'.
std::string SchemeText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return std::string(bytes.substr(3));
  const bool le = bytes.starts_with("\xFF\xFE");
  if (!le && !bytes.starts_with("\xFE\xFF")) return std::string(bytes);
  std::string out;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto lo = static_cast<unsigned char>(bytes[le ? i : i + 1]);
    const auto hi = static_cast<unsigned char>(bytes[le ? i + 1 : i]);
    out += hi == 0 && lo < 0x80 ? static_cast<char>(lo) : '?';
  }
  return out;
}

}  // namespace

std::string WriteScheme(const ColorTable& table) {
  std::string out =
      "# Tintmoor color scheme for Age of Mythology.\n"
      "# One line per player: the row's caption, then three colors as red green\n"
      "# blue (0 to 255): the unit color (also highlight, HP bar and waypoint\n"
      "# flag), the minimap color and the color of dead units. '#' starts a comment.\n"
      "#\n";
  out += common::Pad("# row", 14) + common::Pad("unit", 15) + common::Pad("minimap", 15) + "dead\n";
  for (int row = 0; row < kRows; ++row) {
    const auto& cells = table[static_cast<size_t>(row)];
    out += common::Pad(std::string(RowCaption(row)), 14) + common::Pad(CellText(cells[0]), 15) +
           common::Pad(CellText(cells[1]), 15) + CellText(cells[2]) + "\n";
  }
  return out;
}

ColorTable ReadScheme(std::string_view bytes, const std::string& sourceName) {
  const std::string decoded = SchemeText(bytes);
  const std::string_view text = decoded;
  ColorTable table{};
  std::array<int, kRows> seenOn{};  // line number a row was given on; 0 = not yet
  int lineNo = 0;
  auto fail = [&](const std::string& what) {
    throw SchemeError(sourceName + ", line " + std::to_string(lineNo) + ": " + what);
  };
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (const size_t hash = line.find('#'); hash != std::string_view::npos)
      line = line.substr(0, hash);
    const auto tokens = Tokens(line);
    if (tokens.empty()) continue;
    // The caption is the words before the first number, and the number after
    // "Player"; a bare row number 0..12 serves as well.
    size_t i = 0;
    std::string caption;
    while (i < tokens.size() && !IsDigits(tokens[i])) {
      AppendWord(caption, tokens[i++], " ");
    }
    if (i < tokens.size() && (caption.empty() || IsPlayerWord(caption)))
      AppendWord(caption, tokens[i++], " ");
    if (const size_t found = tokens.size() - i; found != 9)
      fail("after " + Quote(caption) + " come " + std::to_string(found) +
           (found == 1 ? " value" : " values") +
           (found > 9 ? ", " + std::to_string(found - 9) + " too many"
                      : ", " + std::to_string(9 - found) + " too few") +
           ": a row is its caption and 9 numbers, red green blue of the unit, minimap and dead "
           "colors");
    const auto row = ParseRow(caption);
    if (!row) fail(Quote(caption) + " is not a row (Gaia, Player 1 to Player 12)");
    const auto r = static_cast<size_t>(*row);
    if (seenOn[r])
      fail(Quote(RowCaption(*row)) + " is given a second time (first on line " +
           std::to_string(seenOn[r]) + ")");
    seenOn[r] = lineNo;
    std::array<uint8_t, 9> values{};
    for (size_t k = 0; k < 9; ++k) {
      const std::string_view token = tokens[tokens.size() - 9 + k];
      const auto v = ParseColorComponent(token);
      if (!v && IsDigits(token) && token.size() > 3)
        fail(Quote(token) + " has more than three digits; a color is red green blue, each a " +
             "number from 0 to 255");
      if (!v && IsDigits(token)) fail(Quote(token) + " is above 255, the largest a color takes");
      if (!v) fail(Quote(token) + " is not a number from 0 to 255");
      values[k] = *v;
    }
    for (size_t c = 0; c < kColumns; ++c)
      table[r][c] = {values[3 * c], values[3 * c + 1], values[3 * c + 2]};
  }
  std::string missing;
  for (int row = 0; row < kRows; ++row)
    if (!seenOn[static_cast<size_t>(row)]) AppendWord(missing, RowCaption(row), ", ");
  if (!missing.empty()) throw SchemeError(sourceName + ": no line for " + missing);
  return table;
}

ColorTable LoadSchemeFile(ColorFileSystem& fs, const std::string& file) {
  std::string text;
  try {
    text = fs.ReadAll(file);
  } catch (const common::FileError& e) {
    throw common::TintError("cannot read the scheme " + file + ": " + e.reason());
  }
  return ReadScheme(text, file);
}

}  // namespace tintmoor::colorfile
