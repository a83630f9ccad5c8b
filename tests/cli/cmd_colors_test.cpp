// The colour commands run against a real data folder in a temporary directory,
// with the real file system or one that fails on demand.
#include "cli/cli.h"
#include "common/text.h"

#include <streambuf>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "cli/game_file.h"
#include "cli/output_file.h"

#include "colorfile/color_store.h"
#include "support/system_fs.h"

namespace tintmoor::cli {

using common::EscapeControls;
using common::FileError;
using common::JsonString;
using common::OneLine;
using common::WholeUtf8Length;

namespace {

namespace fs = std::filesystem;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteBytes(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// Writes that fail when asked to.
class TestFileSystem final : public colorfile::PassThroughFileSystem {
 public:
  void ReplaceWhole(const std::string& p, std::string_view bytes) override {
    if (failWrites) throw FileError(p, "the disk is full");
    real().ReplaceWhole(p, bytes);
  }
  bool failWrites = false;
};

struct Result {
  int status;
  std::string out;
  std::string err;
};

// Standard output on a full disk or a closed pipe: every write fails.
struct FullBuf : std::streambuf {
  int overflow(int) override { return traits_type::eof(); }
};

// Standard input that never ends.
struct EndlessBuf : std::streambuf {
  char block[4096] = {};
  int underflow() override {
    setg(block, block, block + sizeof block);
    return 0;
  }
};

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* source = std::getenv("TINTMOOR_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    defaultFile_ = fs::path(source) / "data" / "playercolors.xml";
    original_ = ReadBytes(defaultFile_);
    ASSERT_FALSE(original_.empty());
    root_ = fs::temp_directory_path() /
            (std::string("tintmoor-cli-") +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "AoM" / "data");
    fs::create_directories(root_ / "program");
    fs::copy_file(defaultFile_, root_ / "program" / "playercolors.xml");
    WriteBytes(GameFile(), original_);
    WriteBytes(Xmb(), "binary colors");
    files_.programFolder = (root_ / "program").string();
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(GameFile(), fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove_all(root_, ec);
  }

  fs::path DataDir() const { return root_ / "AoM" / "data"; }
  fs::path GameFile() const { return DataDir() / "playercolors.xml"; }
  fs::path Xmb() const { return DataDir() / "playercolors.xmb"; }

  // Runs a command against the test's data folder (unless the arguments name one).
  Result Run(const std::string& command, std::vector<std::string> args, bool withDataDir = true,
             const std::string& input = "") {
    if (withDataDir) {
      args.push_back("--data-dir");
      args.push_back(DataDir().string());
    }
    std::ostringstream out, err;
    FullBuf full;
    std::ostream sink(failOut_ ? static_cast<std::streambuf*>(&full) : out.rdbuf());
    std::istringstream in(input);
    EndlessBuf endless;
    std::istream endlessIn(&endless);
    CliEnv env{sink, err, endlessInput_ ? endlessIn : in, files_, swatches_};
    args.insert(args.begin(), command);
    const int status = RunCli(args, env);
    return {status, out.str(), err.str()};
  }

  // An error is one line starting "error: ".
  static void ExpectOneErrorLine(const Result& r) {
    EXPECT_THAT(r.err, StartsWith("error: "));
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }

  fs::path root_;
  fs::path defaultFile_;
  std::string original_;
  TestFileSystem files_;
  bool swatches_ = false;
  bool failOut_ = false;
  bool endlessInput_ = false;
};

TEST_F(Commands, ListShowsTheTableWithTheWindowsCaptions) {
  const Result r = Run("list", {});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_THAT(r.out, HasSubstr("unit:    Color for Highlight, Unit, HP Bar and Waypoint Flag\n"
                               "minimap: Color shown on minimap\n"
                               "dead:    Color on dead unit\n"));
  EXPECT_THAT(r.out, HasSubstr("Row        unit         minimap      dead\n"
                               "Gaia       153 102 0    153 102 0    77 51 0\n"
                               "Player 1   50 50 255    0 0 255      25 25 128\n"));
  EXPECT_THAT(r.out, HasSubstr("Player 12  255 0 102    255 0 102    128 0 51\n"));
  EXPECT_THAT(r.out, Not(HasSubstr("\x1b[")));
}

TEST_F(Commands, ListPutsSwatchesOnlyOnAColourTerminal) {
  swatches_ = true;
  const Result r = Run("list", {});
  EXPECT_THAT(r.out, HasSubstr("Gaia       \x1b[48;2;153;102;0m  \x1b[0m 153 102 0    "));
  EXPECT_THAT(Run("list", {"--format", "csv"}).out, Not(HasSubstr("\x1b[")));
}

TEST_F(Commands, ListFormats) {
  const Result csv = Run("list", {"--format=csv"});
  EXPECT_THAT(csv.out,
              StartsWith("row,caption,unit_r,unit_g,unit_b,minimap_r,minimap_g,minimap_b,"
                         "dead_r,dead_g,dead_b\r\n0,Gaia,153,102,0,153,102,0,77,51,0\r\n"));
  EXPECT_THAT(csv.out, HasSubstr("\r\n12,Player 12,255,0,102,255,0,102,128,0,51\r\n"));
  const Result json = Run("list", {"--format", "json"});
  EXPECT_THAT(json.out,
              HasSubstr("{\"name\": \"minimap\", \"caption\": \"Color shown on minimap\"}"));
  EXPECT_THAT(json.out,
              HasSubstr("    {\"row\": 7, \"caption\": \"Player 7\", \"unit\": [255, 102, 0], "
                        "\"minimap\": [255, 102, 0], \"dead\": [128, 51, 0]},\n"));
  EXPECT_THAT(json.out, HasSubstr("\"dead\": [128, 0, 51]}\n  ]\n}\n"));
  const Result bad = Run("list", {"--format", "xml"});
  EXPECT_EQ(bad.status, kExitUsage);
  ExpectOneErrorLine(bad);
}

TEST_F(Commands, SetWritesOneCellAsTheWindowsSaveDoes) {
  const Result r = Run("set", {"Player 7", "unit", "10", "20", "30"});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_THAT(r.out, HasSubstr("Player 7 unit: 255 102 0 -> 10 20 30\n1 color changed; wrote "));
  EXPECT_THAT(r.out, HasSubstr("and deleted playercolors.xmb"));
  // Byte for byte the default file with that one value changed.
  EXPECT_EQ(ReadBytes(GameFile()),
            Replaced(original_, "num=\"7\" color1=\"255 102 0\"", "num=\"7\" color1=\"10 20 30\""));
  EXPECT_FALSE(fs::exists(Xmb()));

  // By number.
  EXPECT_EQ(Run("set", {"0", "2", "1", "2", "3"}).status, kExitOk);
  EXPECT_THAT(ReadBytes(GameFile()),
              HasSubstr("num=\"0\" color1=\"153 102 0\" color2=\"153 102 0\" "
                        "color3=\"1 2 3\""));
  // A color picker's hexadecimal form, in either case.
  EXPECT_EQ(Run("set", {"player12", "minimap", "#0A141e"}).status, kExitOk);
  EXPECT_THAT(ReadBytes(GameFile()), HasSubstr("color2=\"10 20 30\""));
}

// Whatever the game's file held before the first write, the default file the
// program started from included, is what restore-original gives back.
TEST_F(Commands, RestoreOriginalGivesBackTheFileAsFirstFound) {
  const std::string own = Replaced(original_, "color1=\"50 50 255\"", "color1=\"1 1 1\"");
  const struct Case {
    const char* name;
    std::string found;  // "" no file
    int writes;
  } cases[] = {
      {"a seeded install", original_, 2},
      {"no file yet", "", 2},
      {"the player's own file", own, 1},
      {"nothing replaced yet", own, 0},
  };
  for (const Case& c : cases) {
    fs::remove(GameFile());
    fs::remove(DataDir() / "playercolors.xml.orig");
    if (!c.found.empty()) WriteBytes(GameFile(), c.found);
    for (int i = 0; i < c.writes; ++i)
      ASSERT_EQ(Run("set", {"1", "unit", "9", "9", std::to_string(i)}).status, kExitOk) << c.name;
    WriteBytes(Xmb(), "binary colours");
    const Result r = Run("restore-original", {});
    if (c.writes == 0) {
      EXPECT_EQ(r.status, kExitFile) << c.name;
      EXPECT_THAT(r.err, HasSubstr("playercolors.xml.orig")) << c.name;
      EXPECT_EQ(ReadBytes(GameFile()), c.found) << c.name;
      continue;
    }
    EXPECT_EQ(r.status, kExitOk) << c.name << r.err;
    EXPECT_EQ(ReadBytes(GameFile()), c.found.empty() ? original_ : c.found) << c.name;
    EXPECT_FALSE(fs::exists(Xmb())) << c.name;
  }
}

TEST_F(Commands, SetRefusesBadArgumentsWithOneLine) {
  const std::vector<std::vector<std::string>> bad = {
      {"Player 13", "unit", "1", "2", "3"},
      {"Player 1", "3", "1", "2", "3"},
      {"1", "units", "1", "2", "3"},
      {"1", "unit", "256", "2", "3"},
      {"1", "unit", "-1", "2", "3"},
      {"1", "unit", "1", "2"},
      {"1", "unit", "1", "2", "3", "4"},
      {"1", "unit", "1", "2", "x"},
      {"1", "unit", "1", "2", "3", "--force"},
      {"1", "unit", "#ff00"},
      {"1", "unit", "ff0000"},
      {"1", "unit", "#ff0000", "1"},
      {"1", "unit", "1,2,3"},
  };
  for (const auto& args : bad) {
    const Result r = Run("set", args);
    EXPECT_EQ(r.status, kExitUsage) << args[0] << " " << args[1];
    ExpectOneErrorLine(r);
  }
  EXPECT_EQ(ReadBytes(GameFile()), original_);
  EXPECT_TRUE(fs::exists(Xmb()));
}

// A write refused by the test's file system, and a real read-only file; and
// colours the file holds already, for which the file, a first .orig and the
// xmb stay as they are and the command succeeds.
TEST_F(Commands, WhatIsNotWrittenLeavesTheGamesFilesAsTheyWere) {
  const std::string same = Run("export", {"-"}).out;
  const std::string changed = Replaced(same, "50 50 255", "1 1 1");  // a change to import
  const char* full =
      "could not be written: the disk is full. The game's files were left as they were.";
  const char* none = "no color changed; nothing written\n";
  const struct {
    const char* command;
    std::vector<std::string> args;
    bool readOnly;
    const std::string& scheme;
    const char* text;  // of the error, or the report when it succeeds
  } cases[] = {
      {"set", {"1", "0", "1", "2", "3"}, false, changed, full},
      {"import", {"-"}, false, changed, full},
      {"apply", {"colour-vision"}, false, changed, full},
      {"apply", {"colour-vision"}, true, changed, "could not be written: "},
      {"set", {"gaia", "dead", "77", "51", "0"}, false, same, none},
      {"set", {"Player 2", "minimap", "#E10000"}, true, same, none},
      {"import", {"-"}, true, same, none},
      {"apply", {"default"}, false, same, none},
  };
  bool readOnlySkipped = false;
  for (const auto& c : cases) {
    const bool succeeds = c.text == none;
#ifndef _WIN32
    if (c.readOnly && !succeeds && geteuid() == 0) {  // root writes read-only files
      readOnlySkipped = true;
      continue;
    }
#endif
    files_.failWrites = !c.readOnly;
    std::error_code ec;
    fs::permissions(GameFile(), fs::perms::owner_write, fs::perm_options::add, ec);
    if (c.readOnly)
      fs::permissions(GameFile(),
                      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
    const Result r = Run(c.command, c.args, true, c.scheme);
    if (succeeds) {
      EXPECT_EQ(r.status, kExitOk) << c.command << r.err;
      EXPECT_EQ(r.out, c.text) << c.command;
    } else {
      EXPECT_EQ(r.status, kExitFailed) << c.command;
      ExpectOneErrorLine(r);
      EXPECT_THAT(r.err, HasSubstr(c.text)) << c.command;
    }
    EXPECT_EQ(ReadBytes(GameFile()), original_) << c.command;
    EXPECT_EQ(ReadBytes(Xmb()), "binary colors") << c.command;
    EXPECT_FALSE(fs::exists(DataDir() / "playercolors.xml.orig")) << c.command;
  }
  // Reported, not passed: the other rows ran, and a failure among them still fails.
  if (readOnlySkipped) GTEST_SKIP() << "running as root: the read-only row cannot refuse a write";
}

TEST_F(Commands, ExportThenImportRoundTrips) {
  const fs::path scheme = root_ / "mine.txt";
  const Result e = Run("export", {scheme.string()});
  EXPECT_EQ(e.status, kExitOk) << e.err;
  const std::string text = ReadBytes(scheme);
  EXPECT_THAT(text, HasSubstr("\nPlayer 7      255 102 0      255 102 0      128 51 0\n"));
  WriteBytes(scheme, Replaced(text, "255 102 0      255 102 0", "1 2 3      4 5 6"));
  const Result i = Run("import", {scheme.string()});
  EXPECT_EQ(i.status, kExitOk) << i.err;
  EXPECT_THAT(i.out,
              HasSubstr("Player 7 unit: 255 102 0 -> 1 2 3\nPlayer 7 minimap: 255 102 0 -> 4 5 6\n"
                        "2 colors changed; wrote "));
  EXPECT_EQ(ReadBytes(GameFile()), Replaced(original_, "color1=\"255 102 0\" color2=\"255 102 0\"",
                                            "color1=\"1 2 3\" color2=\"4 5 6\""));
  EXPECT_THAT(Run("export", {"-"}).out,
              HasSubstr("\nPlayer 7      1 2 3          4 5 6          128 51 0\n"));
}

// By any name: another spelling, a hard link, a link (POSIX), a short name
// (Windows), a name yet to be made there; whatever colours a preview shows.
TEST_F(Commands, ExportAndPreviewNeverOverwriteTheGamesOrTheProgramsFiles) {
  const std::string scheme = (root_ / "s.txt").string();
  WriteBytes(scheme, Run("export", {"-"}).out);
  fs::create_hard_link(GameFile(), root_ / "hard.xml");
  std::vector<fs::path> targets = {GameFile(),
                                   DataDir() / ".." / "data" / "playercolors.xml",
                                   Xmb(),
                                   DataDir() / "PlayerColors.bak",
                                   root_ / "hard.xml",
                                   root_ / "program" / "playercolors.xml"};
#ifdef _WIN32
  char alias[MAX_PATH];
  ASSERT_NE(GetShortPathNameA(GameFile().string().c_str(), alias, MAX_PATH), 0u);
  targets.push_back(alias);
#else
  fs::create_symlink(GameFile(), root_ / "soft.xml");
  targets.push_back(root_ / "soft.xml");
#endif
  for (const fs::path& target : targets) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"export", target.string()},
          {"preview", "--preset", "default", "--out", target.string()},
          {"preview", "--scheme", scheme, "--out", target.string()}}) {
      const Result r = Run(args[0], {args.begin() + 1, args.end()});
      EXPECT_EQ(r.status, kExitFailed) << args[0] << " " << target;
      ExpectOneErrorLine(r);
      EXPECT_THAT(r.err, HasSubstr("; choose another file"));
    }
  }
  EXPECT_EQ(ReadBytes(GameFile()), original_);
  EXPECT_EQ(ReadBytes(Xmb()), "binary colors");
  EXPECT_EQ(ReadBytes(root_ / "program" / "playercolors.xml"), original_);
}

