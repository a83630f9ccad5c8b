// The colour-file commands of the main window: start-up loading, the two
// passes of ShowColors, StoreColors, Save and Restore.
//
// The game's files are handled by the sequences of colorstore.h, so a failure
// never costs the game its colour file. A load builds its tree beside the one
// in gDocument and swaps it in only once the whole file was read; a failed
// load leaves tree and boxes as they were. Nothing outside the game's data
// folder is written or deleted: without a data folder, Save writes nothing and
// Restore only reloads.
#include "ui/window_commands.h"

#include <array>

#include "colorfile/color_store.h"
#include "colorfile/registry_win32.h"
#include "colorfile/table_binding.h"
#include "markup/words.h"
#include "ui/version.h"

std::string gDataPath;

namespace {

ColorFileSystem* gTestFileSystem = nullptr;

ColorFileSystem& Files() {
  return gTestFileSystem != nullptr ? *gTestFileSystem : SystemFileSystem();
}

constexpr const char* kStartupTitle = "Cannot Apply Settings to AoM";
constexpr unsigned kErrorStyle = MB_ICONERROR | MB_OK;  // 16
constexpr unsigned kWarningStyle = MB_ICONWARNING | MB_OK;
constexpr const char* kRestoreHint =
    "Choose Restore Default Colors in the Options menu to put the default colours back.";
constexpr size_t kProblemsListed = 6;

void ShowError(ColorWindow& window, const std::string& text) {
  window.ShowMessage(text, TINTMOOR_TITLE, kErrorStyle);
}

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

// Only a load makes a root that is open or has elements; the empty root that
// gDocument makes on first use is neither.
bool TreeLoaded() {
  return markup::gDocument->is_open() || markup::gDocument->children().Count() > 0;
}

// One message after a load when the file lacks cells or holds unreadable ones.
void ReportTableProblems(ColorWindow& window, const std::string& path) {
  std::vector<std::string> problems;
  bool missing = false;
  {
    YieldPause pause;
    missing = !DescribeMissingShape(*markup::gDocument).empty();
    problems = DescribeTableProblems(*markup::gDocument, ReadColorTable(*markup::gDocument));
  }
  if (problems.empty()) return;
  std::string text = "The colour file\n" + path + "\nis not as expected:\n";
  for (size_t i = 0; i < problems.size() && i < kProblemsListed; ++i) {
    text += "\n- " + problems[i];
  }
  if (problems.size() > kProblemsListed) {
    text += "\n- and " + std::to_string(problems.size() - kProblemsListed) + " more";
  }
  text += "\n\nColours that could not be read are shown as grey.";
  if (missing) text += " Save is not possible until the file is whole.";
  text += std::string("\n") + kRestoreHint;
  window.ShowMessage(text, TINTMOOR_TITLE, kWarningStyle);
}

}  // namespace

ColorFileSystem* SetCommandFileSystem(ColorFileSystem* fs) {
  return std::exchange(gTestFileSystem, fs);
}

void LoadColorFile(ColorWindow& window) {
  gDataPath = GetRegString(HKEY_LOCAL_MACHINE, kGameKeyPath, kGameInstallValue, "");
  if (gDataPath.empty()) {
    window.ShowMessage("Cannot find the folder where AoM is installed.", kStartupTitle,
                       kErrorStyle);
    return;
  }
  if (gDataPath.back() != '\\') gDataPath += '\\';
  gDataPath += "data\\";

  ColorFileSystem& fs = Files();
  if (!fs.IsFolder(gDataPath)) {
    window.ShowMessage("The game installation points to this directory :\r\n" + gDataPath +
                           "\r\n\r\nBut this folder does not exist.",
                       kStartupTitle, kErrorStyle);
    return;
  }

  const std::string path = ColorFilePath(gDataPath);
  if (!fs.IsFile(path)) {
    const std::string source = DefaultColorFilePath(fs);
    fs.CopyOver(source, path);
    if (!fs.IsFile(path)) {
      ShowError(window,
                "The game's data folder has no colour file, and the default colours could not "
                "be copied there from\n" +
                    source +
                    "\n\nPut the playercolors.xml that comes with Tintmoor beside the program, "
                    "then choose Restore Default Colors in the Options menu.");
      return;
    }
  }

  std::unique_ptr<markup::Element> root;
  try {
    root = LoadColorTree(fs, path);
  } catch (const ColorFileError& e) {
    ShowError(window, e.what());
    return;
  }
  markup::gDocument.Replace(std::move(root));
  ReportTableProblems(window, path);
}

void ShowColors(ColorWindow& window) {
  // The texts are copied first: the splitter yields to the window.
  const auto texts = CellTexts(*markup::gDocument);
  for (int box = 0; box < kCells; ++box) {
    const CellRead cell = texts[box] ? ParseCellText(*texts[box]) : CellRead{};
    window.SetBoxTag(box, std::to_string(cell.color));
  }
  for (int box = 0; box < kCells; ++box) {
    window.SetBoxColor(box, TagToColor(window.BoxTag(box)));
  }
}

void StoreColors(ColorWindow& window) {
  // A tag that is not a colour value (the program never writes one) is stored as grey.
  for (int box = 0; box < kCells; ++box)
    WriteCell(*markup::gDocument, box, TagToColor(window.BoxTag(box)));
}

void SaveColorFile(ColorWindow& window) {
  ColorFileSystem& fs = Files();
  const std::string dataFolder = gDataPath;
  if (dataFolder.empty() || !fs.IsFolder(dataFolder) || !TreeLoaded()) {
    std::string why = dataFolder.empty()
                          ? "The game's installation was not found."
                          : "The game's data folder\n" + dataFolder + "\nwas not found.";
    if (!dataFolder.empty() && fs.IsFolder(dataFolder)) why = "The colour file could not be read.";
    ShowError(window,
              "No colour file is loaded, so nothing was saved.\n\n" + why + "\n" + kRestoreHint);
    return;
  }
  if (std::string missing = DescribeMissingShape(*markup::gDocument); !missing.empty()) {
    ShowError(window, "Nothing was saved: in the colour file\n" + ColorFilePath(dataFolder) + "\n" +
                          missing + ".\n\n" + kRestoreHint);
    return;
  }

  StoreColors(window);
  ShowColors(window);
  try {
    SaveColorTree(fs, dataFolder, *markup::gDocument);
  } catch (const ColorFileError& e) {
    ShowError(window, e.what());
    // Only a leftover xmb still counts as saved; otherwise the marker stays.
    if (e.step() != ColorFileStep::kDeleteXmb) return;
  }
  window.SetCaption(TINTMOOR_TITLE);
}

void RestoreColorFile(ColorWindow& window) {
  ColorFileSystem& fs = Files();
  // The delete and copy go to the folder of the previous load; without one
  // there is nothing of the game's to replace, and only the reload runs.
  if (!gDataPath.empty() && fs.IsFolder(gDataPath)) {
    try {
      RestoreDefaultColorFile(fs, gDataPath);
    } catch (const ColorFileError& e) {
      ShowError(window, e.what());
      if (e.step() != ColorFileStep::kDeleteXmb) return;  // nothing was changed
    }
  }
  LoadColorFile(window);
  ShowColors(window);
}
