// MainWindow, the program's one window: 39 colour boxes under row and column
// captions, a gold frame, the home-page link and the File, Edit, Options and ?
// menus.
// The window has no child windows: it paints everything itself
// (main_window_paint.cpp), each caption and the link in a font fitted to its
// room, and finds which box or the link a click lands in by its rectangle.
//
// So the window itself takes the keyboard: it keeps one focus stop, a box or
// the link (grid_access.h says how the keys move it), draws the focus
// rectangle around it in the gap outside the box's frame, tells screen
// readers about it and its children (accessibility.h), and shows a tooltip
// over each box (box_tips.h). The children a screen reader sees are what is
// painted; none of them is a window.
//
// Every user command (a box or the link clicked or pressed with Space or
// Enter, a menu item or its shortcut, an item of a box's own menu, files
// dropped on the window, a screen reader's default action) and
// the start-up sequence run inside RunCommand, the window's single error
// boundary: a failure ends the command and is reported in a stop-icon message
// box. A CommandFailure is shown in its own words and keeps the state the
// command left; anything else is reported under the command's failure line and
// puts the window's state (caption, box colours, document tree, data folder)
// back as it was before the command. Nothing is thrown out of a window
// procedure.
//
// Re-entry: the word splitter lets this window handle messages in the middle of
// a load or a WindowCommands::Show, and a modal dialog runs its own message loop. While a
// command runs, every other command that arrives is refused (dropped without a
// word): a click during a 0.1 s load is not worth replaying against colours the
// user has not seen yet. Closing is the exception: it is held back and carried
// out as soon as the running command ends. So no command ever sees a partly
// built tree, and a Save never writes while a Restore is reading.
//
// Closing with unsaved colours asks first (WindowCommands::MayClose). When
// Windows ends the session meanwhile, the window blocks it with a reason and
// asks once the query has been answered, as Windows asks programs to; a
// critical end cannot be blocked, and asks nothing.
#pragma once

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "colorfile/color_value.h"
#include "markup/words.h"
#include "ui/accessibility.h"
#include "ui/box_tips.h"
#include "ui/gdi.h"
#include "ui/grid_access.h"
#include "ui/layout.h"
#include "ui/ui_system.h"
#include "ui/window_commands.h"

namespace tintmoor::markup {
class Element;
}  // namespace tintmoor::markup

namespace tintmoor::ui {

// Faces tried, narrowest first, when a caption does not fit in the face asked
// for even at the smallest size allowed.
inline constexpr const char* kCondensedFaces[] = {"Arial Narrow", "Liberation Sans Narrow",
                                                  "DejaVu Sans Condensed"};

class MainWindow final : public ColorWindow, private AccessibleSource {
 public:
  // The colour-file commands reach the disk and the registry through files and
  // registry; tests pass their own.
  MainWindow(HINSTANCE instance, UiSystem sys,
             colorfile::ColorFileSystem& files = colorfile::SystemFileSystem(),
             colorfile::GameRegistry& registry = colorfile::SystemGameRegistry());
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window, runs OnLoad before it is first shown, then shows it.
  // False when there is no window left (creation failed, or a close arrived
  // during start-up).
  bool Create(int show);
  HWND hwnd() const { return hwnd_; }
  // Where a box, its frame included, and the link stand and take clicks, in client pixels.
  PixelRect BoxRect(int box) const { return Px(BoxTwips(box)); }
  PixelRect LinkRect() const { return Px(kHyperLinkTwips); }
  // Whether destroying the window ends the message loop (the program's window does).
  void EndProgramOnClose(bool ends) { endsProgram_ = ends; }
  // The message loop's keyboard shortcuts (Ctrl+S): true when msg was one
  // and has been carried out.
  bool TranslateShortcut(MSG& msg);

  // ColorWindow.
  colorfile::Rgb BoxColor(int box) const override { return boxes_.at(box); }
  void SetBoxColor(int box, colorfile::Rgb color) override;
  void SetCaption(const std::string& caption) override;
  std::string Caption() const;  // the window's title, as SetCaption takes it
  void ShowMessage(const std::string& text, const std::string& title, MessageKind kind) override;
  Answer Ask(const std::string& text, const std::string& title, Question buttons) override;
  bool GameRunning() override;

  // What tests read back.
  // The fonts the captions (numbered as in layout.h) and the link are drawn in.
  HFONT CaptionFont(int caption) const { return captionFonts_.at(caption); }
  HFONT LinkFont() const { return linkFont_; }
  int Dpi() const { return dpi_; }
  bool Busy() const { return busy_; }
  // The focus stop (box k, or kLinkStop), whether or not the window has the focus.
  int CurrentStop() const { return focusStop_; }
  // The tooltip window, once the pointer has been over the window.
  HWND TipsWindow() const { return tips_ ? tips_->hwnd() : nullptr; }
  const WindowCommands& Commands() const { return commands_; }
  WindowCommands& Commands() { return commands_; }

  static constexpr const wchar_t* kClassName = L"TintmoorMain";
  // Posted to itself after refusing to end the session: ask about closing.
  static constexpr UINT kAskBeforeEnding = WM_APP + 1;

