// The colour-file commands of the main window: start-up loading, the two
// passes of Show, Store, Save and Restore.
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
#include <utility>

#include "colorfile/table_binding.h"
#include "markup/element.h"
#include "markup/words.h"
#include "ui/version.h"

namespace {

constexpr const char* kStartupTitle = "Cannot Apply Settings to AoM";
constexpr const char* kRestoreHint =
    "Choose Restore Default Colors in the Options menu to put the default colors back.";
constexpr const char* kColoursKept = "Your colors are still in the window.";
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

std::string CopyProblem(WriteProblem problem) {
  switch (problem) {
    case WriteProblem::kAccessDenied:
      return "access was denied. Run Tintmoor once as administrator, or copy the file there "
             "yourself.";
    case WriteProblem::kReadOnly:
      return "the file there is read-only. Clear its read-only attribute, then choose Restore "
             "Default Colors in the Options menu.";
    case WriteProblem::kInUse:
      return "another program, probably the game, has the folder's files open. Close the game, "
             "then choose Restore Default Colors in the Options menu.";
    case WriteProblem::kFolderMissing:
      return "the folder no longer exists. Put it back or reinstall the game, then start "
             "Tintmoor again.";
    case WriteProblem::kOther:
      break;
  }
  return "the copy failed. Copy the file there yourself, then start Tintmoor again.";
}

}  // namespace

CommandFailure::CommandFailure(const std::string& text) : CommandFailure(text, TINTMOOR_TITLE) {}

CommandFailure::CommandFailure(const std::string& text, std::string title)
    : TintError(text), title_(std::move(title)) {}

WindowCommands::WindowCommands(ColorFileSystem& fs, GameRegistry& registry)
    : fs_(fs), registry_(registry) {}

WindowCommands::~WindowCommands() = default;

WindowCommands::State WindowCommands::Snapshot() const {
  return {state_.location, state_.tree ? state_.tree->Clone() : nullptr, state_.loaded};
}

void WindowCommands::PutBack(State before) noexcept { state_ = std::move(before); }

void WindowCommands::Seed(const ColorFileLocation& at) {
  const std::string source = DefaultColorFilePath(fs_);
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
  try {
    const auto lock = LockGameFiles(fs_, at.dataFolder);
    if (fs_.IsFile(at.path()) || (fs_.CopyOver(source, at.path()) && fs_.IsFile(at.path())))
      return;
  } catch (const ColorFileError& e) {
    throw CommandFailure(e.what());
  }
  throw CommandFailure(
      "The game's data folder has no color file, and the default colors could not be copied "
      "from\n" +
      source + "\nto\n" + at.path() +
      "\n\nThe reason: " + CopyProblem(fs_.DiagnoseWrite(at.path())));
}

void WindowCommands::Load(ColorWindow& window) {
  const std::string dataFolder = DataFolderOfInstall(registry_.InstallFolder());
  if (dataFolder.empty())
    throw CommandFailure("Cannot find the folder where AoM is installed.", kStartupTitle);
  if (!fs_.IsFolder(dataFolder)) {
    throw CommandFailure("The game installation points to this directory :\r\n" + dataFolder +
                             "\r\n\r\nBut this folder does not exist.",
                         kStartupTitle);
  }
  ColorFileLocation at = LocateColorFile(fs_, dataFolder);
  bool found = false;
  try {
    found = ColorFileExists(fs_, at.path());  // a folder or a pipe of its name is refused
  } catch (const ColorFileError& e) {
    throw CommandFailure(e.what());
  }
  if (!found) Seed(at);

  std::unique_ptr<markup::Element> tree;
  LoadedColorFile loaded;
  try {
    tree = LoadColorTree(fs_, at.path(), loaded);
  } catch (const ColorFileError& e) {
    // The reader's words name the file and the fault; the way out is ours to add.
    throw CommandFailure(std::string(e.what()) +
                         "\nIf the file is damaged, choose Restore Default Colors in the "
                         "Options menu to replace it with the default colors.");
  }
  state_ = {std::move(at), std::move(tree), loaded};
  ReportTableProblems(window);
}

