// The window with a game installation: start-up, Save, schemes out and in, and
// what happens to commands that arrive while a load or a WindowCommands::Show
// is running.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "colorfile/color_store.h"
#include "common/file_io.h"
#include "common/wide_win32.h"
#include "markup/words.h"
#include "support/system_fs.h"
#include "ui/resource.h"
#include "ui/window_commands.h"
#include "ui/yield.h"
#include "window_support.h"

namespace tintmoor::ui {

using colorfile::kCells;
using colorfile::Rgb;
using common::ReplaceFileBytes;
using common::Widen;

namespace {

// Counts what touches files; the default colours come from the repository.
class CountingFiles : public colorfile::PassThroughFileSystem {
 public:
  CountingFiles() {
    const std::string file = DefaultColorFile();
    programFolder = file.substr(0, file.find_last_of('\\'));
  }
  int reads = 0, writes = 0, removes = 0, copies = 0;
  std::string ReadAll(const std::string& path) override {
    ++reads;
    return real().ReadAll(path);
  }
  void ReplaceWhole(const std::string& path, std::string_view bytes) override {
    ++writes;
    real().ReplaceWhole(path, bytes);
  }
  void Remove(const std::string& path) override {
    ++removes;
    real().Remove(path);
  }
  bool CopyOver(const std::string& from, const std::string& to) override {
    ++copies;
    return real().CopyOver(from, to);
  }
  void Reset() { reads = writes = removes = copies = 0; }
  bool operator==(const CountingFiles& o) const {
    return reads == o.reads && writes == o.writes && removes == o.removes && copies == o.copies;
  }
};

// A yield hook around the window's own, so a test can act in the middle of a load.
markup::YieldHook gWindowHook = nullptr;
int gYields = 0;
std::function<void(int)> gOnYield;
void TestHook() {
  ++gYields;
  if (gOnYield) gOnYield(gYields);
  if (gWindowHook) gWindowHook();
}

class GameTest : public testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<MainWindow>(GetModuleHandleA(nullptr), rec_.System(), files_);
    form_->EndProgramOnClose(false);
    ASSERT_TRUE(form_->Create(SW_HIDE));
    DrainMessages();
    gWindowHook = markup::SetYieldHook(&TestHook);
    gYields = 0;
    gOnYield = nullptr;
  }
  void TearDown() override {
    gOnYield = nullptr;
    markup::SetYieldHook(gWindowHook);
    form_.reset();
    DrainMessages();
    markup::SetYieldHook(nullptr);
  }
  void Command(int id) { SendMessageA(form_->hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  void Pick(int box, COLORREF colour) {
    rec_.answers.push_back(colour);
    Click(form_->hwnd(), form_->BoxRect(box));
  }
  std::vector<Rgb> Colors() const {
    std::vector<Rgb> colors;
    for (int k = 0; k < kCells; ++k) colors.push_back(form_->BoxColor(k));
    return colors;
  }

  FakeGame game_;
  CountingFiles files_;
  Recorder rec_;
  std::unique_ptr<MainWindow> form_;
};

TEST_F(GameTest, StartUpShowsTheGameColoursWithoutAWord) {
  EXPECT_TRUE(rec_.messages.empty()) << rec_.messages[0].text;
  EXPECT_EQ(WindowText(form_->hwnd()), kTitle);
  // Gaia's first colour is 153 102 0 in the default file.
  EXPECT_EQ(form_->BoxColor(0), (Rgb{153, 102, 0}));
  const POINT middle = Middle(form_->BoxRect(0));
  EXPECT_EQ(Rendering(form_->hwnd()).At(middle.x, middle.y), RGB(153, 102, 0));
}

// Files dropped on the window, as Explorer hands them over: Wine carries no
// drop from another process, so the test makes one.
void DropFiles(HWND window, const std::vector<std::wstring>& paths) {
  size_t chars = 1;  // the list ends in an empty name
  for (const std::wstring& path : paths) chars += path.size() + 1;
  HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  auto* name = reinterpret_cast<wchar_t*>(files + 1);
  for (const std::wstring& path : paths) name = std::copy(path.begin(), path.end(), name) + 1;
  GlobalUnlock(drop);
  SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);  // the window frees it
}

// An unsaved pick goes out by Export, under a name in Cyrillic, Greek and
// Chinese, and comes back by a drop; the game's own file is refused.
TEST_F(GameTest, SchemesGoOutAndComeBackByADrop) {
  const std::string scheme = game_.dataFolder() +
                             "\xD1\x81\xD1\x85\xD0\xB5\xD0\xBC\xD0\xB0 "
                             "\xCE\xA3 \xE6\x96\xB9\xE6\xA1\x88.txt";
  Pick(4, RGB(12, 34, 56));
  rec_.schemeFiles = {scheme, game_.colorFile()};
  Command(IDM_EXPORT);
  Command(IDM_EXPORT);
  ASSERT_EQ(rec_.messages.size(), 1u);
  EXPECT_EQ(rec_.messages[0].text.find("The scheme could not be exported.\r\n\r\n" +
                                       game_.colorFile() + " is one of the game's color files"),
            0u);
  Command(IDM_PRESET0);  // the default colours
  EXPECT_EQ(form_->BoxColor(4), (Rgb{0, 0, 255}));
  DropFiles(form_->hwnd(), {Widen(scheme)});
  EXPECT_EQ(form_->BoxColor(4), (Rgb{12, 34, 56}));
  EXPECT_EQ(ReadWholeFile(game_.colorFile()), ReadWholeFile(DefaultColorFile()));
  EXPECT_TRUE(DeleteFileW(Widen(scheme).c_str()));
}

// Posts every kind of command into the queue on every seventh yield of the
// splitter, and makes the window's hook look at the queue at once.
void PostCommandsWhileYielding(MainWindow& form) {
  gOnYield = [&form](int call) {
    if (call % 7 != 1) return;
    HWND hwnd = form.hwnd();
    for (int id : {IDC_BOX0 + 1, IDM_SAVE, IDM_RESTORE, IDM_ABOUT, IDC_LINK}) {
      PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }
    const POINT box = Middle(form.BoxRect(2));
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
    PostMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(box.x, box.y));
    ResetPumpClock();
  };
}

