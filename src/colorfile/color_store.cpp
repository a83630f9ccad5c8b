// The safe load, save and restore sequences; see colorstore.h.
#include "colorfile/color_store.h"

#include "colorfile/table_binding.h"
#include "markup/reader.h"
#include "markup/writer.h"

namespace {

std::string Hint(WriteProblem problem) {
  switch (problem) {
    case WriteProblem::kAccessDenied:
      return "\n\nAccess was denied. If the game is installed under Program Files, run Tintmoor "
             "as administrator; if the file is read-only, clear its read-only attribute.";
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
      return "The colour file\n" + path + "\ncould not be read: " + reason +
             "\n\nThe colours shown were not changed.";
    case ColorFileStep::kReadDefault:
      return "The program's default colour file\n" + path +
             "\nis missing or cannot be read: " + reason +
             "\n\nNothing was changed. Put the playercolors.xml that comes with Tintmoor back "
             "beside the program and try again.";
    case ColorFileStep::kCheckDefault:
      return "The program's default colour file\n" + path + "\nis damaged: " + reason +
             "\n\nNothing was changed.";
    case ColorFileStep::kWriteColorFile:
      return "The colour file\n" + path + "\ncould not be written: " + reason +
             "\n\nThe game's files were left as they were." + Hint(problem);
    case ColorFileStep::kDeleteXmb:
      return "The new colours are in playercolors.xml, but\n" + path +
             "\ncould not be deleted: " + reason +
             "\n\nThe game may keep its old colours until that file is deleted." + Hint(problem);
  }
  return reason;
}

void ReplaceColorFile(ColorFileSystem& fs, const std::string& dataFolder, std::string_view bytes) {
  const std::string path = ColorFilePath(dataFolder);
  try {
    fs.ReplaceWhole(path, bytes);
  } catch (const FileError& e) {
    throw ColorFileError(ColorFileStep::kWriteColorFile, path, e.reason(), fs.DiagnoseWrite(path));
  }
}

// Only once the new colour file is in place: the game rebuilds the xmb from it.
void DeleteXmb(ColorFileSystem& fs, const std::string& dataFolder) {
  const std::string path = XmbFilePath(dataFolder);
  if (!fs.IsFile(path)) return;
  try {
    fs.Remove(path);
  } catch (const FileError& e) {
    throw ColorFileError(ColorFileStep::kDeleteXmb, path, e.reason(), fs.DiagnoseWrite(path));
  }
}

}  // namespace

ColorFileError::ColorFileError(ColorFileStep step, std::string path, std::string reason,
                               WriteProblem problem)
    : TintError(Message(step, path, reason, problem)),
      step_(step),
      path_(std::move(path)),
      problem_(problem) {}

std::string ColorFilePath(const std::string& dataFolder) { return dataFolder + kColorFileName; }
std::string XmbFilePath(const std::string& dataFolder) { return dataFolder + kXmbFileName; }
std::string DefaultColorFilePath(ColorFileSystem& fs) {
  return fs.ProgramFolder() + kPathSeparator + kColorFileName;
}

std::unique_ptr<markup::Element> LoadColorTree(ColorFileSystem& fs, const std::string& path) {
  std::string bytes;
  try {
    bytes = fs.ReadAll(path);
  } catch (const FileError& e) {
    throw ColorFileError(ColorFileStep::kReadColorFile, path, e.reason());
  }
  auto root = std::make_unique<markup::Element>();
  root->set_open(true);
  try {
    markup::ReadMarkup(bytes, *root, path);
  } catch (const OverflowError& e) {
    throw ColorFileOverflowError(ColorFileStep::kReadColorFile, path, e.what());
  }
  return root;
}

void SaveColorTree(ColorFileSystem& fs, const std::string& dataFolder,
                   const markup::Element& root) {
  std::string bytes;
  try {
    bytes = markup::WriteDocument(root);
  } catch (const OverflowError& e) {
    throw ColorFileOverflowError(ColorFileStep::kWriteColorFile, ColorFilePath(dataFolder),
                                 e.what());
  }
  ReplaceColorFile(fs, dataFolder, bytes);
  DeleteXmb(fs, dataFolder);
}

void RestoreDefaultColorFile(ColorFileSystem& fs, const std::string& dataFolder) {
  const std::string source = DefaultColorFilePath(fs);
  if (!fs.IsFile(source)) {
    throw ColorFileError(ColorFileStep::kReadDefault, source, "the file does not exist");
  }
  std::string bytes;
  try {
    bytes = fs.ReadAll(source);
  } catch (const FileError& e) {
    throw ColorFileError(ColorFileStep::kReadDefault, source, e.reason());
  }
  // Never put something over the game's file that would not show as colours.
  markup::Element tree;
  tree.set_open(true);
  try {
    markup::ReadMarkup(bytes, tree, source);
  } catch (const OverflowError& e) {
    throw ColorFileOverflowError(ColorFileStep::kCheckDefault, source, e.what());
  }
  const auto problems = DescribeTableProblems(tree, ReadColorTable(tree));
  if (!problems.empty()) throw ColorFileError(ColorFileStep::kCheckDefault, source, problems[0]);

  ReplaceColorFile(fs, dataFolder, bytes);
  DeleteXmb(fs, dataFolder);
}
