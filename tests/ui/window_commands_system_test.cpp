// The window's colour-file commands against the real registry of the build's
// private Wine prefix and real files in temporary folders: start-up in each
// situation, Save and Restore, and every way the game's file could be lost,
// made real where the system allows (read-only file, a second process holding
// the file, a removed folder, a missing default file, a full disk).
//
// Each test sets the game's registry key itself and puts back what was there,
// so the tests run in any order.
#include "ui/window_commands.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <vector>

#include "colorfile/color_store.h"
#include "colorfile/files_win32.h"
#include "colorfile/registry_win32.h"
#include "colorfile/table_binding.h"
#include "common/file_io.h"
#include "common/file_io_win32.h"
#include "markup/words.h"
#include "support/test_support.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace {

const std::string kTitle = "Brindle's AoM Tintmoor";
const std::string kMarked = kTitle + " *";
const std::string kGrey = "8421504";

struct Message {
  std::string text, title;
  unsigned style;
};

// The window as the commands see it, recording what they do to it.
class FakeWindow : public ColorWindow {
 public:
  FakeWindow() { tags.fill(kGrey); }
  std::string BoxTag(int box) const override { return tags[box]; }
  void SetBoxTag(int box, const std::string& tag) override {
    tags[box] = tag;
    calls.push_back("tag");
  }
  void SetBoxColor(int box, int32_t color) override {
    colors[box] = color;
    calls.push_back("color");
  }
  void SetCaption(const std::string& text) override { caption = text; }
  int ShowMessage(const std::string& text, const std::string& title, unsigned style) override {
    messages.push_back({text, title, style});
    return IDOK;
  }
  // A colour picked in the dialog.
  void Pick(int box, int32_t color) {
    caption = kMarked;
    colors[box] = color;
    tags[box] = std::to_string(color);
  }

  std::array<std::string, kCells> tags;
  std::array<int32_t, kCells> colors{};
  std::vector<std::string> calls;
  std::string caption = kTitle;
  std::vector<Message> messages;
};

// The real file system, with the program's own folder moved to a test folder
// so the default file can be taken away.
class TestFileSystem : public ColorFileSystem {
 public:
  std::string programFolder;
  bool IsFile(const std::string& p) override { return real().IsFile(p); }
  bool IsFolder(const std::string& p) override { return real().IsFolder(p); }
  std::string ReadAll(const std::string& p) override { return real().ReadAll(p); }
  void ReplaceWhole(const std::string& p, std::string_view b) override {
    real().ReplaceWhole(p, b);
  }
  void Remove(const std::string& p) override { real().Remove(p); }
  bool CopyOver(const std::string& a, const std::string& b) override {
    return real().CopyOver(a, b);
  }
  WriteProblem DiagnoseWrite(const std::string& p) override { return real().DiagnoseWrite(p); }
  std::string ProgramFolder() override { return programFolder; }

 private:
  static ColorFileSystem& real() { return SystemFileSystem(); }
};

std::string TempRoot() {
  char buffer[MAX_PATH];
  GetTempPathA(MAX_PATH, buffer);
  static int counter = 0;
  return std::string(buffer) + "tintmoor-cmd-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(++counter) + "\\";
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  ReplaceFileBytes(path, bytes);
}

std::string Bytes(const std::string& path) { return ReadFileBytes(path); }

std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Sets the game's AppPath for one test and puts back whatever was there.
class GameKey {
 public:
  GameKey() { saved_ = GetRegString(HKEY_LOCAL_MACHINE, kGameKeyPath, kGameInstallValue, "\x01"); }
  ~GameKey() {
    if (saved_ == "\x01") {
      RegDeleteTreeA(HKEY_LOCAL_MACHINE, kGameKeyPath);
    } else {
      Set(saved_);
    }
  }
  void Set(const std::string& appPath) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kGameKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, kGameInstallValue, 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(appPath.c_str()),
                   static_cast<DWORD>(appPath.size() + 1));
    RegCloseKey(key);
  }
  void Remove() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kGameKeyPath); }

 private:
  std::string saved_;
};

class CommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = TempRoot();
    install = root + "AoM";
    data = install + "\\data\\";
    std::filesystem::create_directories(data);
    fs.programFolder = root + "prog";
    std::filesystem::create_directories(fs.programFolder);
    defaultBytes = ReadFileBytes(SourcePath("data/playercolors.xml"));
    WriteBytes(fs.programFolder + "\\playercolors.xml", defaultBytes);
    previousFs = SetCommandFileSystem(&fs);
    game.Set(install);
    markup::gDocument.Replace(nullptr);
    gDataPath.clear();
  }
  void TearDown() override {
    SetCommandFileSystem(previousFs);
    markup::gDocument.Replace(nullptr);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(root);
  }
  // Start-up as the window runs it.
  void Start() {
    window.SetCaption(kTitle);
    LoadColorFile(window);
    ShowColors(window);
  }
  std::string xml() const { return data + "playercolors.xml"; }
  std::string xmb() const { return data + "playercolors.xmb"; }

  GameKey game;
  TestFileSystem fs;
  ColorFileSystem* previousFs = nullptr;
  FakeWindow window;
  std::string root, install, data, defaultBytes;
};

// ---- GetRegString -----------------------------------------------------------

class RegistryTest : public ::testing::Test {
 protected:
  static constexpr const char* kKey = "Software\\Tintmoor Tests";
  void SetUp() override {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey);
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(key_);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey);
  }
  void Put(const char* name, DWORD type, const void* bytes, DWORD size) {
    ASSERT_EQ(RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(bytes), size),
              ERROR_SUCCESS);
  }
  HKEY key_ = nullptr;
};

TEST_F(RegistryTest, ReadsOnlyTextValues) {
  const DWORD number = 42;
  Put("sz", REG_SZ, "C:\\Games\\AoM", 13);
  Put("empty", REG_SZ, "", 1);
  Put("expand", REG_EXPAND_SZ, "%SystemRoot%", 13);
  Put("dword", REG_DWORD, &number, sizeof number);
  Put("nonul", REG_SZ, "abc", 3);  // stored without its NUL
  struct Case {
    const char* key;
    const char* value;
    const char* expected;
  } const cases[] = {
      {kKey, "sz", "C:\\Games\\AoM"},
      {kKey, "empty", ""},
      {kKey, "expand", "default"},
      {kKey, "dword", "default"},
      {kKey, "nonul", "abc"},
      {kKey, "missing", "default"},
      {"Software\\Tintmoor Tests\\No Such Key", "sz", "default"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, c.key, c.value, "default"), c.expected) << c.value;
  }
}

// ---- Start-up ---------------------------------------------------------------

TEST_F(CommandsTest, NoRegistryKeyShowsBoxOneAndGreyBoxes) {
  game.Remove();
  Start();
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_EQ(window.messages[0].text, "Cannot find the folder where AoM is installed.");
  EXPECT_EQ(window.messages[0].title, "Cannot Apply Settings to AoM");
  EXPECT_EQ(window.messages[0].style, 16u);
  EXPECT_EQ(gDataPath, "");
  for (const std::string& tag : window.tags) EXPECT_EQ(tag, kGrey);
  for (int32_t color : window.colors) EXPECT_EQ(color, kGreyColor);
}

TEST_F(CommandsTest, EmptyAppPathShowsBoxOne) {
  game.Set("");
  Start();
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_EQ(window.messages[0].text, "Cannot find the folder where AoM is installed.");
}

TEST_F(CommandsTest, MissingDataFolderShowsBoxTwoWithThePath) {
  std::filesystem::remove_all(data);
  Start();
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_EQ(window.messages[0].text, "The game installation points to this directory :\r\n" +
                                         install +
                                         "\\data\\\r\n\r\nBut this folder does not exist.");
  EXPECT_EQ(window.messages[0].title, "Cannot Apply Settings to AoM");
  EXPECT_EQ(window.messages[0].style, 16u);
  EXPECT_THAT(Listing(install), IsEmpty());
}

TEST_F(CommandsTest, AppPathWithOrWithoutBackslashGivesOneDataFolder) {
  for (const std::string& appPath : {install, install + "\\"}) {
    game.Set(appPath);
    LoadColorFile(window);
    EXPECT_EQ(gDataPath, install + "\\data\\") << appPath;
  }
  EXPECT_THAT(window.messages, IsEmpty());
}

TEST_F(CommandsTest, FirstRunSeedsTheDefaultFileAndShowsIt) {
  Start();
  EXPECT_THAT(window.messages, IsEmpty());
  EXPECT_EQ(Bytes(xml()), defaultBytes);
  EXPECT_EQ(window.tags[0], std::to_string(153 + 256 * 102));        // Gaia: 153 102 0
  EXPECT_EQ(window.tags[4], std::to_string(256 * 0 + 65536 * 255));  // Player 1 minimap
  EXPECT_EQ(window.colors[38], 128 + 65536 * 51);
}