#ifndef _WIN32
ino_t Inode(const fs::path& p) {
  struct stat st {};
  return ::lstat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}

// A FIFO and a device are written into, never renamed over; a link's target
// is written and the link kept. The device is a regular file the seam calls
// one, so no real /dev is at risk when the guard is broken.
TEST_F(Commands, ExportWritesIntoPipesDevicesAndThroughLinks) {
  const std::string scheme = Run("export", {"-"}).out;
  const fs::path fifo = root_ / "fifo", device = root_ / "device", link = root_ / "link";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int reader = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);  // never blocks the writer
  WriteBytes(device, "old");
  fs::create_symlink("target.txt", link);
  const ino_t fifoInode = Inode(fifo), deviceInode = Inode(device);
  const StreamTargetCheck real = StreamTargetCheckForTesting();
  StreamTargetCheckForTesting() = [](const std::string& p) {
    return p.ends_with("/device") || IsStreamTarget(p);
  };
  for (const fs::path& target : {fifo, device, link})
    EXPECT_EQ(Run("export", {target.string()}).status, kExitOk) << target;
  StreamTargetCheckForTesting() = real;
  std::string fromFifo(scheme.size() + 1, '\0');
  const ssize_t got = ::read(reader, fromFifo.data(), fromFifo.size());
  ::close(reader);
  EXPECT_EQ(fromFifo.substr(0, got > 0 ? static_cast<size_t>(got) : 0), scheme);
  EXPECT_EQ(Inode(fifo), fifoInode);
  EXPECT_EQ(Inode(device), deviceInode);
  EXPECT_EQ(ReadBytes(device), scheme);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(root_ / "target.txt"), scheme);
}

