// The window's colour-file commands where only Windows will do: the real
// registry of the build's private Wine prefix (32-bit view), and real files
// that are read-only, hidden, held open by a second process, on a full disk,
// or under Program Files with a VirtualStore copy in the user's local
// application data. The rest of the commands is tested over fakes in
// window_commands_test.cpp.
#include "ui/window_commands.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <shlobj.h>

#include "colorfile/color_store.h"
#include "colorfile/files_win32.h"
#include "colorfile/game_location.h"
#include "colorfile/registry_win32.h"
#include "colorfile/table_binding.h"
#include "common/file_io.h"
#include "common/file_io_win32.h"
#include "markup/words.h"
#include "support/fake_window.h"
#include "support/system_fs.h"
#include "support/test_support.h"

namespace tintmoor::ui {

using colorfile::FileExists;
using colorfile::FolderExists;
using colorfile::GetRegString;
using colorfile::kGameInstallValue;
using colorfile::kGameKeyPath;
using colorfile::ProgramFolder;
using colorfile::Rgb;
using colorfile::RunningUnderWine;
using colorfile::SystemFileSystem;
using colorfile::SystemGameRegistry;
using common::ReadFileBytes;
using common::ReplaceFileBytes;
using common::Win32FileCalls;
using common::Win32FileCallsForTesting;

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace {

using test::FakeRegistry;
using test::FakeWindow;
using test::kMarked;
using test::kTitle;
using test::Message;

using TestFileSystem = colorfile::PassThroughFileSystem;

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
    registry.installFolder = install;
  }
  void TearDown() override {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(root);
  }
  // Start-up as the window runs it, inside its boundary.
  void Start() {
    window.SetCaption(kTitle);
    window.Run([this] {
      commands.Load(window);
      commands.Show(window);
    });
  }
  std::string xml() const { return data + "playercolors.xml"; }
  std::string xmb() const { return data + "playercolors.xmb"; }

  TestFileSystem fs;
  FakeRegistry registry;
  WindowCommands commands{fs, registry};
  FakeWindow window;
  std::string root, install, data, defaultBytes;
};

// ---- GetRegString -----------------------------------------------------------

// The game's key lives in the 32-bit view; the tests write there, as its
// installer does.
void DeleteKey(const char* path, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS | view, &key) == ERROR_SUCCESS) {
    RegDeleteTreeA(key, nullptr);
    RegCloseKey(key);
  }
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path, view, 0);
}

HKEY CreateKey(const char* path, REGSAM view) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                  nullptr);
  return key;
}

class RegistryTest : public ::testing::Test {
 protected:
  static constexpr const char* kKey = "Software\\Tintmoor Tests";
  void SetUp() override {
    DeleteKey(kKey, KEY_WOW64_32KEY);
    key_ = CreateKey(kKey, KEY_WOW64_32KEY);
    ASSERT_NE(key_, nullptr);
  }
  void TearDown() override {
    RegCloseKey(key_);
    DeleteKey(kKey, KEY_WOW64_32KEY);
  }
  void Put(const char* name, DWORD type, const void* bytes, DWORD size) {
    ASSERT_EQ(RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(bytes), size),
              ERROR_SUCCESS);
  }
  HKEY key_ = nullptr;
};

TEST_F(RegistryTest, TheGameIsFoundInThe32BitViewOnly) {
  std::string saved = GetRegString(HKEY_LOCAL_MACHINE, kGameKeyPath, kGameInstallValue, "\x01");
  const auto put = [](REGSAM view, const std::string& text) {
    HKEY key = CreateKey(kGameKeyPath, view);
    RegSetValueExA(key, kGameInstallValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
  };
  put(KEY_WOW64_32KEY, "C:\\Games\\AoM");
#ifdef _WIN64
  put(KEY_WOW64_64KEY, "C:\\Wrong View");  // a 64-bit build must not read this one
#endif
  EXPECT_EQ(SystemGameRegistry().InstallFolder(), "C:\\Games\\AoM");
#ifdef _WIN64
  DeleteKey(kGameKeyPath, KEY_WOW64_64KEY);
#endif
  if (saved == "\x01") {
    DeleteKey(kGameKeyPath, KEY_WOW64_32KEY);
  } else {
    put(KEY_WOW64_32KEY, saved);
  }
}

TEST_F(RegistryTest, ReadsOnlyTextValues) {
  const DWORD number = 42;
  Put("sz", REG_SZ, "C:\\Games\\AoM", 13);
  Put("empty", REG_SZ, "", 1);
  Put("expand", REG_EXPAND_SZ, "%SystemRoot%", 13);
  Put("dword", REG_DWORD, &number, sizeof number);
  Put("nonul", REG_SZ, "abc", 3);  // stored without its NUL
  const std::wstring unicode = L"C:\\Игры\\Παιχνίδι 游戏";
  ASSERT_EQ(
      RegSetValueExW(key_, L"unicode", 0, REG_SZ, reinterpret_cast<const BYTE*>(unicode.c_str()),
                     static_cast<DWORD>((unicode.size() + 1) * sizeof(wchar_t))),
      ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key_, L"odd", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"ab"), 3),
            ERROR_SUCCESS);  // half of its second character
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
      {kKey, "unicode", "C:\\Игры\\Παιχνίδι 游戏"},
      {kKey, "odd", "a"},
      {kKey, "missing", "default"},
      {"Software\\Tintmoor Tests\\No Such Key", "sz", "default"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, c.key, c.value, "default"), c.expected) << c.value;
  }
}