TEST_F(CommandsTest, ExistingFileIsNeverOverwritten) {
  WriteBytes(xml(), ThirteenRows());
  Start();
  EXPECT_EQ(Bytes(xml()), ThirteenRows());
  EXPECT_EQ(window.tags[4], "256");  // "0 1 0"
  EXPECT_THAT(window.messages, IsEmpty());
}

TEST_F(CommandsTest, ShowColorsSetsEveryTagBeforeAnyColourAndYields) {
  WriteBytes(xml(), ThirteenRows());
  LoadColorFile(window);
  static int yields;
  yields = 0;
  const markup::YieldHook previous = markup::SetYieldHook([] { ++yields; });
  ShowColors(window);
  markup::SetYieldHook(previous);
  ASSERT_THAT(window.calls, SizeIs(2 * kCells));
  for (int i = 0; i < kCells; ++i) EXPECT_EQ(window.calls[i], "tag");
  EXPECT_GT(yields, kCells * 5);
  EXPECT_EQ(window.colors[7], 2 * 256);
}

// ---- Save -------------------------------------------------------------------

TEST_F(CommandsTest, SaveRoundTripIsByteExactAndLeavesTheRestAlone) {
  std::string rows;
  for (int r = 0; r < 14; ++r) {
    rows += "\t<player num=\"" + std::to_string(r) + "\" color1=\"0" + std::to_string(r) +
            " 0 0\" color2=\"1 2 3 4\" color3=\"9 9 9\" more=\"x\"></player>\r\n";
  }
  const std::string file = "<?xml version=\"1.0\"?>\r\n<playercolors id=\"7\">\r\n" + rows +
                           "</playercolors>\r\n<other>text</other>\r\n";
  WriteBytes(xml(), file);
  WriteBytes(xmb(), "stale");
  Start();
  window.Pick(5, 16711680);  // Player 1, dead unit: pure blue
  SaveColorFile(window);

  std::string expected =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<playercolors id=\"7\">\r\n";
  for (int r = 0; r < 14; ++r) {
    const std::string c1 =
        r < 13 ? std::to_string(r) + " 0 0" : "013 0 0";  // the 14th row is not ours
    const std::string c2 = r < 13 ? "1 2 3" : "1 2 3 4";
    const std::string c3 = r == 1 ? "0 0 255" : r < 13 ? "9 9 9" : "9 9 9";
    expected += "\t<player num=\"" + std::to_string(r) + "\" color1=\"" + c1 + "\" color2=\"" + c2 +
                "\" color3=\"" + c3 + "\" more=\"x\"></player>\r\n";
  }
  expected += "</playercolors>\r\n<other>text</other>\r\n";
  EXPECT_EQ(Bytes(xml()), expected);
  EXPECT_FALSE(FileExists(xmb()));
  EXPECT_EQ(window.caption, kTitle);
  EXPECT_EQ(window.tags[5], "16711680");
  EXPECT_THAT(window.messages, IsEmpty());
  EXPECT_THAT(Listing(data), ElementsAre("playercolors.xml"));
}

TEST_F(CommandsTest, TagsThatAreNotColourValuesAreSavedAsGrey) {
  Start();
  const struct {
    int box;
    const char* tag;
  } cases[] = {{0, "abc"}, {4, ""}, {38, "99999999999"}, {7, " 12"}};
  for (const auto& c : cases) window.tags[c.box] = c.tag;
  SaveColorFile(window);

  EXPECT_THAT(window.messages, IsEmpty());
  for (const auto& c : cases) {
    EXPECT_EQ(FindCell(*markup::gDocument, c.box)->value(), "128 128 128") << c.box;
    EXPECT_EQ(window.tags[c.box], "8421504") << c.box;
    EXPECT_EQ(window.colors[c.box], kGreyColor) << c.box;
  }
  EXPECT_EQ(FindCell(*markup::gDocument, 1)->value(),
            "153 102 0");  // the others keep their colours
}

TEST_F(CommandsTest, SaveIntoAnEmptyDataFolderWritesTheFile) {
  Start();  // seeds
  std::filesystem::remove(xml());
  SaveColorFile(window);
  EXPECT_EQ(Bytes(xml()), defaultBytes);
  EXPECT_THAT(window.messages, IsEmpty());
}

// ---- Restore ----------------------------------------------------------------

