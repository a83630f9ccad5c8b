// The colour-file commands the main window runs: start-up loading, showing and
// storing the colour table, Save and Restore. They see the window only through
// ColorWindow, so tests can run them against a fake window.
//
// Failures the user must fix (no game found, a file that cannot be written) are
// shown through ColorWindow::ShowMessage or thrown as TintError; the window's
// command boundary catches what is thrown.
#pragma once

#include <cstdint>
#include <string>

class ColorFileSystem;

// What the colour-file commands need of the main window.
class ColorWindow {
 public:
  virtual ~ColorWindow() = default;
  // Box 0..38: row = box / 3, column = box % 3. The tag is the decimal colour value.
  virtual std::string BoxTag(int box) const = 0;
  virtual void SetBoxTag(int box, const std::string& tag) = 0;
  virtual void SetBoxColor(int box, int32_t color) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // A modal message box (MessageBoxA style flags); returns the button pressed.
  virtual int ShowMessage(const std::string& text, const std::string& title, unsigned style) = 0;
};

// The game's data folder, ending in a backslash once a load got past the registry.
extern std::string gDataPath;

// Finds the game, seeds and reads its colour file into gDocument.
void LoadColorFile(ColorWindow& window);
// Tree -> boxes (all tags, then all background colours).
void ShowColors(ColorWindow& window);
// Boxes -> tree.
void StoreColors(ColorWindow& window);
// The bodies of the Save and Restore menu commands.
void SaveColorFile(ColorWindow& window);
void RestoreColorFile(ColorWindow& window);

// The file system the commands use; tests put in one that fails on purpose.
// Null goes back to the system's. Returns the one in use before.
ColorFileSystem* SetCommandFileSystem(ColorFileSystem* fs);
