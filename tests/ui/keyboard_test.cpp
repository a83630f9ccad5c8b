// The window without a mouse: the keys that move the focus and press what
// has it, the focus rectangle, what a screen reader (MSAA) reads and hears,
// and the tooltips over the boxes.
#include <gtest/gtest.h>

#include <ole2.h>
// oleacc.h needs ole2.h first.
#include <commctrl.h>
#include <oleacc.h>

#include <stdexcept>

#include "common/wide_win32.h"
#include "ui/grid_access.h"
#include "window_support.h"

namespace tintmoor::ui {

using colorfile::kCells;
using colorfile::Rgb;
using common::Narrow;

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128);

class KeyboardTest : public testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // for the screen reader's side
    form_ = std::make_unique<MainWindow>(GetModuleHandleA(nullptr), rec_.System());
    form_->EndProgramOnClose(false);
    ASSERT_TRUE(form_->Create(SW_HIDE));
    DrainMessages();
    rec_.messages.clear();  // start-up found no game
  }
  void TearDown() override {
    form_.reset();
    DrainMessages();
  }
  void Keys(std::initializer_list<UINT> keys, UINT modifiers = 0) {
    for (UINT key : keys) PressKey(*form_, key, modifiers);
  }
  void Focus(bool has) { SendMessageA(form_->hwnd(), has ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0); }

  Recorder rec_;
  std::unique_ptr<MainWindow> form_;
};

VARIANT Child(LONG id) {
  VARIANT v{};
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::string Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), IAccessible* acc,
                 LONG id) {
  BSTR text = nullptr;
  (acc->*get)(Child(id), &text);
  const std::string utf8 = text ? Narrow(text) : "(none)";
  SysFreeString(text);
  return utf8;
}

// The window's end of the keys; where each key leads is grid_access_test's.
TEST_F(KeyboardTest, KeysMoveTheFocusAndTabGoesToTheLinkAndBack) {
  EXPECT_EQ(form_->CurrentStop(), 0);
  const struct {
    std::initializer_list<UINT> keys;
    UINT modifiers;
    int stop;
  } steps[] = {
      {{VK_RIGHT, VK_DOWN, VK_LEFT, VK_LEFT}, 0, 3},
      {{VK_END}, 0, 5},
      {{VK_TAB, VK_DOWN}, 0, kLinkStop},
      {{VK_TAB}, MOD_SHIFT, 5},
      {{VK_HOME, 'A', VK_F2}, 0, 3},
  };
  for (const auto& step : steps) {
    Keys(step.keys, step.modifiers);
    EXPECT_EQ(form_->CurrentStop(), step.stop) << "after " << *step.keys.begin();
  }
  // A press with the mouse takes the focus, as a button's does.
  Click(form_->hwnd(), form_->BoxRect(38));
  EXPECT_EQ(form_->CurrentStop(), 38);
}

// Space and Enter click what has the focus: the same command, guard and
// boundary as a click.
TEST_F(KeyboardTest, SpaceAndEnterPressTheBoxOrTheLinkWithTheFocus) {
  Keys({VK_RIGHT, VK_DOWN});
  rec_.answers.push_back(RGB(10, 20, 30));
  // A second press while the dialog is open is refused, like a second click.
  rec_.duringDialog = [this](CHOOSECOLORW*) { PressKey(*form_, VK_RETURN); };
  Keys({VK_SPACE});
  ASSERT_EQ(rec_.dialogs.size(), 1u);
  EXPECT_EQ(rec_.dialogs[0].title, "Color: Player 1, minimap");
  EXPECT_EQ(form_->BoxColor(4), (Rgb{10, 20, 30}));
  EXPECT_EQ(WindowText(form_->hwnd()), std::string(kTitle) + " *");

  rec_.duringDialog = [](CHOOSECOLORW*) { throw std::runtime_error("the disk is full"); };
  Keys({VK_DOWN, VK_RETURN});
  ASSERT_EQ(rec_.dialogs.size(), 2u);
  EXPECT_EQ(rec_.dialogs[1].title, "Color: Player 2, minimap");
  ASSERT_EQ(rec_.messages.size(), 1u);
  EXPECT_EQ(rec_.messages[0].text, "The color could not be changed.\r\n\r\nthe disk is full");
  rec_.duringDialog = nullptr;

  // A key held down repeats: it does not open the dialog again.
  SendMessageA(form_->hwnd(), WM_KEYDOWN, VK_SPACE, 1 | (1 << 30));
  Keys({VK_TAB, VK_RETURN, VK_SPACE});
  EXPECT_EQ(rec_.dialogs.size(), 2u);
  EXPECT_EQ(rec_.shells.size(), 2u);
}