// Real special files where the game's files belong. A pipe named as the
// colour file is neither read (which would block) nor replaced; a kept
// original that is a link, even to a whole colour file, is not followed.
TEST_F(Commands, APipeOrALinkInTheGamesPlaceIsRefused) {
  const fs::path elsewhere = root_ / "elsewhere.xml";
  WriteBytes(elsewhere, Replaced(original_, "50 50 255", "1 1 1"));
  fs::create_symlink(elsewhere, DataDir() / "playercolors.xml.orig");
  Result r = Run("restore-original", {});
  EXPECT_EQ(r.status, kExitFailed);
  EXPECT_THAT(r.err, HasSubstr("it is a symbolic link, not the file Tintmoor kept"));
  EXPECT_EQ(ReadBytes(GameFile()), original_);

  fs::remove(GameFile());
  ASSERT_EQ(::mkfifo(GameFile().c_str(), 0600), 0);
  for (const char* command : {"list", "set"}) {
    r = Run(command, command == std::string("set") ? std::vector<std::string>{"1", "0", "#010203"}
                                                   : std::vector<std::string>{});
    EXPECT_EQ(r.status, kExitFailed) << command;
    EXPECT_THAT(r.err, HasSubstr("is not a regular file but a device, a pipe or a socket"))
        << command;
    EXPECT_EQ(fs::status(GameFile()).type(), fs::file_type::fifo) << command;
  }
}

