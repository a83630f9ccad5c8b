// The host's ColorFileSystem (POSIX natively, Win32 under Wine) with real
// files in a temporary folder: the sequences keep their promises on disk too.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "colorfile/color_store.h"
#include "common/file_io.h"
#include "markup/reader.h"
#include "markup/writer.h"
#include "support/test_support.h"

namespace tintmoor::colorfile {

using common::ReadFileBytes;
using common::ReplaceFileBytes;

using ::testing::HasSubstr;

namespace {

class SystemFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // ctest runs each test in a process of its own, several at once.
    folder = std::filesystem::temp_directory_path() /
             ("tintmoor-sys-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(folder);
    data = folder.string() + kPathSeparator;
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::filesystem::path folder;
  std::string data;
  ColorFileSystem& fs = SystemFileSystem();
};

TEST_F(SystemFileSystemTest, TellsFilesFromFolders) {
  ReplaceFileBytes(ColorFilePath(data), "x");
  EXPECT_TRUE(fs.IsFile(ColorFilePath(data)));
  EXPECT_FALSE(fs.IsFolder(ColorFilePath(data)));
  EXPECT_TRUE(fs.IsFolder(data));
  EXPECT_FALSE(fs.IsFile(data));
  EXPECT_FALSE(fs.IsFile(XmbFilePath(data)));
  EXPECT_NO_THROW(fs.Remove(XmbFilePath(data)));  // nothing to delete is no failure
}

TEST_F(SystemFileSystemTest, SaveWritesTheFileAndThenDeletesTheXmb) {
  ReplaceFileBytes(ColorFilePath(data), "old");
  ReplaceFileBytes(XmbFilePath(data), "stale");
  const auto root = ParseTree(ThirteenRows());
  SaveColorTree(fs, data, *root);
  EXPECT_EQ(ReadFileBytes(ColorFilePath(data)), markup::WriteDocument(*root));
  EXPECT_FALSE(fs.IsFile(XmbFilePath(data)));
  EXPECT_EQ(ReadFileBytes(OriginalFilePath(data)), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                          std::filesystem::directory_iterator()),
            2);  // and .orig; no temporary file left behind
}

TEST_F(SystemFileSystemTest, SaveIntoAFolderThatWentWritesNothing) {
  const std::string gone = data + "gone" + kPathSeparator;
  const auto root = ParseTree(ThirteenRows());
  try {
    SaveColorTree(fs, gone, *root);
    FAIL() << "no error";
  } catch (const ColorFileError& e) {
    EXPECT_EQ(e.step(), ColorFileStep::kWriteColorFile);
    EXPECT_EQ(e.problem(), WriteProblem::kFolderMissing);
    EXPECT_THAT(e.what(), HasSubstr(ColorFilePath(gone)));
  }
  EXPECT_FALSE(fs.IsFolder(gone));
}

TEST_F(SystemFileSystemTest, CopyOverSeedsAndOverwrites) {
  const std::string source = data + "source.xml";
  ReplaceFileBytes(source, "default");
  EXPECT_TRUE(fs.CopyOver(source, ColorFilePath(data)));
  EXPECT_EQ(ReadFileBytes(ColorFilePath(data)), "default");
  ReplaceFileBytes(source, "again");
  EXPECT_TRUE(fs.CopyOver(source, ColorFilePath(data)));
  EXPECT_EQ(ReadFileBytes(ColorFilePath(data)), "again");
  EXPECT_FALSE(fs.CopyOver(data + "missing.xml", data + "target.xml"));
  EXPECT_FALSE(fs.IsFile(data + "target.xml"));
}

TEST_F(SystemFileSystemTest, ProgramFolderHoldsThisTest) {
  const std::string program = fs.ProgramFolder();
  ASSERT_FALSE(program.empty());
  EXPECT_NE(program.back(), kPathSeparator);
  EXPECT_TRUE(fs.IsFolder(program));
}

}  // namespace

}  // namespace tintmoor::colorfile
