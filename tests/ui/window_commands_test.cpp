// The window's colour-file commands against an in-memory disk and a fake
// registry, on any host: start-up in each situation, Save and Restore, what
// each failure tells the user, and which file a VirtualStore makes the game
// read. What needs real Windows files and the real registry is in
// window_commands_system_test.cpp.
#include "ui/window_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "colorfile/table_binding.h"
#include "markup/element.h"
#include "markup/words.h"
#include "support/fake_window.h"
#include "support/memory_fs.h"
#include "support/test_support.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;

namespace {

using test::FakeWindow;
using test::kMarked;
using test::kTitle;
using test::Message;

class FakeRegistry : public GameRegistry {
 public:
  std::string installFolder;
  std::string InstallFolder() override { return installFolder; }
};

// A game installation in memory, the registry naming it, the commands and a window.
class Rig {
 public:
  Rig() {
    defaultBytes = ReadDefault();
    fs.programFolder = "prog";
    fs.files[DefaultPath()] = defaultBytes;
    fs.folders.insert(data);
    registry.installFolder = install;
  }
  static std::string ReadDefault() {
    return SystemFileSystem().ReadAll(SourcePath("data/playercolors.xml"));
  }
  std::string DefaultPath() const { return DefaultColorFilePath(fs); }
  // Start-up and the commands as the window runs them, inside its boundary.
  void Start() {
    window.SetCaption(kTitle);
    window.Run([this] {
      commands.Load(window);
      commands.Show(window);
    });
  }
  bool Load(FakeWindow& w) {
    return w.Run([&] { commands.Load(w); });
  }
  void Save() {
    window.Run([this] { commands.Save(window); });
  }
  void Restore() {
    window.Run([this] { commands.Restore(window); });
  }
  std::string xml() const { return data + "playercolors.xml"; }
  std::string xmb() const { return data + "playercolors.xmb"; }
  const markup::Element& tree() const { return *commands.state().tree; }

