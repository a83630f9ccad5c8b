// MainWindow's class, window procedure, clicks and commands; its painting,
// DPI and fonts are in main_window_paint.cpp.
#include "ui/main_window.h"

#include <new>
#include <utility>

#include "colorfile/presets.h"
#include "common/errors.h"
#include "common/wide_win32.h"
#include "markup/element.h"
#include "ui/check_dialog.h"
#include "ui/clipboard.h"
#include "ui/color_dialog.h"
#include "ui/dpi.h"
#include "ui/grid_access.h"
#include "ui/hyperlink.h"
#include "ui/resource.h"
#include "ui/version.h"
#include "ui/yield.h"

namespace tintmoor::ui {

namespace {

bool Inside(const PixelRect& r, POINT at) {
  return at.x >= r.left && at.x < r.right && at.y >= r.top && at.y < r.bottom;
}

POINT PointOf(LPARAM lp) {
  return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

// shell32 is loaded for the first drop, not at every start.
using DragFinishFn = void(WINAPI*)(HDROP);
DragFinishFn DragFinishProc() {
  static const DragFinishFn finish = SystemProc<DragFinishFn>("shell32.dll", "DragFinish");
  return finish;
}

// The files and folders of a drop, which is over once they are read.
std::vector<std::string> DroppedPaths(HDROP drop) {
  using QueryFn = UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT);
  static const QueryFn query = SystemProc<QueryFn>("shell32.dll", "DragQueryFileW");
  struct Finish {
    HDROP drop;
    ~Finish() { DragFinishProc()(drop); }
  } done{drop};
  std::vector<std::string> paths;
  const UINT count = query(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring name(query(drop, i, nullptr, 0) + 1, L'\0');
    name.resize(query(drop, i, name.data(), static_cast<UINT>(name.size())));
    paths.push_back(common::Narrow(name));
  }
  return paths;
}

}  // namespace

// What a failed command puts back.
struct MainWindow::Snapshot {
  std::string caption;
  std::array<colorfile::Rgb, colorfile::kCells> boxes;
  WindowCommands::State commands;
};

MainWindow::MainWindow(HINSTANCE instance, UiSystem sys, colorfile::ColorFileSystem& files,
                       colorfile::GameRegistry& registry)
    : instance_(instance), sys_(std::move(sys)), commands_(files, registry) {
  boxes_.fill(colorfile::kGreyColor);
}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW probe{};
  probe.cbSize = sizeof(probe);
  if (GetClassInfoExW(instance, kClassName, &probe)) return true;

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_TINTMOOR), IMAGE_ICON, 32, 32, 0));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TINTMOOR), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  return RegisterClassExW(&wc) != 0;
}

bool MainWindow::Create(int show) {
  if (!RegisterWindowClass(instance_)) return false;
  shortcuts_ = LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(IDR_SHORTCUTS));
  HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_MAINMENU));
  if (menu) AddPresetMenu(menu);
  // Any size will do: OnCreate sizes the window to its layout at its DPI.
  if (!CreateWindowExW(kExStyle, kClassName, L"", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 320, 480,
                       nullptr, menu, instance_, this)) {
    if (menu) DestroyMenu(menu);
    return false;
  }
  // The focus rectangle shows from the start when the program was started
  // from the keyboard, or when the user has asked to see it always.
  SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS), 0);
  previousHook_ = markup::SetYieldHook(&PumpPendingMessages);
  hookInstalled_ = true;
  // The load runs while the window is still hidden: its message boxes come first.
  RunCommand("The colors could not be loaded at start-up.", true, [this] { OnLoad(); });
  if (!hwnd_) return false;
  ShowWindow(hwnd_, show);
  UpdateWindow(hwnd_);
  return true;
}

// ---- Window procedures: flat switches, one OnX per message, nothing thrown out.