 private:
  struct Snapshot;
  struct FittedFont {
    std::string face;
    int height;
    int width;  // the average character width asked for; 0 for the face's own
    bool underline;
    Font font;
  };
  class FontFitter;

  static constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  // Scheme files may be dropped on it. (DragAcceptFiles would load shell32
  // at every start, for a drop that seldom comes.)
  static constexpr DWORD kExStyle = WS_EX_ACCEPTFILES;

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static bool RegisterWindowClass(HINSTANCE instance);

  LRESULT OnCreate();
  void OnPaint(HDC printDc);
  void OnCommand(int id);
  void OnLButtonDown(POINT at);
  void OnLButtonUp(POINT at);
  void OnCaptureChanged();
  bool OnSetCursor(HWND over, int hitTest);
  void OnDpiChanged(int dpi, const RECT* suggested);
  void OnKeyDown(UINT key, bool repeated);
  void OnFocusChanged(bool has);
  void OnUiStateChanged();
  void OnMouseMove(const MSG& move);
  std::optional<LRESULT> OnGetObject(WPARAM wp, LPARAM lp);
  void OnInitMenuPopup(HMENU menu);
  bool OnContextMenu(LPARAM lp);
  void OnDropFiles(HDROP drop);
  bool OnQueryEndSession(LPARAM reason);
  void OnClose();
  void OnDestroy();
  void OnNcDestroy();

  // Event handlers, each run through RunCommand.
  void OnLoad();
  void OnBoxClicked(int index);
  void OnOpenGameFolder();
  void OnSave();
  void OnRestore();
  void OnRestoreOriginal();
  void OnCheckColors();
  void OnVisionPreset();
  void OnImportScheme();
  void OnExportScheme();
  void OnCopy();
  void OnPaste();
  void OnAbout();
  void OnQuit();
  void OnLinkClicked();

  template <class Body>
  void RunCommand(const char* failure, bool changesState, Body&& body);
  Snapshot TakeSnapshot() const;
  void PutBack(Snapshot& before);
  void ReportFailure(const char* text, const char* title) noexcept;

  // The command id (IDC_BOX0 + k or IDC_LINK) of what lies under a client point, or 0.
  int CommandAt(POINT at) const;
  // The box under a client point, or -1 (the link, or nothing).
  int BoxAt(POINT client) const;
  void FitFonts();                                // the captions' and link's fonts for dpi_
  void ApplyDpi();                                // fonts and repaint for dpi_
  void SizeWindow(std::optional<POINT> topLeft);  // exact client size; centred if no topLeft
  void PaintBackground(HDC dc) const;             // back colour, frame, lines
  void PaintCaptions(HDC dc) const;               // the link's text too
  void PaintBoxes(HDC dc) const;
  void RepaintBox(int box);  // invalidates just its rectangle
  void AnnounceBox(int box) noexcept;
  void PaintFocus(HDC dc) const;
  void PaintAll(HDC dc) const;
  void AddPresetMenu(HMENU bar);
  // The box the keyboard focus is on, or -1 on the link.
  int FocusedBox() const { return focusStop_ == kLinkStop ? -1 : focusStop_; }
  void MoveFocus(int stop);
  void ShowFocusCues();
  PixelRect StopRect(int stop) const { return stop == kLinkStop ? LinkRect() : BoxRect(stop); }
  void RepaintFocus();  // the ring's area around the focus stop
  void PlaceTips();

  // AccessibleSource.
  HWND Window() const override { return hwnd_; }
  int StopCount() const override { return kFocusStops; }
  AccessibleStop Describe(int stop) const override;
  int FocusedStop() const override { return hasFocus_ ? focusStop_ : -1; }
  int StopAt(POINT client) const override;
  void PostDefaultAction(int stop) override;
  void FocusStop(int stop) override;
  PixelRect Px(const Twips& t) const { return ToPixels(t, dpi_); }

  HINSTANCE instance_;
  UiSystem sys_;
  WindowCommands commands_;
  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  std::array<colorfile::Rgb, colorfile::kCells> boxes_;  // grey until a load shows colours
  int pressed_ = 0;  // the command a press began on, while the mouse is captured; 0: none
  HCURSOR hand_ = nullptr;
  Brush backBrush_;
  std::vector<FittedFont> fonts_;  // owns the fonts below, one per face and size in use
  std::array<HFONT, kCaptions> captionFonts_{};
  HFONT linkFont_ = nullptr;
  std::array<Bitmap, 8> art_;  // indexed by FrameArt
  bool busy_ = false;
  bool closePending_ = false;
  bool askingToClose_ = false;
  bool blockingEnd_ = false;  // a reason given to Windows for not ending the session
  bool endsProgram_ = true;
  markup::YieldHook previousHook_ = nullptr;
  bool hookInstalled_ = false;
  HACCEL shortcuts_ = nullptr;  // a resource: freed with the program
  int focusStop_ = 0;
  int lastBox_ = 0;  // the box Tab returns to from the link
  bool hasFocus_ = false;
  std::unique_ptr<BoxTips> tips_;
  bool tipsTried_ = false;
  std::unique_ptr<AccessibleClient> accessible_;
};

}  // namespace tintmoor::ui
