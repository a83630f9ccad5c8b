// The check dialog shows and separates the boxes' colours; the preset fills them.
#include <gtest/gtest.h>

#include "colorfile/presets.h"
#include "colorfile/separation.h"
#include "ui/check_dialog.h"
#include "ui/resource.h"
#include "window_support.h"

namespace {

std::function<void(HWND)> gInDialog;
// Runs gInDialog once inside the dialog's own message loop, then closes it.
void CALLBACK InDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowA(CheckDialog::kClassName, nullptr);
  if (!dialog) return;
  KillTimer(nullptr, timer);
  gInDialog(dialog);
  PostMessageA(dialog, WM_CLOSE, 0, 0);
}

std::vector<std::string> ListLines(HWND list) {
  std::vector<std::string> lines;
  char text[256];
  for (LRESULT i = 0, n = SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    lines.push_back(text);
  }
  return lines;
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
      ExpectBoxPainted(px, form_->BoxRect(k), RGB(c.r, c.g, c.b));
    }
  }
  // Opens the dialog through the menu and runs body inside it.
  void CheckColors(std::function<void(HWND)> body) {
    gInDialog = std::move(body);
    SetTimer(nullptr, 0, 20, InDialog);
    SendMessageA(form_->hwnd(), WM_COMMAND, MAKEWPARAM(IDM_CHECK, 0), 0);
    gInDialog = nullptr;
  }

  Recorder rec_;
  std::unique_ptr<MainWindow> form_;
};

TEST_F(CheckDialogTest, ShowsTheBoxesUnderEachVisionAndTheCheckedPairs) {
  PickTable(*form_, DefaultScheme());  // unsaved, as a pick
  const CheckView want = MakeCheckView(DefaultScheme(), 10);
  bool ran = false;
  CheckColors([&](HWND dialog) {
    ran = true;
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), form_->hwnd());
    EXPECT_FALSE(IsWindowEnabled(form_->hwnd()));
    EXPECT_EQ(ListLines(GetDlgItem(dialog, CheckDialog::kPairListId)), want.pairLines);
    auto* self = reinterpret_cast<CheckDialog*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    const Rendering painted(dialog);
    for (int column = 0; column < 2; ++column)
      for (int row = 0; row < kRows; ++row)
        for (int v = 0; v < 4; ++v) {
          const RECT r = self->SwatchRect(column, row, v);
          const Rgb c = want.seen[column][row][v];
          EXPECT_EQ(painted.At((r.left + r.right) / 2, (r.top + r.bottom) / 2), RGB(c.r, c.g, c.b))
              << column << ' ' << row << ' ' << v;
        }
  });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(IsWindowEnabled(form_->hwnd()));
  EXPECT_TRUE(rec_.messages.empty());
  ExpectBoxes(DefaultScheme());  // looking changes nothing
}

TEST_F(CheckDialogTest, ThePresetFillsTheBoxesAndSeparatingMovesThemApart) {
  SendMessageA(form_->hwnd(), WM_COMMAND, MAKEWPARAM(IDM_VISION_PRESET, 0), 0);
  ExpectBoxes(ColourVisionScheme());
  EXPECT_EQ(WindowText(form_->hwnd()), "Brindle's AoM Tintmoor *");
  PickTable(*form_, DefaultScheme());
  SetWindowTextA(form_->hwnd(), "unmarked");
  static constexpr int kChecked[] = {0, 1};
  const SeparationResult moved = SeparateColors(DefaultScheme(), 10, kChecked);
  ASSERT_FALSE(moved.moves.empty());
  const ColorTable& want = moved.table;
  const std::string status =
      SeparationLine(moved.moves.size(), moved.reached, moved.minimumAfter, 10);
  CheckColors([&](HWND dialog) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(CheckDialog::kSeparateId, BN_CLICKED), 0);
    EXPECT_EQ(ListLines(GetDlgItem(dialog, CheckDialog::kPairListId)),
              MakeCheckView(want, 10).pairLines);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, CheckDialog::kStatusId)), status);
  });
  ExpectBoxes(want);
  EXPECT_EQ(WindowText(form_->hwnd()), "Brindle's AoM Tintmoor *");
  EXPECT_TRUE(rec_.messages.empty());
}

}  // namespace
