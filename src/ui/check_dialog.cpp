#include "ui/check_dialog.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "colorfile/color_value.h"
#include "colorfile/separation.h"
#include "common/errors.h"
#include "ui/dpi.h"
#include "ui/version.h"
#include "ui/window_commands.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The layout in pixels at 96 dpi; every figure is scaled to the dialog's DPI.
constexpr int kMargin = 12;
constexpr int kCaptionWidth = 64;  // "Player 12" and room
constexpr int kCellWidth = 76;     // "deuteranopia" and room
constexpr int kRowHeight = 20;
constexpr int kTableWidth = kCaptionWidth + 4 * kCellWidth;
constexpr int kTableGap = 20;
constexpr int kClientWidth = 2 * kMargin + 2 * kTableWidth + kTableGap;
constexpr int kTitleTop = kMargin;
constexpr int kVisionTop = kTitleTop + 18;
constexpr int kRowsTop = kVisionTop + 18;
constexpr int kPairLabelTop = kRowsTop + kRows * kRowHeight + 10;
constexpr int kPairListTop = kPairLabelTop + 18;
constexpr int kPairListHeight = 132;
constexpr int kStatusTop = kPairListTop + kPairListHeight + 6;
constexpr int kButtonTop = kStatusTop + 22;
constexpr int kButtonHeight = 24;
constexpr int kSeparateWidth = 160;
constexpr int kCloseWidth = 88;
constexpr int kClientHeight = kButtonTop + kButtonHeight + kMargin;

std::string MarkedTitle() { return TINTMOOR_TITLE " *"; }

}  // namespace

ColorTable BoxTable(const ColorWindow& window) {
  ColorTable table{};
  for (int box = 0; box < kCells; ++box) {
    table[static_cast<size_t>(box / kColumns)][static_cast<size_t>(box % kColumns)] =
        window.BoxColor(box);
  }
  return table;
}

void PickTable(ColorWindow& window, const ColorTable& table) {
  for (int box = 0; box < kCells; ++box) {
    window.SetBoxColor(
        box, table[static_cast<size_t>(box / kColumns)][static_cast<size_t>(box % kColumns)]);
  }
  window.SetCaption(MarkedTitle());
}

BoxSeparation SeparateBoxColors(ColorWindow& window, double threshold) {
  static constexpr int kColumnsChecked[] = {0, 1};
  const SeparationResult result = SeparateColors(BoxTable(window), threshold, kColumnsChecked);
  for (const CellMove& move : result.moves) {
    window.SetBoxColor(move.row * kColumns + move.column, move.after);
  }
  if (!result.moves.empty()) window.SetCaption(MarkedTitle());
  return {result.moves.size(), result.reached, result.minimumAfter};
}

// ---- The dialog.

CheckDialog::CheckDialog(HINSTANCE instance, HWND owner, int dpi, ColorWindow& window)
    : instance_(instance), owner_(owner), dpi_(dpi), window_(window) {}

CheckDialog::~CheckDialog() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void CheckDialog::Create() {
  WNDCLASSEXA probe{};
  probe.cbSize = sizeof(probe);
  if (!GetClassInfoExA(instance_, kClassName, &probe)) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kClassName;
    if (!RegisterClassExA(&wc)) throw TintError("The colour check window could not be made.");
  }
  if (!CreateWindowExA(kExStyle, kClassName, "Check Colors", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                       S(kClientWidth), S(kClientHeight), owner_, nullptr, instance_, this)) {
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    throw TintError("The colour check window could not be made.");
  }
}