// Nothing is read without a limit: devices, endless input, sparse files.
TEST_F(Commands, InputsPastTheirLimitAreRefused) {
  fs::create_directories(root_ / "prefix");
  fs::resize_file(GameFile(), uintmax_t{20} << 30);  // sparse
  std::ofstream(root_ / "prefix" / "system.reg").close();
  fs::resize_file(root_ / "prefix" / "system.reg", uintmax_t{300} << 20);
  const struct {
    std::vector<std::string> args;
    bool endless;
    const char* err;
  } cases[] = {
      {{"import", "/dev/zero"}, false, "larger than 16 MB"},
      {{"check", "--scheme", "/dev/zero"}, false, "larger than 16 MB"},
      {{"dump", "/dev/zero"}, false, "larger than 16 MB"},
      {{"import", "-"}, true, "standard input: it is larger than 16 MB"},
      {{"list"}, false, "larger than 16 MB"},
      {{"list", "--wine-prefix", (root_ / "prefix").string()}, false, "larger than 256 MB"},
  };
  for (const auto& c : cases) {
    endlessInput_ = c.endless;
    std::vector<std::string> args(c.args.begin() + 1, c.args.end());
    if (c.args[0] == "import" || c.args.size() == 1)
      args.insert(args.end(), {"--data-dir", DataDir().string()});
    const Result r = Run(c.args[0], args, false);
    EXPECT_EQ(r.status, kExitFailed) << c.args.back();
    EXPECT_THAT(r.err, HasSubstr(c.err)) << c.args.back();
    ExpectOneErrorLine(r);
  }
}
#endif