TEST_F(CommandsTest, RestoreAfterPicksPutsDefaultsBackAndKeepsTheMarker) {
  WriteBytes(xml(), ThirteenRows());
  WriteBytes(xmb(), "stale");
  Start();
  window.Pick(0, 255);
  RestoreColorFile(window);
  EXPECT_EQ(Bytes(xml()), defaultBytes);
  EXPECT_FALSE(FileExists(xmb()));
  EXPECT_EQ(window.tags[0], std::to_string(153 + 256 * 102));
  EXPECT_EQ(window.caption, kMarked);
  SaveColorFile(window);
  EXPECT_EQ(Bytes(xml()), defaultBytes);  // the default file is in the writer's layout
  EXPECT_EQ(window.caption, kTitle);
  EXPECT_THAT(window.messages, IsEmpty());
}

TEST_F(CommandsTest, RestoreWithoutXmb) {
  WriteBytes(xml(), ThirteenRows());
  Start();
  RestoreColorFile(window);
  EXPECT_EQ(Bytes(xml()), defaultBytes);
  EXPECT_THAT(Listing(data), ElementsAre("playercolors.xml"));
  EXPECT_THAT(window.messages, IsEmpty());
}

TEST_F(CommandsTest, RestoreAfterTheRegistryChangedCopiesToTheOldFolderAndReadsTheNew) {
  WriteBytes(xml(), ThirteenRows());
  Start();
  const std::string other = root + "AoM2";
  std::filesystem::create_directories(other + "\\data");
  game.Set(other);
  RestoreColorFile(window);
  EXPECT_EQ(Bytes(xml()), defaultBytes);                               // old folder
  EXPECT_EQ(Bytes(other + "\\data\\playercolors.xml"), defaultBytes);  // new one, seeded
  EXPECT_EQ(gDataPath, other + "\\data\\");
  EXPECT_THAT(window.messages, IsEmpty());
}

// ---- Mended: Save never loses the game's file --------------------------------

// Picks a colour and saves, expecting a refusal that left the game's files be.
void ExpectSaveRefused(const FakeWindow& window, const std::string& xmlPath,
                       const std::string& before) {
  EXPECT_EQ(Bytes(xmlPath), before);
  EXPECT_EQ(window.caption, kMarked);
  EXPECT_EQ(window.tags[3], "65280");  // the user's colour stays
  ASSERT_THAT(window.messages, SizeIs(1));
}

TEST_F(CommandsTest, SaveOverAReadOnlyFileChangesNothingAndSaysWhy) {
  WriteBytes(xml(), ThirteenRows());
  WriteBytes(xmb(), "stale");
  Start();
  SetFileAttributesA(xml().c_str(), FILE_ATTRIBUTE_READONLY);
  window.Pick(3, 65280);
  SaveColorFile(window);
  ExpectSaveRefused(window, xml(), ThirteenRows());
  EXPECT_THAT(window.messages[0].text, HasSubstr(xml()));
  EXPECT_THAT(window.messages[0].text, HasSubstr("read-only"));
  EXPECT_THAT(window.messages[0].text, HasSubstr("administrator"));
  EXPECT_EQ(window.messages[0].style, 16u);
  EXPECT_EQ(Bytes(xmb()), "stale");
  EXPECT_THAT(Listing(data), ElementsAre("playercolors.xmb", "playercolors.xml"));
}

// Runs hold_file.exe on path until the object goes.
class HeldOpen {
 public:
  explicit HeldOpen(const std::string& path) {
    std::string readyName = "TintmoorReady";
    readyName += std::to_string(GetCurrentProcessId());
    std::string releaseName = "TintmoorRelease";
    releaseName += std::to_string(GetCurrentProcessId());
    ready_ = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
    release_ = CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str());
    std::string command = "\"";
    command += ProgramFolder();
    command += "\\hold_file.exe\" \"";
    command += path;
    command += "\" " + readyName + " " + releaseName;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process_) != 0;
    held_ = started_ && WaitForSingleObject(ready_, 20000) == WAIT_OBJECT_0;
  }
  ~HeldOpen() {
    SetEvent(release_);
    if (started_) {
      WaitForSingleObject(process_.hProcess, 20000);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
    CloseHandle(ready_);
    CloseHandle(release_);
  }
  bool held() const { return held_; }

 private:
  HANDLE ready_, release_;
  PROCESS_INFORMATION process_{};
  bool started_ = false, held_ = false;
};