// ---- A refused write never loses the game's file ---------------------------

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

BOOL WINAPI FullDisk(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
  if (written != nullptr) *written = 0;
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

// What real Windows refuses, and that the message the commands build from its
// diagnosis fits: the wording for each diagnosis is tested over fakes.
TEST_F(CommandsTest, ARefusedWriteChangesNothingAndSaysWhy) {
  enum class Spoil { kReadOnly, kHeldOpen, kFullDisk };
  const struct Case {
    const char* name;
    Spoil spoil;
    bool restore;
    std::vector<std::string> words;
  } cases[] = {
      {"save, read-only", Spoil::kReadOnly, false, {"read-only", "untick Read-only"}},
      {"save, held open", Spoil::kHeldOpen, false, {"Close the game"}},
      {"save, disk full", Spoil::kFullDisk, false, {}},
      {"restore, read-only", Spoil::kReadOnly, true, {"read-only"}},
  };
  for (const Case& c : cases) {
    SetFileAttributesA(xml().c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteBytes(xml(), ThirteenRows());
    WriteBytes(xmb(), "stale");
    window = FakeWindow();
    window.answer = Answer::kYes;  // Restore asks first
    Start();
    window.Pick(3, {0, 255, 0});
    const auto act = [&] {
      window.Run([&] { c.restore ? commands.Restore(window) : commands.Save(window); });
    };
    if (c.spoil == Spoil::kReadOnly) {
      SetFileAttributesA(xml().c_str(), FILE_ATTRIBUTE_READONLY);
      act();
    } else if (c.spoil == Spoil::kHeldOpen) {
      HeldOpen hold(xml());
      ASSERT_TRUE(hold.held()) << c.name;
      act();
    } else {
      Win32FileCalls& calls = Win32FileCallsForTesting();
      const auto realWrite = calls.WriteFile;
      calls.WriteFile = &FullDisk;
      act();
      calls.WriteFile = realWrite;
    }
    EXPECT_EQ(Bytes(xml()), ThirteenRows()) << c.name;
    EXPECT_EQ(Bytes(xmb()), "stale") << c.name;
    // The lock file every writer takes stays; nothing else is made.
    EXPECT_THAT(Listing(data),
                ElementsAre("playercolors.xmb", "playercolors.xml", "playercolors.xml.lock"))
        << c.name;
    EXPECT_EQ(window.caption, kMarked) << c.name;
    EXPECT_EQ(window.colors[3], (Rgb{0, 255, 0})) << c.name;  // the user's colour stays
    ASSERT_THAT(window.messages, SizeIs(c.restore ? 2 : 1)) << c.name;
    const Message& failure = window.messages.back();
    EXPECT_EQ(failure.kind, MessageKind::kError) << c.name;
    EXPECT_THAT(failure.text, HasSubstr(xml())) << c.name;
    for (const std::string& w : c.words) EXPECT_THAT(failure.text, HasSubstr(w)) << c.name;
  }
}

// ---- A file another process holds cannot be read -----------------------------

TEST_F(CommandsTest, AReloadOfAHeldFileKeepsTreeAndBoxes) {
  WriteBytes(xml(), ThirteenRows());
  Start();
  const markup::Element* before = commands.state().tree.get();
  const auto colorsBefore = window.colors;
  WriteBytes(xml(), defaultBytes);
  {
    HeldOpen hold(xml());
    ASSERT_TRUE(hold.held());
    EXPECT_FALSE(window.Run([&] { commands.Load(window); }));
  }
  commands.Show(window);
  EXPECT_EQ(commands.state().tree.get(), before);
  EXPECT_EQ(window.colors, colorsBefore);
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_THAT(window.messages[0].text, HasSubstr(xml()));
}

// ---- Hidden and system entries ---------------------------------------------

TEST_F(CommandsTest, HiddenOrSystemFolderAndFileAreLoadedNotSeeded) {
  for (const DWORD attribute : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
    WriteBytes(xml(), ThirteenRows());
    SetFileAttributesA(xml().c_str(), attribute);
    SetFileAttributesA(data.c_str(), FILE_ATTRIBUTE_DIRECTORY | attribute);
    FakeWindow fresh;
    EXPECT_TRUE(fresh.Run([&] { commands.Load(fresh); })) << attribute;
    commands.Show(fresh);
    EXPECT_THAT(fresh.messages, IsEmpty());
    EXPECT_EQ(fresh.colors[4], (Rgb{0, 1, 0}));  // the file's own, not the default
    fresh.Pick(3, {0, 255, 0});
    commands.Save(fresh);
    EXPECT_THAT(fresh.messages, IsEmpty());
    EXPECT_THAT(Bytes(xml()), HasSubstr("color1=\"0 255 0\""));
    SetFileAttributesA(xml().c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(data.c_str(), FILE_ATTRIBUTE_DIRECTORY);
  }
}

// ---- VirtualStore -------------------------------------------------------------

// A game under the prefix's real Program Files, and the folder the user's
// local application data keeps its VirtualStore copies in. Wine virtualizes
// nothing, so the rules are switched on as for a setup that does.
class VirtualStoreTest : public CommandsTest {
 protected:
  void SetUp() override {
    CommandsTest::SetUp();
    _putenv("TINTMOOR_VIRTUALSTORE=1");
    char folder[MAX_PATH] = "", local[MAX_PATH] = "";
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, folder), S_OK);
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local), S_OK);
    const std::string name = "Tintmoor Test " + std::to_string(GetCurrentProcessId());
    game = std::string(folder) + "\\" + name;
    install = game;
    data = install + "\\data\\";
    std::filesystem::create_directories(data);
    store = std::string(local) + "\\VirtualStore" + game.substr(2);
    copy = store + "\\data\\";
    registry.installFolder = install;
    WriteBytes(xml(), ThirteenRows());
    WriteBytes(xmb(), "stale");
  }
  void TearDown() override {
    _putenv("TINTMOOR_VIRTUALSTORE=");
    for (const std::string& top : {game, store}) {
      if (!std::filesystem::exists(top)) continue;
      for (const auto& entry : std::filesystem::recursive_directory_iterator(top)) {
        SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
      }
      std::filesystem::remove_all(top);
    }
    CommandsTest::TearDown();
  }
  std::string game, store, copy;
};