TEST_F(Commands, ImportRefusesABrokenSchemeAndWritesNothing) {
  const fs::path scheme = root_ / "broken.txt";
  WriteBytes(scheme, Replaced(Run("export", {"-"}).out, "255 102 0      255 102 0", "255 102"));
  const Result r = Run("import", {scheme.string()});
  EXPECT_EQ(r.status, kExitFailed);
  ExpectOneErrorLine(r);
  EXPECT_THAT(r.err, HasSubstr("broken.txt, line 14: after \"Player 7\" come 5 values, 4 too few"));
  EXPECT_EQ(ReadBytes(GameFile()), original_);
  EXPECT_TRUE(fs::exists(Xmb()));
  const Result missing = Run("import", {(root_ / "nothing.txt").string()});
  EXPECT_EQ(missing.status, kExitFailed);
  EXPECT_THAT(missing.err, HasSubstr("cannot read the scheme"));
}

TEST_F(Commands, PresetsApplyAndCheck) {
  const Result list = Run("presets", {}, false);
  EXPECT_THAT(list.out, StartsWith("default                      the program's default colors "
                                   "(closest pair 1.48)\ncolor-vision, colour-vision  players"));
  EXPECT_THAT(list.out, EndsWith("(closest pair 10.87)\n"));

  // The window's spelling and the first one name the same scheme.
  EXPECT_EQ(Run("apply", {"color-vision", "--dry-run"}).out,
            Run("apply", {"colour-vision", "--dry-run"}).out);
  const Result apply = Run("apply", {"color-vision"});
  EXPECT_EQ(apply.status, kExitOk) << apply.err;
  EXPECT_THAT(apply.out, HasSubstr("Gaia unit: 153 102 0 -> 230 159 0\n"));
  EXPECT_FALSE(fs::exists(Xmb()));
  const Result check = Run("check", {});
  EXPECT_EQ(check.status, kExitOk) << check.out;
  EXPECT_THAT(check.out, HasSubstr("No pair is closer than 10.\n"));
  EXPECT_EQ(Run("check", {"--threshold", "11"}).status, kExitClosePairs);

  EXPECT_EQ(Run("apply", {"default"}).status, kExitOk);
  EXPECT_EQ(ReadBytes(GameFile()), original_);

  const Result unknown = Run("apply", {"rainbow"});
  EXPECT_EQ(unknown.status, kExitUsage);
  EXPECT_THAT(unknown.err,
              HasSubstr("no preset \"rainbow\" (default, color-vision or colour-vision)"));
}

// Each moved colour listed once, and the closest pair before and after as
// check prints it, for the same colours and visions check looks at.
TEST_F(Commands, SeparateMovesTheGamesColoursUntilCheckPasses) {
  const Result dry = Run("separate", {"--column", "unit", "--dry-run"});
  EXPECT_EQ(dry.status, kExitOk) << dry.err;
  EXPECT_THAT(dry.out, HasSubstr("nothing written (--dry-run)"));
  EXPECT_EQ(ReadBytes(GameFile()), original_);

  const std::vector<std::string> greenWeak = {"--vision", "deutan", "--severity", "0.6"};
  const Result weak = Run("separate", greenWeak);
  EXPECT_EQ(weak.status, kExitOk) << weak.err;
  EXPECT_THAT(weak.out, HasSubstr("Closest pair before: 7.34 (minimap colors of Player 6 and "
                                  "Player 9, green-weak)\nClosest pair after: 10."));
  EXPECT_EQ(Run("check", greenWeak).status, kExitOk);
  EXPECT_EQ(Run("check", {}).status, kExitClosePairs);

  const Result all = Run("separate", {});
  EXPECT_EQ(all.status, kExitOk) << all.err;
  EXPECT_THAT(all.out, HasSubstr("Closest pair after: 10."));
  EXPECT_THAT(all.out, HasSubstr("Every pair is at least 10 apart.\n"));
  const std::string check = Run("check", {}).out;
  EXPECT_THAT(check, HasSubstr("No pair is closer than 10.\n"));
  auto rest = [](const std::string& text, const std::string& start) {
    const size_t at = text.find(start) + start.size();
    return text.substr(at, text.find('\n', at) - at);
  };
  EXPECT_EQ(rest(all.out, "\nClosest pair after: "), rest(check, "\nClosest pair: "));
  EXPECT_FALSE(fs::exists(Xmb()));
  // Dead colours only when asked for.
  EXPECT_EQ(Run("check", {"--column", "all"}).status, kExitClosePairs);
  const std::string moved = all.out.substr(0, all.out.find(" changed;"));
  EXPECT_THAT(moved, Not(HasSubstr(" dead: ")));
  size_t lines = 0;
  for (size_t at = moved.find(" (moved "); at != std::string::npos;
       at = moved.find(" (moved ", at + 1))
    ++lines;
  EXPECT_EQ(std::to_string(lines) + " colors", moved.substr(moved.rfind('\n') + 1));

  const Result unreachable = Run("separate", {"--threshold", "60", "--column", "minimap"});
  EXPECT_EQ(unreachable.status, kExitClosePairs);
  EXPECT_THAT(unreachable.out, HasSubstr("60 could not be reached"));
}

