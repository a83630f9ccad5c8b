// The save and restore sequences over an in-memory file system that fails on
// request: the game's file is never lost, the xmb goes only after the new file
// is in place, and the messages say which file and why.
#include "colorfile/color_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "colorfile/game_location.h"
#include "colorfile/table_binding.h"
#include "markup/reader.h"
#include "markup/writer.h"
#include "support/memory_fs.h"
#include "support/test_support.h"

namespace tintmoor::colorfile {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const std::string kData = std::string("game") + kPathSeparator + "data" + kPathSeparator;
const std::string kXml = kData + "playercolors.xml";
const std::string kXmb = kData + "playercolors.xmb";
const std::string kOrig = kData + "playercolors.xml.orig";
const std::string kDefault = std::string("prog") + kPathSeparator + "playercolors.xml";
const std::string kGameBytes = ThirteenRows("\t<mark>the game's own</mark>\r\n");

class ColorStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs.folders.insert(kData);
    fs.files[kXml] = kGameBytes;
    fs.files[kXmb] = "xmb";
    fs.files[kDefault] = ThirteenRows();
  }
  // The failure a call threw, or a failed test when it threw none.
  template <class F>
  ColorFileError FailureOf(F call) {
    try {
      call();
    } catch (const ColorFileError& e) {
      return e;
    }
    ADD_FAILURE() << "no ColorFileError";
    return ColorFileError(ColorFileStep::kReadColorFile, "", "");
  }
  MemoryFileSystem fs;
};

TEST_F(ColorStoreTest, SaveKeepsTheFoundFileThenReplacesItThenDeletesTheXmb) {
  const auto root = ParseTree(ThirteenRows());
  SaveColorTree(fs, kData, *root);
  EXPECT_EQ(fs.files[kXml], markup::WriteDocument(*root));
  EXPECT_EQ(fs.files.count(kXmb), 0u);
  EXPECT_THAT(fs.log, ElementsAre("replace " + kOrig, "replace " + kXml, "remove " + kXmb));
  // Into a folder with neither file: nothing to keep, nothing to delete.
  fs.files.clear();
  fs.log.clear();
  SaveColorTree(fs, kData, *root);
  EXPECT_THAT(fs.log, ElementsAre("replace " + kXml));
}

struct WriteFailure {
  const char* reason;
  WriteProblem problem;
  const char* hint;
};

TEST_F(ColorStoreTest, FailedSaveOrRestoreLeavesBothFilesAndSaysWhy) {
  const WriteFailure failures[] = {
      {"Access is denied", WriteProblem::kAccessDenied, "run Tintmoor as administrator"},
      {"the file is in use", WriteProblem::kInUse, "Close the game"},
      {"There is not enough space on the disk", WriteProblem::kOther, "left as they were"},
      {"path not found", WriteProblem::kFolderMissing, "no longer exists"},
  };
  const auto root = ParseTree(ThirteenRows());
  for (bool restoring : {false, true}) {
    for (const WriteFailure& f : failures) {
      fs.failReplace[kXml] = f.reason;
      fs.problem = f.problem;
      const ColorFileError e = FailureOf([&] {
        restoring ? RestoreDefaultColorFile(fs, kData) : SaveColorTree(fs, kData, *root);
      });
      EXPECT_EQ(e.step(), ColorFileStep::kWriteColorFile) << f.reason;
      EXPECT_THAT(e.what(), HasSubstr(kXml));
      EXPECT_THAT(e.what(), HasSubstr(f.reason));
      EXPECT_THAT(e.what(), HasSubstr(f.hint));
      EXPECT_EQ(fs.files[kXml], kGameBytes);
      EXPECT_EQ(fs.files[kXmb], "xmb");
    }
  }
  EXPECT_EQ(fs.files.count(kOrig), 0u);  // nor the copy made just before
}