TEST_F(GameTest, CommandsArrivingDuringARestoreAreRefused) {
  // The first replacement of the file keeps its original; those measured below do not.
  Command(IDM_RESTORE);
  // What one Restore does on its own.
  Pick(0, RGB(1, 2, 3));
  files_.Reset();
  Command(IDM_RESTORE);
  const CountingFiles alone = files_;
  const std::vector<Rgb> defaults = Colors();
  ASSERT_GT(alone.reads, 0);
  ASSERT_GT(gYields, 100) << "the restore should pass through the splitter";

  // Again, with clicks and menu commands arriving all through it.
  Pick(0, RGB(1, 2, 3));
  const size_t dialogs = rec_.dialogs.size();
  rec_.messages.clear();
  files_.Reset();
  const uint64_t dispatchedBefore = PumpStats().dispatched;
  PostCommandsWhileYielding(*form_);
  gYields = 0;
  Command(IDM_RESTORE);
  gOnYield = nullptr;
  EXPECT_GT(PumpStats().dispatched - dispatchedBefore, 20u)
      << "the posted commands were dispatched";

  // None of them acted: no dialog, no About box, no shell, no save, no second restore.
  EXPECT_EQ(rec_.dialogs.size(), dialogs);
  EXPECT_TRUE(rec_.messages.empty());
  EXPECT_TRUE(rec_.shells.empty());
  EXPECT_TRUE(files_ == alone) << files_.reads << " reads, " << files_.writes << " writes";
  EXPECT_EQ(WindowText(form_->hwnd()), kTitle);  // the file the restore wrote, unmarked
  // The restore itself ran to its end.
  EXPECT_EQ(Colors(), defaults);
  EXPECT_FALSE(form_->Busy());

  // Afterwards the window takes commands again.
  DrainMessages();
  Pick(1, RGB(9, 9, 9));
  EXPECT_EQ(form_->BoxColor(1), (Rgb{9, 9, 9}));
}

TEST_F(GameTest, CommandsArrivingDuringASaveAreRefused) {
  Pick(3, RGB(4, 5, 6));
  files_.Reset();
  PostCommandsWhileYielding(*form_);
  Command(IDM_SAVE);
  gOnYield = nullptr;
  EXPECT_EQ(rec_.dialogs.size(), 1u);
  EXPECT_TRUE(rec_.messages.empty());
  EXPECT_TRUE(rec_.shells.empty());
  EXPECT_EQ(files_.writes, 2);  // the kept original and the save's own write, and no restore's
  EXPECT_EQ(WindowText(form_->hwnd()), kTitle);
  const std::string saved = ReadWholeFile(game_.colorFile());
  EXPECT_NE(saved.find("\"4 5 6\""), std::string::npos) << saved;
  EXPECT_EQ(form_->BoxColor(3), (Rgb{4, 5, 6}));
}

