// The colour-file commands the main window runs: start-up loading, showing and
// storing the colour table, Save, Restore and Restore Original, the game
// folder chosen for this run, closing, the boxes' Undo and Redo, and the
// colours a player shares: schemes imported, dropped and exported, presets,
// and one colour copied and pasted as text. They see
// the window only through ColorWindow, the disk only through ColorFileSystem
// and the registry only through GameRegistry, so tests run them against fakes
// on any host.
//
// Failures are thrown where they happen and caught once, by the window's
// command boundary. Those the user must fix (no game found, a file that cannot
// be written) are CommandFailures that say everything in their own words;
// notices after a command did its work (a table with problems, colours moved
// into the VirtualStore, a game that must be restarted) are shown through
// ColorWindow::ShowMessage.
//
// Nothing the player did is lost unasked: every change of the boxes is a step
// that Undo takes back, also the colours a Restore or a reload put there; the
// caption's " *" says whether the boxes differ from the file on disk; closing
// with such a difference, and replacing a file that holds other colours, ask
// first.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "colorfile/color_table.h"
#include "colorfile/color_value.h"
#include "colorfile/game_location.h"
#include "common/errors.h"
#include "ui/box_history.h"

namespace tintmoor::markup {
class Element;
}  // namespace tintmoor::markup

namespace tintmoor::ui {

// The icon and sound of a message; the window maps them to its system's.
enum class MessageKind { kError, kWarning, kInformation };
enum class Answer { kYes, kNo, kCancel };
// A question's buttons: Yes, No and Cancel, Yes the default; or, before a
// file is replaced, Yes and No with No the default.
enum class Question { kYesNoCancel, kYesNoDefaultNo };

// A failure a command explains in full. The command boundary shows its text as
// it stands, under its title, in an error box, and keeps what the command left:
// it is thrown only where the state is whole (nothing changed yet, or a change
// on disk that the state already follows).
class CommandFailure : public common::TintError {
 public:
  // Under the program's title.
  explicit CommandFailure(const std::string& text);
  CommandFailure(const std::string& text, std::string title);
  const std::string& title() const { return title_; }

 private:
  std::string title_;
};

// What the colour-file commands need of the main window.
class ColorWindow {
 public:
  virtual ~ColorWindow() = default;
  // Box 0..38: row = box / 3, column = box % 3. Between a load and the next
  // save the boxes' colours are the live colour table; a box paints its colour.
  virtual colorfile::Rgb BoxColor(int box) const = 0;
  virtual void SetBoxColor(int box, colorfile::Rgb color) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // A modal message box with an OK button.
  virtual void ShowMessage(const std::string& text, const std::string& title, MessageKind kind) = 0;
  // A modal question with a warning icon.
  virtual Answer Ask(const std::string& text, const std::string& title, Question buttons) = 0;
  // Whether the game runs now: it reads its colours only when it starts.
  virtual bool GameRunning() = 0;
};

class WindowCommands {
 public:
  // The loaded colour file and where it came from. They change only together,
  // so a Save always writes a tree back into the file it was read from.
  struct State {
    colorfile::ColorFileLocation location;  // empty folders until a load succeeded
    std::unique_ptr<markup::Element> tree;  // null until a load succeeded
    colorfile::LoadedColorFile loaded;      // what the load saw, so Save notices a change
    BoxHistory history;                     // the boxes' steps, and what the file holds
  };

  WindowCommands(colorfile::ColorFileSystem& fs, colorfile::GameRegistry& registry);
  ~WindowCommands();
  WindowCommands(const WindowCommands&) = delete;
  WindowCommands& operator=(const WindowCommands&) = delete;

  // The game's data folder given on the command line: used instead of the
  // registry's for the rest of the run, as a folder chosen with OpenGameFolder is.
  void UseDataFolder(std::string dataFolder);