TEST_F(Commands, CheckOfPresetsAndSchemesNeedsNoGame) {
  fs::remove_all(DataDir());
  const fs::path scheme = root_ / "s.txt";
  {
    std::ofstream out(scheme);
    out << "Gaia 1 1 1 1 1 1 1 1 1\n";
    for (int p = 1; p <= 12; ++p)
      out << "Player " << p << "  " << p * 20 << " 100 100  " << p * 20 << " 100 100  0 0 0\n";
  }
  const Result r = Run("check", {"--scheme", scheme.string(), "--threshold", "1.5"}, false);
  EXPECT_EQ(r.status, kExitClosePairs);
  EXPECT_THAT(r.out, HasSubstr("closer than 1.5, closest first."));
}

TEST_F(Commands, MissingOrDamagedFiles) {
  // No colour file: reading commands say so; writing ones start from the default.
  fs::remove(GameFile());
  Result r = Run("list", {});
  EXPECT_EQ(r.status, kExitFailed);
  ExpectOneErrorLine(r);
  EXPECT_THAT(r.err, HasSubstr("there is no color file"));
  r = Run("set", {"1", "0", "1", "2", "3"});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(ReadBytes(GameFile()), Replaced(original_, "color1=\"50 50 255\"", "color1=\"1 2 3\""));

  // A file with rows missing is refused for writing, and left as it was.
  const std::string shortFile = original_.substr(0, original_.find("\t<player num=\"9\""));
  WriteBytes(GameFile(), shortFile);
  r = Run("apply", {"default"});
  EXPECT_EQ(r.status, kExitFailed);
  ExpectOneErrorLine(r);
  EXPECT_THAT(r.err, HasSubstr("is not whole"));
  EXPECT_EQ(ReadBytes(GameFile()), shortFile);
  // ... while list shows what it can, grey for the rest, with warnings.
  r = Run("list", {});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_THAT(r.out, HasSubstr("Player 12  128 128 128"));
  EXPECT_THAT(r.err, StartsWith("warning: "));

  // No data folder at all.
  fs::remove_all(DataDir());
  r = Run("list", {});
  EXPECT_EQ(r.status, kExitFailed);
  EXPECT_THAT(r.err, HasSubstr("does not exist"));
  ExpectOneErrorLine(r);
}

#ifndef _WIN32
// The game installed in a Wine prefix, found through its registry and drives,
// named on the command line or through $WINEPREFIX.
TEST_F(Commands, FindsTheGameInAWinePrefix) {
  const fs::path prefix = root_ / "prefix";
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink(root_, prefix / "dosdevices" / "g:");
  std::ofstream(prefix / "system.reg")
      << "WINE REGISTRY Version 2\n\n#arch=win64\n\n"
         "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Age of Mythology\\\\1.0] 1\n"
         "\"AppPath\"=\"G:\\\\aom\\\\\"\n";
  Result r =
      Run("set", {"Player 1", "dead", "9", "9", "9", "--wine-prefix", prefix.string()}, false);
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(ReadBytes(GameFile()), Replaced(original_, "color3=\"25 25 128\"", "color3=\"9 9 9\""));

  const char* saved = std::getenv("WINEPREFIX");
  const std::string savedValue = saved ? saved : "";
  setenv("WINEPREFIX", prefix.c_str(), 1);
  r = Run("list", {"--format", "csv"}, false);
  saved ? setenv("WINEPREFIX", savedValue.c_str(), 1) : unsetenv("WINEPREFIX");
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_THAT(r.out, HasSubstr("\r\n1,Player 1,50,50,255,0,0,255,9,9,9\r\n"));

  r = Run("list", {"--wine-prefix", prefix.string()});  // and --data-dir
  EXPECT_EQ(r.status, kExitUsage);
  ExpectOneErrorLine(r);
  r = Run("list", {"--wine-prefix", (root_ / "nothing").string()}, false);
  EXPECT_EQ(r.status, kExitFailed);
  EXPECT_THAT(r.err, HasSubstr("no Wine prefix at"));
}
#endif