void CheckDialog::RunModal() {
  Create();
  // Centred over the owner.
  RECT own, mine;
  GetWindowRect(owner_, &own);
  GetWindowRect(hwnd_, &mine);
  SetWindowPos(hwnd_, nullptr, own.left + ((own.right - own.left) - (mine.right - mine.left)) / 2,
               std::max(own.top + ((own.bottom - own.top) - (mine.bottom - mine.top)) / 2, 0L), 0,
               0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EnableWindow(owner_, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  MSG msg;
  while (!done_ && hwnd_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the program's loop ends after us
      break;
    }
    if (got == -1) break;
    if (!IsDialogMessageA(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  // The owner first, so activation goes back to it and not to another program.
  EnableWindow(owner_, TRUE);
  if (hwnd_) DestroyWindow(hwnd_);
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

LRESULT CALLBACK CheckDialog::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CheckDialog* self = WindowObject<CheckDialog>(hwnd, msg, lp);
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCCREATE) self->hwnd_ = hwnd;
  try {
    switch (msg) {
      case WM_CREATE:
        self->OnCreate();
        return 0;
      case WM_PAINT:
        self->OnPaint(nullptr);
        return 0;
      case WM_PRINTCLIENT:
        self->OnPaint(reinterpret_cast<HDC>(wp));
        return 0;
      case WM_COMMAND:
        self->OnCommand(LOWORD(wp));
        return 0;
      case WM_DPICHANGED:
        self->OnDpiChanged(LOWORD(wp), reinterpret_cast<const RECT*>(lp));
        return 0;
      case WM_CLOSE:
        self->done_ = true;
        return 0;
      case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->done_ = true;
        break;
    }
  } catch (...) {
    // Handed to RunModal, which rethrows it to the window's error boundary.
    if (!self->failure_) self->failure_ = std::current_exception();
    self->done_ = true;
    return msg == WM_CREATE ? -1 : 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void CheckDialog::OnCreate() {
  auto child = [this](const char* cls, const char* text, DWORD style, int id) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  };
  const std::string label = PairListTitle(kThreshold);
  pairLabel_ = child("STATIC", label.c_str(), SS_LEFTNOWORDWRAP | SS_NOPREFIX, -1);
  pairList_ =
      child("LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT, kPairListId);
  status_ = child("STATIC", "", SS_LEFTNOWORDWRAP | SS_NOPREFIX, kStatusId);
  separate_ = child("BUTTON", "Separate Closest Colors", WS_TABSTOP | BS_PUSHBUTTON, kSeparateId);
  close_ = child("BUTTON", "Close", WS_TABSTOP | BS_DEFPUSHBUTTON, IDCANCEL);
  ApplyDpi();
  Refresh();
}

void CheckDialog::ApplyDpi() {
  font_.Reset();
  LOGFONTA lf{};
  lf.lfHeight = -MulDiv(8, dpi_, 72);  // the 8 pt dialog font the window's captions use
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(lf.lfFaceName, "MS Shell Dlg", LF_FACESIZE);
  font_.Reset(CreateFontIndirectA(&lf));
  auto place = [this](HWND h, int left, int top, int width, int height) {
    SetWindowPos(h, nullptr, S(left), S(top), S(left + width) - S(left), S(top + height) - S(top),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  };
  const int inner = kClientWidth - 2 * kMargin;
  place(pairLabel_, kMargin, kPairLabelTop, inner, 16);
  place(pairList_, kMargin, kPairListTop, inner, kPairListHeight);
  place(status_, kMargin, kStatusTop, inner, 16);
  place(separate_, kMargin, kButtonTop, kSeparateWidth, kButtonHeight);
  place(close_, kClientWidth - kMargin - kCloseWidth, kButtonTop, kCloseWidth, kButtonHeight);
  const RECT frame =
      WindowRectForClient(S(kClientWidth), S(kClientHeight), dpi_, kStyle, kExStyle, false);
  SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void CheckDialog::OnDpiChanged(int dpi, const RECT* suggested) {
  dpi_ = dpi;
  SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyDpi();
}

void CheckDialog::Refresh() {
  view_ = MakeCheckView(BoxTable(window_), kThreshold);
  SendMessageA(pairList_, LB_RESETCONTENT, 0, 0);
  for (const std::string& line : view_.pairLines) {
    SendMessageA(pairList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void CheckDialog::OnCommand(int id) {
  switch (id) {
    case kSeparateId:
      OnSeparate();
      break;
    case IDOK:
    case IDCANCEL:
      done_ = true;
      break;
  }
}

void CheckDialog::OnSeparate() {
  const BoxSeparation result = SeparateBoxColors(window_, kThreshold);
  Refresh();
  const std::string line = SeparationLine(result.moved, result.reached, result.closest, kThreshold);
  SetWindowTextA(status_, line.c_str());
}

RECT CheckDialog::SwatchRect(int column, int row, int vision) const {
  const int x = kMargin + column * (kTableWidth + kTableGap) + kCaptionWidth + vision * kCellWidth;
  const int top = kRowsTop + row * kRowHeight;
  return {S(x + 6), S(top + 2), S(x + kCellWidth - 6), S(top + kRowHeight - 2)};
}

void CheckDialog::OnPaint(HDC printDc) {
  std::optional<PaintScope> paint;
  if (!printDc) paint.emplace(hwnd_);
  const HDC dc = printDc ? printDc : paint->dc();
  if (printDc) {
    RECT all;
    GetClientRect(hwnd_, &all);
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  }
  SelectScope font(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  auto text = [&](std::string_view s, int left, int top, int width, UINT align) {
    RECT r{S(left), S(top), S(left + width), S(top + 16)};
    DrawTextA(dc, s.data(), static_cast<int>(s.size()), &r,
              align | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  };
  Brush frame(CreateSolidBrush(GetSysColor(COLOR_WINDOWTEXT)));
  for (int column = 0; column < kCheckedColumns; ++column) {
    const int left = kMargin + column * (kTableWidth + kTableGap);
    text(ColumnCaption(column), left, kTitleTop, kTableWidth, DT_LEFT);
    for (size_t v = 0; v < kVisions.size(); ++v) {
      const int x = left + kCaptionWidth + static_cast<int>(v) * kCellWidth;
      text(VisionName(kVisions[v]), x, kVisionTop, kCellWidth, DT_CENTER);
    }
    for (int row = 0; row < kRows; ++row) {
      const int top = kRowsTop + row * kRowHeight;
      text(RowCaption(row), left, top + 3, kCaptionWidth, DT_LEFT);
      for (size_t v = 0; v < kVisions.size(); ++v) {
        RECT swatch = SwatchRect(column, row, static_cast<int>(v));
        FrameRect(dc, &swatch, frame.get());
        InflateRect(&swatch, -1, -1);
        Brush fill(CreateSolidBrush(
            ToColorRef(view_.seen[static_cast<size_t>(column)][static_cast<size_t>(row)][v])));
        FillRect(dc, &swatch, fill.get());
      }
    }
  }
}
