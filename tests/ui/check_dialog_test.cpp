// The check dialog shows and separates the boxes' colours for whom the player
// chooses, by mouse or keyboard; the preset fills them.
#include <gtest/gtest.h>

#include <stdexcept>

#include "colorfile/presets.h"
#include "colorfile/separation.h"
#include "support/fake_window.h"
#include "ui/check_dialog.h"
#include "ui/dpi.h"
#include "ui/resource.h"
#include "window_support.h"

namespace tintmoor::ui {

using colorfile::CheckOptions;
using colorfile::ColorTable;
using colorfile::ColourVisionScheme;
using colorfile::ColumnCaption;
using colorfile::DefaultScheme;
using colorfile::kCells;
using colorfile::kColumns;
using colorfile::Rgb;
using colorfile::Vision;

namespace {

std::vector<std::string> ListLines(HWND list) {
  std::vector<std::string> lines;
  char text[256];
  for (LRESULT i = 0, n = SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    lines.push_back(text);
  }
  return lines;
}

// Where each of the dialog's controls is, in its client coordinates.
std::vector<RECT> Layout(HWND dialog) {
  std::vector<RECT> rects;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    rects.push_back(r);
  }
  return rects;
}

CheckDialog* DialogObject(HWND dialog) {
  return reinterpret_cast<CheckDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

class CheckDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<MainWindow>(GetModuleHandleA(nullptr), rec_.System());
    form_->EndProgramOnClose(false);
    ASSERT_TRUE(form_->Create(SW_HIDE));
    DrainMessages();
    rec_.messages.clear();
  }
  void TearDown() override { form_.reset(), DrainMessages(); }
  void ExpectBoxes(const ColorTable& table) {
    EXPECT_EQ(BoxTable(*form_), table);  // the colours the boxes hold, and paint:
    const Rendering px(form_->hwnd());
    for (int k = 0; k < kCells; ++k) {
      const Rgb c = table[static_cast<size_t>(k / kColumns)][static_cast<size_t>(k % kColumns)];
      // Back from the dialog, the window has the focus again, on box 0.
      ExpectBoxPainted(px, form_->BoxRect(k), RGB(c.r, c.g, c.b),
                       k == 0 && GetFocus() == form_->hwnd());
    }
  }
  // Opens the dialog through the menu and runs body inside it.
  void CheckColors(const std::function<void(HWND)>& body) {
    EXPECT_TRUE(InCheckDialog(
        [&] { SendMessageA(form_->hwnd(), WM_COMMAND, MAKEWPARAM(IDM_CHECK, 0), 0); }, body));
  }

  Recorder rec_;
  std::unique_ptr<MainWindow> form_;
};

TEST_F(CheckDialogTest, ShowsTheBoxesUnderEachVisionAndTheCheckedPairs) {
  PickTable(*form_, DefaultScheme());  // unsaved, as a pick
  const CheckView want = MakeCheckView(DefaultScheme(), CheckOptions{});
  CheckColors([&](HWND dialog) {
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), form_->hwnd());
    EXPECT_FALSE(IsWindowEnabled(form_->hwnd()));
    EXPECT_TRUE(form_->Busy());  // inside the window's command, whose guard refuses others
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CHECK_CAPTION0)), ColumnCaption(0));
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CHECK_CAPTION1)), ColumnCaption(1));
    EXPECT_EQ(ListLines(GetDlgItem(dialog, IDC_CHECK_PAIRS)), want.pairLines);
    ExpectCheckDialogShows(dialog, want, DialogObject(dialog)->Dpi());
  });
  EXPECT_TRUE(IsWindowEnabled(form_->hwnd()));
  EXPECT_TRUE(rec_.messages.empty());
  ExpectBoxes(DefaultScheme());  // looking changes nothing
}