TEST_F(ColorStoreTest, XmbThatStaysIsReportedAfterTheFileIsWritten) {
  fs.failRemove[kXmb] = "Access is denied";
  fs.problem = WriteProblem::kAccessDenied;
  const auto root = ParseTree(ThirteenRows());
  const ColorFileError e = FailureOf([&] { SaveColorTree(fs, kData, *root); });
  EXPECT_EQ(e.step(), ColorFileStep::kDeleteXmb);
  EXPECT_THAT(e.what(), HasSubstr(kXmb));
  EXPECT_THAT(e.what(), HasSubstr("administrator"));
  EXPECT_EQ(fs.files[kXml], markup::WriteDocument(*root));
}

TEST_F(ColorStoreTest, RestorePutsTheDefaultBytesInPlace) {
  RestoreDefaultColorFile(fs, kData);
  EXPECT_EQ(fs.files[kXml], ThirteenRows());
  EXPECT_EQ(fs.files.count(kXmb), 0u);
  EXPECT_THAT(fs.log, ElementsAre("replace " + kOrig, "replace " + kXml, "remove " + kXmb));
  EXPECT_EQ(fs.files[kOrig], kGameBytes);
  // restore-original puts it back, and keeps it for another time.
  RestoreOriginalColorFile(fs, kData);
  EXPECT_EQ(fs.files[kXml], kGameBytes);
  EXPECT_EQ(fs.files[kOrig], kGameBytes);
  fs.files.erase(kOrig);
  EXPECT_EQ(FailureOf([&] { RestoreOriginalColorFile(fs, kData); }).step(),
            ColorFileStep::kReadOriginal);
  EXPECT_EQ(fs.files[kXml], kGameBytes);
}

TEST_F(ColorStoreTest, RestoreOriginalPutsBackOnlyAWholeRegularFile) {
  using F = MemoryFileSystem;
  const struct {
    void (*arrange)(F&);
    const char* words;
  } cases[] = {
      {[](F& f) { f.files.erase(kOrig); }, "the file does not exist"},
      {[](F& f) { f.kinds[kOrig] = EntryKind::kLink; }, "it is a symbolic link"},
      {[](F& f) { f.kinds[kOrig] = EntryKind::kFolder; }, "it is not a regular file"},
      {[](F& f) { f.files[kOrig] = ""; }, "it is empty"},
      {[](F& f) { f.files[kOrig] = ThirteenRows().substr(0, 400); },
       "it is not a whole color file: the row for \"Player"},
      {[](F& f) { f.files[kOrig] = "root:x:0:0\n"; }, "it is not a whole color file"},
      {[](F& f) { f.failRead[kOrig] = "Access is denied"; }, "Access is denied"},
  };
  for (const auto& c : cases) {
    F local;
    local.folders.insert(kData);
    local.files = {{kXml, "current"}, {kXmb, "xmb"}, {kOrig, kGameBytes}};
    c.arrange(local);
    const ColorFileError e = FailureOf([&] { RestoreOriginalColorFile(local, kData); });
    EXPECT_EQ(e.step(), ColorFileStep::kReadOriginal) << c.words;
    EXPECT_THAT(e.what(), HasSubstr(kOrig + "\ncannot be put back: " + c.words));
    EXPECT_THAT(e.what(), HasSubstr("Nothing was changed"));
    EXPECT_EQ(local.files[kXml], "current") << c.words;
    EXPECT_TRUE(local.log.empty()) << c.words;
  }
}