// Exit statuses as --help gives them, and messages that reach the terminal
// with nothing it would take as a command.
TEST_F(Commands, ExitStatusesAndSafeMessages) {
  std::string wide = "<a>";
  for (int i = 0; i < 40000; ++i) wide += "x ";
  const struct {
    std::vector<std::string> args;  // command first
    int status;
    const char* err;
    bool failOut = false;
  } cases[] = {
      {{"list", "--data-dir="}, kExitUsage, "--data-dir needs a value"},
      {{"list", "--wine-prefix="}, kExitUsage, "--wine-prefix needs a value"},
      {{"dump", "--foo"}, kExitUsage, "unknown option --foo"},
      {{"check", "--preset=default", "--threshold=1e1"}, kExitUsage, "not a threshold"},
      {{"check", "--preset=default", "--threshold=0x10"}, kExitUsage, "not a threshold"},
      {{"check", "--preset=default", "--threshold= 5"}, kExitUsage, "not a threshold"},
      {{"check", "--preset", "default", "--threshold", "-1"}, kExitUsage, "not a threshold"},
      {{"check", "--preset", "default", "--threshold", "ten"}, kExitUsage, "not a threshold"},
      {{"check", "--preset", "default", "--threshold", "nan"}, kExitUsage, "not a threshold"},
      {{"separate", "--column", "red"}, kExitUsage, "\"red\" is not a column"},
      {{"check", "--preset=default", "--vision", "protanopia"}, kExitUsage, "kind of vision"},
      {{"check", "--preset=default", "--vision", "deutan,"}, kExitUsage, "\"\" is not a kind"},
      {{"separate", "--severity", "1.5"}, kExitUsage, "not a severity (a number from 0.1 to 1)"},
      {{"preview", "--out=-", "--severity", "0.05"}, kExitUsage, "not a severity"},
      {{"check", "--preset", "default", "--threshold", ""},
       kExitUsage,
       "--threshold needs a value"},
      {{"check", "--preset=default"}, kExitFailed, "cannot write to standard output", true},
      {{"set", "1", "0", "1", "2", "3", "--dry-run", "--data-dir", DataDir().string()},
       kExitFailed,
       "cannot write to standard output",
       true},
      {{"set", "1", "0", "1", "2", "3", "--data-dir", DataDir().string()},
       kExitSavedBut,
       "error: the new colors are in ",
       true},
      {{"separate", "--data-dir", DataDir().string()}, kExitSavedBut, "the new colors", true},
      {{"restore-original", "--data-dir", DataDir().string()},
       kExitSavedBut,
       "the new colors",
       true},
      {{"list", "--data-dir",
        "no\xc2\x9b"
        "31m\xff"},
       kExitFailed,
       "data folder no\\xc2\\x9b31m\\xff"},
      {{"frob\x1b]0;owned\x07"}, kExitUsage, "unknown command \"frob\\x1b]0;owned\\x07\""},
      {{"set", std::string("Pl\0ayer\x1b[2J", 11), "0", "1", "2", "3"},
       kExitUsage,
       "\"Pl\\x00ayer\\x1b[2J\" is not a row"},
      {{"list", "--data-dir", DataDir().string()}, kExitOverflow, "more than 32767 words"},
  };
  WriteBytes(DataDir() / "playercolors.xml.orig", original_);
  for (const auto& c : cases) {
    if (c.status == kExitOverflow) WriteBytes(GameFile(), "<ok/>\r\n" + wide + "\r\n");
    failOut_ = c.failOut;
    const std::string before = ReadBytes(GameFile());
    const Result r = Run(c.args[0], {c.args.begin() + 1, c.args.end()}, false);
    EXPECT_EQ(r.status, c.status) << c.args[0] << " " << r.err;
    ExpectOneErrorLine(r);
    EXPECT_THAT(r.err, HasSubstr(c.err));
    EXPECT_EQ(r.err.find_first_of(std::string("\x1b\x07\0\x9b\xff", 5)), std::string::npos);
    EXPECT_EQ(ReadBytes(GameFile()) != before, c.status == kExitSavedBut) << c.args[0];
  }
}

// A dry run lists the same, writes nothing and says so.
TEST_F(Commands, SavesListWhatTheyRewriteInNormalForm) {
  std::string odd = Replaced(original_, "color1=\"50 50 255\"", "color1=\"12 x 4\"");
  odd = Replaced(odd, "color2=\"0 0 255\"", "color2=\"-5 300 7\"");
  odd = Replaced(odd, "color3=\"25 25 128\"", "color3=\"1 2 3 4\"");
  WriteBytes(GameFile(), odd);
  const std::string listed =
      "Player 1 unit: \"12 x 4\" is written as 128 128 128\n"
      "Player 1 minimap: \"-5 300 7\" is written as 0 255 7\n"
      "Player 1 dead: \"1 2 3 4\" is written as 1 2 3\n"
      "Player 2 unit: ";
  for (bool dryRun : {true, false}) {
    std::vector<std::string> args = {"Player 2", "unit", "1", "2", "3"};
    if (dryRun) args.push_back("--dry-run");
    const Result r = Run("set", args);
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_THAT(r.out, HasSubstr(listed));
    EXPECT_THAT(r.out, HasSubstr("1 color changed, 3 colors rewritten in normal form; "));
    EXPECT_EQ(r.out.ends_with("; nothing written (--dry-run)\n"), dryRun) << r.out;
    EXPECT_EQ(ReadBytes(GameFile()) == odd, dryRun);
    EXPECT_EQ(fs::exists(Xmb()), dryRun);
  }
  EXPECT_THAT(ReadBytes(GameFile()), HasSubstr("color1=\"128 128 128\" color2=\"0 255 7\" "
                                               "color3=\"1 2 3\""));
}