TEST_F(VirtualStoreTest, TheUsersCopyIsLoadedSavedAndBothXmbGo) {
  std::filesystem::create_directories(copy);
  const std::string mine = ThirteenRows("\t<mark>mine</mark>\r\n");
  WriteBytes(copy + "playercolors.xml", mine);
  WriteBytes(copy + "playercolors.xmb", "stale");
  SetFileAttributesA(xml().c_str(), FILE_ATTRIBUTE_READONLY);
  Start();
  EXPECT_EQ(commands.state().location.path(), copy + "playercolors.xml");
  window.Pick(3, {0, 255, 0});
  commands.Save(window);
  EXPECT_THAT(window.messages, IsEmpty());
  EXPECT_THAT(Bytes(copy + "playercolors.xml"), HasSubstr("color1=\"0 255 0\""));
  EXPECT_EQ(Bytes(xml()), ThirteenRows());
  EXPECT_FALSE(FileExists(xmb()));
  EXPECT_FALSE(FileExists(copy + "playercolors.xmb"));
  // Kept beside the copy; Restore Original's way back to it is window_commands_test's.
  EXPECT_EQ(Bytes(copy + "playercolors.xml.orig"), mine);
}

// Windows reports a read-only file as access denied too, but would not
// virtualize a write to it: the player is told to clear the attribute.
TEST_F(VirtualStoreTest, AReadOnlyFileIsNotMovedIntoTheVirtualStore) {
  SetFileAttributesA(xml().c_str(), FILE_ATTRIBUTE_READONLY);
  Start();
  window.Pick(3, {0, 255, 0});
  window.Run([&] { commands.Save(window); });
  ASSERT_THAT(window.messages, SizeIs(1));
  EXPECT_EQ(window.messages[0].kind, MessageKind::kError);
  EXPECT_THAT(window.messages[0].text,
              HasSubstr(xml() + "\ncould not be written: the file is read-only"));
  EXPECT_EQ(Bytes(xml()), ThirteenRows());
  EXPECT_FALSE(FolderExists(copy));
}

// Under Wine the game reads the data folder's file: no VirtualStore folder,
// unless TINTMOOR_VIRTUALSTORE=1 says the setup has one.
TEST_F(VirtualStoreTest, WineVirtualizesNothingUnlessTold) {
  ASSERT_TRUE(RunningUnderWine());
  EXPECT_EQ(SystemFileSystem().VirtualStoreFolderOf(data), copy);
  for (const char* setting : {"TINTMOOR_VIRTUALSTORE=", "TINTMOOR_VIRTUALSTORE=0"}) {
    _putenv(setting);
    EXPECT_EQ(SystemFileSystem().VirtualStoreFolderOf(data), "") << setting;
    std::filesystem::create_directories(copy);
    WriteBytes(copy + "playercolors.xml", ThirteenRows("\t<mark>mine</mark>\r\n"));
    Start();
    EXPECT_EQ(commands.state().location.path(), xml()) << setting;
  }
}

}  // namespace

}  // namespace tintmoor::ui