  std::string install = "C:\\Games\\AoM";
  std::string data = "C:\\Games\\AoM\\data\\";
  mutable MemoryFileSystem fs;
  FakeRegistry registry;
  WindowCommands commands{fs, registry};
  FakeWindow window;
  std::string defaultBytes;
};

class CommandsTest : public ::testing::Test, public Rig {};

// ---- Start-up ---------------------------------------------------------------

TEST_F(CommandsTest, StartUpWithoutAGameShowsTheStartUpBoxesAndGreyBoxes) {
  const struct {
    const char* appPath;
    bool folder;
    std::string text;
  } cases[] = {
      {"", true, "Cannot find the folder where AoM is installed."},
      {"C:\\Games\\AoM", false,
       "The game installation points to this directory :\r\nC:\\Games\\AoM\\data\\\r\n\r\nBut "
       "this folder does not exist."},
  };
  for (const auto& c : cases) {
    registry.installFolder = c.appPath;
    if (!c.folder) fs.folders.clear();
    FakeWindow fresh;
    EXPECT_FALSE(fresh.Run([&] {
      commands.Load(fresh);
      commands.Show(fresh);
    }));
    ASSERT_THAT(fresh.messages, SizeIs(1)) << c.appPath;
    EXPECT_EQ(fresh.messages[0].text, c.text);
    EXPECT_EQ(fresh.messages[0].title, "Cannot Apply Settings to AoM");
    EXPECT_EQ(fresh.messages[0].kind, MessageKind::kError);
    for (Rgb color : fresh.colors) EXPECT_EQ(color, kGreyColor);
    EXPECT_THAT(fs.log, IsEmpty());
  }
}

TEST_F(CommandsTest, AppPathWithOrWithoutBackslashGivesOneDataFolder) {
  fs.files[xml()] = ThirteenRows();
  for (const std::string& appPath : {install, install + "\\"}) {
    registry.installFolder = appPath;
    ASSERT_TRUE(Load(window));
    EXPECT_EQ(commands.state().location.dataFolder, data) << appPath;
  }
  EXPECT_THAT(window.messages, IsEmpty());
}

TEST_F(CommandsTest, FirstRunSeedsTheDefaultFileAndShowsIt) {
  Start();
  EXPECT_THAT(window.messages, IsEmpty());
  EXPECT_EQ(fs.files[xml()], defaultBytes);
  EXPECT_EQ(window.colors[0], (Rgb{153, 102, 0}));  // Gaia
  EXPECT_EQ(window.colors[4], (Rgb{0, 0, 255}));    // Player 1 minimap
  EXPECT_EQ(window.colors[38], (Rgb{128, 0, 51}));
}

TEST_F(CommandsTest, ExistingFileIsNeverOverwritten) {
  fs.files[xml()] = ThirteenRows();
  Start();
  EXPECT_EQ(fs.files[xml()], ThirteenRows());
  EXPECT_EQ(window.colors[4], (Rgb{0, 1, 0}));
  EXPECT_THAT(window.messages, IsEmpty());
  EXPECT_THAT(fs.log, IsEmpty());
}

TEST_F(CommandsTest, ShowReadsEveryCellWhileYieldingBeforeAnyBoxChanges) {
  fs.files[xml()] = ThirteenRows();
  ASSERT_TRUE(Load(window));
  static std::vector<std::string>* calls;
  calls = &window.calls;
  const markup::YieldHook previous = markup::SetYieldHook([] { calls->push_back("yield"); });
  commands.Show(window);
  markup::SetYieldHook(previous);
  const auto firstBox = std::find(window.calls.begin(), window.calls.end(), "color");
  EXPECT_GT(firstBox - window.calls.begin(), kCells * 5);
  EXPECT_THAT(std::vector(firstBox, window.calls.end()),
              ElementsAreArray(std::vector<std::string>(kCells, "color")));
  EXPECT_EQ(window.colors[7], (Rgb{0, 2, 0}));
}

// ---- Save -------------------------------------------------------------------

TEST_F(CommandsTest, SaveRoundTripIsByteExactAndLeavesTheRestAlone) {
  std::string rows;
  for (int r = 0; r < 14; ++r) {
    rows += "\t<player num=\"" + std::to_string(r) + "\" color1=\"0" + std::to_string(r) +
            " 0 0\" color2=\"1 2 3 4\" color3=\"9 9 9\" more=\"x\"></player>\r\n";
  }
  fs.files[xml()] = "<?xml version=\"1.0\"?>\r\n<playercolors id=\"7\">\r\n" + rows +
                    "</playercolors>\r\n<other>text</other>\r\n";
  fs.files[xmb()] = "stale";
  Start();
  window.Pick(5, {0, 0, 255});  // Player 1, dead unit
  Save();

  std::string expected =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<playercolors id=\"7\">\r\n";
  for (int r = 0; r < 14; ++r) {
    const std::string c1 = r < 13 ? std::to_string(r) + " 0 0" : "013 0 0";  // not ours
    const std::string c2 = r < 13 ? "1 2 3" : "1 2 3 4";
    const std::string c3 = r == 1 ? "0 0 255" : "9 9 9";
    expected += "\t<player num=\"" + std::to_string(r) + "\" color1=\"" + c1 + "\" color2=\"" + c2 +
                "\" color3=\"" + c3 + "\" more=\"x\"></player>\r\n";
  }
  expected += "</playercolors>\r\n<other>text</other>\r\n";
  EXPECT_EQ(fs.files[xml()], expected);
  // The file as first found is kept once beside it.
  EXPECT_THAT(fs.log,
              ElementsAre("replace " + xml() + ".orig", "replace " + xml(), "remove " + xmb()));
  EXPECT_EQ(window.caption, kTitle);
  EXPECT_EQ(window.colors[5], (Rgb{0, 0, 255}));
  EXPECT_THAT(window.messages, IsEmpty());
}

TEST_F(CommandsTest, SaveIntoAnEmptyDataFolderWritesTheFile) {
  Start();  // seeds
  fs.files.erase(xml());
  commands.Save(window);
  EXPECT_EQ(fs.files[xml()], defaultBytes);
  EXPECT_THAT(window.messages, IsEmpty());
}

// ---- Restore ----------------------------------------------------------------

TEST_F(CommandsTest, RestoreAfterPicksPutsDefaultsBackAndKeepsTheMarker) {
  for (bool withXmb : {true, false}) {
    fs.files[xml()] = ThirteenRows();
    if (withXmb) fs.files[xmb()] = "stale";
    Start();
    window.Pick(0, {255, 0, 0});
    Restore();
    EXPECT_EQ(fs.files[xml()], defaultBytes);
    EXPECT_EQ(fs.files.count(xmb()), 0u);
    EXPECT_EQ(window.colors[0], (Rgb{153, 102, 0}));
    EXPECT_EQ(window.caption, kMarked);
    Save();
    EXPECT_EQ(fs.files[xml()], defaultBytes);  // the default file is in the writer's layout
    EXPECT_EQ(window.caption, kTitle);
    EXPECT_THAT(window.messages, IsEmpty());
  }
}

TEST_F(CommandsTest, RestoreAfterTheRegistryChangedCopiesToTheOldFolderAndReadsTheNew) {
  fs.files[xml()] = ThirteenRows();
  Start();
  registry.installFolder = "D:\\AoM2";
  fs.folders.insert("D:\\AoM2\\data\\");
  commands.Restore(window);
  EXPECT_EQ(fs.files[xml()], defaultBytes);                               // old folder
  EXPECT_EQ(fs.files["D:\\AoM2\\data\\playercolors.xml"], defaultBytes);  // new one, seeded
  EXPECT_EQ(commands.state().location.dataFolder, "D:\\AoM2\\data\\");
  EXPECT_THAT(window.messages, IsEmpty());
}

// ---- The data folder and the tree belong together -----------------------------

TEST_F(CommandsTest, AFailedReloadKeepsTreeAndFolderSoSaveWritesTheLoadedFile) {
  // The registry now names another installation whose file cannot be read.
  const std::string other = "D:\\Other\\data\\";
  const struct {
    const char* name;
    std::string bytes;
    bool failRead;
  } cases[] = {
      {"unreadable", "unreadable", true},
      {"a line of more than 32767 words", "<a b=\"" + std::string(40000, '<') + "\">\r\n", false},
  };
  for (const auto& c : cases) {
    Rig t;
    t.fs.files[t.xml()] = ThirteenRows();
    t.Start();
    const markup::Element* before = &t.tree();
    const auto colorsBefore = t.window.colors;
    t.registry.installFolder = "D:\\Other";
    t.fs.folders.insert(other);
    t.fs.files[other + "playercolors.xml"] = c.bytes;
    if (c.failRead) t.fs.failRead[other + "playercolors.xml"] = "the disk is damaged";
    EXPECT_FALSE(t.Load(t.window)) << c.name;
    t.commands.Show(t.window);
    EXPECT_EQ(&t.tree(), before) << c.name;
    EXPECT_EQ(t.commands.state().location.dataFolder, t.data) << c.name;
    EXPECT_EQ(t.window.colors, colorsBefore) << c.name;
    ASSERT_THAT(t.window.messages, SizeIs(1)) << c.name;
    EXPECT_THAT(t.window.messages[0].text, HasSubstr(other + "playercolors.xml")) << c.name;

    t.window.Pick(3, {0, 255, 0});
    t.Save();
    EXPECT_EQ(t.fs.files[other + "playercolors.xml"], c.bytes) << c.name;
    EXPECT_THAT(t.fs.files[t.xml()], HasSubstr("color1=\"0 255 0\"")) << c.name;
  }
}

TEST_F(CommandsTest, SaveOverAFileChangedSinceLoadAsksWhichColoursWin) {
  const struct {
    Answer answer;
    bool oursOnDisk;
    Rgb box3;  // Player 1's unit box afterwards
    std::string caption;
  } cases[] = {{Answer::kYes, true, {0, 255, 0}, kTitle},
               {Answer::kNo, false, {1, 0, 0}, kTitle},  // theirs: color1="1 0 0"
               {Answer::kCancel, false, {0, 255, 0}, kMarked}};
  const std::string theirs = ThirteenRows("\t<player num=\"13\"></player>\r\n");
  for (const auto& c : cases) {
    fs.files[xml()] = ThirteenRows();
    Start();
    window.Pick(3, {0, 255, 0});
    fs.files[xml()] = theirs;  // another program saves meanwhile
    window.messages.clear();
    window.answer = c.answer;
    Save();
    ASSERT_FALSE(window.messages.empty());
    EXPECT_THAT(window.messages[0].text, HasSubstr(xml() + "\nchanged on disk"));
    EXPECT_EQ(fs.files[xml()] == theirs, !c.oursOnDisk);
    EXPECT_EQ(window.colors[3], c.box3);
    EXPECT_EQ(window.caption, c.caption);
  }
}

// The game's lock is held for the writing alone: another program may save
// while any box waits on the player, and a Save that waits for it goes on.
TEST_F(CommandsTest, NoLockIsHeldWhileABoxIsOpen) {
  struct Watching : FakeWindow {
    explicit Watching(const MemoryFileSystem& f) : files(f) {}
    void ShowMessage(const std::string& text, const std::string& title, MessageKind k) override {
      heldInBoxes += files.locksHeld;
      FakeWindow::ShowMessage(text, title, k);
    }
    Answer Ask(const std::string& text, const std::string& title) override {
      heldInBoxes += files.locksHeld;
      return FakeWindow::Ask(text, title);
    }
    const MemoryFileSystem& files;
    int heldInBoxes = 0;
  };
  const std::string lossy = ThirteenRows("<!-- gone -->\r\n");
  const struct {
    const char* name;
    void (*meanwhile)(Rig&);  // after the load
    bool restore;
  } cases[] = {
      {"changed on disk: asked, then saved", [](Rig& t) { t.fs.files[t.xml()] += " "; }, false},
      {"lines not kept", [](Rig&) {}, false},
      {"refused", [](Rig& t) { t.fs.failReplace[t.xml()] = "Access is denied"; }, false},
      {"held a moment by another", [](Rig& t) { t.fs.busyLocks[t.data + kLockFileName] = 2; },
       false},
      {"restore refused", [](Rig& t) { t.fs.failReplace[t.xml()] = "Access is denied"; }, true},
  };
  for (const auto& c : cases) {
    Rig t;
    t.fs.files[t.xml()] = lossy;
    t.Start();
    c.meanwhile(t);
    Watching window(t.fs);
    window.answer = Answer::kYes;
    window.Pick(3, {0, 255, 0});
    window.Run([&] { c.restore ? t.commands.Restore(window) : t.commands.Save(window); });
    EXPECT_FALSE(window.messages.empty()) << c.name;
    EXPECT_FALSE(t.fs.lockLog.empty()) << c.name;
    EXPECT_EQ(window.heldInBoxes, 0) << c.name;
  }
}

TEST_F(CommandsTest, WithoutADataFolderSaveAndRestoreWriteNothing) {
  fs.folders.clear();
  Start();
  Save();
  Restore();  // only a new look for the game: box 2 again
  ASSERT_THAT(window.messages, SizeIs(3));
  EXPECT_EQ(window.messages[2].text, window.messages[0].text);
  registry.installFolder.clear();
  Save();
  Restore();
  EXPECT_THAT(fs.log, IsEmpty());
}

TEST_F(CommandsTest, RestoreFindsTheDataFolderOnceItIsThere) {
  fs.folders.clear();
  Start();
  fs.folders.insert(data);
  Restore();
  EXPECT_EQ(fs.files[xml()], defaultBytes);
  EXPECT_EQ(window.colors[0], (Rgb{153, 102, 0}));
}

// ---- Files without the expected shape ----------------------------------------

TEST_F(CommandsTest, ShortRowIsReportedShownGreyAndBlocksSave) {
  std::string file = ThirteenRows();
  file.replace(file.find(" color3=\"0 0 7\""), 15, "");
  fs.files[xml()] = file;
  Start();
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_THAT(window.messages[0].text, HasSubstr("the row for \"Player 7\" has only 2 colors"));
  EXPECT_THAT(window.messages[0].text, HasSubstr("Restore Default Colors"));
  EXPECT_EQ(window.messages[0].kind, MessageKind::kWarning);
  EXPECT_EQ(window.colors[7 * 3 + 2], kGreyColor);
  EXPECT_EQ(window.colors[7 * 3 + 1], (Rgb{0, 7, 0}));
  window.Pick(0, {1, 0, 0});
  Save();
  EXPECT_EQ(fs.files[xml()], file);
  ASSERT_THAT(window.messages, SizeIs(2));
  EXPECT_THAT(window.messages[1].text, HasSubstr("Nothing was saved"));
  EXPECT_EQ(window.caption, kMarked);
}

TEST_F(CommandsTest, UnreadableCellIsGreyNamedAndSavedInNormalForm) {
  std::string file = ThirteenRows();
  file.replace(file.find("color2=\"0 2 0\""), 14, "color2=\"12 x 4\"");
  file.replace(file.find("color1=\"3 0 0\""), 14, "color1=\"300 0 0\"");
  fs.files[xml()] = file;
  Start();
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_THAT(window.messages[0].text,
              HasSubstr("\"Player 2\", \"Color shown on minimap\": \"12 x 4\""));
  EXPECT_THAT(window.messages[0].text, HasSubstr("\"Player 3\""));
  EXPECT_EQ(window.colors[7], kGreyColor);
  EXPECT_EQ(window.colors[9], (Rgb{255, 0, 0}));
  Save();
  EXPECT_THAT(fs.files[xml()], HasSubstr("color2=\"128 128 128\""));
  EXPECT_THAT(fs.files[xml()], HasSubstr("color1=\"255 0 0\""));
  EXPECT_THAT(window.messages, SizeIs(1));
}

TEST_F(CommandsTest, SeedingThatFailsNamesTheDefaultFileAndRestoreRetries) {
  fs.files.erase(DefaultPath());
  Start();
  ASSERT_THAT(window.messages, SizeIs(1));
  for (Rgb color : window.colors) EXPECT_EQ(color, kGreyColor);
  Save();  // nothing loaded, nothing written
  EXPECT_EQ(fs.files.count(xml()), 0u);

  fs.files[DefaultPath()] = defaultBytes;
  Restore();
  EXPECT_EQ(fs.files[xml()], defaultBytes);
  EXPECT_EQ(window.colors[0], (Rgb{153, 102, 0}));
}

// ---- What each failure tells the user -----------------------------------------

// Every failure names the file or folder and the system's reason, says what was
// kept, and gives no advice that cannot work in that situation.
TEST_F(CommandsTest, EveryFailureNamesPathReasonAndWhatWasKept) {
  using Act = std::function<void(Rig&)>;
  const Act save = [](Rig& t) { t.Save(); };
  const Act restore = [](Rig& t) { t.Restore(); };
  const Act reload = [](Rig& t) { t.Load(t.window); };
  const struct Case {
    const char* name;
    std::function<void(Rig&)> spoil;
    Act act;
    std::vector<std::string> facts;  // "@xml", "@xmb", "@data", "@default" name paths
    std::vector<std::string> never;
  } cases[] = {
      {"save, folder gone",
       [](Rig& t) { t.fs.folders.clear(); },
       save,
       {"@data", "no longer exists", "still in the window", "Nothing was changed on disk"},
       {"No color file is loaded", "Restore Default Colors"}},
      {"save, access denied",
       [](Rig& t) {
         t.fs.failReplace[t.xml()] = "Access is denied";
         t.fs.problem = WriteProblem::kAccessDenied;
       },
       save,
       {"@xml", "Access is denied", "administrator", "still in the window"},
       {}},
      {"save, file in use",
       [](Rig& t) {
         t.fs.failReplace[t.xml()] = "The file is in use";
         t.fs.problem = WriteProblem::kInUse;
       },
       save,
       {"@xml", "The file is in use", "Close the game", "still in the window"},
       {"administrator"}},
      {"restore, no default file",
       [](Rig& t) { t.fs.files.erase(t.DefaultPath()); },
       restore,
       {"@default", "does not exist", "Nothing was changed", "beside the program"},
       {}},
      {"restore, access denied",
       [](Rig& t) {
         t.fs.failReplace[t.xml()] = "Access is denied";
         t.fs.problem = WriteProblem::kAccessDenied;
       },
       restore,
       {"@xml", "Access is denied", "left as they were"},
       {}},
      {"restore, folder gone",
       [](Rig& t) { t.fs.folders.clear(); },
       restore,
       {"@data", "no longer exists", "still in the window", "Nothing was changed on disk"},
       {"No color file is loaded"}},
      {"reload, unreadable file",
       [](Rig& t) { t.fs.failRead[t.xml()] = "The disk is damaged"; },
       reload,
       {"@xml", "The disk is damaged", "were not changed", "Restore Default Colors"},
       {}},
      {"save, nothing loaded",
       [](Rig& t) {
         t.commands.PutBack({});
         t.registry.installFolder.clear();
       },
       save,
       {"Nothing was saved", "no color file is loaded", "Nothing was changed on disk"},
       {"still in the window"}},
  };
  for (const Case& c : cases) {
    Rig t;
    t.fs.files[t.xml()] = ThirteenRows();
    t.Start();
    t.window.Pick(3, {0, 255, 0});
    c.spoil(t);
    c.act(t);
    ASSERT_THAT(t.window.messages, SizeIs(1)) << c.name;
    const Message& m = t.window.messages[0];
    EXPECT_EQ(m.kind, MessageKind::kError) << c.name;
    for (std::string fact : c.facts) {
      if (fact == "@xml") fact = t.xml();
      if (fact == "@data") fact = t.data;
      if (fact == "@default") fact = t.DefaultPath();
      EXPECT_THAT(m.text, HasSubstr(fact)) << c.name;
    }
    for (const std::string& wrong : c.never) EXPECT_THAT(m.text, Not(HasSubstr(wrong))) << c.name;
    EXPECT_EQ(t.fs.files[t.xml()], ThirteenRows()) << c.name;
    EXPECT_EQ(t.window.colors[3], (Rgb{0, 255, 0})) << c.name;
    EXPECT_EQ(t.window.caption, kMarked) << c.name;
  }
}

TEST_F(CommandsTest, AnXmbThatStaysIsReportedAfterTheFileWasSaved) {
  fs.files[xml()] = ThirteenRows();
  fs.files[xmb()] = "stale";
  Start();
  fs.failRemove[xmb()] = "Access is denied";
  Save();
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_THAT(window.messages[0].text, HasSubstr(xmb()));
  EXPECT_THAT(window.messages[0].text, HasSubstr("Access is denied"));
  EXPECT_EQ(window.caption, kTitle);  // the colours are saved
}

// ---- The file the game reads: VirtualStore -------------------------------------

TEST_F(CommandsTest, SaveAndRestoreReachTheFileTheGameReads) {
  const std::string store = "C:\\Users\\me\\AppData\\Local\\VirtualStore";
  const struct Case {
    const char* name;
    std::string install;  // the game's folder
    bool copyInStore;     // the user's game already wrote its own copy
    bool realDenied;      // writing the real file is refused
    std::string written;  // the folder whose playercolors.xml changes; "" none
    bool told;            // an information box names both files
  } cases[] = {
      {"copy in store", "C:\\Program Files (x86)\\AoM", true, true, "store", false},
      {"denied, moved", "C:\\PROGRAM FILES (X86)\\AoM", false, true, "store", true},
      {"allowed", "C:\\Program Files (x86)\\AoM", false, false, "data", false},
      {"not virtualized", "C:\\Program Files\\AoM", false, true, "", false},
      {"beside a virtualized name", "C:\\Program Files (x86) Games\\AoM", false, true, "", false},
  };
  for (bool restoring : {false, true}) {
    for (const Case& c : cases) {
      const std::string name = std::string(c.name) + (restoring ? ", restore" : ", save");
      Rig t;
      t.fs.virtualStoreRoot = store;
      t.fs.virtualizedFolders = {"c:\\program files (x86)\\", "C:\\Windows"};
      t.registry.installFolder = c.install;
      t.data = c.install + "\\data\\";
      const std::string copy = store + c.install.substr(2) + "\\data\\";
      t.fs.folders = {t.data};
      t.fs.files[t.xml()] = ThirteenRows();
      t.fs.files[t.xmb()] = "stale";
      t.fs.files[copy + "playercolors.xmb"] = "stale";
      if (c.copyInStore) {
        t.fs.folders.insert(copy);
        t.fs.files[copy + "playercolors.xml"] = ThirteenRows("\t<mark>the user's</mark>\r\n");
      }
      if (c.realDenied) {
        t.fs.failReplace[t.xml()] = "Access is denied";
        t.fs.problem = WriteProblem::kAccessDenied;
      }
      t.Start();
      EXPECT_EQ(t.commands.state().location.path(),
                (c.copyInStore ? copy : t.data) + "playercolors.xml")
          << name;
      t.window.Pick(3, {0, 255, 0});
      restoring ? t.Restore() : t.Save();

      const std::string target = c.written == "store" ? copy : t.data;
      if (!c.written.empty()) {
        EXPECT_NE(t.fs.files[target + "playercolors.xml"], ThirteenRows()) << name;
        EXPECT_NE(t.fs.files[target + "playercolors.xml"],
                  ThirteenRows("\t<mark>the user's</mark>\r\n"))
            << name;
        EXPECT_EQ(t.fs.files.count(t.xmb()) + t.fs.files.count(copy + "playercolors.xmb"), 0u)
            << name;
      }
      if (c.written != "data") {
        EXPECT_EQ(t.fs.files[t.xml()], ThirteenRows()) << name;
      }
      if (c.written != "store" && !c.copyInStore) {
        EXPECT_EQ(t.fs.files.count(copy + "playercolors.xml"), 0u) << name;
      }
      if (c.written.empty()) {
        ASSERT_THAT(t.window.messages, SizeIs(1)) << name;
        EXPECT_THAT(t.window.messages[0].text, HasSubstr("administrator")) << name;
        continue;
      }
      ASSERT_THAT(t.window.messages, SizeIs(c.told ? 1 : 0)) << name;
      if (c.told) {
        EXPECT_EQ(t.window.messages[0].kind, MessageKind::kInformation) << name;
        EXPECT_THAT(t.window.messages[0].text, HasSubstr(t.xml())) << name;
        EXPECT_THAT(t.window.messages[0].text, HasSubstr(copy + "playercolors.xml")) << name;
        // Said once: the next save goes to the copy without a word.
        t.Save();
        EXPECT_THAT(t.window.messages, SizeIs(1)) << name;
        EXPECT_EQ(t.commands.state().location.folder, copy) << name;
      }
    }
  }
}

}  // namespace