LRESULT CALLBACK MainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  MainWindow* self = WindowObject<MainWindow>(hwnd, msg, lp);
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCCREATE) self->hwnd_ = hwnd;
  try {
    switch (msg) {
      case WM_CREATE:
        return self->OnCreate();
      case WM_PAINT:
        self->OnPaint(nullptr);
        return 0;
      case WM_PRINTCLIENT:
        self->OnPaint(reinterpret_cast<HDC>(wp));
        return 0;
      case WM_ERASEBKGND:
        return 1;  // OnPaint covers every pixel
      case WM_COMMAND:
        self->OnCommand(LOWORD(wp));
        return 0;
      case WM_LBUTTONDOWN:
        self->OnLButtonDown(PointOf(lp));
        return 0;
      case WM_LBUTTONUP:
        self->OnLButtonUp(PointOf(lp));
        return 0;
      case WM_CAPTURECHANGED:
        self->OnCaptureChanged();
        return 0;
      case WM_MOUSEMOVE:
        self->OnMouseMove({hwnd, msg, wp, lp, 0, {}});
        return 0;
      case WM_KEYDOWN:
        self->OnKeyDown(static_cast<UINT>(wp), (lp & (1 << 30)) != 0);
        return 0;
      case WM_SETFOCUS:
        self->OnFocusChanged(true);
        return 0;
      case WM_KILLFOCUS:
        self->OnFocusChanged(false);
        return 0;
      case WM_UPDATEUISTATE: {
        const LRESULT done = DefWindowProcW(hwnd, msg, wp, lp);  // keeps the new state
        self->OnUiStateChanged();
        return done;
      }
      case WM_GETOBJECT:
        if (const std::optional<LRESULT> object = self->OnGetObject(wp, lp)) return *object;
        break;
      case WM_SETCURSOR:
        if (self->OnSetCursor(reinterpret_cast<HWND>(wp), static_cast<short>(LOWORD(lp)))) {
          return TRUE;
        }
        break;  // the class's arrow
      case WM_DPICHANGED:
        self->OnDpiChanged(LOWORD(wp), reinterpret_cast<const RECT*>(lp));
        return 0;
      case WM_INITMENUPOPUP:
        self->OnInitMenuPopup(reinterpret_cast<HMENU>(wp));
        break;
      case WM_CONTEXTMENU:
        if (self->OnContextMenu(lp)) return 0;
        break;
      case WM_DROPFILES:
        self->OnDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
      case WM_QUERYENDSESSION:
        return self->OnQueryEndSession(lp) ? TRUE : FALSE;
      case kAskBeforeEnding:
      case WM_CLOSE:
        self->OnClose();
        return 0;
      case WM_DESTROY:
        self->OnDestroy();
        return 0;
      case WM_NCDESTROY:
        self->OnNcDestroy();
        break;
    }
  } catch (...) {
    // Commands have their own boundary; what reaches here is painting or
    // layout running out of memory. Skip this message and carry on.
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// ---- Clicks: the boxes and the link are painted, and take clicks like push
// buttons: a press and a release inside the same one. The mouse is captured
// from the press, so a release outside the window still ends it.

int MainWindow::CommandAt(POINT at) const {
  for (int k = 0; k < colorfile::kCells; ++k) {
    if (Inside(BoxRect(k), at)) return IDC_BOX0 + k;
  }
  return Inside(LinkRect(), at) ? IDC_LINK : 0;
}

int MainWindow::BoxAt(POINT client) const {
  const int stop = StopAt(client);
  return stop == kLinkStop ? -1 : stop;
}

void MainWindow::OnLButtonDown(POINT at) {
  const int command = CommandAt(at);
  if (!command) return;
  SetCapture(hwnd_);  // first: it may tell this window it lost an earlier capture
  pressed_ = command;
  // As a push button does, what is pressed takes the focus.
  MoveFocus(StopAt(at));
}

void MainWindow::OnLButtonUp(POINT at) {
  const int pressed = pressed_;
  if (GetCapture() != hwnd_) return;  // held only from a press on a box or the link
  ReleaseCapture();                   // clears pressed_
  if (pressed && CommandAt(at) == pressed) OnCommand(pressed);
}

// Another window took the mouse between press and release: no click.
void MainWindow::OnCaptureChanged() { pressed_ = 0; }

// The hand over a box and the link; false leaves the arrow to the system.
bool MainWindow::OnSetCursor(HWND over, int hitTest) {
  if (over != hwnd_ || hitTest != HTCLIENT || !hand_) return false;
  POINT at;
  if (!GetCursorPos(&at) || !ScreenToClient(hwnd_, &at) || !CommandAt(at)) return false;
  SetCursor(hand_);
  return true;
}

void MainWindow::OnCommand(int id) {
  if (id >= IDC_BOX0 && id < IDC_BOX0 + colorfile::kCells) {
    RunCommand("The color could not be changed.", true,
               [this, id] { OnBoxClicked(id - IDC_BOX0); });
    return;
  }
  switch (id) {
    case IDM_OPEN_FOLDER:
      RunCommand("The game folder could not be opened.", true, [this] { OnOpenGameFolder(); });
      break;
    case IDM_SAVE:
      RunCommand("The colors could not be saved.", true, [this] { OnSave(); });
      break;
    case IDM_UNDO:
      RunCommand("The change could not be undone.", true, [this] { commands_.Undo(*this); });
      break;
    case IDM_REDO:
      RunCommand("The change could not be redone.", true, [this] { commands_.Redo(*this); });
      break;
    case IDM_RESTORE:
      RunCommand("The default colors could not be restored.", true, [this] { OnRestore(); });
      break;
    case IDM_RESTORE_ORIGINAL:
      RunCommand("The original colors could not be restored.", true,
                 [this] { OnRestoreOriginal(); });
      break;
    case IDM_CHECK:
      RunCommand("The colors could not be checked.", true, [this] { OnCheckColors(); });
      break;
    case IDM_VISION_PRESET:
      RunCommand("The color-vision preset could not be used.", true, [this] { OnVisionPreset(); });
      break;
    case IDM_IMPORT:
      RunCommand("The scheme could not be imported.", true, [this] { OnImportScheme(); });
      break;
    case IDM_EXPORT:
      RunCommand("The scheme could not be exported.", false, [this] { OnExportScheme(); });
      break;
    case IDM_COPY:
      RunCommand("The color could not be copied.", false, [this] { OnCopy(); });
      break;
    case IDM_PASTE:
      RunCommand("The color could not be pasted.", true, [this] { OnPaste(); });
      break;
    case IDM_PICK:
      if (FocusedBox() >= 0) OnCommand(IDC_BOX0 + FocusedBox());
      break;
    case IDM_MATCH_UNIT:
      RunCommand("The color could not be changed.", true,
                 [this] { commands_.MatchUnit(*this, FocusedBox()); });
      break;
    case IDM_ABOUT:
      RunCommand("The About box could not be shown.", false, [this] { OnAbout(); });
      break;
    case IDM_QUIT:
      OnQuit();
      break;
    case IDC_LINK:
      RunCommand("The home page could not be opened.", false, [this] { OnLinkClicked(); });
      break;
    default:
      if (id >= IDM_PRESET0 && id < IDM_PRESET0 + static_cast<int>(colorfile::Presets().size())) {
        RunCommand("The preset could not be used.", true, [this, id] {
          commands_.PutTable(*this,
                             colorfile::Presets()[static_cast<size_t>(id - IDM_PRESET0)].table);
        });
      }
      break;
  }
}

// Options > Use Preset: every built-in preset, as the command line lists them.
void MainWindow::AddPresetMenu(HMENU bar) {
  HMENU options = GetSubMenu(bar, 2);
  HMENU presets = CreatePopupMenu();
  if (!options || !presets) return;
  int id = IDM_PRESET0;
  for (const colorfile::Preset& preset : colorfile::Presets()) {
    AppendMenuW(presets, MF_STRING, static_cast<UINT_PTR>(id++),
                common::Widen(preset.menuText).c_str());
  }
  if (!AppendMenuW(options, MF_POPUP, reinterpret_cast<UINT_PTR>(presets), L"Use &Preset")) {
    DestroyMenu(presets);
  }
}

// A box's own menu: on a right-click on a box, which takes the focus as a
// press does, or from the keyboard (lp -1) on the focused box, under it.
// False for a click elsewhere, or from the keyboard on the link.
bool MainWindow::OnContextMenu(LPARAM lp) {
  if (busy_) return true;
  POINT at{};
  if (lp == -1) {
    if (FocusedBox() < 0) return false;
    const PixelRect r = BoxRect(FocusedBox());
    at = {r.left, r.bottom};
    ClientToScreen(hwnd_, &at);
  } else {
    at = PointOf(lp);
    POINT client = at;
    ScreenToClient(hwnd_, &client);
    const int box = BoxAt(client);
    if (box < 0) return false;
    MoveFocus(box);
  }
  HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_BOXMENU));
  if (!menu) return true;
  const int chosen = static_cast<int>(TrackPopupMenu(
      GetSubMenu(menu, 0), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x,
      at.y, 0, hwnd_, nullptr));
  DestroyMenu(menu);
  if (chosen && hwnd_) OnCommand(chosen);
  return true;
}