// One message after a load when the file lacks cells or holds unreadable ones.
void WindowCommands::ReportTableProblems(ColorWindow& window) {
  std::vector<std::string> problems;
  bool missing = false;
  {
    YieldPause pause;
    missing = !DescribeMissingShape(*state_.tree).empty();
    problems = DescribeTableProblems(*state_.tree, ReadColorTable(*state_.tree));
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
  const auto texts = CellTexts(state_.tree ? *state_.tree : NothingLoaded());
  std::array<Rgb, kCells> colors;
  for (int box = 0; box < kCells; ++box)
    colors[box] = texts[box] ? ParseCellText(*texts[box]).color : CellRead{}.color;
  for (int box = 0; box < kCells; ++box) window.SetBoxColor(box, colors[box]);
}

void WindowCommands::Store(ColorWindow& window) {
  if (!state_.tree) return;
  for (int box = 0; box < kCells; ++box) WriteCell(*state_.tree, box, window.BoxColor(box));
}

void WindowCommands::ReportWrite(ColorWindow& window, const GameWrite& done,
                                 const std::string& what) {
  if (done.movedToVirtualStore) {
    window.ShowMessage(
        "Windows does not let Tintmoor change\n" + ColorFilePath(state_.location.dataFolder) +
            "\nso " + what + " went into your own copy of the game's files instead:\n" +
            ColorFilePath(done.folder) +
            "\n\nWindows gives the game this copy whenever you play as this Windows user, so "
            "you will see the new colors. Other users of this computer keep the colors "
            "of the game's folder.",
        TINTMOOR_TITLE, MessageKind::kInformation);
  }
  // The colours are written; only the game's stale copy of them stayed.
  if (done.xmbLeft) window.ShowMessage(done.xmbLeft->what(), TINTMOOR_TITLE, MessageKind::kError);
}

void WindowCommands::Save(ColorWindow& window) {
  if (!state_.tree) {
    throw CommandFailure(
        "Nothing was saved: no color file is loaded. Tintmoor could not load the game's "
        "color file; the message shown then said why.\n\nNothing was changed on disk. "
        "Once the game's data folder is there, choose Restore Default Colors in the "
        "Options menu: it looks for the game again and puts the default colors in "
        "place.");
  }
  const ColorFileLocation& at = state_.location;
  if (!fs_.IsFolder(at.folder)) {
    throw CommandFailure("Nothing was saved: the folder\n" + at.folder +
                         "\nthat the colors were loaded from no longer exists.\n\n" + kColoursKept +
                         " Nothing was changed on disk. Put the folder back (or reinstall "
                         "the game), then choose Save again.");
  }
  if (std::string missing = DescribeMissingShape(*state_.tree); !missing.empty()) {
    throw CommandFailure("Nothing was saved: in the color file\n" + at.path() + "\n" + missing +
                         ".\n\nNothing was changed on disk.\n" + kRestoreHint);
  }

  Store(window);
  Show(window);
  GameWrite done;
  SaveOutcome outcome;
  // While another program writes the game's file, wait (a few seconds at
  // most); then the comparison with what was loaded sees its change. The
  // lock is held for the save alone: never while a box waits on the user.
  try {
    try {
      const auto lock = LockGameFiles(fs_, at.dataFolder);
      done = SaveColorTree(fs_, at, *state_.tree, state_.loaded, &outcome);
    } catch (const ColorFileError& e) {
      if (e.step() != ColorFileStep::kChangedOnDisk) throw;
      // Someone else saved the file since it was loaded: the user decides
      // which colours win; nothing is dropped without being asked. The
      // question may wait on the user for long: other writers go on meanwhile.
      const Answer answer = window.Ask(
          "The color file\n" + at.path() +
              "\nchanged on disk after Tintmoor loaded it (another program, or another "
              "Tintmoor, saved it).\n\nYes: overwrite it with the colors shown here.\nNo: "
              "reload it and show its colors; the colors shown here are dropped.\nCancel: "
              "change nothing; the colors shown here stay unsaved.",
          TINTMOOR_TITLE);
      if (answer == Answer::kNo) {
        Load(window);
        Show(window);
        window.SetCaption(TINTMOOR_TITLE);
      }
      if (answer != Answer::kYes) return;
      const auto lock = LockGameFiles(fs_, at.dataFolder);
      state_.loaded = LookAtColorFile(fs_, at.path());
      done = SaveColorTree(fs_, at, *state_.tree, state_.loaded, &outcome);
    }
  } catch (const ColorFileError& e) {
    throw CommandFailure(std::string(e.what()) + "\n\n" + kColoursKept);
  }
  if (done.movedToVirtualStore) state_.location.folder = done.folder;
  ReportWrite(window, done, "the colors");
  if (const std::string notice = DescribeLinesNotKept(done.folder, outcome); !notice.empty())
    window.ShowMessage(notice, TINTMOOR_TITLE, MessageKind::kInformation);
  window.SetCaption(TINTMOOR_TITLE);
}

void WindowCommands::Restore(ColorWindow& window) {
  // The default file goes where the shown colours came from; with nothing
  // loaded, to the game the registry names, when its folder is there.
  ColorFileLocation at = state_.location;
  if (!state_.tree) {
    const std::string dataFolder = DataFolderOfInstall(registry_.InstallFolder());
    if (!dataFolder.empty() && fs_.IsFolder(dataFolder)) at = LocateColorFile(fs_, dataFolder);
  }
  if (!at.folder.empty() && fs_.IsFolder(at.folder)) {
    GameWrite done;
    try {
      const auto lock = LockGameFiles(fs_, at.dataFolder);
      done = RestoreDefaultColorFile(fs_, at);
    } catch (const ColorFileError& e) {
      throw CommandFailure(e.what());  // nothing was changed
    }
    if (state_.tree && done.movedToVirtualStore) state_.location.folder = done.folder;
    ReportWrite(window, done, "the default colors");
  } else if (state_.tree) {
    throw CommandFailure("Nothing was restored: the folder\n" + at.folder +
                         "\nthat the colors were loaded from no longer exists.\n\n" + kColoursKept +
                         " Nothing was changed on disk. Put the folder back (or reinstall "
                         "the game), then choose Restore Default Colors again.");
  }
  Load(window);
  Show(window);
}