TEST_F(CommandsTest, SaveWhileAnotherProcessHoldsTheFileChangesNothing) {
  WriteBytes(xml(), ThirteenRows());
  WriteBytes(xmb(), "stale");
  Start();
  window.Pick(3, 65280);
  {
    HeldOpen hold(xml());
    ASSERT_TRUE(hold.held());
    SaveColorFile(window);
  }
  ExpectSaveRefused(window, xml(), ThirteenRows());
  EXPECT_THAT(window.messages[0].text, HasSubstr(xml()));
  EXPECT_THAT(window.messages[0].text, HasSubstr("Close the game"));
  EXPECT_EQ(Bytes(xmb()), "stale");
  EXPECT_THAT(Listing(data), ElementsAre("playercolors.xmb", "playercolors.xml"));
}

BOOL WINAPI FullDisk(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
  if (written != nullptr) *written = 0;
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

TEST_F(CommandsTest, SaveOnAFullDiskChangesNothing) {
  WriteBytes(xml(), ThirteenRows());
  WriteBytes(xmb(), "stale");
  Start();
  window.Pick(3, 65280);
  Win32FileCalls& calls = Win32FileCallsForTesting();
  const auto realWrite = calls.WriteFile;
  calls.WriteFile = &FullDisk;
  SaveColorFile(window);
  calls.WriteFile = realWrite;
  ExpectSaveRefused(window, xml(), ThirteenRows());
  EXPECT_THAT(window.messages[0].text, HasSubstr(xml()));
  EXPECT_THAT(Listing(data), ElementsAre("playercolors.xmb", "playercolors.xml"));
}

TEST_F(CommandsTest, SaveAfterTheDataFolderWentWritesNothing) {
  WriteBytes(xml(), ThirteenRows());
  Start();
  window.Pick(3, 65280);
  std::filesystem::remove_all(data);
  SaveColorFile(window);
  EXPECT_THAT(Listing(install), IsEmpty());
  EXPECT_EQ(window.caption, kMarked);
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_THAT(window.messages[0].text, HasSubstr("nothing was saved"));
}

// ---- Mended: Restore never loses the game's file -----------------------------

TEST_F(CommandsTest, RestoreWithoutTheDefaultFileChangesNothing) {
  WriteBytes(xml(), ThirteenRows());
  WriteBytes(xmb(), "stale");
  Start();
  window.Pick(3, 65280);
  std::filesystem::remove(fs.programFolder + "\\playercolors.xml");
  RestoreColorFile(window);
  EXPECT_EQ(Bytes(xml()), ThirteenRows());
  EXPECT_EQ(Bytes(xmb()), "stale");
  EXPECT_EQ(window.tags[3], "65280");  // no reload either
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_THAT(window.messages[0].text, HasSubstr(fs.programFolder + "\\playercolors.xml"));
  EXPECT_THAT(window.messages[0].text, HasSubstr("Nothing was changed"));
}

TEST_F(CommandsTest, RestoreOverAReadOnlyFileChangesNothing) {
  WriteBytes(xml(), ThirteenRows());
  Start();
  SetFileAttributesA(xml().c_str(), FILE_ATTRIBUTE_READONLY);
  RestoreColorFile(window);
  EXPECT_EQ(Bytes(xml()), ThirteenRows());
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_THAT(window.messages[0].text, HasSubstr("read-only"));
}

// ---- Mended: a failed load keeps the previous tree and boxes ------------------

TEST_F(CommandsTest, FailedReloadKeepsTreeAndBoxes) {
  WriteBytes(xml(), ThirteenRows());
  Start();
  const markup::Element* before = &*markup::gDocument;
  const auto tagsBefore = window.tags;

  // A line of more than 32767 words overflows the reader.
  WriteBytes(xml(), "<a b=\"" + std::string(40000, '<') + "\">\r\n");
  LoadColorFile(window);
  ShowColors(window);
  EXPECT_EQ(&*markup::gDocument, before);
  EXPECT_EQ(window.tags, tagsBefore);
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_THAT(window.messages[0].text, HasSubstr(xml()));

  // A file another process holds without sharing cannot be read.
  WriteBytes(xml(), defaultBytes);
  {
    HeldOpen hold(xml());
    ASSERT_TRUE(hold.held());
    LoadColorFile(window);
  }
  ShowColors(window);
  EXPECT_EQ(&*markup::gDocument, before);
  EXPECT_EQ(window.tags, tagsBefore);
  ASSERT_THAT(window.messages, SizeIs(2));
  EXPECT_THAT(window.messages[1].text, HasSubstr(xml()));
}

// ---- Mended: nothing outside the data folder --------------------------------

TEST_F(CommandsTest, WithoutADataFolderSaveAndRestoreWriteNothing) {
  std::filesystem::remove_all(data);
  Start();
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, cwd);
  const bool cwdHadFile = FileExists(std::string(cwd) + "\\playercolors.xml");
  SaveColorFile(window);
  ASSERT_THAT(window.messages, SizeIs(2));
  EXPECT_THAT(window.messages[1].text, HasSubstr("No colour file is loaded"));
  RestoreColorFile(window);  // only the reload: box 2 again
  ASSERT_THAT(window.messages, SizeIs(3));
  EXPECT_EQ(window.messages[2].text, window.messages[0].text);
  EXPECT_THAT(Listing(install), IsEmpty());
  EXPECT_EQ(FileExists(std::string(cwd) + "\\playercolors.xml"), cwdHadFile);

  game.Remove();
  gDataPath.clear();
  SaveColorFile(window);
  RestoreColorFile(window);
  EXPECT_THAT(Listing(install), IsEmpty());
  EXPECT_EQ(FileExists(std::string(cwd) + "\\playercolors.xml"), cwdHadFile);
}

