// The real main window under Wine: its geometry, captions, menus, art, and the
// commands of the colour boxes, the About box, the link and Quit, with the
// colour dialog, message boxes and the shell replaced by a recorder.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/errors.h"
#include "markup/element.h"
#include "ui/color_dialog.h"
#include "ui/layout.h"
#include "ui/resource.h"
#include "ui/version.h"
#include "window_support.h"

namespace tintmoor::ui {

using colorfile::kCells;
using colorfile::kGreyColor;
using colorfile::kRows;
using colorfile::Rgb;
using common::FileError;

namespace {

constexpr COLORREF kBack = RGB(228, 205, 122);

class WindowTest : public testing::Test {
 protected:
  // Hidden unless a test needs it shown: under Wine with no window manager,
  // closing a shown window waits two seconds for a manager that never answers.
  virtual int ShowCommand() const { return SW_HIDE; }
  void SetUp() override {
    form_ = std::make_unique<MainWindow>(GetModuleHandleA(nullptr), rec_.System());
    form_->EndProgramOnClose(false);
    ASSERT_TRUE(form_->Create(ShowCommand()));
    DrainMessages();
  }
  void TearDown() override {
    form_.reset();
    DrainMessages();
  }
  void Command(int id) { SendMessageA(form_->hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  void ClickBox(int k) { Click(form_->hwnd(), form_->BoxRect(k)); }
  COLORREF BoxPixel(int k) const {
    const POINT middle = Middle(form_->BoxRect(k));
    return Rendering(form_->hwnd()).At(middle.x, middle.y);
  }

  Recorder rec_;
  std::unique_ptr<MainWindow> form_;
};

// ---- Start-up without the game: the error box comes before the window.

class ShownWindowTest : public WindowTest {
  int ShowCommand() const override { return SW_SHOWNOACTIVATE; }
};

TEST_F(ShownWindowTest, StartUpWithoutTheGameShowsItsErrorBeforeTheWindow) {
  // Its words and the grey boxes are window_commands_test's.
  ASSERT_EQ(rec_.messages.size(), 1u);
  EXPECT_EQ(rec_.messages[0].style, static_cast<UINT>(MB_OK | MB_ICONSTOP));
  EXPECT_FALSE(rec_.messages[0].windowVisible);
  // The window was not visible yet when the box was shown; it is now, with its caption.
  EXPECT_TRUE(IsWindowVisible(form_->hwnd()));
  EXPECT_EQ(WindowText(form_->hwnd()), kTitle);
}

// ---- Geometry at 96 dpi.

TEST_F(WindowTest, ClientAreaIs317By437AndTheFrameIsFixed) {
  ASSERT_EQ(form_->Dpi(), 96) << "the test prefix must run at 96 dpi";
  RECT client;
  GetClientRect(form_->hwnd(), &client);
  EXPECT_EQ(client.right, 317);
  EXPECT_EQ(client.bottom, 437);
  const LONG style = GetWindowLongA(form_->hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_NE(GetMenu(form_->hwnd()), nullptr);
  // Centred on the work area.
  RECT window, work;
  GetWindowRect(form_->hwnd(), &window);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((window.top + window.bottom) / 2, (work.top + work.bottom) / 2, 1);
}

TEST_F(WindowTest, EveryBoxAndTheLinkStandWhereTheWindowWasDrawnAt96Dpi) {
  const Rendering px(form_->hwnd());
  // layout_test pins the pixels; here the window must use them.
  for (int k = 0; k < kCells; ++k) {
    EXPECT_EQ(form_->BoxRect(k), ToPixels(BoxTwips(k), 96)) << "box " << k;
    ExpectBoxPainted(px, form_->BoxRect(k), RGB(128, 128, 128));
  }
  EXPECT_EQ(form_->LinkRect(), ToPixels(kHyperLinkTwips, 96));
}

// The captions are painted, not windows: each fits its room in the font the
// window chose (window_support.cpp says what is checked).
TEST_F(WindowTest, EveryCaptionAndTheLinkFitTheirRoom) {
  ASSERT_EQ(form_->Dpi(), 96);
  ExpectCaptionsFit(*form_);
  // Not even the boxes and the link are windows: each costs start-up time.
  EXPECT_EQ(GetWindow(form_->hwnd(), GW_CHILD), nullptr);
}

// Moving to a 144-dpi monitor: the system sends WM_DPICHANGED with a suggested
// place; Wine never does, so the test sends it as Windows would.
TEST_F(WindowTest, MovingToA144DpiMonitorScalesTheLayout) {
  RECT suggested{100, 50, 700, 800};
  SendMessageA(form_->hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(form_->Dpi(), 144);
  RECT client, window;
  GetClientRect(form_->hwnd(), &client);
  GetWindowRect(form_->hwnd(), &window);
  EXPECT_EQ(client.right, 476);
  EXPECT_EQ(client.bottom, 656);
  EXPECT_EQ(window.left, 100);
  EXPECT_EQ(window.top, 50);
  EXPECT_EQ(form_->BoxRect(0), ToPixels(BoxTwips(0), 144));
  EXPECT_EQ(form_->LinkRect(), ToPixels(kHyperLinkTwips, 144));
  const Rendering px(form_->hwnd());
  EXPECT_EQ(px.At(19, 300), RGB(64, 48, 0));  // the frame is 20 pixels wide now
  EXPECT_EQ(px.At(20, 300), kBack);
  ExpectBoxPainted(px, form_->BoxRect(0), RGB(128, 128, 128));
  ExpectCaptionsFit(*form_);  // the fonts were fitted again for 144 dpi
  // Clicks follow: this point was in box 10 at 96 dpi.
  rec_.answers.push_back(RGB(1, 2, 3));
  Click(form_->hwnd(), {216, 168}, {216, 168});
  EXPECT_EQ(form_->BoxColor(0), (Rgb{1, 2, 3}));
  EXPECT_EQ(form_->BoxColor(10), kGreyColor);
}

TEST_F(WindowTest, CaptionsOfTheLabels) {
  EXPECT_EQ(CaptionText(0), "Gaia");
  for (int n = 1; n < kRows; ++n) EXPECT_EQ(CaptionText(n), "Player " + std::to_string(n));
  EXPECT_EQ(CaptionText(kRows), "Color for Highlight, Unit, HP Bar and Waypoint Flag");
  EXPECT_EQ(CaptionText(kRows + 1), "Color shown on minimap");
  EXPECT_EQ(CaptionText(kRows + 2), "Color on dead unit");
}

TEST_F(WindowTest, MenuBarMatchesTheDesign) {
  struct Item {
    int menu, position;
    const char* caption;  // null: a separator
    UINT id;
  };
  const Item items[] = {
      {0, 0, "&Open Game Folder...", IDM_OPEN_FOLDER},
      {0, 1, "&Save\tCtrl+S", IDM_SAVE},
      {0, 2, nullptr, 0},
      {0, 3, "&Import Scheme...", IDM_IMPORT},
      {0, 4, "&Export Scheme...", IDM_EXPORT},
      {0, 5, nullptr, 0},
      {0, 6, "&Quit", IDM_QUIT},
      {1, 0, "&Undo\tCtrl+Z", IDM_UNDO},
      {1, 1, "&Redo\tCtrl+Y", IDM_REDO},
      {1, 2, nullptr, 0},
      {1, 3, "&Copy\tCtrl+C", IDM_COPY},
      {1, 4, "&Paste\tCtrl+V", IDM_PASTE},
      {2, 0, "&Restore Default Colors", IDM_RESTORE},
      {2, 1, "Restore &Original Colors", IDM_RESTORE_ORIGINAL},
      {2, 2, "&Check Colors...", IDM_CHECK},
      {2, 3, "Use Color-&Vision Preset", IDM_VISION_PRESET},
      {2, 4, "Use &Preset", static_cast<UINT>(-1)},  // a submenu
      {3, 0, "&About...", IDM_ABOUT},
      {4, 0, "&Default Colors", IDM_PRESET0},  // Use Preset's submenu
      {4, 1, "Color-&Vision", IDM_PRESET0 + 1},
  };
  HMENU bar = GetMenu(form_->hwnd());
  ASSERT_EQ(GetMenuItemCount(bar), 4);
  const HMENU menus[] = {GetSubMenu(bar, 0), GetSubMenu(bar, 1), GetSubMenu(bar, 2),
                         GetSubMenu(bar, 3), GetSubMenu(GetSubMenu(bar, 2), 4)};
  const char* titles[] = {"&File", "&Edit", "&Options", "&?"};
  const int counts[] = {7, 5, 5, 1, 2};
  char text[128];
  for (int m = 0; m < 4; ++m) {
    ASSERT_GT(GetMenuStringA(bar, m, text, sizeof(text), MF_BYPOSITION), 0);
    EXPECT_STREQ(text, titles[m]);
  }
  for (int m = 0; m < 5; ++m) EXPECT_EQ(GetMenuItemCount(menus[m]), counts[m]);
  for (const Item& item : items) {
    HMENU sub = menus[item.menu];
    const UINT state = GetMenuState(sub, item.position, MF_BYPOSITION);
    if (!item.caption) {
      EXPECT_TRUE(state & MF_SEPARATOR);
      continue;
    }
    ASSERT_GT(GetMenuStringA(sub, item.position, text, sizeof(text), MF_BYPOSITION), 0);
    EXPECT_STREQ(text, item.caption);
    EXPECT_EQ(GetMenuItemID(sub, item.position), item.id);
    EXPECT_EQ(state & (MF_CHECKED | MF_GRAYED | MF_DISABLED), 0u) << item.caption;
  }
}

// A click is a press and a release in the same box or the link, anywhere in
// it, its frame too; the window holds the mouse from the press, so it sees a
// release outside. Where a press can start a click the cursor is the hand;
// elsewhere, over the captions too, the arrow.
TEST_F(WindowTest, BoxesAndLinkTakeClicksUnderTheHandWithItsHotSpotAtTheFingerTip) {
  HWND hwnd = form_->hwnd();
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  const HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_HAND_CURSOR));
  const PixelRect box = form_->BoxRect(4), link = form_->LinkRect();
  const struct {
    POINT down, up;
    bool onTarget;
    size_t dialogs, shells;
  } cases[] = {
      {{box.left, box.top}, {box.right - 1, box.bottom - 1}, true, 1, 0},
      {{box.right - 1, box.bottom - 1}, Middle(form_->BoxRect(5)), true, 0, 0},
      {Middle(box), {box.right, box.top}, true, 0, 0},
      {{box.right, box.bottom - 1}, Middle(box), false, 0, 0},
      {{30, 100}, {30, 100}, false, 0, 0},  // the caption "Gaia"
      {Middle(link), Middle(form_->BoxRect(38)), true, 0, 0},
      {{link.left, link.top}, {link.right - 1, link.bottom - 1}, true, 0, 1},
  };
  for (const auto& c : cases) {
    const std::string at = std::to_string(c.down.x) + "," + std::to_string(c.down.y);
    POINT screen = c.down;
    ClientToScreen(hwnd, &screen);
    SetCursorPos(screen.x, screen.y);
    SetCursor(nullptr);
    SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, 0));
    EXPECT_EQ(GetCursor(), c.onTarget ? hand : arrow) << at;
    rec_.dialogs.clear();
    rec_.shells.clear();
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.down.x, c.down.y));
    EXPECT_EQ(GetCapture() == hwnd, c.onTarget) << at;
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(c.up.x, c.up.y));
    EXPECT_EQ(GetCapture(), nullptr) << at;
    EXPECT_EQ(rec_.dialogs.size(), c.dialogs) << at;
    EXPECT_EQ(rec_.shells.size(), c.shells) << at;
  }
  // The dialog was cancelled: no marker, and the box as it was.
  EXPECT_EQ(WindowText(hwnd), kTitle);
  EXPECT_EQ(form_->BoxColor(4), kGreyColor);
  EXPECT_EQ(BoxPixel(4), RGB(128, 128, 128));
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(hand, &info));
  EXPECT_EQ(info.xHotspot, 4u);
  EXPECT_EQ(info.yHotspot, 0u);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
}

