// The safe load, save and restore sequences; see color_store.h.
#include "colorfile/color_store.h"

#include <climits>
#include <optional>
#include <unordered_map>
#include <utility>

#include "colorfile/table_binding.h"
#include "markup/reader.h"
#include "markup/writer.h"

namespace tintmoor::colorfile {

namespace {

std::string Hint(WriteProblem problem) {
  switch (problem) {
    case WriteProblem::kAccessDenied:
      return "\n\nAccess was denied. If the game is installed under Program Files, run Tintmoor "
             "as administrator.";
    case WriteProblem::kReadOnly:
#ifdef _WIN32
      return "\n\nThe file is read-only: clear its read-only attribute (in its Properties, "
             "untick Read-only), then try again.";
#else
      return "\n\nThe file is read-only: make it writable (chmod u+w), then try again.";
#endif
    case WriteProblem::kInUse:
      return "\n\nAnother program, probably the game, has the file open. Close the game and "
             "try again.";
    case WriteProblem::kFolderMissing:
      return "\n\nThe game's data folder no longer exists.";
    case WriteProblem::kOther:
      break;
  }
  return {};
}

std::string Message(ColorFileStep step, const std::string& path, const std::string& reason,
                    WriteProblem problem) {
  switch (step) {
    case ColorFileStep::kReadColorFile:
      return "The color file\n" + path + "\ncould not be read: " + reason +
             "\n\nThe colors shown were not changed.";
    case ColorFileStep::kReadDefault:
      return "The program's default color file\n" + path +
             "\nis missing or cannot be read: " + reason +
             "\n\nNothing was changed. Put the playercolors.xml that comes with Tintmoor back "
             "beside the program and try again.";
    case ColorFileStep::kCheckDefault:
      return "The program's default color file\n" + path + "\nis damaged: " + reason +
             "\n\nNothing was changed.";
    case ColorFileStep::kWriteColorFile:
      return "The color file\n" + path + "\ncould not be written: " + reason +
             "\n\nThe game's files were left as they were." + Hint(problem);
    case ColorFileStep::kDeleteXmb:
      return "The new colors are in playercolors.xml, but\n" + path +
             "\ncould not be deleted: " + reason +
             "\n\nThe game may keep its old colors until that file is deleted." + Hint(problem);
    case ColorFileStep::kChangedOnDisk:
      return "The color file\n" + path +
             "\nchanged on disk after Tintmoor read it, so nothing was written: writing now "
             "would undo that change.";
    case ColorFileStep::kReadOriginal:
      return "The kept original color file\n" + path + "\ncannot be put back: " + reason +
             "\n\nNothing was changed.";
    case ColorFileStep::kNotAFile:
      return "The color file\n" + path + "\nis not a regular file but " + reason +
             ": Tintmoor neither reads nor replaces it.\n\nNothing was changed.";
    case ColorFileStep::kOriginalBlocked:
      return "The color file as first found cannot be kept as\n" + path + "\nbecause " + reason +
             " has that name.\n\nNothing was written. Move or rename it, then try again.";
    case ColorFileStep::kLockFile:
      return "Nothing was written: the lock file\n" + path +
             "\nthat keeps two programs from saving at once cannot be opened: " + reason +
             Hint(problem);
    case ColorFileStep::kBusy:
      return "Nothing was written: another program is saving " + path + "; try again.";
  }
  return reason;
}

// FNV-1a: enough to tell a changed file from the one loaded, which nobody
// crafts against us; the size is compared as well.
uint64_t HashOf(std::string_view bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

LoadedColorFile Describe(const std::optional<std::string>& bytes) {
  LoadedColorFile d;
  if (!bytes) return d;
  d.found = true;
  d.size = bytes->size();
  d.hash = HashOf(*bytes);
  return d;
}

// Calls f(line) for each line as the reader sees it (CR, LF or CR LF ends a
// line; spaces trimmed at both ends, tabs removed), skipping empty ones.
template <class F>
void ForEachCleanLine(std::string_view bytes, F&& f) {
  size_t p = 0;
  while (p < bytes.size()) {
    size_t e = bytes.find_first_of("\r\n", p);
    if (e == std::string_view::npos) e = bytes.size();
    std::string_view raw = bytes.substr(p, e - p);
    p = e + ((e + 1 < bytes.size() && bytes[e] == '\r' && bytes[e + 1] == '\n') ? 2 : 1);
    while (!raw.empty() && raw.front() == ' ') raw.remove_prefix(1);
    while (!raw.empty() && raw.back() == ' ') raw.remove_suffix(1);
    std::string line;
    for (const char c : raw)
      if (c != '\t') line += c;
    if (!line.empty()) f(std::move(line));
  }
}

// The lines of found that are not among the lines the writer makes of the
// tree read from it: exactly the lines a save cannot give back, whatever the
// reason (a line the reader drops, a value it changes, an element split over
// lines). Indentation and line ends do not count, as the reader ignores them.
// The writer keeps the order of what it was given, so matching each line
// against the written ones as a multiset is enough.
int32_t CountLinesNotKept(std::string_view found, const markup::Element& root) {
  std::string written;
  try {
    written = markup::WriteDocument(root);
  } catch (const common::OverflowError&) {
    // A tree too deep to write is refused by every save; nothing to count.
    return 0;
  }
  std::unordered_map<std::string, int32_t> left;
  ForEachCleanLine(written, [&](std::string line) { ++left[line]; });
  int32_t lost = 0;
  bool first = true;
  ForEachCleanLine(found, [&](std::string line) {
    // The writer puts its own declaration first; the file's is replaced, not lost.
    if (std::exchange(first, false) && line.rfind("<?xml ", 0) == 0) return;
    auto it = left.find(line);
    if (it != left.end() && it->second > 0) {
      --it->second;
    } else if (lost < INT32_MAX) {
      ++lost;
    }
  });
  return lost;
}

// What stands under a name that is not a regular file, in the words of a
// message ("... but a folder").
std::string NotAFileReason(EntryKind kind) {
  switch (kind) {
    case EntryKind::kFolder:
      return "a folder";
    case EntryKind::kLink:
      return "a link to nothing";
    default:
      return "a device, a pipe or a socket";
  }
}

// The game's colour file as it is now, or nothing when there is none.
std::optional<std::string> ReadCurrent(ColorFileSystem& fs, const std::string& path) {
  if (!ColorFileExists(fs, path)) return std::nullopt;
  try {
    return fs.ReadAll(path);
  } catch (const common::FileError& e) {
    // A file that cannot be read is one the save must not replace blind.
    throw ColorFileError(ColorFileStep::kWriteColorFile, path, e.reason(), fs.DiagnoseWrite(path));
  }
}

// Before the first replacement, the file as found goes beside it, once and
// whatever it holds, so the player can always go back to it. A folder writing
// its first colour file in place of another's (takesOver) keeps that folder's
// original, or else its file. Where there is no file at all, Tintmoor is the
// one creating it, and the program's default counts as the file found, as it
// does when the window seeds an empty data folder.
void KeepOriginal(ColorFileSystem& fs, const std::string& dataFolder,
                  const std::optional<std::string>& current, const std::string& takesOver,
                  SaveOutcome& outcome) {
  const std::string original = OriginalFilePath(dataFolder);
  switch (const EntryKind kind = fs.KindOf(original)) {
    case EntryKind::kNone:
      break;
    case EntryKind::kFile:
      outcome.originalExists = true;
      return;
    case EntryKind::kLink:
      if (fs.IsFile(original)) {
        outcome.originalExists = true;
        return;
      }
      [[fallthrough]];  // a link to nothing would be written through, anywhere
    default:
      throw ColorFileError(
          ColorFileStep::kOriginalBlocked, original,
          kind == EntryKind::kFolder ? "a folder" : "something that is not a file");
  }
  std::optional<std::string> found = current;
  if (!found && !takesOver.empty()) {
    for (const std::string& file : {OriginalFilePath(takesOver), ColorFilePath(takesOver)}) {
      if (fs.KindOf(file) != EntryKind::kFile) continue;
      try {
        found = fs.ReadAll(file);
        break;
      } catch (const common::FileError&) {
      }
    }
  }
  if (!found) {
    try {
      found = fs.ReadAll(DefaultColorFilePath(fs));
    } catch (const common::FileError&) {
      return;  // no default to stand for the file found: nothing to keep
    }
  }
  try {
    fs.ReplaceWhole(original, *found);
  } catch (const common::FileError& e) {
    throw ColorFileError(ColorFileStep::kWriteColorFile, original, e.reason(),
                         fs.DiagnoseWrite(original));
  }
  outcome.keptOriginal = outcome.originalExists = true;
}

void ReplaceColorFile(ColorFileSystem& fs, const std::string& dataFolder, std::string_view bytes,
                      const std::optional<std::string>& current, const std::string& takesOver,
                      SaveOutcome& outcome) {
  const std::string path = ColorFilePath(dataFolder);
  KeepOriginal(fs, dataFolder, current, takesOver, outcome);
  try {
    fs.ReplaceWhole(path, bytes);
  } catch (const common::FileError& e) {
    // A failed save changes nothing: not even the copy it has just made.
    if (outcome.keptOriginal) {
      try {
        fs.Remove(OriginalFilePath(dataFolder));
        outcome.keptOriginal = outcome.originalExists = false;
      } catch (const common::FileError&) {
      }
    }
    throw ColorFileError(ColorFileStep::kWriteColorFile, path, e.reason(), fs.DiagnoseWrite(path));
  }
  // Only here, in the folder being saved, and only what a killed save of
  // ours left: nothing anyone else made is touched.
  fs.RemoveLeftovers(path);
  fs.RemoveLeftovers(OriginalFilePath(dataFolder));
}

}  // namespace

// Only once the new colour file is in place: the game rebuilds the xmb from it.
void DeleteXmbFile(ColorFileSystem& fs, const std::string& folder) {
  const std::string path = XmbFilePath(folder);
  if (!fs.IsFile(path)) return;
  try {
    fs.Remove(path);
  } catch (const common::FileError& e) {
    throw ColorFileError(ColorFileStep::kDeleteXmb, path, e.reason(), fs.DiagnoseWrite(path));
  }
}

ColorFileError::ColorFileError(ColorFileStep step, std::string path, std::string reason,
                               WriteProblem problem)
    : common::TintError(Message(step, path, reason, problem)),
      step_(step),
      path_(std::move(path)),
      problem_(problem) {}

std::string ColorFilePath(const std::string& dataFolder) { return dataFolder + kColorFileName; }
std::string XmbFilePath(const std::string& dataFolder) { return dataFolder + kXmbFileName; }
std::string OriginalFilePath(const std::string& dataFolder) {
  return dataFolder + kOriginalFileName;
}
std::string LockFilePath(const std::string& dataFolder) { return dataFolder + kLockFileName; }

bool ColorFileExists(ColorFileSystem& fs, const std::string& path) {
  const EntryKind kind = fs.KindOf(path);
  if (kind == EntryKind::kNone) return false;
  if (kind == EntryKind::kFile || (kind == EntryKind::kLink && fs.IsFile(path))) return true;
  throw ColorFileError(ColorFileStep::kNotAFile, path, NotAFileReason(kind));
}
std::string DefaultColorFilePath(ColorFileSystem& fs) {
  return fs.ProgramFolder() + kPathSeparator + kColorFileName;
}

std::unique_ptr<markup::Element> LoadColorTree(ColorFileSystem& fs, const std::string& path) {
  LoadedColorFile unused;
  return LoadColorTree(fs, path, unused);
}

std::unique_ptr<markup::Element> LoadColorTree(ColorFileSystem& fs, const std::string& path,
                                               LoadedColorFile& loaded) {
  std::string bytes;
  try {
    bytes = fs.ReadAll(path);
  } catch (const common::FileError& e) {
    throw ColorFileError(ColorFileStep::kReadColorFile, path, e.reason());
  }
  auto root = std::make_unique<markup::Element>();
  root->set_open(true);
  try {
    markup::ReadMarkup(bytes, *root, path);
  } catch (const common::OverflowError& e) {
    throw ColorFileOverflowError(ColorFileStep::kReadColorFile, path, e.what());
  }
  loaded = Describe(bytes);
  loaded.linesNotKept = CountLinesNotKept(bytes, *root);
  return root;
}

LoadedColorFile LookAtColorFile(ColorFileSystem& fs, const std::string& path) {
  LoadedColorFile loaded;
  if (fs.IsFile(path)) LoadColorTree(fs, path, loaded);
  return loaded;
}

namespace {

std::string WriteColorTree(const std::string& dataFolder, const markup::Element& root) {
  try {
    return markup::WriteDocument(root);
  } catch (const common::OverflowError& e) {
    throw ColorFileOverflowError(ColorFileStep::kWriteColorFile, ColorFilePath(dataFolder),
                                 e.what());
  }
}

}  // namespace

void SaveColorTree(ColorFileSystem& fs, const std::string& dataFolder, const markup::Element& root,
                   const std::string& takesOver) {
  const std::string bytes = WriteColorTree(dataFolder, root);
  SaveOutcome outcome;
  ReplaceColorFile(fs, dataFolder, bytes, ReadCurrent(fs, ColorFilePath(dataFolder)), takesOver,
                   outcome);
  DeleteXmbFile(fs, dataFolder);
}

void SaveColorTree(ColorFileSystem& fs, const std::string& dataFolder, const markup::Element& root,
                   LoadedColorFile& loaded, SaveOutcome* outcome, const std::string& takesOver) {
  const std::string bytes = WriteColorTree(dataFolder, root);
  const std::string path = ColorFilePath(dataFolder);
  // Read again right before replacing: the gap left to another writer is this
  // one call long, instead of however long the colours were being picked.
  const std::optional<std::string> current = ReadCurrent(fs, path);
  const LoadedColorFile now = Describe(current);
  // A file deleted since holds nothing a save could undo.
  if (now.found && (!loaded.found || now.size != loaded.size || now.hash != loaded.hash))
    throw ColorFileError(ColorFileStep::kChangedOnDisk, path, {});
  SaveOutcome result;
  result.linesNotKept = loaded.linesNotKept;
  ReplaceColorFile(fs, dataFolder, bytes, current, takesOver, result);
  loaded = Describe(bytes);
  if (outcome) *outcome = result;
  DeleteXmbFile(fs, dataFolder);
}

std::string DescribeLinesNotKept(const std::string& dataFolder, const SaveOutcome& outcome) {
  const int32_t n = outcome.linesNotKept;
  if (n <= 0) return {};
  std::string text = (n == 1 ? std::string("1 line") : std::to_string(n) + " lines") + " of\n" +
                     ColorFilePath(dataFolder) + "\n" + (n == 1 ? "was" : "were") +
                     " not kept as " + (n == 1 ? "it was" : "they were") +
                     ": Tintmoor writes back only what it reads, so comments, self-closing "
                     "elements, elements split over lines and \"=\" inside attribute values "
                     "are not kept.";
  if (outcome.keptOriginal) {
    text += "\n\nThe file as it was before this save is kept as\n" + OriginalFilePath(dataFolder);
  } else if (outcome.originalExists) {
    text += "\n\nThe file as Tintmoor first found it is kept, unchanged, as\n" +
            OriginalFilePath(dataFolder);
  }
  return text;
}

void RestoreOriginalColorFile(ColorFileSystem& fs, const std::string& dataFolder,
                              const std::string& takesOver) {
  // A folder taking over from another has no original yet: the other's is
  // the file first found, and the one put back.
  const bool theirs =
      !takesOver.empty() && fs.KindOf(OriginalFilePath(dataFolder)) == EntryKind::kNone;
  const std::string source = OriginalFilePath(theirs ? takesOver : dataFolder);
  const auto refuse = [&source](const std::string& why) {
    return ColorFileError(ColorFileStep::kReadOriginal, source, why);
  };
  // Only the file a save kept: a link could bring in any file at all.
  switch (fs.KindOf(source)) {
    case EntryKind::kNone:
      throw refuse("the file does not exist");
    case EntryKind::kFile:
      break;
    case EntryKind::kLink:
      throw refuse("it is a symbolic link, not the file Tintmoor kept");
    default:
      throw refuse("it is not a regular file");
  }
  std::string bytes;
  try {
    bytes = fs.ReadAll(source);
  } catch (const common::FileError& e) {
    throw refuse(e.reason());
  }
  if (bytes.empty()) throw refuse("it is empty");
  // What goes back must show as the game's colours, as Restore's default must.
  markup::Element tree;
  tree.set_open(true);
  try {
    markup::ReadMarkup(bytes, tree, source);
  } catch (const common::OverflowError& e) {
    throw refuse(e.what());
  }
  if (const std::string missing = DescribeMissingShape(tree); !missing.empty())
    throw refuse("it is not a whole color file: " + missing);
  SaveOutcome unused;
  ReplaceColorFile(fs, dataFolder, bytes, std::nullopt, takesOver, unused);
  DeleteXmbFile(fs, dataFolder);
}

void RestoreDefaultColorFile(ColorFileSystem& fs, const std::string& dataFolder,
                             const std::string& takesOver) {
  const std::string source = DefaultColorFilePath(fs);
  if (!fs.IsFile(source)) {
    throw ColorFileError(ColorFileStep::kReadDefault, source, "the file does not exist");
  }
  std::string bytes;
  try {
    bytes = fs.ReadAll(source);
  } catch (const common::FileError& e) {
    throw ColorFileError(ColorFileStep::kReadDefault, source, e.reason());
  }
  // Never put something over the game's file that would not show as colours.
  markup::Element tree;
  tree.set_open(true);
  try {
    markup::ReadMarkup(bytes, tree, source);
  } catch (const common::OverflowError& e) {
    throw ColorFileOverflowError(ColorFileStep::kCheckDefault, source, e.what());
  }
  const auto problems = DescribeTableProblems(tree, ReadColorTable(tree));
  if (!problems.empty()) throw ColorFileError(ColorFileStep::kCheckDefault, source, problems[0]);

  SaveOutcome unused;
  ReplaceColorFile(fs, dataFolder, bytes, ReadCurrent(fs, ColorFilePath(dataFolder)), takesOver,
                   unused);
  DeleteXmbFile(fs, dataFolder);
}

}  // namespace tintmoor::colorfile