TEST_F(CommandsTest, RestoreFindsTheDataFolderOnceItIsThere) {
  std::filesystem::remove_all(data);
  Start();
  std::filesystem::create_directories(data);
  RestoreColorFile(window);  // the reload seeds and reads it
  EXPECT_EQ(Bytes(xml()), defaultBytes);
  EXPECT_EQ(window.tags[0], std::to_string(153 + 256 * 102));
}

// ---- Files without the expected shape ----------------------------------------

TEST_F(CommandsTest, ShortRowIsReportedShownGreyAndBlocksSave) {
  std::string file = ThirteenRows();
  file.replace(file.find(" color3=\"0 0 7\""), 15, "");
  WriteBytes(xml(), file);
  Start();
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_THAT(window.messages[0].text, HasSubstr("the row for \"Player 7\" has only 2 colours"));
  EXPECT_THAT(window.messages[0].text, HasSubstr("Restore Default Colors"));
  EXPECT_EQ(window.tags[7 * 3 + 2], kGrey);
  EXPECT_EQ(window.tags[7 * 3 + 1], std::to_string(7 * 256));
  window.Pick(0, 1);
  SaveColorFile(window);
  EXPECT_EQ(Bytes(xml()), file);
  ASSERT_THAT(window.messages, SizeIs(2));
  EXPECT_THAT(window.messages[1].text, HasSubstr("Nothing was saved"));
  EXPECT_EQ(window.caption, kMarked);
}

TEST_F(CommandsTest, UnreadableCellIsGreyNamedAndSavedInNormalForm) {
  std::string file = ThirteenRows();
  file.replace(file.find("color2=\"0 2 0\""), 14, "color2=\"12 x 4\"");
  file.replace(file.find("color1=\"3 0 0\""), 14, "color1=\"300 0 0\"");
  WriteBytes(xml(), file);
  Start();
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_THAT(window.messages[0].text,
              HasSubstr("\"Player 2\", \"Color shown on minimap\": \"12 x 4\""));
  EXPECT_THAT(window.messages[0].text, HasSubstr("\"Player 3\""));
  EXPECT_EQ(window.tags[7], kGrey);
  EXPECT_EQ(window.tags[9], "255");
  SaveColorFile(window);
  const std::string saved = Bytes(xml());
  EXPECT_THAT(saved, HasSubstr("color2=\"128 128 128\""));
  EXPECT_THAT(saved, HasSubstr("color1=\"255 0 0\""));
  EXPECT_THAT(window.messages, SizeIs(1));
}

TEST_F(CommandsTest, SeedingThatFailsNamesTheDefaultFileAndRestoreRetries) {
  std::filesystem::remove(fs.programFolder + "\\playercolors.xml");
  Start();
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_THAT(window.messages[0].text, HasSubstr(fs.programFolder + "\\playercolors.xml"));
  for (const std::string& tag : window.tags) EXPECT_EQ(tag, kGrey);
  EXPECT_THAT(Listing(data), IsEmpty());
  SaveColorFile(window);  // nothing loaded, nothing written
  EXPECT_THAT(Listing(data), IsEmpty());

  WriteBytes(fs.programFolder + "\\playercolors.xml", defaultBytes);
  RestoreColorFile(window);
  EXPECT_EQ(Bytes(xml()), defaultBytes);
  EXPECT_EQ(window.tags[0], std::to_string(153 + 256 * 102));
}

}  // namespace