// A drop while another command runs is let go, as a click then is.
void MainWindow::OnDropFiles(HDROP drop) {
  bool taken = false;
  RunCommand("The scheme could not be imported.", true, [&] {
    taken = true;
    const std::vector<std::string> paths = DroppedPaths(drop);
    SetForegroundWindow(hwnd_);  // what follows is shown over this window
    commands_.ImportDropped(*this, paths);
  });
  if (!taken) DragFinishProc()(drop);
}

// What can be undone, redone and put back, as the menu opens.
void MainWindow::OnInitMenuPopup(HMENU menu) {
  const auto enable = [menu](UINT id, bool on) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  };
  enable(IDM_UNDO, !busy_ && commands_.CanUndo());
  enable(IDM_REDO, !busy_ && commands_.CanRedo());
  enable(IDM_RESTORE_ORIGINAL, !busy_ && commands_.HasOriginal());
  enable(IDM_COPY, !busy_ && FocusedBox() >= 0);
  enable(IDM_PASTE, !busy_ && FocusedBox() >= 0);
  enable(IDM_MATCH_UNIT, !busy_ && WindowCommands::CanMatchUnit(FocusedBox()));
}

// Answered at once: the question comes after, as Windows wants of a program
// that holds up the end of the session.
bool MainWindow::OnQueryEndSession(LPARAM reason) {
  if ((reason & ENDSESSION_CRITICAL) != 0 || !commands_.Unsaved()) return true;
  if (!blockingEnd_) {
    blockingEnd_ = true;
    ShutdownBlockReasonCreate(hwnd_, L"The changed player colors are not saved.");
    PostMessageW(hwnd_, kAskBeforeEnding, 0, 0);
  }
  return false;
}