// ---- What is painted.

TEST_F(WindowTest, FrameLinesAndBackgroundArePainted) {
  const Rendering px(form_->hwnd());
  ASSERT_EQ(px.width(), 317);
  // Frame: lightest at the outer edge, darkest (64, 48, 0) at the inner edge, then background.
  EXPECT_EQ(px.At(12, 200), RGB(64, 48, 0));
  EXPECT_EQ(px.At(13, 200), kBack);
  EXPECT_EQ(px.At(304, 200), RGB(64, 48, 0));
  EXPECT_EQ(px.At(303, 200), kBack);
  EXPECT_EQ(px.At(200, 12), RGB(64, 48, 0));
  EXPECT_EQ(px.At(200, 424), RGB(64, 48, 0));
  EXPECT_EQ(px.At(200, 423), kBack);
  EXPECT_EQ(px.At(0, 200), px.At(316, 200));  // the right strip mirrors the left
  EXPECT_EQ(px.At(200, 0), px.At(200, 436));  // the bottom strip mirrors the top
  EXPECT_NE(px.At(0, 200), RGB(64, 48, 0));
  // Connector lines: one pixel wide, from under their caption down to y = 88.
  const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
  const int xs[] = {110, 186, 260}, tops[] = {40, 56, 76};
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(px.At(xs[c], tops[c]), ink) << c;
    EXPECT_EQ(px.At(xs[c], 87), ink) << c;
    EXPECT_EQ(px.At(xs[c], 88), kBack) << c;
    EXPECT_EQ(px.At(xs[c] + 1, 80), kBack) << c;
    EXPECT_EQ(px.At(xs[c] - 1, 80), kBack) << c;
  }
}

