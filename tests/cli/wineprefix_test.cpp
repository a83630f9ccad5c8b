// Finding the game in a Wine prefix: system.reg parsing and drive mapping.
#include "cli/wineprefix.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tintmoor::cli {

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

constexpr const char* kKey = "Software\\Microsoft\\Microsoft Games\\Age of Mythology\\1.0";

struct RegCase {
  const char* what;
  const char* reg;
  int type;  // 0: not found
  const char* text;
};

const RegCase kRegCases[] = {
    {"plain REG_SZ",
     "[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1700000000\n"
     "#time=1d9f0a3b2c4d5e6\n"
     "\"AppPath\"=\"C:\\\\Program Files\\\\Microsoft Games\\\\Age of Mythology\\\\\"\n",
     kRegSz, "C:\\Program Files\\Microsoft Games\\Age of Mythology\\"},
    {"names in another case, CRLF",
     "[software\\\\microsoft\\\\MICROSOFT GAMES\\\\age of mythology\\\\1.0] 1\r\n"
     "\"apppath\"=\"D:\\\\AoM\"\r\n",
     kRegSz, "D:\\AoM"},
    {"REG_EXPAND_SZ",
     "[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
     "\"AppPath\"=str(2):\"%ProgramFiles%\\\\AoM\"\n",
     kRegExpandSz, "%ProgramFiles%\\AoM"},
    {"DWORD",
     "[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
     "\"AppPath\"=dword:00000001\n",
     4, ""},
    {"REG_SZ as UTF-16 hex over two lines, up to its NUL",
     "[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
     "\"AppPath\"=hex(1):43,00,3a,00,5c,00,\\\n"
     "  41,00,00,00,42,00\n",
     kRegSz, "C:\\A"},
    {"escapes: quote, hex code unit, octal, tab",
     "[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
     "\"AppPath\"=\"C:\\\\Spiele \\\"neu\\\"\\\\M\\xfc\\x6c\\x006c\\t\\101\"\n",
     kRegSz, "C:\\Spiele \"neu\"\\M\xc3\xbcll\tA"},
    {"surrogate pair and a value that only looks like the key",
     "[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0\\\\Sub] 1\n"
     "\"AppPath\"=\"wrong\"\n"
     "[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
     "\"AppPathX\"=\"wrong\"\n"
     "\"AppPath\"=\"C:\\\\\\xd83c\\xdfae\"\n",
     kRegSz, "C:\\\xf0\x9f\x8e\xae"},
    {"missing value",
     "[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
     "\"Version\"=\"1.0\"\n",
     0, ""},
    {"missing key", "[Software\\\\Other] 1\n\"AppPath\"=\"C:\\\\x\"\n", 0, ""},
    {"unterminated string",
     "[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
     "\"AppPath\"=\"C:\\\\x\n",
     0, ""},
};

TEST(FindRegValue, ReadsWineRegistryText) {
  for (const auto& c : kRegCases) {
    const auto v = FindRegValue(c.reg, kKey, "AppPath");
    if (c.type == 0) {
      EXPECT_FALSE(v.has_value()) << c.what;
      continue;
    }
    ASSERT_TRUE(v.has_value()) << c.what;
    EXPECT_EQ(v->type, c.type) << c.what;
    if (c.type == kRegSz || c.type == kRegExpandSz) {
      EXPECT_EQ(v->text, c.text) << c.what;
    }
  }
}

#ifndef _WIN32
// A throw-away prefix: system.reg, dosdevices links and a drive_c tree.
class WinePrefix : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ =
        fs::temp_directory_path() /
        ("tintmoor-prefix-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "dosdevices");
    fs::create_directories(root_ / "drive_c" / "Program Files (x86)" / "Microsoft Games" /
                           "Age of Mythology" / "Data");
    fs::create_directory_symlink("../drive_c", root_ / "dosdevices" / "c:");
    fs::create_directories(root_ / "games" / "aom" / "data");
    fs::create_directory_symlink(root_ / "games", root_ / "dosdevices" / "g:");
  }
  void TearDown() override { fs::remove_all(root_); }
  void WriteReg(const std::string& text) { std::ofstream(root_ / "system.reg") << text; }
  std::string Prefix() const { return root_.string(); }
  // Where drive C: really is, symbolic links resolved.
  std::string DriveC() const { return fs::canonical(root_ / "drive_c").string(); }
  fs::path root_;
};

