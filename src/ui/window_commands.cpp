// The colour-file commands of the main window: start-up loading, the two
// passes of Show, Store, Save, Restore and Restore Original, the game folder
// chosen for this run, closing, Undo and Redo, and sharing colours.
//
// The game's files are handled by the sequences of color_store.h and
// game_location.h, so a failure never costs the game its colour file, and the
// file written is the one this user's game reads (its VirtualStore copy when
// Windows keeps one). A load builds its tree beside the one held and swaps
// tree and location in together only once the whole file was read; a failed
// load leaves tree, location and boxes as they were. Nothing outside the
// game's data folder and its VirtualStore folder is written or deleted.
#include "ui/window_commands.h"

#include <array>
#include <cctype>
#include <optional>
#include <utility>

#include "colorfile/color_text.h"
#include "colorfile/presets.h"
#include "colorfile/scheme.h"
#include "colorfile/table_binding.h"
#include "common/text.h"
#include "markup/element.h"
#include "markup/words.h"
#include "ui/version.h"

namespace tintmoor::ui {

namespace {

constexpr const char* kStartupTitle = "Cannot Apply Settings to AoM";
constexpr const char* kRestoreHint =
    "Choose Restore Default Colors in the Options menu to put the default colors back.";
constexpr const char* kColoursKept = "Your colors are still in the window.";
// The way out of every message that says the game was not found.
constexpr const char* kFindTheGame =
    "\r\n\r\nTo show Tintmoor where the game is, choose Open Game Folder... in the File "
    "menu, or start Tintmoor with --data-dir and the game's data folder.";
constexpr const char* kUndoBringsBack =
    "Undo in the Edit menu brings back the colors shown now, unsaved.";
constexpr size_t kProblemsListed = 6;

// Puts the window's yield hook aside for a moment of work that touches the
// tree by reference and needs no painting.
class YieldPause {
 public:
  YieldPause() : previous_(markup::SetYieldHook(nullptr)) {}
  ~YieldPause() { markup::SetYieldHook(previous_); }
  YieldPause(const YieldPause&) = delete;
  YieldPause& operator=(const YieldPause&) = delete;