TEST_F(WindowTest, LinkIsTransparentGreyText) {
  const Rendering px(form_->hwnd());
  const PixelRect link = form_->LinkRect();
  int text = 0, back = 0, frame = 0;
  for (int y = link.top; y < link.bottom; ++y) {
    for (int x = link.left; x < link.right; ++x) {
      const COLORREF c = px.At(x, y);
      if (c == RGB(64, 64, 64)) ++text;
      if (c == kBack) ++back;
      if (x >= 304 && c == RGB(64, 48, 0)) ++frame;  // the right frame strip shows through
    }
  }
  EXPECT_GT(text, 20);
  EXPECT_GT(back, text);
  EXPECT_GT(frame, 0);
}

// ---- Colour picking.

TEST_F(WindowTest, AConfirmedPickMarksTheCaptionAndSetsTheBoxColour) {
  rec_.answers.push_back(RGB(0, 0, 255));
  ClickBox(4);
  ASSERT_EQ(rec_.dialogs.size(), 1u);
  const ColorDialogCall& call = rec_.dialogs[0];
  EXPECT_EQ(call.record.lStructSize,
            sizeof(void*) == 4 ? 36u : 72u);  // 72 in the 64-bit test build
  EXPECT_EQ(call.record.hwndOwner, form_->hwnd());
  EXPECT_EQ(call.record.hInstance, nullptr);
  EXPECT_EQ(call.record.rgbResult, RGB(128, 128, 128));
  // The hook only names the box in the title (keyboard_test reads it).
  EXPECT_EQ(call.record.Flags, static_cast<DWORD>(CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK));
  EXPECT_EQ(call.record.lpfnHook, &ColorDialogTitleHook);
  EXPECT_EQ(call.record.lpTemplateName, nullptr);
  for (COLORREF c : call.custom) EXPECT_EQ(c, 0u);

  EXPECT_EQ(WindowText(form_->hwnd()), std::string(kTitle) + " *");
  EXPECT_EQ(form_->BoxColor(4), (Rgb{0, 0, 255}));
  EXPECT_EQ(BoxPixel(4), RGB(0, 0, 255));
  EXPECT_EQ(form_->BoxColor(3), kGreyColor);  // the neighbours are untouched

  rec_.answers.push_back(RGB(255, 0, 0));
  ClickBox(38);
  EXPECT_EQ(form_->BoxColor(38), (Rgb{255, 0, 0}));
  EXPECT_EQ(BoxPixel(38), RGB(255, 0, 0));
}