// Names that are not a regular file are neither read nor replaced, and the
// original is kept only where nothing else has its name.
TEST_F(ColorStoreTest, OnlyRegularFilesAreReadReplacedOrKept) {
  const struct {
    std::string path;
    EntryKind kind;
    ColorFileStep step;
    std::string words;
  } cases[] = {
      {kXml, EntryKind::kOther, ColorFileStep::kNotAFile, "not a regular file but a device"},
      {kXml, EntryKind::kFolder, ColorFileStep::kNotAFile, "not a regular file but a folder"},
      {kXml, EntryKind::kLink, ColorFileStep::kNotAFile,
       "not a regular file but a link to nothing"},
      {kOrig, EntryKind::kFolder, ColorFileStep::kOriginalBlocked,
       "cannot be kept as\n" + kOrig + "\nbecause a folder has that name"},
      {kOrig, EntryKind::kLink, ColorFileStep::kOriginalBlocked, "because something that is not"},
  };
  const auto root = ParseTree(ThirteenRows());
  for (bool restoring : {false, true}) {
    for (const auto& c : cases) {
      MemoryFileSystem local;
      local.folders.insert(kData);
      local.files = {{kDefault, ThirteenRows()}, {kXmb, "xmb"}};
      if (c.path != kXml) local.files[kXml] = kGameBytes;
      local.kinds[c.path] = c.kind;
      const ColorFileError e = FailureOf([&] {
        restoring ? RestoreDefaultColorFile(local, kData) : SaveColorTree(local, kData, *root);
      });
      EXPECT_EQ(e.step(), c.step) << c.words;
      EXPECT_THAT(e.what(), HasSubstr(c.words));
      EXPECT_TRUE(local.log.empty()) << c.words;
    }
  }
  // A link to a file (a mod manager's) is that file: saved through.
  fs.kinds[kXml] = EntryKind::kLink;
  SaveColorTree(fs, kData, *root);
  EXPECT_EQ(fs.files[kXml], markup::WriteDocument(*root));
}

TEST_F(ColorStoreTest, SaveRefusesAFileChangedSinceItWasLoaded) {
  struct Case {
    const char* name;
    bool loadedDefault;  // the load found no file (the default stood in)
    void (*meanwhile)(MemoryFileSystem&);
    bool refused;
  };
  const Case cases[] = {
      {"untouched", false, [](MemoryFileSystem&) {}, false},
      {"same bytes written again", false,
       [](MemoryFileSystem& f) { f.files[kXml] = ThirteenRows(); }, false},
      {"a color changed, same size", false,
       [](MemoryFileSystem& f) { f.files[kXml].replace(f.files[kXml].find("0 5 0"), 5, "0 6 0"); },
       true},
      {"deleted: nothing to undo", false, [](MemoryFileSystem& f) { f.files.erase(kXml); }, false},
      {"created after a load from the default", true,
       [](MemoryFileSystem& f) { f.files[kXml] = ThirteenRows(); }, true},
  };
  for (const Case& c : cases) {
    MemoryFileSystem local;
    local.folders.insert(kData);
    local.files[kXmb] = "xmb";
    local.files[c.loadedDefault ? kDefault : kXml] = ThirteenRows();
    LoadedColorFile loaded;
    const auto root = LoadColorTree(local, c.loadedDefault ? kDefault : kXml, loaded);
    if (c.loadedDefault) loaded = {};
    c.meanwhile(local);
    const std::string theirs = local.files.count(kXml) ? local.files[kXml] : "(none)";
    root->children().Item(1).children().Item(1).set_value("9 9 9");
    if (!c.refused) {
      SaveColorTree(local, kData, *root, loaded);
      // The record now describes the saved file: a second save goes through.
      EXPECT_NO_THROW(SaveColorTree(local, kData, *root, loaded)) << c.name;
      continue;
    }
    const ColorFileError e = FailureOf([&] { SaveColorTree(local, kData, *root, loaded); });
    EXPECT_EQ(e.step(), ColorFileStep::kChangedOnDisk) << c.name;
    EXPECT_THAT(e.what(), HasSubstr(kXml + "\nchanged on disk")) << c.name;
    EXPECT_EQ(local.files.count(kXml) ? local.files[kXml] : "(none)", theirs) << c.name;
    EXPECT_EQ(local.files[kXmb], "xmb") << c.name;
  }
}

