// MainWindow, the program's one window: 39 colour boxes under row and column
// captions, a gold frame, the home-page link and the File, Options and ? menus.
//
// Every user command (box click, menu item, link click) and the start-up
// sequence run inside RunCommand, the window's single error boundary: a
// failure nothing else handled ends the command, puts the window's state
// (caption, box tags and colours, document tree, data folder) back as it was
// before the command, and is reported in a stop-icon message box. Nothing is
// thrown out of a window procedure.
//
// Re-entry: the word splitter lets this window handle messages in the middle of
// a load or a ShowColors, and a modal dialog runs its own message loop. While a
// command runs, every other command that arrives is refused (dropped without a
// word): a click during a 0.1 s load is not worth replaying against colours the
// user has not seen yet. Closing is the exception: it is held back and carried
// out as soon as the running command ends. So no command ever sees a partly
// built tree, and a Save never writes while a Restore is reading.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "markup/words.h"
#include "ui/gdi.h"
#include "ui/layout.h"
#include "ui/ui_system.h"
#include "ui/window_commands.h"

namespace markup {
class Element;
}  // namespace markup

class MainWindow final : public ColorWindow {
 public:
  // The colour-file commands reach the disk and the registry through files and
  // registry; tests pass their own.
  MainWindow(HINSTANCE instance, UiSystem sys, ColorFileSystem& files = SystemFileSystem(),
             GameRegistry& registry = SystemGameRegistry());
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window, runs OnLoad before it is first shown, then shows it.
  // False when there is no window left (creation failed, or a close arrived
  // during start-up).
  bool Create(int show);
  HWND hwnd() const { return hwnd_; }
  // Whether destroying the window ends the message loop (the program's window does).
  void EndProgramOnClose(bool ends) { endsProgram_ = ends; }

  // ColorWindow.
  std::string BoxTag(int box) const override;
  void SetBoxTag(int box, const std::string& tag) override;
  void SetBoxColor(int box, int32_t color) override;
  void SetCaption(const std::string& caption) override;
  void ShowMessage(const std::string& text, const std::string& title, MessageKind kind) override;
  Answer Ask(const std::string& text, const std::string& title) override;

  // What tests read back.
  std::optional<int32_t> BoxColor(int box) const { return boxes_[box].color; }
  HWND BoxWindow(int box) const { return boxes_[box].hwnd; }
  HWND RowLabelWindow(int row) const { return rowLabels_[row]; }
  HWND HeaderWindow(int column) const { return headers_[column]; }
  HWND LinkWindow() const { return link_; }
  int Dpi() const { return dpi_; }
  bool Busy() const { return busy_; }
  const WindowCommands& Commands() const { return commands_; }
  WindowCommands& Commands() { return commands_; }

  static constexpr const char* kClassName = "TintmoorMain";

 private:
  struct Box {
    HWND hwnd = nullptr;
    std::string tag = "8421504";
    std::optional<int32_t> color;  // none: the system's window colour
  };
  struct Snapshot;

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  template <void (MainWindow::*Paint)(HWND, HDC)>
  static LRESULT CALLBACK ClickableProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static bool RegisterClasses(HINSTANCE instance);

  LRESULT OnCreate();
  void OnPaint(HDC printDc);
  LRESULT OnCtlColorStatic(HDC dc);
  void OnCommand(int id);
  void OnDpiChanged(int dpi, const RECT* suggested);
  void OnClose();
  void OnDestroy();
  void OnBoxPaint(HWND box, HDC printDc);
  void OnLinkPaint(HWND link, HDC printDc);

  // Event handlers, each run through RunCommand.
  void OnLoad();
  void OnBoxClicked(int index);
  void OnSave();
  void OnRestore();
  void OnCheckColors();
  void OnVisionPreset();
  void OnAbout();
  void OnQuit();
  void OnLinkClicked();

  template <class Body>
  void RunCommand(const char* failure, bool changesState, Body&& body);
  Snapshot TakeSnapshot() const;
  void PutBack(Snapshot& before);
  void ReportFailure(const char* failure, const std::string& reason);

  void CreateChildren();
  HWND CreateChild(const char* className, const char* text, DWORD style, const PixelRect& r,
                   int id);                          // at r, in the client area
  void ApplyFonts();                                 // the labels' and link's fonts for dpi_
  void ApplyDpi();                                   // fonts and child positions for dpi_
  void SizeWindow(std::optional<POINT> topLeft);     // exact client size; centred if no topLeft
  void PaintBackground(HDC dc, POINT origin) const;  // back colour, frame, lines
  PixelRect Px(const Twips& t) const { return ToPixels(t, dpi_); }

  HINSTANCE instance_;
  UiSystem sys_;
  WindowCommands commands_;
  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  std::array<Box, kCells> boxes_;
  std::array<HWND, kRows> rowLabels_{};
  std::array<HWND, 3> headers_{};
  HWND link_ = nullptr;
  Brush backBrush_;
  Font dialogFont_;
  Font linkFont_;
  std::array<Bitmap, 8> art_;  // indexed by FrameArt
  bool busy_ = false;
  bool closePending_ = false;
  bool endsProgram_ = true;
  markup::YieldHook previousHook_ = nullptr;
  bool hookInstalled_ = false;
};