void MainWindow::OnClose() {
  if (busy_) {
    // Carried out when the running command ends; one question at a time.
    if (!askingToClose_) closePending_ = true;
    return;
  }
  bool closes = false;
  askingToClose_ = true;
  RunCommand("The colors could not be saved.", true,
             [this, &closes] { closes = commands_.MayClose(*this); });
  askingToClose_ = false;
  if (!hwnd_) return;
  if (closes) {
    DestroyWindow(hwnd_);
  } else if (blockingEnd_) {
    ShutdownBlockReasonDestroy(hwnd_);
    blockingEnd_ = false;
  }
}

void MainWindow::OnDestroy() {
  tips_.reset();
  accessible_.reset();  // screen readers holding the window's object are cut off
  if (hookInstalled_) {
    markup::SetYieldHook(previousHook_);
    hookInstalled_ = false;
  }
  if (endsProgram_) PostQuitMessage(0);
}

void MainWindow::OnNcDestroy() {
  // The last message: nothing after it may reach this object.
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
}

// ---- The error boundary.

template <class Body>
void MainWindow::RunCommand(const char* failure, bool changesState, Body&& body) {
  if (busy_) return;  // refused: see the note at the top of main_window.h
  busy_ = true;
  std::optional<Snapshot> before;
  const auto fail = [&](const char* reason) noexcept {
    if (before) PutBack(*before);
    try {
      ReportFailure((std::string(failure) + "\r\n\r\n" + reason).c_str(), TINTMOOR_TITLE);
    } catch (...) {
      ReportFailure(failure, TINTMOOR_TITLE);  // no memory left to add the reason
    }
  };
  try {
    if (changesState) before = TakeSnapshot();
    body();
  } catch (const CommandFailure& e) {
    ReportFailure(e.what(), e.title().c_str());
  } catch (const std::bad_alloc&) {
    fail("There is not enough memory.");
  } catch (const std::exception& e) {
    fail(e.what());
  } catch (...) {
    fail("An unexpected error occurred.");
  }
  busy_ = false;
  if (closePending_ && hwnd_) {
    closePending_ = false;
    OnClose();
  }
}