TEST_F(ColorStoreTest, FirstReplacementKeepsTheFileItFoundOnce) {
  struct Case {
    const char* name;
    std::string found;
    std::string origBefore;  // empty: none yet
    std::string origAfter;   // empty: none
    int32_t linesNotKept;
    const char* notice;  // part of DescribeLinesNotKept, or "" for none
  };
  const std::string rows = ThirteenRows();
  // Written as the writer writes, but not the default.
  std::string own = rows;
  own[own.find("0 5 0") + 2] = '6';
  // A comment, "=" inside a value, an element split over two lines.
  const std::string lossy = ThirteenRows("<!-- five -->\r\n<x a=\"p=q\">1</x>\r\n<s>\r\n1</s>\r\n");
  const Case cases[] = {
      {"lossy file, first save", lossy, "", lossy, 4, "4 lines of"},
      {"lossy file, later save", lossy, "older", "older", 4, "first found it is kept, unchanged"},
      {"the seeded default", rows, "", rows, 0, ""},
      {"nothing lost, yet not the default", own, "", own, 0, ""},
      // A command on a folder without a file starts from the default, which
      // then counts as the file found.
      {"no file yet", "", "", rows, 0, ""},
  };
  for (const Case& c : cases) {
    MemoryFileSystem local;
    local.folders.insert(kData);
    local.files[kDefault] = rows;
    if (!c.found.empty()) local.files[kXml] = c.found;
    if (!c.origBefore.empty()) local.files[kOrig] = c.origBefore;
    LoadedColorFile loaded;
    const auto root = LoadColorTree(local, c.found.empty() ? kDefault : kXml, loaded);
    if (c.found.empty()) loaded = {};
    EXPECT_EQ(loaded.linesNotKept, c.linesNotKept) << c.name;
    root->children().Item(1).children().Item(1).set_value("9 9 9");
    SaveOutcome outcome;
    SaveColorTree(local, kData, *root, loaded, &outcome);
    EXPECT_EQ(local.files.count(kOrig) ? local.files[kOrig] : "", c.origAfter) << c.name;
    EXPECT_EQ(outcome.keptOriginal, c.origBefore.empty() && !c.origAfter.empty()) << c.name;
    const std::string notice = DescribeLinesNotKept(kData, outcome);
    EXPECT_EQ(notice.empty(), *c.notice == '\0') << c.name;
    EXPECT_THAT(notice, HasSubstr(c.notice)) << c.name;
    // A second save never touches it.
    SaveColorTree(local, kData, *root, loaded, &outcome);
    EXPECT_EQ(local.files.count(kOrig) ? local.files[kOrig] : "", c.origAfter) << c.name;
  }
}

TEST_F(ColorStoreTest, RestoreWithoutAUsableDefaultChangesNothing) {
  struct Case {
    const char* name;
    void (*arrange)(MemoryFileSystem&);
    ColorFileStep step;
    const char* words;
  };
  const Case cases[] = {
      {"missing", [](MemoryFileSystem& f) { f.files.erase(kDefault); }, ColorFileStep::kReadDefault,
       "does not exist"},
      {"unreadable", [](MemoryFileSystem& f) { f.failRead[kDefault] = "Access is denied"; },
       ColorFileStep::kReadDefault, "Access is denied"},
      {"not a table", [](MemoryFileSystem& f) { f.files[kDefault] = "<a></a>\r\n"; },
       ColorFileStep::kCheckDefault, "the row for \"Gaia\" is missing"},
      {"bad cell",
       [](MemoryFileSystem& f) {
         f.files[kDefault] = ThirteenRows();
         f.files[kDefault].replace(f.files[kDefault].find("0 5 0"), 5, "0 five 0");
       },
       ColorFileStep::kCheckDefault, "\"Player 5\", \"Color shown on minimap\""},
  };
  for (const Case& c : cases) {
    MemoryFileSystem local;
    local.folders.insert(kData);
    local.files[kXml] = kGameBytes;
    local.files[kXmb] = "xmb";
    local.files[kDefault] = ThirteenRows();
    c.arrange(local);
    const ColorFileError e = FailureOf([&] { RestoreDefaultColorFile(local, kData); });
    EXPECT_EQ(e.step(), c.step) << c.name;
    EXPECT_THAT(e.what(), HasSubstr(kDefault)) << c.name;
    EXPECT_THAT(e.what(), HasSubstr(c.words)) << c.name;
    EXPECT_THAT(e.what(), HasSubstr("Nothing was changed")) << c.name;
    EXPECT_EQ(local.files[kXml], kGameBytes) << c.name;
    EXPECT_EQ(local.files[kXmb], "xmb") << c.name;
    EXPECT_TRUE(local.log.empty()) << c.name;
  }
}