const char* const kHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";

TEST_F(WinePrefix, SixtyFourBitPrefixIsReadThroughWow6432Node) {
  WriteReg(
      std::string(kHeader) +
      "#arch=win64\n\n"
      "[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
      "\"AppPath\"=\"C:\\\\elsewhere\"\n\n"
      "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
      "\"AppPath\"=\"C:\\\\Program Files (x86)\\\\Microsoft Games\\\\Age of Mythology\\\\\"\n");
  EXPECT_EQ(WineAppPath(Prefix()), "C:\\Program Files (x86)\\Microsoft Games\\Age of Mythology\\");
  // "data" is found as "Data": Wine ignores case, and so do we.
  EXPECT_EQ(WineDataFolder(Prefix()),
            DriveC() + "/Program Files (x86)/Microsoft Games/Age of Mythology/Data/");
  EXPECT_TRUE(fs::is_directory(WineDataFolder(Prefix())));
}

TEST_F(WinePrefix, ThirtyTwoBitPrefixUsesThePlainKeyAndOtherDrives) {
  WriteReg(std::string(kHeader) + "#arch=win32\n\n" +
           "[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
           "\"AppPath\"=\"g:\\\\AOM\"\n");
  EXPECT_EQ(WineDataFolder(Prefix()), fs::canonical(root_ / "games").string() + "/aom/data/");
  EXPECT_TRUE(fs::is_directory(WineDataFolder(Prefix())));
}

TEST_F(WinePrefix, ExplainsWhatIsMissing) {
  struct Case {
    const char* reg;  // null: no system.reg at all
    const char* message;
  };
  const Case cases[] = {
      {nullptr, "no Wine prefix at"},
      {"[Software\\\\Other] 1\n", "has no \"AppPath\" for Age of Mythology"},
      {"[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
       "\"AppPath\"=str(2):\"C:\\\\AoM\"\n",
       "has an \"AppPath\" that is not plain text"},
      {"[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
       "\"AppPath\"=\"\"\n",
       "has no \"AppPath\""},
      {"[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
       "\"AppPath\"=\"\\\\\\\\server\\\\share\\\\AoM\"\n",
       "is not a path on a drive letter"},
      {"[Software\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
       "\"AppPath\"=\"Q:\\\\AoM\"\n",
       "drive Q: is not mapped in the Wine prefix"},
  };
  for (const auto& c : cases) {
    fs::remove(root_ / "system.reg");
    if (c.reg) WriteReg(c.reg);
    try {
      WineDataFolder(Prefix());
      ADD_FAILURE() << c.message << ": no error";
    } catch (const common::TintError& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.message));
    }
  }
}

TEST_F(WinePrefix, MissingComponentsAreKeptAsWritten) {
  EXPECT_EQ(MapWinePath(Prefix(), "C:\\Games\\.\\New Folder\\..\\AoM"), DriveC() + "/Games/AoM");
  EXPECT_EQ(MapWinePath(Prefix(), "c:/program files (X86)/"), DriveC() + "/Program Files (x86)");
  // ".." stops at the drive's folder, as on Windows: nothing outside it is reachable.
  for (const char* climb : {"C:\\..\\..\\victim", "C:\\Games\\..\\..\\..\\victim", "C:..\\victim"})
    EXPECT_EQ(MapWinePath(Prefix(), climb), DriveC() + "/victim") << climb;
}
#endif

}  // namespace

}  // namespace tintmoor::cli