// Typed as a user would, through the dialog manager as in the dialog's own
// loop: Alt+W and Down twice choose green-weak or green-blind vision, Alt+T and Up
// four times a severity of 0.6, Alt+S separates for that, Esc closes. The
// dialog shows, and the boxes take, exactly what the command line gives for
// `--vision deutan --severity 0.6` (check_view_test holds the two together).
TEST_F(CheckDialogTest, ThePresetFillsTheBoxesAndSeparatingMovesThemApart) {
  SendMessageA(form_->hwnd(), WM_COMMAND, MAKEWPARAM(IDM_VISION_PRESET, 0), 0);
  ExpectBoxes(ColourVisionScheme());
  EXPECT_EQ(WindowText(form_->hwnd()), "Brindle's AoM Tintmoor *");
  PickTable(*form_, DefaultScheme());
  SetWindowTextA(form_->hwnd(), "unmarked");
  const CheckOptions greenWeak = DialogOptions(Vision::Deutan, 6);
  const SeparationView moved = SeparateForView(DefaultScheme(), greenWeak);
  ASSERT_FALSE(moved.result.moves.empty());
  const ColorTable& want = moved.result.table;
  CheckColors([&](HWND dialog) {
    // The first control that takes the focus: the choice of whom.
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_CHECK_FOR_WHOM));
    auto type = [&](UINT msg, WPARAM key, LPARAM flags) {
      PostMessageA(GetFocus(), msg, key, flags);
      for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) {
        if (!IsDialogMessageA(dialog, &m)) DispatchMessageA(&m);
      }
    };
    const LPARAM alt = 0x20000001;  // bit 29: with Alt
    type(WM_KEYDOWN, VK_TAB, 1);
    type(WM_SYSCHAR, 'w', alt);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_CHECK_FOR_WHOM));
    type(WM_KEYDOWN, VK_DOWN, 1);
    type(WM_KEYDOWN, VK_DOWN, 1);
    type(WM_SYSCHAR, 't', alt);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_CHECK_STRENGTH));
    for (int i = 0; i < 4; ++i) type(WM_KEYDOWN, VK_UP, 1);
    const CheckView chosen = MakeCheckView(DefaultScheme(), greenWeak);
    EXPECT_EQ(ListLines(GetDlgItem(dialog, IDC_CHECK_PAIRS)), chosen.pairLines);
    ExpectCheckDialogShows(dialog, chosen, DialogObject(dialog)->Dpi());
    type(WM_SYSCHAR, 's', alt);
    const CheckView after = MakeCheckView(want, greenWeak);
    EXPECT_EQ(ListLines(GetDlgItem(dialog, IDC_CHECK_PAIRS)), after.pairLines);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CHECK_CLOSEST)), after.closestLine);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CHECK_STATUS)), moved.line);
    type(WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(IsWindowVisible(dialog));
  });
  ExpectBoxes(want);
  EXPECT_EQ(WindowText(form_->hwnd()), "Brindle's AoM Tintmoor *");
  EXPECT_TRUE(rec_.messages.empty());
}

// Where Windows leaves the dialog's DPI to the program (older systems, Wine),
// the dialog scales itself: its layout, font and swatches follow a DPI
// change, and going back puts every control where it was.
TEST_F(CheckDialogTest, FollowsADpiChangeWhereWindowsDoesNotScaleIt) {
  bool windows = true;
  const CheckView want = MakeCheckView(BoxTable(*form_), CheckOptions{});
  CheckColors([&](HWND dialog) {
    if ((windows = WindowsScalesDialog(dialog))) return;
    const int dpi = DialogObject(dialog)->Dpi();
    auto change = [&](int to) {
      RECT suggested;
      GetWindowRect(dialog, &suggested);
      SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
      EXPECT_EQ(DialogObject(dialog)->Dpi(), to);
      ExpectCheckDialogShows(dialog, want, to);
      return Layout(dialog);
    };
    const std::vector<RECT> before = Layout(dialog), larger = change(dpi * 3 / 2);
    ASSERT_EQ(larger.size(), before.size());
    HWND c = GetWindow(dialog, GW_CHILD);
    for (size_t i = 0; i < before.size(); ++i, c = GetWindow(c, GW_HWNDNEXT)) {
      // A closed drop-down list is as high as its font makes it, as the
      // dialog manager would have made it at that DPI.
      char kind[16] = "";
      GetClassNameA(c, kind, sizeof kind);
      const bool fontHigh = lstrcmpiA(kind, "ComboBox") == 0;
      for (auto edge : {&RECT::left, &RECT::top, &RECT::right, &RECT::bottom}) {
        if (fontHigh && edge == &RECT::bottom) continue;
        EXPECT_NEAR(larger[i].*edge, before[i].*edge * 3 / 2, 1) << "control " << i;
      }
    }
    const std::vector<RECT> back = change(dpi);
    for (size_t i = 0; i < before.size(); ++i) EXPECT_TRUE(EqualRect(&back[i], &before[i])) << i;
  });
  if (windows) GTEST_SKIP() << "Windows scales this dialog itself";
}

// A window whose caption cannot be set: what separating throws ends the
// dialog and comes out of RunModal, to the command's error boundary.
struct FailingWindow : test::FakeWindow {
  void SetCaption(const std::string&) override { throw std::runtime_error("no caption"); }
};

TEST_F(CheckDialogTest, WhatSeparatingThrowsEndsTheDialogAndReachesTheCaller) {
  FailingWindow boxes;  // all grey: separating moves them
  CheckDialog dialog(GetModuleHandleA(nullptr), form_->hwnd(), 96, boxes);
  auto separate = [](HWND hwnd) {
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_CHECK_SEPARATE, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindowVisible(hwnd));
  };
  EXPECT_TRUE(
      InCheckDialog([&] { EXPECT_THROW(dialog.RunModal(), std::runtime_error); }, separate));
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(form_->hwnd()));
}

}  // namespace

}  // namespace tintmoor::ui