 private:
  markup::YieldHook previous_;
};

const markup::Element& NothingLoaded() {
  static const markup::Element empty;
  return empty;
}

BoxColors BoxesOf(const ColorWindow& window) {
  BoxColors boxes;
  for (int box = 0; box < colorfile::kCells; ++box) boxes[box] = window.BoxColor(box);
  return boxes;
}

void SetBoxes(ColorWindow& window, const BoxColors& boxes) {
  for (int box = 0; box < colorfile::kCells; ++box) window.SetBoxColor(box, boxes[box]);
}

// The cells of a colour file as the window would show them, or nothing when
// it cannot be read.
std::optional<std::array<colorfile::CellRead, colorfile::kCells>> CellsOf(
    colorfile::ColorFileSystem& fs, const std::string& path) {
  try {
    const auto tree = colorfile::LoadColorTree(fs, path);
    return colorfile::ReadColorTable(*tree);
  } catch (const colorfile::ColorFileError&) {
    return std::nullopt;
  }
}

bool SameCells(const std::array<colorfile::CellRead, colorfile::kCells>& a,
               const std::array<colorfile::CellRead, colorfile::kCells>& b) {
  for (int cell = 0; cell < colorfile::kCells; ++cell) {
    if (a[cell].color != b[cell].color || a[cell].state != b[cell].state) return false;
  }
  return true;
}

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string CopyProblem(colorfile::WriteProblem problem) {
  switch (problem) {
    case colorfile::WriteProblem::kAccessDenied:
      return "access was denied. Run Tintmoor once as administrator, or copy the file there "
             "yourself.";
    case colorfile::WriteProblem::kReadOnly:
      return "the file there is read-only. Clear its read-only attribute, then choose Restore "
             "Default Colors in the Options menu.";
    case colorfile::WriteProblem::kInUse:
      return "another program, probably the game, has the folder's files open. Close the game, "
             "then choose Restore Default Colors in the Options menu.";
    case colorfile::WriteProblem::kFolderMissing:
      return "the folder no longer exists. Put it back or reinstall the game, then start "
             "Tintmoor again.";
    case colorfile::WriteProblem::kOther:
      break;
  }
  return "the copy failed. Copy the file there yourself, then start Tintmoor again.";
}

}  // namespace

CommandFailure::CommandFailure(const std::string& text) : CommandFailure(text, TINTMOOR_TITLE) {}

CommandFailure::CommandFailure(const std::string& text, std::string title)
    : common::TintError(text), title_(std::move(title)) {}

WindowCommands::WindowCommands(colorfile::ColorFileSystem& fs, colorfile::GameRegistry& registry)
    : fs_(fs), registry_(registry) {}

WindowCommands::~WindowCommands() = default;

WindowCommands::State WindowCommands::Snapshot() const {
  return {state_.location, state_.tree ? state_.tree->Clone() : nullptr, state_.loaded,
          state_.history};
}

void WindowCommands::PutBack(State before) noexcept { state_ = std::move(before); }

void WindowCommands::UseDataFolder(std::string dataFolder) {
  chosen_ = WithSeparator(std::move(dataFolder));
}

// The data folder as the game is found now: the one chosen for this run, else
// the registry's; empty when there is none.
std::string WindowCommands::DataFolderNow() {
  return chosen_.empty() ? colorfile::DataFolderOfInstall(registry_.InstallFolder()) : chosen_;
}

// The same, throwing the start-up failures when there is none, or it is not there.
std::string WindowCommands::FindDataFolder() {
  const std::string dataFolder = DataFolderNow();
  if (dataFolder.empty()) {
    throw CommandFailure(
        std::string("Cannot find the folder where AoM is installed.") + kFindTheGame,
        kStartupTitle);
  }
  if (fs_.IsFolder(dataFolder)) return dataFolder;
  if (!chosen_.empty()) {
    throw CommandFailure("The game's data folder chosen for this run\r\n" + dataFolder +
                             "\r\ndoes not exist." + kFindTheGame,
                         kStartupTitle);
  }
  throw CommandFailure("The game installation points to this directory :\r\n" + dataFolder +
                           "\r\n\r\nBut this folder does not exist." + kFindTheGame,
                       kStartupTitle);
}

void WindowCommands::Seed(ColorWindow& window, colorfile::ColorFileLocation& at) {
  const std::string source = colorfile::DefaultColorFilePath(fs_);
  if (!fs_.IsFile(source)) {
    throw CommandFailure("The game's data folder\n" + at.folder +
                         "\nhas no color file, and the program's default color file\n" + source +
                         "\nis missing, so there are no colors to show.\n\nNothing was "
                         "changed on disk. Put the playercolors.xml that comes with Tintmoor "
                         "beside the program, then choose Restore Default Colors in the "
                         "Options menu.");
  }
  // Under the game's lock, like every write: a file another program made
  // meanwhile is never overwritten.
  colorfile::WriteProblem problem = colorfile::WriteProblem::kOther;
  bool moved = false;
  try {
    const auto lock = colorfile::LockGameFiles(fs_, at.dataFolder);
    if (fs_.IsFile(at.path()) || (fs_.CopyOver(source, at.path()) && fs_.IsFile(at.path()))) return;
    problem = fs_.DiagnoseWrite(at.path());
    // Refused for want of rights where Windows keeps the user's own copies:
    // the copy goes where the game reads it, as a Save's would.
    if (problem == colorfile::WriteProblem::kAccessDenied && !at.virtualFolder.empty() &&
        at.folder == at.dataFolder) {
      const std::string copy = colorfile::ColorFilePath(at.virtualFolder);
      try {
        fs_.MakeFolders(at.virtualFolder);
        moved = fs_.IsFile(copy) || (fs_.CopyOver(source, copy) && fs_.IsFile(copy));
      } catch (const common::FileError&) {
      }
    }
  } catch (const colorfile::ColorFileError& e) {
    throw CommandFailure(e.what());
  }
  if (moved) {
    at.folder = at.virtualFolder;
    ReportWrite(window, at.dataFolder, {at.virtualFolder, true, std::nullopt},
                "the default colors");
    return;
  }
  throw CommandFailure(
      "The game's data folder has no color file, and the default colors could not be copied "
      "from\n" +
      source + "\nto\n" + at.path() + "\n\nThe reason: " + CopyProblem(problem));
}

void WindowCommands::Start(ColorWindow& window) {
  window.SetCaption(TINTMOOR_TITLE);
  Load(window);
  Show(window);
  state_.history.Reset(BoxesOf(window));
}

void WindowCommands::Load(ColorWindow& window) {
  colorfile::ColorFileLocation at = colorfile::LocateColorFile(fs_, FindDataFolder());
  bool found = false;
  try {
    found =
        colorfile::ColorFileExists(fs_, at.path());  // a folder or a pipe of its name is refused
  } catch (const colorfile::ColorFileError& e) {
    throw CommandFailure(e.what());
  }
  if (!found) Seed(window, at);

  std::unique_ptr<markup::Element> tree;
  colorfile::LoadedColorFile loaded;
  try {
    tree = colorfile::LoadColorTree(fs_, at.path(), loaded);
  } catch (const colorfile::ColorFileError& e) {
    // The reader's words name the file and the fault; the way out is ours to add.
    throw CommandFailure(std::string(e.what()) +
                         "\nIf the file is damaged, choose Restore Default Colors in the "
                         "Options menu to replace it with the default colors.");
  }
  state_.location = std::move(at);
  state_.tree = std::move(tree);
  state_.loaded = loaded;
  ReportTableProblems(window);
}

// One message after a load when the file lacks cells or holds unreadable ones.
void WindowCommands::ReportTableProblems(ColorWindow& window) {
  std::vector<std::string> problems;
  bool missing = false;
  {
    YieldPause pause;
    missing = !colorfile::DescribeMissingShape(*state_.tree).empty();
    problems =
        colorfile::DescribeTableProblems(*state_.tree, colorfile::ReadColorTable(*state_.tree));
  }
  if (problems.empty()) return;
  std::string text = "The color file\n" + state_.location.path() + "\nis not as expected:\n";
  for (size_t i = 0; i < problems.size() && i < kProblemsListed; ++i) {
    text += "\n- " + problems[i];
  }
  if (problems.size() > kProblemsListed) {
    text += "\n- and " + std::to_string(problems.size() - kProblemsListed) + " more";
  }
  text += "\n\nColors that could not be read are shown as grey.";
  if (missing) text += " Save is not possible until the file is whole.";
  text += std::string("\n") + kRestoreHint;
  window.ShowMessage(text, TINTMOOR_TITLE, MessageKind::kWarning);
}

void WindowCommands::Show(ColorWindow& window) {
  // The texts are copied first: the splitter yields to the window, which may
  // paint meanwhile; the boxes change only once every cell is read, so it
  // never paints half a table.
  const auto texts = colorfile::CellTexts(state_.tree ? *state_.tree : NothingLoaded());
  std::array<colorfile::Rgb, colorfile::kCells> colors;
  for (int box = 0; box < colorfile::kCells; ++box)
    colors[box] =
        texts[box] ? colorfile::ParseCellText(*texts[box]).color : colorfile::CellRead{}.color;
  for (int box = 0; box < colorfile::kCells; ++box) window.SetBoxColor(box, colors[box]);
}

void WindowCommands::Store(ColorWindow& window) {
  if (!state_.tree) return;
  for (int box = 0; box < colorfile::kCells; ++box)
    colorfile::WriteCell(*state_.tree, box, window.BoxColor(box));
}

void WindowCommands::ReportWrite(ColorWindow& window, const std::string& dataFolder,
                                 const colorfile::GameWrite& done, const std::string& what) {
  if (done.movedToVirtualStore) {
    window.ShowMessage(
        "Windows does not let Tintmoor change\n" + colorfile::ColorFilePath(dataFolder) + "\nso " +
            what + " went into your own copy of the game's files instead:\n" +
            colorfile::ColorFilePath(done.folder) +
            "\n\nWindows gives the game this copy whenever you play as this Windows user, so "
            "you will see the new colors. Other users of this computer keep the colors "
            "of the game's folder.",
        TINTMOOR_TITLE, MessageKind::kInformation);
  }
  // The colours are written; only the game's stale copy of them stayed.
  if (done.xmbLeft) window.ShowMessage(done.xmbLeft->what(), TINTMOOR_TITLE, MessageKind::kError);
}

// Once, after each command that wrote the game's file.
void WindowCommands::ReportRunningGame(ColorWindow& window) {
  if (!window.GameRunning()) return;
  window.ShowMessage(
      "Age of Mythology is running. The game reads the player colors only when it starts: "
      "quit it and start it again to see these colors.",
      TINTMOOR_TITLE, MessageKind::kInformation);
}

void WindowCommands::ShowMarker(ColorWindow& window) {
  window.SetCaption(Unsaved() ? TINTMOOR_TITLE " *" : TINTMOOR_TITLE);
}

// The boxes now show what the file on disk holds: a step the player can
// undo when they changed, and nothing unsaved.
void WindowCommands::MatchFile(ColorWindow& window) {
  const BoxColors boxes = BoxesOf(window);
  state_.history.Record(boxes);
  state_.history.MarkSaved(boxes);
  ShowMarker(window);
}

void WindowCommands::Changed(ColorWindow& window) {
  state_.history.Record(BoxesOf(window));
  ShowMarker(window);
}

void WindowCommands::Undo(ColorWindow& window) {
  if (!CanUndo()) return;
  SetBoxes(window, state_.history.Undo());
  ShowMarker(window);
}

void WindowCommands::Redo(ColorWindow& window) {
  if (!CanRedo()) return;
  SetBoxes(window, state_.history.Redo());
  ShowMarker(window);
}

bool WindowCommands::MayClose(ColorWindow& window) {
  if (!Unsaved()) return true;
  switch (window.Ask("Save the changed colors before closing?", TINTMOOR_TITLE,
                     Question::kYesNoCancel)) {
    case Answer::kYes:
      Save(window);
      return !Unsaved();  // a question inside the save may have kept them unsaved
    case Answer::kNo:
      return true;
    case Answer::kCancel:
      break;
  }
  return false;
}

void WindowCommands::Save(ColorWindow& window) {
  if (!state_.tree) {
    const std::string dataFolder = DataFolderNow();
    if (dataFolder.empty() || !fs_.IsFolder(dataFolder)) {
      throw CommandFailure(
          "Nothing was saved: Tintmoor has not found the game, so no color file is loaded."
          "\n\nNothing was changed on disk. Choose Open Game Folder... in the File menu to "
          "show Tintmoor where the game is; once its colors are shown, " +
          std::string(kUndoBringsBack));
    }
    throw CommandFailure(
        "Nothing was saved: no color file is loaded, because the game's color file in\n" +
        dataFolder +
        "\ncould not be loaded.\n\nNothing was changed on disk. Choose Restore Default Colors "
        "in the Options menu to put the default colors in place.");
  }
  const colorfile::ColorFileLocation& at = state_.location;
  if (!fs_.IsFolder(at.folder)) {
    throw CommandFailure("Nothing was saved: the folder\n" + at.folder +
                         "\nthat the colors were loaded from no longer exists.\n\n" + kColoursKept +
                         " Nothing was changed on disk. Put the folder back, then choose Save "
                         "again. If the game is somewhere else now, choose Open Game Folder... "
                         "in the File menu, then Undo in the Edit menu to bring these colors "
                         "back, and Save.");
  }
  if (std::string missing = colorfile::DescribeMissingShape(*state_.tree); !missing.empty()) {
    throw CommandFailure("Nothing was saved: in the color file\n" + at.path() + "\n" + missing +
                         ".\n\nNothing was changed on disk.\n" + kRestoreHint);
  }

  Store(window);
  Show(window);
  colorfile::GameWrite done;
  colorfile::SaveOutcome outcome;
  // While another program writes the game's file, wait (a few seconds at
  // most); then the comparison with what was loaded sees its change. The
  // lock is held for the save alone: never while a box waits on the user.
  try {
    try {
      const auto lock = colorfile::LockGameFiles(fs_, at.dataFolder);
      done = colorfile::SaveColorTree(fs_, at, *state_.tree, state_.loaded, &outcome);
    } catch (const colorfile::ColorFileError& e) {
      if (e.step() != colorfile::ColorFileStep::kChangedOnDisk) throw;
      // Someone else saved the file since it was loaded: the user decides
      // which colours win; nothing is dropped without being asked. The
      // question may wait on the user for long: other writers go on meanwhile.
      const Answer answer = window.Ask(
          "The color file\n" + at.path() +
              "\nchanged on disk after Tintmoor loaded it (another program, or another "
              "Tintmoor, saved it).\n\nYes: overwrite it with the colors shown here.\nNo: "
              "reload it and show its colors; Undo in the Edit menu brings the colors shown "
              "here back.\nCancel: change nothing; the colors shown here stay unsaved.",
          TINTMOOR_TITLE, Question::kYesNoCancel);
      if (answer == Answer::kNo) {
        Load(window);
        Show(window);
        MatchFile(window);
      }
      if (answer != Answer::kYes) return;
      const auto lock = colorfile::LockGameFiles(fs_, at.dataFolder);
      state_.loaded = colorfile::LookAtColorFile(fs_, at.path());
      done = colorfile::SaveColorTree(fs_, at, *state_.tree, state_.loaded, &outcome);
    }
  } catch (const colorfile::ColorFileError& e) {
    throw CommandFailure(std::string(e.what()) + "\n\n" + kColoursKept);
  }
  if (done.movedToVirtualStore) state_.location.folder = done.folder;
  MatchFile(window);
  ReportWrite(window, at.dataFolder, done, "the colors");
  if (const std::string notice = colorfile::DescribeLinesNotKept(done.folder, outcome);
      !notice.empty())
    window.ShowMessage(notice, TINTMOOR_TITLE, MessageKind::kInformation);
  ReportRunningGame(window);
}

// Whether the file holds colours the default file does not: a Restore would
// take them from it.
bool WindowCommands::DiffersFromDefault(const std::string& path) {
  if (!fs_.IsFile(path)) return false;
  const auto defaults = CellsOf(fs_, colorfile::DefaultColorFilePath(fs_));
  if (!defaults) return false;  // nothing would be replaced: Restore says why
  const auto found = CellsOf(fs_, path);
  return !found || !SameCells(*found, *defaults);
}

// After Restore or Restore Original wrote a whole file: the boxes show it, a
// step the player can undo, and there is nothing unsaved.
void WindowCommands::ShowWrittenFile(ColorWindow& window, const colorfile::ColorFileLocation& at,
                                     const colorfile::GameWrite& done, const std::string& what) {
  ReportWrite(window, at.dataFolder, done, what);
  Load(window);
  Show(window);
  MatchFile(window);
  ReportRunningGame(window);
}

void WindowCommands::Restore(ColorWindow& window) {
  // The game as found now, not where the shown colours came from: that
  // folder may be gone, or the game reinstalled elsewhere.
  const colorfile::ColorFileLocation at = colorfile::LocateColorFile(fs_, FindDataFolder());
  if (DiffersFromDefault(at.path()) &&
      window.Ask("The color file\n" + at.path() +
                     "\nholds colors other than the default ones.\n\nReplace them with the "
                     "default colors? " +
                     kUndoBringsBack,
                 TINTMOOR_TITLE, Question::kYesNoDefaultNo) != Answer::kYes) {
    return;
  }
  colorfile::GameWrite done;
  try {
    const auto lock = colorfile::LockGameFiles(fs_, at.dataFolder);
    done = colorfile::RestoreDefaultColorFile(fs_, at);
  } catch (const colorfile::ColorFileError& e) {
    throw CommandFailure(e.what());  // nothing was changed
  }
  ShowWrittenFile(window, at, done, "the default colors");
}

bool WindowCommands::HasOriginal() {
  const std::string dataFolder = DataFolderNow();
  if (dataFolder.empty() || !fs_.IsFolder(dataFolder)) return false;
  return fs_.IsFile(
      colorfile::OriginalFilePath(colorfile::LocateColorFile(fs_, dataFolder).folder));
}

void WindowCommands::RestoreOriginal(ColorWindow& window) {
  const colorfile::ColorFileLocation at = colorfile::LocateColorFile(fs_, FindDataFolder());
  const std::string original = colorfile::OriginalFilePath(at.folder);
  if (!fs_.IsFile(original)) {
    throw CommandFailure("There is no kept original of the color file\n" + at.path() +
                         "\nTintmoor keeps the file as it first found it, as\n" + original +
                         "\nthe first time it replaces it.\n\nNothing was changed.");
  }
  if (window.Ask("Put back the color file as it was before Tintmoor first replaced it?\n\n" +
                     original + "\nthen replaces\n" + at.path() + "\n\n" + kUndoBringsBack,
                 TINTMOOR_TITLE, Question::kYesNoDefaultNo) != Answer::kYes) {
    return;
  }
  colorfile::GameWrite done;
  try {
    const auto lock = colorfile::LockGameFiles(fs_, at.dataFolder);
    done = colorfile::RestoreOriginalColorFile(fs_, at);
  } catch (const colorfile::ColorFileError& e) {
    throw CommandFailure(e.what());  // nothing was changed
  }
  ShowWrittenFile(window, at, done, "the original colors");
}

void WindowCommands::OpenGameFolder(ColorWindow& window, const std::string& folder) {
  std::string chosen = WithSeparator(folder);
  if (fs_.IsFolder(chosen + "data\\")) {
    chosen += "data\\";  // the install folder
  } else {
    std::string name = chosen.substr(0, chosen.size() - 1);
    name = name.substr(name.find_last_of("\\/") + 1);
    if (Lower(name) != "data" && !fs_.IsFile(colorfile::ColorFilePath(chosen))) {
      throw CommandFailure("The folder\n" + folder +
                           "\nis not where AoM is installed: it holds no data folder and no "
                           "playercolors.xml.\n\nNothing was changed. Choose the folder AoM is "
                           "installed in, or its data folder.");
    }
  }
  std::string before = std::exchange(chosen_, chosen);
  try {
    Load(window);
  } catch (...) {
    chosen_ = std::move(before);  // the choice lasts only once its file is shown
    throw;
  }
  Show(window);
  MatchFile(window);
}

void WindowCommands::PutTable(ColorWindow& window, const colorfile::ColorTable& table) {
  SetBoxes(window, BoxesOf(table));
  Changed(window);
}

void WindowCommands::ImportScheme(ColorWindow& window, const std::string& file) {
  PutTable(window, colorfile::LoadSchemeFile(fs_, file));
}

void WindowCommands::ImportDropped(ColorWindow& window, const std::vector<std::string>& paths) {
  if (paths.size() != 1) {
    throw common::TintError(std::to_string(paths.size()) +
                            " files were dropped; drop one scheme file at a time.");
  }
  if (fs_.IsFolder(paths[0])) {
    throw common::TintError(paths[0] +
                            " is a folder; drop a scheme file, such as one Export Scheme... "
                            "in the File menu writes.");
  }
  ImportScheme(window, paths[0]);
}

// The game's data folder whose colour files an export must not replace: the
// one the boxes came from, else the one the game is found in now.
std::string WindowCommands::GameFolderToGuard() {
  if (state_.tree) return state_.location.dataFolder;
  const std::string dataFolder = DataFolderNow();
  return !dataFolder.empty() && fs_.IsFolder(dataFolder) ? dataFolder : std::string();
}

void WindowCommands::ExportScheme(ColorWindow& window, const std::string& file) {
  const std::string text = colorfile::WriteScheme(TableOf(BoxesOf(window)));
  colorfile::RefuseColorFiles(fs_, file, GameFolderToGuard());
  try {
    fs_.ReplaceWhole(file, text);
  } catch (const common::FileError& e) {
    throw common::TintError("cannot write the scheme " + file + ": " + e.reason());
  }
}

std::string WindowCommands::CopyText(const ColorWindow& window, int box) {
  return colorfile::HexColorText(window.BoxColor(box));
}

void WindowCommands::Paste(ColorWindow& window, int box, const std::optional<std::string>& text) {
  if (!text) throw common::TintError("The clipboard holds no text.");
  const auto color =
      colorfile::ParseColorText(*text, colorfile::kColorHash | colorfile::kColorBareHex |
                                           colorfile::kColorDecimal | colorfile::kColorCommas);
  if (!color) {
    // Named as the player saw it copied, without the line end it brought along.
    throw common::TintError("The clipboard holds \"" +
                            common::Shown(colorfile::ColorTextCore(*text)) +
                            "\", which is not a color: copy one written as #E69F00, E69F00, "
                            "230 159 0 or 230,159,0.");
  }
  window.SetBoxColor(box, *color);
  Changed(window);
}

bool WindowCommands::CanMatchUnit(int box) {
  return box >= 0 && box < colorfile::kCells && box % colorfile::kColumns;
}

void WindowCommands::MatchUnit(ColorWindow& window, int box) {
  if (!CanMatchUnit(box)) return;
  const colorfile::Rgb unit = window.BoxColor(box - box % colorfile::kColumns);
  window.SetBoxColor(box, box % colorfile::kColumns == 1 ? unit : colorfile::HalfBrightness(unit));
  Changed(window);
}

}  // namespace tintmoor::ui