TEST_F(ColorStoreTest, LoadNamesTheFileItCouldNotRead) {
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;  // "" for no read failure
  } cases[] = {
      {"unreadable", kGameBytes, "The process cannot access the file"},
      {"a line of more than 32767 words", "<a b=\"" + std::string(40000, '<') + "\">\r\n", ""},
  };
  for (const auto& c : cases) {
    fs.files[kXml] = c.bytes;
    if (*c.reason != '\0') fs.failRead[kXml] = c.reason;
    const ColorFileError e = FailureOf([&] { LoadColorTree(fs, kXml); });
    EXPECT_EQ(e.step(), ColorFileStep::kReadColorFile) << c.name;
    EXPECT_THAT(e.what(), HasSubstr(kXml)) << c.name;
    EXPECT_THAT(e.what(), HasSubstr(c.reason)) << c.name;
    fs.failRead.clear();
  }
}

TEST_F(ColorStoreTest, LoadGivesAnOpenRootWithTheFilesElements) {
  fs.files[kXml] = ThirteenRows();
  const auto root = LoadColorTree(fs, kXml);
  EXPECT_TRUE(root->is_open());
  EXPECT_EQ(root->children().Item(1).children().Count(), 13);
}

// ---- The game's lock ---------------------------------------------------------

TEST(GameLock, OneLockFileWaitedForAtMostTheLimit) {
  const std::string data = "C:\\Program Files\\AoM\\data\\";
  const std::string store = "C:\\Store\\Program Files\\AoM\\data\\";
  const struct {
    int busyTries;       // -1: held throughout
    const char* refuse;  // why the data folder's lock file cannot be made, or ""
    WriteProblem problem;
    bool virtualized;
    std::string locked;  // the lock file taken, or the step of the failure
    int announced;
  } cases[] = {
      {0, "", WriteProblem::kOther, false, data + kLockFileName, 0},
      {3, "", WriteProblem::kOther, false, data + kLockFileName, 1},
      {-1, "", WriteProblem::kOther, false, "another program is saving " + data + kColorFileName,
       1},
      {0, "denied", WriteProblem::kAccessDenied, true, store + kLockFileName, 0},
      {0, "denied", WriteProblem::kAccessDenied, false, data + kLockFileName + "\nthat keeps", 0},
      {0, "no locks", WriteProblem::kOther, true, data + kLockFileName + "\nthat keeps", 0},
  };
  for (const auto& c : cases) {
    MemoryFileSystem fs;
    if (c.virtualized) fs.virtualStoreRoot = "C:\\Store";
    fs.virtualizedFolders = {"C:\\Program Files"};
    fs.folders.insert(data);
    fs.busyLocks[data + kLockFileName] = c.busyTries;
    if (*c.refuse) fs.failLock[data + kLockFileName] = c.refuse;
    fs.problem = c.problem;
    int announced = 0;
    const LockWait wait{std::chrono::milliseconds(100), [&](const std::string&) { ++announced; }};
    try {
      const auto lock = LockGameFiles(fs, data, wait);
      EXPECT_THAT(fs.lockLog, ElementsAre("lock " + c.locked));
      EXPECT_EQ(fs.locksHeld, 1);
    } catch (const ColorFileError& e) {
      EXPECT_THAT(e.what(), HasSubstr("Nothing was written"));
      EXPECT_THAT(e.what(), HasSubstr(c.locked));
    }
    EXPECT_EQ(fs.locksHeld, 0) << c.locked;
    EXPECT_EQ(announced, c.announced) << c.locked;
  }
}

}  // namespace

}  // namespace tintmoor::colorfile