TEST_F(GameTest, ACloseDuringALoadWaitsForTheLoadToEnd) {
  Pick(0, RGB(1, 2, 3));
  HWND hwnd = form_->hwnd();
  bool seenOpenAfterClose = false;
  gOnYield = [&](int call) {
    if (call == 1) {
      PostMessageA(hwnd, WM_CLOSE, 0, 0);
      ResetPumpClock();
    } else if (call > 50) {
      seenOpenAfterClose = seenOpenAfterClose || IsWindow(hwnd);
    }
  };
  Command(IDM_RESTORE);
  EXPECT_TRUE(seenOpenAfterClose);                    // still loading after the close arrived
  EXPECT_FALSE(IsWindow(hwnd));                       // and closed once it ended
  EXPECT_EQ(form_->BoxColor(0), (Rgb{153, 102, 0}));  // with the load complete
}

// ---- The end of the session, the menus, a running game, a folder given ------
// (Closing's question is answered by keyboard in save_restore_e2e.sh.)

TEST_F(GameTest, EndingTheSessionWithUnsavedColoursIsHeldUpThenAsked) {
  const struct {
    const char* how;
    bool picked;
    UINT reason;
    LRESULT goesOn;
    size_t questions;
  } cases[] = {
      {"nothing unsaved", false, 0, TRUE, 0},
      {"unsaved", true, ENDSESSION_LOGOFF, FALSE, 1},
      {"unsaved, a critical end", true, ENDSESSION_CRITICAL, TRUE, 0},
  };
  for (const auto& c : cases) {
    if (c.picked) Pick(4, RGB(12, 34, 56));
    rec_.messages.clear();
    rec_.replies = {IDCANCEL};
    EXPECT_EQ(SendMessageA(form_->hwnd(), WM_QUERYENDSESSION, 0, static_cast<LPARAM>(c.reason)),
              c.goesOn)
        << c.how;
    EXPECT_TRUE(rec_.messages.empty()) << c.how << ": asked before answering Windows";
    DrainMessages();
    EXPECT_EQ(rec_.messages.size(), c.questions) << c.how;
    EXPECT_NE(form_->hwnd(), nullptr) << c.how;
  }
}

TEST_F(GameTest, TheMenusOfferOnlyWhatCanBeDoneAndARunningGameIsNamed) {
  HMENU bar = GetMenu(form_->hwnd());
  const auto offered = [&](UINT id) {
    for (int menu : {1, 2}) {
      SendMessageA(form_->hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(bar, menu)),
                   menu);
    }
    return (GetMenuState(bar, id, MF_BYCOMMAND) & MF_GRAYED) == 0;
  };
  EXPECT_FALSE(offered(IDM_UNDO) || offered(IDM_REDO) || offered(IDM_RESTORE_ORIGINAL));
  Pick(4, RGB(12, 34, 56));
  Command(IDM_UNDO);
  EXPECT_FALSE(offered(IDM_UNDO));
  EXPECT_TRUE(offered(IDM_REDO));

  // A stand-in for the game runs while the redone pick is saved.
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string standIn = self;
  standIn = standIn.substr(0, standIn.find_last_of('\\')) + "\\aom.exe";
  PROCESS_INFORMATION game{};
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  ASSERT_TRUE(CreateProcessA(standIn.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &game));
  Command(IDM_REDO);
  Command(IDM_SAVE);
  TerminateProcess(game.hProcess, 0);
  WaitForSingleObject(game.hProcess, 10000);
  CloseHandle(game.hProcess);
  CloseHandle(game.hThread);
  ASSERT_EQ(rec_.messages.size(), 1u);
  EXPECT_NE(rec_.messages[0].text.find("quit it and start it again"), std::string::npos);
  EXPECT_TRUE(offered(IDM_UNDO));
  EXPECT_TRUE(offered(IDM_RESTORE_ORIGINAL));  // the save kept the seeded file
}

// Open Game Folder loads the folder chosen instead of the registry's (and
// --data-dir, in save_restore_e2e.sh's second run).
TEST_F(GameTest, AGameFolderChosenIsLoaded) {
  const std::string install = game_.dataFolder() + "other\\";
  CreateDirectoryA(install.c_str(), nullptr);
  CreateDirectoryA((install + "data").c_str(), nullptr);
  std::string colours = ReadWholeFile(DefaultColorFile());
  colours.replace(colours.find("153 102 0"), 9, "1 2 3");  // Gaia's unit colour
  ReplaceFileBytes(install + "data\\playercolors.xml", colours);

  rec_.folders = {install};
  Command(IDM_OPEN_FOLDER);
  EXPECT_EQ(form_->BoxColor(0), (Rgb{1, 2, 3}));
  EXPECT_TRUE(rec_.messages.empty()) << rec_.messages[0].text;
  DeleteFileA((install + "data\\playercolors.xml").c_str());
  RemoveDirectoryA((install + "data").c_str());
  RemoveDirectoryA(install.c_str());
}

}  // namespace

}  // namespace tintmoor::ui