MainWindow::Snapshot MainWindow::TakeSnapshot() const {
  Snapshot s;
  s.caption = Caption();
  s.boxes = boxes_;
  s.commands = commands_.Snapshot();
  return s;
}

void MainWindow::PutBack(Snapshot& before) {
  try {
    for (int k = 0; k < colorfile::kCells; ++k) {
      if (boxes_[k] == before.boxes[k]) continue;
      boxes_[k] = before.boxes[k];
      RepaintBox(k);
      AnnounceBox(k);
    }
    SetCaption(before.caption);
    commands_.PutBack(std::move(before.commands));
  } catch (...) {
    // Only moves and system calls above; nothing left to put back.
  }
}

void MainWindow::ReportFailure(const char* text, const char* title) noexcept {
  try {
    sys_.messageBox(hwnd_, text, title, MB_OK | MB_ICONSTOP);
  } catch (...) {
    // A message box that cannot be shown leaves nothing else to tell the user with.
  }
}

// ---- ColorWindow.

void MainWindow::SetBoxColor(int box, colorfile::Rgb color) {
  if (boxes_.at(box) == color) return;
  boxes_[box] = color;
  RepaintBox(box);
  AnnounceBox(box);
}

// What else shows a box's colour: its tooltip and screen readers.
void MainWindow::AnnounceBox(int box) noexcept {
  try {
    if (tips_) tips_->SetText(box, BoxTip(box, boxes_[box]));
  } catch (...) {
    // The tip keeps its old text; the box itself is right.
  }
  NotifyStopValueChanged(hwnd_, box);
}

void MainWindow::SetCaption(const std::string& caption) {
  SetWindowTextW(hwnd_, common::Widen(caption).c_str());
}

