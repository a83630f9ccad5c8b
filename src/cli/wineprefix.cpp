#include "cli/wineprefix.h"

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "colorfile/game_location.h"

namespace tintmoor::cli {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kGameKey = colorfile::kGameKeyPath;
// A 64-bit prefix's registry file keeps the 32-bit view under Wow6432Node.
const std::string kGameKey32 =
    "Software\\Wow6432Node" + std::string(kGameKey.substr(kGameKey.find('\\')));

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return out;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// UTF-16 code units to UTF-8, pairing surrogates; a lone one becomes U+FFFD.
std::string Utf16ToUtf8(const std::vector<uint16_t>& units) {
  std::string out;
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t u = units[i];
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] < 0xE000) {
      u = 0x10000 + ((u - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (u >= 0xD800 && u < 0xE000) {
      u = 0xFFFD;
    }
    AppendUtf8(out, u);
  }
  return out;
}

int HexDigit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

// Reads an escaped string from s at pos up to the closing `close` character
// (not included; pos is left after it). Returns nullopt when it is not closed.
// Bytes past ASCII that stand unescaped in the file are kept as they are.
std::optional<std::string> Unescape(std::string_view s, size_t& pos, char close) {
  std::string out;
  std::vector<uint16_t> units;  // escaped code units waiting to be turned into UTF-8
  auto flush = [&] {
    out += Utf16ToUtf8(units);
    units.clear();
  };
  while (pos < s.size()) {
    const char ch = s[pos++];
    if (ch == close) {
      flush();
      return out;
    }
    if (ch != '\\' || pos >= s.size()) {
      flush();
      out += ch;
      continue;
    }
    const char e = s[pos++];
    switch (e) {
      case 'a':
        units.push_back(7);
        break;
      case 'b':
        units.push_back(8);
        break;
      case 'e':
        units.push_back(27);
        break;
      case 'f':
        units.push_back(12);
        break;
      case 'n':
        units.push_back(10);
        break;
      case 'r':
        units.push_back(13);
        break;
      case 't':
        units.push_back(9);
        break;
      case 'v':
        units.push_back(11);
        break;
      case 'x': {
        uint32_t v = 0;
        int n = 0;
        for (int d; n < 4 && pos < s.size() && (d = HexDigit(s[pos])) >= 0; ++n, ++pos)
          v = v * 16 + static_cast<uint32_t>(d);
        units.push_back(n ? static_cast<uint16_t>(v) : static_cast<uint16_t>('x'));
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          uint32_t v = static_cast<uint32_t>(e - '0');
          for (int n = 1; n < 3 && pos < s.size() && s[pos] >= '0' && s[pos] <= '7'; ++n, ++pos)
            v = v * 8 + static_cast<uint32_t>(s[pos] - '0');
          units.push_back(static_cast<uint16_t>(v));
        } else {
          flush();
          out += e;  // "\\", "\"", "\]" and anything else stand for themselves
        }
    }
  }
  return std::nullopt;
}

// The bytes of "hex:" data: pairs of hex digits separated by commas.
std::optional<std::string> HexBytes(std::string_view s) {
  std::string out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ',' || s[i] == ' ' || s[i] == '\t')) ++i;
    if (i >= s.size()) break;
    if (i + 1 >= s.size() || HexDigit(s[i]) < 0 || HexDigit(s[i + 1]) < 0) return std::nullopt;
    out += static_cast<char>(HexDigit(s[i]) * 16 + HexDigit(s[i + 1]));
    i += 2;
  }
  return out;
}

std::string UpToNul(std::string s) {
  if (const size_t nul = s.find('\0'); nul != std::string::npos) s.resize(nul);
  return s;
}

// The value part after '=' of a value line.
std::optional<RegValue> ParseData(std::string_view data) {
  size_t pos = 0;
  if (data.starts_with("\"")) {
    pos = 1;
    auto text = Unescape(data, pos, '"');
    if (!text) return std::nullopt;
    return RegValue{kRegSz, UpToNul(*text)};
  }
  if (data.starts_with("str(")) {
    const size_t close = data.find("):\"");
    if (close == std::string_view::npos) return std::nullopt;
    const int type = std::atoi(std::string(data.substr(4, close - 4)).c_str());
    pos = close + 3;
    auto text = Unescape(data, pos, '"');
    if (!text) return std::nullopt;
    return RegValue{type, UpToNul(*text)};
  }
  if (data.starts_with("dword:")) return RegValue{4, {}};
  int type = 3;
  std::string_view bytes;
  if (data.starts_with("hex:")) {
    bytes = data.substr(4);
  } else if (data.starts_with("hex(")) {
    const size_t close = data.find("):");
    if (close == std::string_view::npos) return std::nullopt;
    type =
        static_cast<int>(std::strtol(std::string(data.substr(4, close - 4)).c_str(), nullptr, 16));
    bytes = data.substr(close + 2);
  } else {
    return std::nullopt;
  }
  auto raw = HexBytes(bytes);
  if (!raw) return std::nullopt;
  RegValue v{type, {}};
  if (type == kRegSz || type == kRegExpandSz) {
    // Strings in hex are UTF-16LE.
    std::vector<uint16_t> units;
    for (size_t i = 0; i + 1 < raw->size(); i += 2)
      units.push_back(static_cast<uint16_t>(static_cast<unsigned char>((*raw)[i]) |
                                            static_cast<unsigned char>((*raw)[i + 1]) << 8));
    v.text = UpToNul(Utf16ToUtf8(units));
  }
  return v;
}