  // Start-up: the plain caption, then Load and Show; the history starts here.
  void Start(ColorWindow& window);
  // Finds the game, seeds and reads its colour file. Throws a CommandFailure,
  // with the previous state kept, when that failed.
  void Load(ColorWindow& window);
  // Tree -> boxes: every cell is read before any box changes.
  void Show(ColorWindow& window);
  // Boxes -> tree.
  void Store(ColorWindow& window);
  // The bodies of the menu commands.
  void Save(ColorWindow& window);
  void Restore(ColorWindow& window);
  void RestoreOriginal(ColorWindow& window);
  // folder: the game's install folder or its data folder; the choice lasts
  // for the rest of the run once its colour file is loaded.
  void OpenGameFolder(ColorWindow& window, const std::string& folder);

  // The player changed the boxes (a pick, a preset, a separation): one step.
  void Changed(ColorWindow& window);
  // A whole table put into the boxes (a preset, a scheme): one step, unsaved.
  void PutTable(ColorWindow& window, const colorfile::ColorTable& table);

  // Sharing. Each change of the boxes is one step, unsaved; a refusal throws
  // a TintError in the command line's words, before any box changes.
  // A scheme file's colours into the boxes.
  void ImportScheme(ColorWindow& window, const std::string& file);
  // What was dropped on the window: one scheme file is imported; more than
  // one, or a folder, is refused.
  void ImportDropped(ColorWindow& window, const std::vector<std::string>& paths);
  // The boxes' colours, unsaved ones included, as a scheme file; the game's
  // and the program's own colour files are refused, as the command line
  // refuses them.
  void ExportScheme(ColorWindow& window, const std::string& file);
  // The clipboard's text for a box: "#RRGGBB".
  static std::string CopyText(const ColorWindow& window, int box);
  // Text from the clipboard (nothing when it holds none) into a box:
  // "#RRGGBB", "RRGGBB", "R G B" or "R,G,B", spaces around allowed.
  void Paste(ColorWindow& window, int box, const std::optional<std::string>& text);
  // A minimap box takes its row's unit colour, a dead box that colour at half
  // brightness, as the presets make them; false for a unit box.
  static bool CanMatchUnit(int box);
  void MatchUnit(ColorWindow& window, int box);
  void Undo(ColorWindow& window);
  void Redo(ColorWindow& window);
  bool CanUndo() const { return state_.history.CanUndo(); }
  bool CanRedo() const { return state_.history.CanRedo(); }
  bool Unsaved() const { return state_.history.Unsaved(); }
  // Whether the game's colour file, where the game reads it, has a kept
  // original for RestoreOriginal. Never throws for a missing game.
  bool HasOriginal();
  // Whether the window may close now. With unsaved changes the player is
  // asked; Yes saves first, and a failed save keeps the window open.
  bool MayClose(ColorWindow& window);

  const State& state() const { return state_; }
  // For the window's command boundary: a copy to put back after a failure.
  State Snapshot() const;
  void PutBack(State before) noexcept;

 private:
  std::string DataFolderNow();
  std::string GameFolderToGuard();
  std::string FindDataFolder();
  void Seed(ColorWindow& window, colorfile::ColorFileLocation& at);
  bool DiffersFromDefault(const std::string& path);
  void ShowWrittenFile(ColorWindow& window, const colorfile::ColorFileLocation& at,
                       const colorfile::GameWrite& done, const std::string& what);
  void MatchFile(ColorWindow& window);
  void ShowMarker(ColorWindow& window);
  void ReportTableProblems(ColorWindow& window);
  void ReportWrite(ColorWindow& window, const std::string& dataFolder,
                   const colorfile::GameWrite& done, const std::string& what);
  void ReportRunningGame(ColorWindow& window);

  colorfile::ColorFileSystem& fs_;
  colorfile::GameRegistry& registry_;
  std::string chosen_;  // the data folder chosen for this run, or empty: the registry's
  State state_;
};

}  // namespace tintmoor::ui