std::string MainWindow::Caption() const {
  std::wstring caption(static_cast<size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
  caption.resize(
      static_cast<size_t>(GetWindowTextW(hwnd_, caption.data(), static_cast<int>(caption.size()))));
  return common::Narrow(caption);
}

void MainWindow::ShowMessage(const std::string& text, const std::string& title, MessageKind kind) {
  UINT style = MB_OK | MB_ICONERROR;
  if (kind == MessageKind::kWarning) style = MB_OK | MB_ICONWARNING;
  if (kind == MessageKind::kInformation) style = MB_OK | MB_ICONINFORMATION;
  sys_.messageBox(hwnd_, text.c_str(), title.c_str(), style);
}

Answer MainWindow::Ask(const std::string& text, const std::string& title, Question buttons) {
  const UINT style = buttons == Question::kYesNoCancel ? MB_YESNOCANCEL | MB_ICONWARNING
                                                       : MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2;
  switch (sys_.messageBox(hwnd_, text.c_str(), title.c_str(), style)) {
    case IDYES:
      return Answer::kYes;
    case IDNO:
      return Answer::kNo;
    default:
      return buttons == Question::kYesNoCancel ? Answer::kCancel : Answer::kNo;
  }
}

bool MainWindow::GameRunning() { return sys_.gameRunning && sys_.gameRunning(); }

// ---- Event handlers.

void MainWindow::OnLoad() { commands_.Start(*this); }

void MainWindow::OnBoxClicked(int index) {
  const std::optional<colorfile::Rgb> picked =
      PickColor(hwnd_, BoxColor(index), ColorDialogTitle(index), sys_.chooseColor);
  if (!picked) return;
  SetBoxColor(index, *picked);
  commands_.Changed(*this);
}

void MainWindow::OnOpenGameFolder() {
  const std::optional<std::string> folder =
      sys_.pickFolder(hwnd_, "Choose the folder AoM is installed in, or its data folder");
  if (folder) commands_.OpenGameFolder(*this, *folder);
}

void MainWindow::OnSave() { commands_.Save(*this); }

void MainWindow::OnRestore() { commands_.Restore(*this); }

void MainWindow::OnRestoreOriginal() { commands_.RestoreOriginal(*this); }

// Modal: the re-entry guard stays up while it is open, and what separating
// throws comes back here to the command's boundary. Whatever it moved is one
// step.
void MainWindow::OnCheckColors() {
  CheckDialog(instance_, hwnd_, dpi_, *this).RunModal();
  commands_.Changed(*this);
}

void MainWindow::OnVisionPreset() { commands_.PutTable(*this, colorfile::ColourVisionScheme()); }

void MainWindow::OnImportScheme() {
  if (const std::optional<std::string> file = sys_.openScheme(hwnd_, "Import Scheme")) {
    commands_.ImportScheme(*this, *file);
  }
}

void MainWindow::OnExportScheme() {
  if (const std::optional<std::string> file = sys_.saveScheme(hwnd_, "Export Scheme")) {
    commands_.ExportScheme(*this, *file);
  }
}

void MainWindow::OnCopy() {
  if (FocusedBox() >= 0) SetClipboardText(hwnd_, WindowCommands::CopyText(*this, FocusedBox()));
}

void MainWindow::OnPaste() {
  if (FocusedBox() >= 0) commands_.Paste(*this, FocusedBox(), ClipboardText(hwnd_));
}

void MainWindow::OnAbout() {
  const std::string text = std::string(TINTMOOR_TITLE " v" TINTMOOR_VERSION_STRING) +
                           "\r\n" TINTMOOR_AUTHOR "\r\n\r\n" TINTMOOR_COPYRIGHT
                           "\r\n" TINTMOOR_CONTACT;
  sys_.messageBox(hwnd_, text.c_str(), "About...", MB_OK);
}

void MainWindow::OnQuit() { OnClose(); }

void MainWindow::OnLinkClicked() { OpenHyperlink(TINTMOOR_HOME_PAGE, sys_.shellExecute); }

// ---- The keyboard: the focus stop, its keys and Ctrl+S.

bool MainWindow::TranslateShortcut(MSG& msg) {
  return hwnd_ && shortcuts_ && msg.hwnd == hwnd_ && TranslateAcceleratorW(hwnd_, shortcuts_, &msg);
}

void MainWindow::OnKeyDown(UINT key, bool repeated) {
  GridKey move;
  switch (key) {
    case VK_SPACE:
    case VK_RETURN:
      ShowFocusCues();
      // Held down, the key would open the dialog again as soon as it closed.
      if (!repeated) OnCommand(focusStop_ == kLinkStop ? IDC_LINK : IDC_BOX0 + focusStop_);
      return;
    case VK_LEFT:
      move = GridKey::kLeft;
      break;
    case VK_RIGHT:
      move = GridKey::kRight;
      break;
    case VK_UP:
      move = GridKey::kUp;
      break;
    case VK_DOWN:
      move = GridKey::kDown;
      break;
    case VK_HOME:
      move = GridKey::kHome;
      break;
    case VK_END:
      move = GridKey::kEnd;
      break;
    case VK_TAB:
      move = GetKeyState(VK_SHIFT) < 0 ? GridKey::kShiftTab : GridKey::kTab;
      break;
    default:
      return;
  }
  ShowFocusCues();
  MoveFocus(NextStop(focusStop_, move, lastBox_));
}

void MainWindow::MoveFocus(int stop) {
  if (stop == focusStop_) return;
  RepaintFocus();
  focusStop_ = stop;
  if (stop != kLinkStop) lastBox_ = stop;
  RepaintFocus();
  if (hasFocus_) NotifyStopFocused(hwnd_, stop);
}

// The keyboard is in use: from now on the focus rectangle shows.
void MainWindow::ShowFocusCues() {
  SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void MainWindow::OnFocusChanged(bool has) {
  hasFocus_ = has;
  RepaintFocus();
  if (has) NotifyStopFocused(hwnd_, focusStop_);
}

void MainWindow::OnUiStateChanged() { RepaintFocus(); }

void MainWindow::RepaintFocus() {
  PixelRect r = StopRect(focusStop_);
  const RECT ring{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
  InvalidateRect(hwnd_, &ring, FALSE);
}

// ---- Tooltips, made on the first hover.

void MainWindow::OnMouseMove(const MSG& move) {
  if (tipsTried_) return;
  if (BoxAt(PointOf(move.lParam)) < 0) return;
  tipsTried_ = true;
  try {
    tips_ = std::make_unique<BoxTips>(hwnd_, colorfile::kCells);
    PlaceTips();
    for (int k = 0; k < colorfile::kCells; ++k) tips_->SetText(k, BoxTip(k, boxes_[k]));
    tips_->Relay(move);  // it watches the moves from the next one on
  } catch (...) {
    tips_.reset();  // no tooltips: nothing else depends on them
  }
}

void MainWindow::PlaceTips() {
  if (!tips_) return;
  for (int k = 0; k < colorfile::kCells; ++k) tips_->Place(k, BoxRect(k));
}

// ---- Screen readers.

std::optional<LRESULT> MainWindow::OnGetObject(WPARAM wp, LPARAM lp) {
  if (!accessible_) {
    accessible_ = std::make_unique<AccessibleClient>(static_cast<AccessibleSource&>(*this));
  }
  return accessible_->OnGetObject(wp, lp);
}

AccessibleStop MainWindow::Describe(int stop) const {
  if (stop == kLinkStop) {
    return {AccessibleStop::Kind::kLink, TINTMOOR_HOME_PAGE, "", LinkRect()};
  }
  return {AccessibleStop::Kind::kButton, AccessibleBoxName(stop),
          AccessibleColorValue(boxes_.at(stop)), BoxRect(stop)};
}

int MainWindow::StopAt(POINT client) const {
  const int command = CommandAt(client);
  if (!command) return -1;
  return command == IDC_LINK ? kLinkStop : command - IDC_BOX0;
}

void MainWindow::PostDefaultAction(int stop) {
  PostMessageW(hwnd_, WM_COMMAND, stop == kLinkStop ? IDC_LINK : IDC_BOX0 + stop, 0);
}

void MainWindow::FocusStop(int stop) {
  SetFocus(hwnd_);
  MoveFocus(stop);
}

}  // namespace tintmoor::ui