TEST_F(KeyboardTest, CtrlSSaves) {
  Keys({'S'});
  EXPECT_TRUE(rec_.messages.empty());
  Keys({'S'}, MOD_CONTROL);
  // No game here: Save's own refusal shows it ran.
  ASSERT_EQ(rec_.messages.size(), 1u);
  EXPECT_EQ(rec_.messages[0].text.rfind("Nothing was saved: Tintmoor has not found the game", 0),
            0u);
}

// Only while the window has the focus; the box's own pixels never change.
TEST_F(KeyboardTest, TheFocusRectangleSurroundsTheBoxInTheGap) {
  Keys({VK_DOWN});
  ExpectBoxPainted(Rendering(form_->hwnd()), form_->BoxRect(3), kGrey);
  Focus(true);
  ASSERT_FALSE(SendMessageA(form_->hwnd(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)
      << "keys were used: the cues show";
  ExpectBoxPainted(Rendering(form_->hwnd()), form_->BoxRect(3), kGrey, true);
  Focus(false);
  ExpectBoxPainted(Rendering(form_->hwnd()), form_->BoxRect(3), kGrey);
}

std::vector<std::pair<DWORD, LONG>> gEvents;
void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD) {
  if (object == OBJID_CLIENT) gEvents.emplace_back(event, child);
}

// What it reads, and the events it hears.
TEST_F(KeyboardTest, AScreenReaderSeesTheBoxesTheLinkAndTheFocus) {
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr,
                                       OnEvent, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  gEvents.clear();
  Focus(true);
  Keys({VK_RIGHT, VK_DOWN});
  form_->SetBoxColor(4, {50, 50, 255});
  form_->SetBoxColor(4, {50, 50, 255});  // no change, no word
  IAccessible* acc = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(form_->hwnd(), static_cast<DWORD>(OBJID_CLIENT),
                                       __uuidof(IAccessible), reinterpret_cast<void**>(&acc)),
            S_OK);
  LONG count = 0;
  acc->get_accChildCount(&count);
  EXPECT_EQ(count, 40);
  const struct {
    LONG id;
    const char *name, *value, *action;
    LONG role, state;
  } children[] = {
      {1, "Gaia, unit color", "red 128, green 128, blue 128", "Press", ROLE_SYSTEM_PUSHBUTTON,
       STATE_SYSTEM_FOCUSABLE},
      {5, "Player 1, minimap color", "red 50, green 50, blue 255", "Press", ROLE_SYSTEM_PUSHBUTTON,
       STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED},
      {39, "Player 12, dead color", "red 128, green 128, blue 128", "Press", ROLE_SYSTEM_PUSHBUTTON,
       STATE_SYSTEM_FOCUSABLE},
      {40, "http://example.org/tintmoor/", "(none)", "Jump", ROLE_SYSTEM_LINK,
       STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED},
  };
  for (const auto& c : children) {
    EXPECT_EQ(Text(&IAccessible::get_accName, acc, c.id), c.name);
    EXPECT_EQ(Text(&IAccessible::get_accValue, acc, c.id), c.value);
    EXPECT_EQ(Text(&IAccessible::get_accDefaultAction, acc, c.id), c.action);
    VARIANT role{}, state{}, hit{};
    acc->get_accRole(Child(c.id), &role);
    acc->get_accState(Child(c.id), &state);
    EXPECT_EQ(role.lVal, c.role) << c.name;
    EXPECT_EQ(state.lVal, c.state) << c.name;
    // Where it is on the screen, and what is found there.
    const PixelRect r = c.id == 40 ? form_->LinkRect() : form_->BoxRect(c.id - 1);
    POINT at{r.left, r.top};
    ClientToScreen(form_->hwnd(), &at);
    LONG x = 0, y = 0, w = 0, h = 0;
    acc->accLocation(&x, &y, &w, &h, Child(c.id));
    EXPECT_EQ((std::vector<LONG>{x, y, w, h}),
              (std::vector<LONG>{at.x, at.y, r.width(), r.height()}));
    acc->accHitTest(at.x + w / 2, at.y + h / 2, &hit);
    EXPECT_EQ(hit.lVal, c.id);
  }
  VARIANT focus{}, hit{};
  EXPECT_EQ(acc->get_accFocus(&focus), S_OK);
  EXPECT_EQ(focus.lVal, 5);
  POINT caption{30, 100};  // "Gaia"
  ClientToScreen(form_->hwnd(), &caption);
  acc->accHitTest(caption.x, caption.y, &hit);
  EXPECT_EQ(hit.lVal, CHILDID_SELF);

  // The default action is posted, never run inside the screen reader's call.
  EXPECT_EQ(acc->accDoDefaultAction(Child(39)), S_OK);
  EXPECT_TRUE(rec_.dialogs.empty());
  DrainMessages();
  ASSERT_EQ(rec_.dialogs.size(), 1u);
  EXPECT_EQ(rec_.dialogs[0].title, "Color: Player 12, dead");

  UnhookWinEvent(hook);
  const std::vector<std::pair<DWORD, LONG>> heard{{EVENT_OBJECT_FOCUS, 1},
                                                  {EVENT_OBJECT_FOCUS, 2},
                                                  {EVENT_OBJECT_FOCUS, 5},
                                                  {EVENT_OBJECT_VALUECHANGE, 5}};
  EXPECT_EQ(gEvents, heard);

  Focus(false);
  EXPECT_EQ(acc->get_accFocus(&focus), S_FALSE);
  EXPECT_EQ(focus.vt, VT_EMPTY);
  // A reader that holds on past the window's end is told it is gone.
  form_.reset();
  EXPECT_EQ(acc->get_accChildCount(&count), RPC_E_DISCONNECTED);
  EXPECT_EQ(Text(&IAccessible::get_accName, acc, 5), "(none)");
  acc->Release();
}