// The file's lines, with hex continuations ("\" at the end) joined.
std::vector<std::string> LogicalLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  bool continued = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (continued) {
      while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    }
    current += line;
    // Only data lines continue; a string can end in an escaped backslash.
    continued =
        !current.empty() && current.back() == '\\' && current.find("=hex") != std::string::npos;
    if (continued) {
      current.pop_back();
      continue;
    }
    lines.push_back(std::move(current));
    current.clear();
  }
  if (!current.empty()) lines.push_back(std::move(current));
  return lines;
}

// system.reg can be large (and a damaged or hostile prefix larger still): it
// is read in pieces, keeping only the lines of the game's keys, so memory
// stays bounded whatever the file holds.
constexpr uint64_t kMaxRegBytes = uint64_t{256} << 20;
constexpr size_t kMaxKeptBytes = size_t{16} << 20;
constexpr size_t kMaxHeaderBytes = 64u << 10;

bool IsGameKey(std::string_view header) {
  size_t pos = 1;
  const auto key = Unescape(header, pos, ']');
  return key && (Lower(*key) == Lower(kGameKey) || Lower(*key) == Lower(kGameKey32));
}

std::string GameKeysText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::string kept;
  std::string line;
  bool keep = false;
  uint64_t total = 0;
  auto endLine = [&] {
    if (line.starts_with("[")) keep = IsGameKey(line);
    if (keep) {
      kept += line;
      kept += '\n';
    }
    line.clear();
  };
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    const auto got = static_cast<size_t>(in.gcount());
    total += got;
    if (total > kMaxRegBytes)
      throw common::TintError(path + " is larger than 256 MB; it is not a registry Wine wrote");
    for (size_t i = 0; i < got; ++i) {
      if (buffer[i] == '\n') {
        endLine();
        continue;
      }
      // Outside the game's keys only a line's start matters (is it a key?).
      if (!keep && line.size() >= kMaxHeaderBytes) continue;
      line += buffer[i];
      if (kept.size() + line.size() > kMaxKeptBytes)
        throw common::TintError("the game's keys in " + path + " are larger than 16 MB");
    }
  }
  endLine();
  return kept;
}

}  // namespace

std::optional<RegValue> FindRegValue(std::string_view regText, std::string_view keyPath,
                                     std::string_view valueName) {
  const std::string wantKey = Lower(keyPath);
  const std::string wantValue = Lower(valueName);
  bool inKey = false;
  for (const std::string& line : LogicalLines(regText)) {
    if (line.starts_with("[")) {
      size_t pos = 1;
      auto key = Unescape(line, pos, ']');
      inKey = key && Lower(*key) == wantKey;
      continue;
    }
    if (!inKey) continue;
    std::optional<std::string> name;
    size_t pos = 0;
    if (line.starts_with("@=")) {
      name = "";
      pos = 1;
    } else if (line.starts_with("\"")) {
      pos = 1;
      name = Unescape(line, pos, '"');
    }
    if (!name || pos >= line.size() || line[pos] != '=') continue;
    if (Lower(*name) != wantValue) continue;
    return ParseData(std::string_view(line).substr(pos + 1));
  }
  return std::nullopt;
}

std::string WineAppPath(const std::string& prefix) {
  const std::string regPath = (fs::path(prefix) / "system.reg").string();
  std::error_code ec;
  if (!fs::is_regular_file(regPath, ec))
    throw common::TintError("no Wine prefix at " + prefix + " (" + regPath + " not found)");
  const std::string text = GameKeysText(regPath);
  bool notText = false;
  for (std::string_view key : {std::string_view(kGameKey32), kGameKey}) {
    const auto v = FindRegValue(text, key, colorfile::kGameInstallValue);
    if (!v) continue;
    if (v->type != kRegSz) {
      notText = true;
      continue;
    }
    if (!v->text.empty()) return v->text;
  }
  throw common::TintError(
      std::string("cannot find the folder where AoM is installed: the Wine prefix ") + prefix +
      (notText ? " has an \"AppPath\" that is not plain text"
               : " has no \"AppPath\" for Age of Mythology"));
}

std::string MapWinePath(const std::string& prefix, std::string_view windowsPath) {
  if (windowsPath.size() < 2 || !std::isalpha(static_cast<unsigned char>(windowsPath[0])) ||
      windowsPath[1] != ':')
    throw common::TintError("\"" + std::string(windowsPath) + "\" is not a path on a drive letter");
  const std::string drive = Lower(windowsPath.substr(0, 2));
  fs::path dir = fs::path(prefix) / "dosdevices" / drive;
  std::error_code ec;
  if (!fs::exists(dir, ec) && drive == "c:") dir = fs::path(prefix) / "drive_c";
  if (!fs::exists(dir, ec))
    throw common::TintError("drive " + std::string(windowsPath.substr(0, 2)) +
                            " is not mapped in the Wine prefix " + prefix);
  // The drive's own folder, links resolved, so paths read as the player knows them.
  if (fs::path real = fs::canonical(dir, ec); !ec) dir = real;

  std::string_view rest = windowsPath.substr(2);
  int depth = 0;  // components below the drive's folder: ".." never climbs above it
  while (!rest.empty()) {
    const size_t cut = rest.find_first_of("\\/");
    const std::string_view part = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (depth > 0) {
        dir = dir.parent_path();
        --depth;
      }
      continue;
    }
    ++depth;
    fs::path next = dir / std::string(part);
    if (!fs::exists(next, ec)) {
      // Wine finds files whatever the case of their names; so do we.
      const std::string want = Lower(part);
      for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (Lower(it->path().filename().string()) == want) {
          next = it->path();
          break;
        }
      }
    }
    dir = next;
  }
  return dir.string();
}

std::string WineDataFolder(const std::string& prefix) {
  return MapWinePath(prefix, colorfile::DataFolderOfInstall(WineAppPath(prefix))) + "/";
}

}  // namespace tintmoor::cli