TEST_F(WindowTest, TwoPicksInARowGiveOneMarkerAndFreshCustomColours) {
  rec_.answers.push_back(RGB(10, 20, 30));
  rec_.answers.push_back(RGB(10, 20, 30));  // the same colour again still counts
  ClickBox(0);
  ClickBox(0);
  ASSERT_EQ(rec_.dialogs.size(), 2u);
  EXPECT_EQ(rec_.dialogs[1].record.rgbResult, RGB(10, 20, 30));  // preset to the box's colour
  for (COLORREF c : rec_.dialogs[1].custom) EXPECT_EQ(c, 0u);    // the first dialog's are gone
  EXPECT_EQ(WindowText(form_->hwnd()), std::string(kTitle) + " *");
  EXPECT_EQ(form_->BoxColor(0), (Rgb{10, 20, 30}));
}

// ---- About, the link, Quit.

TEST_F(WindowTest, AboutShowsFiveLinesWithTheVersion) {
  rec_.messages.clear();
  Command(IDM_ABOUT);
  ASSERT_EQ(rec_.messages.size(), 1u);
  EXPECT_EQ(rec_.messages[0].text, "Brindle's AoM Tintmoor v1.0.1\r\n" TINTMOOR_AUTHOR
                                   "\r\n\r\n" TINTMOOR_COPYRIGHT "\r\n" TINTMOOR_CONTACT);
  EXPECT_EQ(rec_.messages[0].title, "About...");
  EXPECT_EQ(rec_.messages[0].style, static_cast<UINT>(MB_OK));  // no icon
  EXPECT_EQ(WindowText(form_->hwnd()), kTitle);
}