TEST_F(Commands, EveryCommandHasHelp) {
  for (const char* command :
       {"list", "set", "export", "import", "presets", "apply", "check", "preview"}) {
    const Result r = Run(command, {"--help"}, false);
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_THAT(r.out, StartsWith("usage: tintmoor-cli "));
    EXPECT_EQ(r.err, "");
  }
}

#ifndef _WIN32
// A folder name that would retitle and recolour the terminal comes out
// escaped in every line that names it; the letters around it stay.
TEST_F(Commands, PathsReachTheTerminalEscaped) {
  const fs::path hostile = root_ / "E\x1b]0;t\x07\x1b[31m\xc2\x9b\xff\xd0\x96";
  fs::create_directories(hostile);
  WriteBytes(hostile / "playercolors.xml", Replaced(original_, "50 50 255", "12 x 4"));
  const std::string dir = hostile.string(), scheme = (hostile / "s.txt").string();
  std::string all;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"list", "--data-dir", dir},
        {"set", "1", "1", "1", "2", "3", "--data-dir", dir},
        {"export", scheme, "--data-dir", dir},
        {"check", "--scheme", scheme},
        {"preview", "--preset", "default", "--out", (hostile / "p.png").string()}}) {
    const Result r = Run(args[0], {args.begin() + 1, args.end()}, false);
    EXPECT_THAT(r.out + r.err, HasSubstr("E\\x1b]0;t\\x07\\x1b[31m\\xc2\\x9b\\xff\xd0\x96"))
        << args[0];
    all += r.out + r.err;
  }
  EXPECT_EQ(all.find_first_of(std::string("\x1b\x07\x9b\xff", 4)), std::string::npos) << all;
}
#endif

TEST(EscapeControls, LeavesTextAndEscapesWhatATerminalActsOn) {
  const struct {
    std::string text, shown;
  } cases[] = {
      {"C:\\Games\\AoM", "C:\\Games\\AoM"},
      {"\xd0\x96\xd0\xb0\xe6\xbc\xa2\xf0\x9f\x8e\xae",
       "\xd0\x96\xd0\xb0\xe6\xbc\xa2\xf0\x9f\x8e\xae"},
      {"\x1b]0;t\x07\x7f", "\\x1b]0;t\\x07\\x7f"},
      {"\xc2\x9b"
       "31m\xc2\x85\xc2\xa0",
       "\\xc2\\x9b31m\\xc2\\x85\xc2\xa0"},  // C1; NBSP stays
      {"\xff\xc0\xaf\xed\xa0\x80\xe6\xbc", "\\xff\\xc0\\xaf\\xed\\xa0\\x80\\xe6\\xbc"},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeControls(c.text), c.shown) << c.shown;
  EXPECT_EQ(JsonString("a\x1b\xc2\x9b\xff\"\xd0\x96"), "\"a\\u001b\\u009b\\\\xff\\\"\xd0\x96\"");
}

// A console is handed whole characters only: the rest of one cut by the
// stream's buffer comes with the next write.
TEST(WholeUtf8Length, StopsBeforeACharacterCutShort) {
  const struct {
    std::string text;
    size_t whole;
  } cases[] = {
      {"", 0},
      {"ab", 2},
      {"a\xd0\x96", 3},             // two bytes, whole
      {"a\xd0", 1},                 // the first of two
      {"a\xe6\xbc", 1},             // two of three
      {"a\xf0\x9f\x8e", 1},         // three of four
      {"a\xf0\x9f\x8e\xae", 5},     // four, whole
      {"\x9f\x8e\xae\x80\x80", 5},  // no lead byte: passed on as it is
      {"a\xff", 2},                 // bytes no character starts with
      {"a\xc0", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(WholeUtf8Length(c.text), c.whole) << c.text;
}

TEST(OneLine, JoinsLinesAndParagraphs) {
  EXPECT_EQ(OneLine("The color file\nC:\\x\ncould not be written: denied\n\nThe game's files were "
                    "left as they were.\n\nRun as administrator."),
            "The color file C:\\x could not be written: denied. The game's files were left as "
            "they were. Run as administrator.");
  EXPECT_EQ(OneLine("plain"), "plain");
  EXPECT_EQ(OneLine("a\r\n\r\n\r\nb\n"), "a. b");
}

}  // namespace

}  // namespace tintmoor::cli
