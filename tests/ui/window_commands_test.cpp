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

#include "colorfile/presets.h"
#include "colorfile/scheme.h"
#include "colorfile/table_binding.h"
#include "markup/element.h"
#include "markup/words.h"
#include "support/fake_window.h"
#include "support/memory_fs.h"
#include "support/test_support.h"
#include "ui/start_options.h"

namespace tintmoor::ui {

using colorfile::ColorTable;
using colorfile::DefaultColorFilePath;
using colorfile::DefaultScheme;
using colorfile::HalfBrightness;
using colorfile::kCells;
using colorfile::kGreyColor;
using colorfile::kLockFileName;
using colorfile::MemoryFileSystem;
using colorfile::Rgb;
using colorfile::SystemFileSystem;
using colorfile::WriteProblem;
using colorfile::WriteScheme;
using common::TintError;

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;
using ::testing::ThrowsMessage;

namespace {

using test::FakeRegistry;
using test::FakeWindow;
using test::kMarked;
using test::kTitle;
using test::Message;

// A game installation in memory, the registry naming it, the commands and a window.
class Rig {
 public:
  Rig() {
    defaultBytes = ReadDefault();
    fs.programFolder = "prog";
    fs.files[DefaultPath()] = defaultBytes;
    fs.folders.insert(data);
    registry.installFolder = install;
    window.commands = &commands;
  }
  static std::string ReadDefault() {
    return SystemFileSystem().ReadAll(SourcePath("data/playercolors.xml"));
  }
  std::string DefaultPath() const { return DefaultColorFilePath(fs); }
  // Start-up and the commands as the window runs them, inside its boundary.
  void Start() {
    window.Run([this] { commands.Start(window); });
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
  // The messages that are not questions.
  std::vector<Message> Told() const {
    std::vector<Message> told;
    for (const Message& m : window.messages)
      if (!m.question) told.push_back(m);
    return told;
  }
  std::string xml() const { return data + "playercolors.xml"; }
  std::string xmb() const { return data + "playercolors.xmb"; }
  std::string orig() const { return data + "playercolors.xml.orig"; }
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

const std::string kWayOut =
    "\r\n\r\nTo show Tintmoor where the game is, choose Open Game Folder... in the File menu, or "
    "start Tintmoor with --data-dir and the game's data folder.";

// ---- Start-up ---------------------------------------------------------------

TEST_F(CommandsTest, StartUpWithoutAGameShowsTheStartUpBoxesAndGreyBoxes) {
  const struct {
    const char* appPath;
    bool folder;
    std::string text;
    const char* dataDir = "";  // given on the command line
  } cases[] = {
      {"", true, "Cannot find the folder where AoM is installed." + kWayOut},
      {"C:\\Games\\AoM", false,
       "The game installation points to this directory :\r\nC:\\Games\\AoM\\data\\\r\n\r\nBut "
       "this folder does not exist." +
           kWayOut},
      {"C:\\Games\\AoM", true,
       "The game's data folder chosen for this run\r\nE:\\Nowhere\\\r\ndoes not exist." + kWayOut,
       "E:\\Nowhere"},
  };
  for (const auto& c : cases) {
    registry.installFolder = c.appPath;
    if (!c.folder) fs.folders.clear();
    if (*c.dataDir) commands.UseDataFolder(c.dataDir);
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

TEST(StartOptionsTest, TheCommandLineNamesTheDataFolderOrAsksForHelp) {
  const struct {
    std::vector<std::string> args;
    std::string dataFolder;
    bool help, mistake;
  } cases[] = {
      {{}, "", false, false},
      {{"--data-dir", "D:\\AoM\\data"}, "D:\\AoM\\data", false, false},
      {{"--data-dir=D:\\My Games\\data"}, "D:\\My Games\\data", false, false},
      {{"--help"}, "", true, false},
      {{"/?"}, "", true, false},
      {{"--data-dir"}, "", false, true},
      {{"--data-dir="}, "", false, true},
      {{"--data-dir", ""}, "", false, true},
      {{"D:\\AoM"}, "", false, true},
  };
  for (const auto& c : cases) {
    const StartOptions o = ParseStartOptions(c.args);
    const std::string name = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(o.dataFolder, c.dataFolder) << name;
    EXPECT_EQ(o.help, c.help) << name;
    EXPECT_EQ(!o.mistake.empty(), c.mistake) << name;
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

// As a Save's would: where Windows refuses the data folder and keeps the
// user's own copies, the default colours go into the copy the game reads.
TEST_F(CommandsTest, SeedingThatWindowsRefusesGoesIntoTheVirtualStore) {
  fs.virtualStoreRoot = "C:\\Users\\me\\AppData\\Local\\VirtualStore";
  fs.virtualizedFolders = {"C:\\Program Files (x86)"};
  registry.installFolder = "C:\\Program Files (x86)\\AoM";
  data = registry.installFolder + "\\data\\";
  const std::string copy = fs.virtualStoreRoot + "\\Program Files (x86)\\AoM\\data\\";
  fs.folders = {data};
  fs.failReplace[xml()] = "Access is denied";
  fs.problem = WriteProblem::kAccessDenied;
  Start();
  EXPECT_EQ(fs.files[copy + "playercolors.xml"], defaultBytes);
  EXPECT_EQ(fs.files.count(xml()), 0u);
  EXPECT_EQ(commands.state().location.folder, copy);
  EXPECT_EQ(window.colors[0], (Rgb{153, 102, 0}));
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_EQ(window.messages[0].kind, MessageKind::kInformation);
  EXPECT_THAT(window.messages[0].text, HasSubstr(xml()));
  EXPECT_THAT(window.messages[0].text, HasSubstr(copy + "playercolors.xml"));
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

// ---- Restore, Restore Original, Undo, closing ----------------------------------

// A command that replaces the game's file asks first when the file holds other
// colours; afterwards the boxes show the file written, unmarked, as one step
// that Undo takes back, and a running game is named once.
TEST_F(CommandsTest, RestoreAndRestoreOriginalAskThenShowTheFileWritten) {
  std::string original = defaultBytes;
  original.replace(original.find("153 102 0"), 9, "1 2 3");  // Gaia's unit colour
  const struct Case {
    const char* name;
    bool restoringOriginal;
    bool fileIsDefault;  // the game's file holds the default colours already
    Answer answer;
    bool asked;
    std::string after;  // the game's file afterwards; "" unchanged
  } cases[] = {
      {"restore", false, false, Answer::kYes, true, defaultBytes},
      {"restore, answered No", false, false, Answer::kNo, true, ""},
      {"restore over the default colours", false, true, Answer::kNo, false, defaultBytes},
      {"restore original", true, false, Answer::kYes, true, original},
  };
  for (const Case& c : cases) {
    Rig t;
    t.fs.files[t.xml()] = c.fileIsDefault ? t.defaultBytes : ThirteenRows();
    t.fs.files[t.xmb()] = "stale";
    t.fs.files[t.orig()] = original;
    t.Start();
    t.window.Pick(3, {0, 255, 0});
    const auto picked = t.window.colors;
    const std::string before = t.fs.files[t.xml()];
    t.window.answer = c.answer;
    t.window.gameRunning = true;
    EXPECT_TRUE(t.commands.HasOriginal()) << c.name;
    t.window.Run([&] {
      c.restoringOriginal ? t.commands.RestoreOriginal(t.window) : t.commands.Restore(t.window);
    });
    const size_t told = t.Told().size();
    ASSERT_EQ(t.window.messages.size() - told, c.asked ? 1u : 0u) << c.name;
    if (c.asked) {
      EXPECT_EQ(t.window.messages[0].buttons, Question::kYesNoDefaultNo) << c.name;
      EXPECT_THAT(t.window.messages[0].text, HasSubstr(t.xml())) << c.name;
    }
    const bool written = !c.after.empty();
    EXPECT_EQ(t.fs.files[t.xml()], written ? c.after : before) << c.name;
    EXPECT_EQ(t.fs.files.count(t.xmb()), written ? 0u : 1u) << c.name;
    EXPECT_EQ(t.fs.files[t.orig()], original) << c.name;
    ASSERT_EQ(told, written ? 1u : 0u) << c.name;
    if (!written) {
      EXPECT_EQ(t.window.colors, picked) << c.name;
      EXPECT_EQ(t.window.caption, kMarked) << c.name;
      continue;
    }
    EXPECT_THAT(t.Told()[0].text, HasSubstr("quit it and start it again")) << c.name;
    EXPECT_EQ(t.window.colors[0], (c.restoringOriginal ? Rgb{1, 2, 3} : Rgb{153, 102, 0}))
        << c.name;
    EXPECT_EQ(t.window.caption, kTitle) << c.name;
    t.commands.Undo(t.window);
    EXPECT_EQ(t.window.colors, picked) << c.name;
    EXPECT_EQ(t.window.caption, kMarked) << c.name;
  }
  // Without a kept original there is nothing to put back.
  fs.files[xml()] = ThirteenRows();
  Start();
  EXPECT_FALSE(commands.HasOriginal());
  window.Run([this] { commands.RestoreOriginal(window); });
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_THAT(window.messages[0].text, HasSubstr("no kept original"));
  EXPECT_EQ(fs.files[xml()], ThirteenRows());
}

TEST_F(CommandsTest, UndoAndRedoStepThroughEveryChangeOfTheBoxes) {
  fs.files[xml()] = ThirteenRows();
  Start();
  const auto pick = [this](Rgb color) { return [this, color] { window.Pick(3, color); }; };
  const auto undo = [this] { commands.Undo(window); };
  const auto redo = [this] { commands.Redo(window); };
  const auto preset = [this] {
    ColorTable fives;
    for (auto& row : fives) row.fill({5, 5, 5});
    commands.PutTable(window, fives);
  };
  const struct Step {
    const char* name;
    std::function<void()> act;
    Rgb box0, box3;
    bool marked, canUndo, canRedo;
  } steps[] = {
      {"pick", pick({9, 9, 9}), {0, 0, 0}, {9, 9, 9}, true, true, false},
      {"pick again", pick({8, 8, 8}), {0, 0, 0}, {8, 8, 8}, true, true, false},
      {"undo", undo, {0, 0, 0}, {9, 9, 9}, true, true, true},
      {"undo back to the file", undo, {0, 0, 0}, {1, 0, 0}, false, false, true},
      {"undo with nothing left", undo, {0, 0, 0}, {1, 0, 0}, false, false, true},
      {"redo", redo, {0, 0, 0}, {9, 9, 9}, true, true, true},
      {"save", [this] { Save(); }, {0, 0, 0}, {9, 9, 9}, false, true, true},
      {"undo past the save", undo, {0, 0, 0}, {1, 0, 0}, true, false, true},
      {"a pick drops what could be redone",
       pick({1, 2, 3}),
       {0, 0, 0},
       {1, 2, 3},
       true,
       true,
       false},
      {"the same colour again is no step",
       pick({1, 2, 3}),
       {0, 0, 0},
       {1, 2, 3},
       true,
       true,
       false},
      {"a preset is one step", preset, {5, 5, 5}, {5, 5, 5}, true, true, false},
      {"undo the preset", undo, {0, 0, 0}, {1, 2, 3}, true, true, true},
      {"undo to the colours of the file as loaded", undo, {0, 0, 0}, {1, 0, 0}, true, false, true},
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(window.colors[0], step.box0) << step.name;
    EXPECT_EQ(window.colors[3], step.box3) << step.name;
    EXPECT_EQ(window.caption, step.marked ? kMarked : kTitle) << step.name;
    EXPECT_EQ(commands.CanUndo(), step.canUndo) << step.name;
    EXPECT_EQ(commands.CanRedo(), step.canRedo) << step.name;
  }
  EXPECT_THAT(fs.files[xml()], HasSubstr("color1=\"9 9 9\""));
}

// ---- Sharing: schemes, presets, copy and paste ---------------------------------

// What the window exports, unsaved picks included, comes back by a drop; a
// paste takes each of its four forms; each change is one step. What is
// refused, in the command line's words where it has them, changes nothing.
TEST_F(CommandsTest, SchemesRoundTripEachSharedChangeIsOneStepAndRefusalsChangeNothing) {
  fs.files[xml()] = ThirteenRows();
  fs.folders.insert("C:\\me\\");
  std::string bad = WriteScheme(DefaultScheme());
  fs.files["C:\\me\\bad.txt"] = bad.replace(bad.find("255 102 0 "), 23, "");
  fs.failReplace["C:\\me\\full.txt"] = "the disk is full";
  Start();
  const struct {
    std::function<void()> act;
    const char* message;
  } refused[] = {
      {[&] { commands.Paste(window, 7, std::nullopt); }, "The clipboard holds no text."},
      {[&] { commands.Paste(window, 7, std::string(" #E69F0\r\n")); },
       "The clipboard holds \"#E69F0\", which is not a color: copy one written as #E69F00, "
       "E69F00, 230 159 0 or 230,159,0."},
      {[&] { commands.ImportScheme(window, "C:\\me\\bad.txt"); },
       "C:\\me\\bad.txt, line 14: after \"Player 7\" come 4 values, 5 too few"},
      {[&] {
         commands.ImportDropped(window, {"C:\\me\\bad.txt", "C:\\me\\cv.txt"});
       },
       "2 files were dropped; drop one scheme file at a time."},
      {[&] { commands.ImportDropped(window, {"C:\\me\\"}); }, "C:\\me\\ is a folder; drop"},
      {[&] { commands.ExportScheme(window, "C:\\me\\full.txt"); },
       "cannot write the scheme C:\\me\\full.txt: the disk is full"},
  };
  for (const auto& r : refused) {
    EXPECT_THAT([&] { r.act(); }, ThrowsMessage<TintError>(HasSubstr(r.message)));
    EXPECT_FALSE(commands.CanUndo()) << r.message;
  }
  EXPECT_FALSE(WindowCommands::CanMatchUnit(3));  // a unit box has nothing to match

  window.Pick(3, {9, 9, 9});
  commands.ExportScheme(window, "C:\\me\\mine.txt");
  commands.PutTable(window, DefaultScheme());
  commands.ImportDropped(window, {"C:\\me\\mine.txt"});
  EXPECT_EQ(window.colors[3], (Rgb{9, 9, 9}));
  EXPECT_EQ(window.colors[4], (Rgb{0, 1, 0}));
  for (const char* text : {"#E69F00", " e69f00\r\n", "230 159 0", "230, 159, 0"}) {
    commands.Paste(window, 5, std::string(text));
    EXPECT_EQ(window.colors[5], (Rgb{230, 159, 0})) << text;
    commands.Undo(window);
  }
  commands.Paste(window, 5, WindowCommands::CopyText(window, 3));
  EXPECT_EQ(window.colors[5], (Rgb{9, 9, 9}));
  commands.MatchUnit(window, 5);
  EXPECT_EQ(window.colors[5], HalfBrightness({9, 9, 9}));
  for (int step = 0; step < 3; ++step) commands.Undo(window);  // same as unit, paste, drop
  EXPECT_EQ(window.colors, BoxesOf(DefaultScheme()));
  EXPECT_EQ(window.caption, kMarked);
  EXPECT_EQ(fs.files[xml()], ThirteenRows());  // nothing was saved
}

TEST_F(CommandsTest, ClosingWithUnsavedColoursAsksAndYesSavesFirst) {
  const auto changedOnDisk = [](Rig& t) { t.fs.files[t.xml()] = ThirteenRows("<x></x>\r\n"); };
  const auto saveFails = [](Rig& t) { t.fs.failReplace[t.xml()] = "Access is denied"; };
  const auto undo = [](Rig& t) { t.commands.Undo(t.window); };
  const struct Case {
    const char* name;
    std::vector<Answer> answers;
    std::function<void(Rig&)> meanwhile;
    bool closes, saved;
    size_t questions;
  } cases[] = {
      {"undone back to the file", {}, undo, true, false, 0},
      {"Yes", {Answer::kYes}, nullptr, true, true, 1},
      {"Yes, the save fails", {Answer::kYes}, saveFails, false, false, 1},
      {"Yes, changed on disk, Cancel",
       {Answer::kYes, Answer::kCancel},
       changedOnDisk,
       false,
       false,
       2},
      {"No", {Answer::kNo}, nullptr, true, false, 1},
      {"Cancel", {Answer::kCancel}, nullptr, false, false, 1},
  };
  for (const Case& c : cases) {
    Rig t;
    t.fs.files[t.xml()] = ThirteenRows();
    t.Start();
    t.window.Pick(3, {0, 255, 0});
    if (c.meanwhile) c.meanwhile(t);
    t.window.answers.assign(c.answers.begin(), c.answers.end());
    t.window.gameRunning = true;
    bool closes = false;
    t.window.Run([&] { closes = t.commands.MayClose(t.window); });
    EXPECT_EQ(closes, c.closes) << c.name;
    const size_t told = t.Told().size();
    ASSERT_EQ(t.window.messages.size() - told, c.questions) << c.name;
    if (c.questions > 0) {
      EXPECT_EQ(t.window.messages[0].text, "Save the changed colors before closing?") << c.name;
      EXPECT_EQ(t.window.messages[0].buttons, Question::kYesNoCancel) << c.name;
    }
    EXPECT_EQ(t.fs.files[t.xml()].find("\"0 255 0\"") != std::string::npos, c.saved) << c.name;
    if (c.saved) {
      ASSERT_EQ(told, 1u) << c.name;
      EXPECT_THAT(t.Told()[0].text, HasSubstr("quit it and start it again")) << c.name;
    }
  }
}

// Restore and a missing game: the game is looked for anew each time.
TEST_F(CommandsTest, RestoreFindsTheGameAgain) {
  const std::string other = "D:\\AoM2\\data\\";
  const struct Case {
    const char* name;
    std::function<void(Rig&)> beforeStart, afterStart;
    std::string written;  // the data folder Restore writes to; "" none
  } cases[] = {
      {"the registry names another installation", nullptr,
       [&](Rig& t) {
         t.registry.installFolder = "D:\\AoM2";
         t.fs.folders.insert(other);
       },
       other},
      {"the folder appeared after start-up", [](Rig& t) { t.fs.folders.clear(); },
       [](Rig& t) { t.fs.folders.insert(t.data); }, "@data"},
      {"no data folder", [](Rig& t) { t.fs.folders.clear(); }, nullptr, ""},
      {"no registry entry", [](Rig& t) { t.registry.installFolder.clear(); }, nullptr, ""},
  };
  for (const Case& c : cases) {
    Rig t;
    t.fs.files[t.xml()] = ThirteenRows();
    if (c.beforeStart) c.beforeStart(t);
    t.Start();
    if (c.afterStart) c.afterStart(t);
    t.window.answer = Answer::kYes;
    t.Save();
    t.Restore();
    if (c.written.empty()) {
      // Nothing written, and the start-up box again: the same way out.
      ASSERT_THAT(t.window.messages, SizeIs(3)) << c.name;
      EXPECT_THAT(t.window.messages[1].text, HasSubstr("Open Game Folder")) << c.name;
      EXPECT_EQ(t.window.messages[2].text, t.window.messages[0].text) << c.name;
      EXPECT_THAT(t.fs.log, IsEmpty()) << c.name;
      continue;
    }
    const std::string folder = c.written == "@data" ? t.data : c.written;
    EXPECT_EQ(t.fs.files[folder + "playercolors.xml"], t.defaultBytes) << c.name;
    EXPECT_EQ(t.commands.state().location.dataFolder, folder) << c.name;
    EXPECT_EQ(t.window.colors[0], (Rgb{153, 102, 0})) << c.name;
    if (folder != t.data) {
      EXPECT_EQ(t.fs.files[t.xml()], ThirteenRows()) << c.name;
    }
  }
}

// Open Game Folder takes the place of the registry for the run; undoing the
// load brings back the colours picked before.
TEST_F(CommandsTest, AGameFolderChosenForTheRunIsUsedInsteadOfTheRegistry) {
  const std::string chosen = "D:\\AoM\\data\\";
  const struct {
    const char* folder;
    bool accepted;
  } cases[] = {{"D:\\AoM", true}, {"D:\\AoM\\data", true}, {"D:\\Documents", false}};
  for (const auto& c : cases) {
    Rig t;
    t.registry.installFolder.clear();
    t.fs.folders.insert({"D:\\AoM\\", chosen, "D:\\Documents\\"});
    t.fs.files[chosen + "playercolors.xml"] = ThirteenRows();
    t.Start();  // the game is not found
    t.window.Pick(3, {0, 255, 0});
    t.window.messages.clear();
    t.window.Run([&] { t.commands.OpenGameFolder(t.window, c.folder); });
    if (!c.accepted) {
      ASSERT_THAT(t.window.messages, SizeIs(1)) << c.folder;
      EXPECT_THAT(t.window.messages[0].text, HasSubstr("not where AoM is installed")) << c.folder;
      EXPECT_EQ(t.commands.state().tree, nullptr) << c.folder;
      continue;
    }
    EXPECT_THAT(t.window.messages, IsEmpty()) << c.folder;
    EXPECT_EQ(t.window.colors[3], (Rgb{1, 0, 0})) << c.folder;
    EXPECT_EQ(t.window.caption, kTitle) << c.folder;
    t.window.answer = Answer::kYes;
    t.Restore();
    EXPECT_EQ(t.fs.files[chosen + "playercolors.xml"], t.defaultBytes) << c.folder;
    t.commands.Undo(t.window);
    t.commands.Undo(t.window);
    EXPECT_EQ(t.window.colors[3], (Rgb{0, 255, 0})) << c.folder;
  }
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
    if (c.answer != Answer::kNo) continue;
    commands.Undo(window);  // the colours the reload dropped come back, unsaved
    EXPECT_EQ(window.colors[3], (Rgb{0, 255, 0}));
    EXPECT_EQ(window.caption, kMarked);
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
    Answer Ask(const std::string& text, const std::string& title, Question buttons) override {
      heldInBoxes += files.locksHeld;
      return FakeWindow::Ask(text, title, buttons);
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
       {"@data", "does not exist", "Open Game Folder"},
       {"Restore Default Colors again"}},
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
       {"Nothing was saved", "Open Game Folder", "Nothing was changed on disk"},
       {"the message shown then"}},
  };
  for (const Case& c : cases) {
    Rig t;
    t.fs.files[t.xml()] = ThirteenRows();
    t.Start();
    t.window.Pick(3, {0, 255, 0});
    c.spoil(t);
    t.window.answer = Answer::kYes;  // Restore asks first
    c.act(t);
    const std::vector<Message> told = t.Told();
    ASSERT_THAT(told, SizeIs(1)) << c.name;
    const Message& m = told[0];
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
  const char* const acts[] = {"save", "restore", "restore original"};
  for (const std::string act : acts) {
    for (const Case& c : cases) {
      const std::string name = std::string(c.name) + ", " + act;
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
      // The kept original of the file the game reads.
      const std::string original = ThirteenRows("\t<mark>original</mark>\r\n");
      if (act == "restore original") {
        t.fs.files[(c.copyInStore ? copy : t.data) + "playercolors.xml.orig"] = original;
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
      t.window.answer = Answer::kYes;
      t.window.Run([&] {
        if (act == "save") t.commands.Save(t.window);
        if (act == "restore") t.commands.Restore(t.window);
        if (act == "restore original") t.commands.RestoreOriginal(t.window);
      });

      const std::string target = c.written == "store" ? copy : t.data;
      if (!c.written.empty()) {
        const std::string& now = t.fs.files[target + "playercolors.xml"];
        EXPECT_NE(now, ThirteenRows()) << name;
        EXPECT_NE(now, ThirteenRows("\t<mark>the user's</mark>\r\n")) << name;
        if (act == "restore original") {
          EXPECT_EQ(now, original) << name;
        }
        EXPECT_EQ(t.fs.files.count(t.xmb()) + t.fs.files.count(copy + "playercolors.xmb"), 0u)
            << name;
      }
      if (c.written != "data") {
        EXPECT_EQ(t.fs.files[t.xml()], ThirteenRows()) << name;
      }
      if (c.written != "store" && !c.copyInStore) {
        EXPECT_EQ(t.fs.files.count(copy + "playercolors.xml"), 0u) << name;
      }
      const std::vector<Message> told = t.Told();
      if (c.written.empty()) {
        ASSERT_THAT(told, SizeIs(1)) << name;
        EXPECT_THAT(told[0].text, HasSubstr("administrator")) << name;
        continue;
      }
      ASSERT_THAT(told, SizeIs(c.told ? 1 : 0)) << name;
      if (c.told) {
        EXPECT_EQ(told[0].kind, MessageKind::kInformation) << name;
        EXPECT_THAT(told[0].text, HasSubstr(t.xml())) << name;
        EXPECT_THAT(told[0].text, HasSubstr(copy + "playercolors.xml")) << name;
        // The copy's original is the file the game read until then.
        EXPECT_EQ(t.fs.files[copy + "playercolors.xml.orig"],
                  act == "restore original" ? original : ThirteenRows())
            << name;
        // Said once: the next save goes to the copy without a word.
        t.window.Pick(3, {0, 0, 255});
        t.Save();
        EXPECT_THAT(t.Told(), SizeIs(1)) << name;
        EXPECT_EQ(t.commands.state().location.folder, copy) << name;
      }
    }
  }
}

}  // namespace

}  // namespace tintmoor::ui