TEST_F(WindowTest, TheLinkHandsItsAddressToTheShell) {
  Click(form_->hwnd(), form_->LinkRect());
  ASSERT_EQ(rec_.shells.size(), 1u);
  const ShellCall& call = rec_.shells[0];
  EXPECT_EQ(call.owner, GetDesktopWindow());
  EXPECT_EQ(call.operation, "open");
  EXPECT_EQ(call.file, TINTMOOR_HOME_PAGE);
  EXPECT_EQ(call.parameters, "0");
  EXPECT_EQ(call.directory, "0");
  EXPECT_EQ(call.show, 3);
}

TEST_F(WindowTest, QuitEndsTheMessageLoop) {
  form_->EndProgramOnClose(true);
  HWND hwnd = form_->hwnd();
  PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDM_QUIT, 0), 0);
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 5000, nullptr);
  MSG msg;
  bool quit = false;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  quit = msg.message == WM_QUIT;
  KillTimer(nullptr, watchdog);
  EXPECT_TRUE(quit);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(form_->hwnd(), nullptr);
}

// ---- The error boundary.

TEST_F(WindowTest, AFailingCommandIsReportedAndPutsTheStateBack) {
  rec_.answers.push_back(RGB(1, 2, 3));
  ClickBox(2);  // a marker and a colour to keep
  const std::string caption = WindowText(form_->hwnd());
  const std::string dataPath = form_->Commands().state().location.dataFolder;
  // Without a game there is no tree; -1 stands for that.
  const auto elementCount = [this] {
    const auto& tree = form_->Commands().state().tree;
    return tree ? tree->children().Count() : -1;
  };
  const int elements = elementCount();
  rec_.messages.clear();

  // The dialog call changes things half-way, then fails.
  rec_.duringDialog = [this](CHOOSECOLORW*) {
    form_->SetBoxColor(2, {0, 0, 0});
    form_->SetCaption("half done");
    WindowCommands::State other;
    other.location.dataFolder = "C:\\elsewhere\\";
    other.tree = std::make_unique<markup::Element>();
    other.tree->children().Add();
    form_->Commands().PutBack(std::move(other));
    throw FileError("C:\\x.xml", "the disk is full");
  };
  ClickBox(2);

  ASSERT_EQ(rec_.messages.size(), 1u);
  EXPECT_EQ(rec_.messages[0].style, static_cast<UINT>(MB_OK | MB_ICONSTOP));
  EXPECT_EQ(rec_.messages[0].title, kTitle);
  EXPECT_EQ(rec_.messages[0].text.rfind("The color could not be changed.\r\n\r\n", 0), 0u)
      << rec_.messages[0].text;
  EXPECT_NE(rec_.messages[0].text.find("the disk is full"), std::string::npos);
  EXPECT_EQ(WindowText(form_->hwnd()), caption);
  EXPECT_EQ(form_->BoxColor(2), (Rgb{1, 2, 3}));
  EXPECT_EQ(BoxPixel(2), RGB(1, 2, 3));
  EXPECT_EQ(form_->Commands().state().location.dataFolder, dataPath);
  EXPECT_EQ(elementCount(), elements);

  // Anything thrown, not only the program's errors, is caught there too.
  rec_.messages.clear();
  rec_.duringDialog = [](CHOOSECOLORW*) { throw 42; };
  ClickBox(2);
  ASSERT_EQ(rec_.messages.size(), 1u);
  EXPECT_EQ(rec_.messages[0].style, static_cast<UINT>(MB_OK | MB_ICONSTOP));
  EXPECT_FALSE(form_->Busy());

  // The window goes on working.
  rec_.duringDialog = nullptr;
  rec_.answers.push_back(RGB(0, 255, 0));
  ClickBox(2);
  EXPECT_EQ(form_->BoxColor(2), (Rgb{0, 255, 0}));
  EXPECT_TRUE(IsWindow(form_->hwnd()));
}

}  // namespace

}  // namespace tintmoor::ui