std::string TipText(HWND tips, HWND owner, int tool) {
  wchar_t text[160] = L"";
  TTTOOLINFOW ti{
      TTTOOLINFOW_V2_SIZE, 0, owner, static_cast<UINT_PTR>(tool), {}, nullptr, text, 0, nullptr};
  SendMessageW(tips, TTM_GETTEXTW, 160, reinterpret_cast<LPARAM>(&ti));
  return Narrow(text);
}

// Made on the first hover over a box, not at start-up.
TEST_F(KeyboardTest, TooltipsComeWithTheFirstHoverOverABox) {
  HWND hwnd = form_->hwnd();
  SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(30, 100));  // the caption "Gaia"
  EXPECT_EQ(form_->TipsWindow(), nullptr);
  const POINT box = Middle(form_->BoxRect(4));
  SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(box.x, box.y));
  HWND tips = form_->TipsWindow();
  ASSERT_NE(tips, nullptr);
  EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), kCells);
  EXPECT_EQ(TipText(tips, hwnd, 4), "Player 1: Color shown on minimap\n128 128 128 (#808080)");
  form_->SetBoxColor(38, {255, 0, 10});
  EXPECT_EQ(TipText(tips, hwnd, 38), "Player 12: Color on dead unit\n255 0 10 (#FF000A)");
}

}  // namespace

}  // namespace tintmoor::ui
