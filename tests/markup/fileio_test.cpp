// File access: errors that name the path and the system's reason, and a save
// that never leaves a half-written target, with failures injected through the
// system-call table.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/file_io.h"
#include "markup/reader.h"
#include "markup/writer.h"
#include "tree_text.h"

#ifdef _WIN32
#include "common/file_io_win32.h"
#include "common/wide_win32.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/file_io_posix.h"
#endif

namespace tintmoor::markup {

using common::FileError;
using common::FileLock;
using common::FolderEntries;
using common::IdentityOf;
using common::ReadFileBytes;
using common::RemoveLeftoverTemporaryFiles;
using common::ReplaceFileBytes;

namespace fs = std::filesystem;

namespace {

class FileIo : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) /
           ("tintmoor-fileio-" +
            std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // The names in the test folder, to see that no temporary file is left.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

TEST_F(FileIo, BytesGoInAndOutUnchanged) {
  std::string bytes("a\r\nb\nc\rd\0e\x1a\xff", 12);
  const std::string path = Path("bytes.bin");
  ReplaceFileBytes(path, bytes);
  EXPECT_EQ(Get(path), bytes);
  EXPECT_EQ(ReadFileBytes(path), bytes);
  ReplaceFileBytes(path, "shorter");
  EXPECT_EQ(ReadFileBytes(path), "shorter");
  ReplaceFileBytes(path, "");
  EXPECT_EQ(ReadFileBytes(path), "");
  EXPECT_EQ(Names(), std::vector<std::string>{"bytes.bin"});
}

TEST_F(FileIo, SaveAndLoadTheDocument) {
  Element root;
  Element& a = root.children().Add();
  a.set_name("a");
  a.set_value("1");
  const std::string path = Path("doc.xml");
  SaveMarkupFile(path, root);
  EXPECT_EQ(Get(path), WriteDocument(root));
  Element back;
  back.set_open(true);
  LoadMarkupFile(path, back);
  EXPECT_EQ(TreeText(back), "+[a:1]");
}

TEST_F(FileIo, WritingIntoAMissingFolderFailsAndCreatesNothing) {
  const std::string path = Path("no-such-folder") + "/x.xml";
  try {
    ReplaceFileBytes(path, "x");
    FAIL();
  } catch (const FileError& e) {
    EXPECT_EQ(e.path(), path);
    EXPECT_FALSE(e.reason().empty());
    EXPECT_EQ(std::string(e.what()).rfind("Cannot write \"" + path + "\": ", 0), 0u) << e.what();
  }
  EXPECT_TRUE(Names().empty());
}

TEST_F(FileIo, ReplacingAFolderFailsAndLeavesNoTemporaryFile) {
  fs::create_directories(dir_ / "sub");
  EXPECT_THROW(ReplaceFileBytes(Path("sub"), "x"), FileError);
  EXPECT_EQ(Names(), std::vector<std::string>{"sub"});
}

TEST_F(FileIo, OnlyTheCleanUpRemovesAndOnlyItsOwnOldTemporaryFiles) {
  const std::string path = Path("playercolors.xml");
  Put(path, "old");
  struct Entry {
    const char* name;
    bool old;
    bool removed;
  };
  const Entry entries[] = {
      {".playercolors.xml.tintmoor-Ab3dE9", true, true},    // a save killed before its rename
      {".playercolors.xml.tintmoor-zzzzzz", false, false},  // a concurrent save's, just made
      {".playercolors.xml.tintmoor-Ab3dE", true, false},    // five, not six
      {".playercolors.xml.backup", true, false},            // the user's own
      {".playercolors.xml.Ab3dE9", true, false},            // the user's, whatever it looks like
      {".other.xml.tintmoor-Ab3dE9", true, false},          // another file's
      {"playercolors.xml.orig", true, false},
  };
  const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (const Entry& e : entries) {
    Put(Path(e.name), "x");
    if (e.old) fs::last_write_time(Path(e.name), hourAgo);
  }
  ReplaceFileBytes(path, "new");
  EXPECT_EQ(Names().size(), std::size(entries) + 1);  // a replacement deletes nothing
  RemoveLeftoverTemporaryFiles(path);
  for (const Entry& e : entries) EXPECT_EQ(fs::exists(Path(e.name)), !e.removed) << e.name;
  EXPECT_EQ(Get(path), "new");
}

// Every name of a file is that file: its identity, and what a replacement
// through it replaces (a link's target, in the target's folder; the file a
// short name stands for), with no new name appearing.
TEST_F(FileIo, EveryNameOfAFileIsThatFile) {
  fs::create_directories(dir_ / "mods");
  Put(Path("mods/playercolors.xml"), "mod");
  Put(Path("twin.xml"), "mod");
  const auto id = IdentityOf(Path("mods/playercolors.xml"));
  ASSERT_TRUE(id.has_value());
  EXPECT_EQ(IdentityOf(Path("mods") + "/../mods/playercolors.xml"), id);
  EXPECT_NE(IdentityOf(Path("twin.xml")), id);  // the same bytes are not the same file
  EXPECT_FALSE(IdentityOf(Path("missing.xml")).has_value());
  fs::create_hard_link(Path("mods/playercolors.xml"), Path("hard.xml"));
  EXPECT_EQ(IdentityOf(Path("hard.xml")), id);
#ifdef _WIN32
  char alias[MAX_PATH];  // Windows' short name of a long one
  ASSERT_NE(GetShortPathNameA(Path("mods/playercolors.xml").c_str(), alias, MAX_PATH), 0u);
  const std::string name = alias;
  EXPECT_EQ(name.find("playercolors.xml"), std::string::npos) << name;
#else
  fs::create_symlink("mods/playercolors.xml", Path("link.xml"));
  fs::create_symlink("link.xml", Path("again.xml"));  // a link to a link
  const std::string name = Path("again.xml");
#endif
  EXPECT_EQ(IdentityOf(name), id);
  const std::vector<std::string> before = Names();
  ReplaceFileBytes(name, "saved");
  EXPECT_EQ(Get(Path("mods/playercolors.xml")), "saved");
  EXPECT_EQ(Names(), before);
  std::vector<std::string> listed = FolderEntries(dir_.string());
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, before);
}

TEST_F(FileIo, ALockFileLocksOnceUntilReleased) {
  const std::string path = Path("playercolors.xml.lock");
  {
    const auto first = FileLock::TryTake(path);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(FileLock::TryTake(path), nullptr);  // even within this program
  }
  EXPECT_NE(FileLock::TryTake(path), nullptr);
  EXPECT_EQ(Get(path), "");  // left behind, empty
  // Nothing but a plain file of its own is locked.
  fs::create_directories(dir_ / "folder.lock");
  EXPECT_THROW(FileLock::TryTake(Path("folder.lock")), FileError);
  EXPECT_THROW(FileLock::TryTake(Path("no-such-folder") + "/x.lock"), FileError);
#ifndef _WIN32
  fs::create_symlink(Path("elsewhere"), Path("link.lock"));
  EXPECT_THROW(FileLock::TryTake(Path("link.lock")), FileError);
  EXPECT_FALSE(fs::exists(Path("elsewhere")));
#endif
}

// Each platform's failures, injected through its system-call table: the
// error each is to report, and how often a write was attempted.
int writes = 0;
std::string movedFrom;

#ifdef _WIN32

// Swaps the call table for one test and puts it back.
struct Inject {
  common::Win32FileCalls saved = common::Win32FileCallsForTesting();
  ~Inject() { common::Win32FileCallsForTesting() = saved; }
  common::Win32FileCalls& calls() { return common::Win32FileCallsForTesting(); }
};
using Calls = common::Win32FileCalls;

// The system's words for an error, as the reason should carry them (without
// the closing full stop: the reason is set inside a sentence).
std::string Reason(DWORD error) {
  char text[512] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                 text, sizeof text, nullptr);
  std::string s = text;
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' ' || s.back() == '.'))
    s.pop_back();
  return s;
}
constexpr DWORD kDiskFull = ERROR_DISK_FULL, kFlushFault = ERROR_WRITE_FAULT,
                kDenied = ERROR_ACCESS_DENIED, kReadFault = ERROR_READ_FAULT;

// Named functions, not lambdas: a 32-bit build needs their WINAPI convention.
// The first chunk goes through; the second finds the disk full.
BOOL WINAPI WriteUntilDiskFull(HANDLE h, LPCVOID data, DWORD size, LPDWORD put, LPOVERLAPPED o) {
  if (++writes == 1) return ::WriteFile(h, data, size < 10 ? size : 10, put, o);
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}
BOOL WINAPI FailedFlush(HANDLE) {
  SetLastError(ERROR_WRITE_FAULT);
  return FALSE;
}
BOOL WINAPI RefusedReplace(LPCWSTR, LPCWSTR from, LPCWSTR, DWORD, LPVOID, LPVOID) {
  movedFrom = common::Narrow(from);
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}
BOOL WINAPI FailedRead(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) {
  SetLastError(ERROR_READ_FAULT);
  return FALSE;
}
void FailSecondWrite(Calls& c) { c.WriteFile = WriteUntilDiskFull; }
void FailFlush(Calls& c) { c.FlushFileBuffers = FailedFlush; }
void FailRename(Calls& c) { c.ReplaceFileW = RefusedReplace; }
void FailRead(Calls& c) { c.ReadFile = FailedRead; }

#else

struct Inject {
  common::PosixFileCalls saved = common::PosixFileCallsForTesting();
  ~Inject() { common::PosixFileCallsForTesting() = saved; }
  common::PosixFileCalls& calls() { return common::PosixFileCallsForTesting(); }
};
using Calls = common::PosixFileCalls;

std::string Reason(int error) { return std::strerror(error); }
constexpr int kDiskFull = ENOSPC, kFlushFault = EIO, kDenied = EACCES, kReadFault = EIO;

void FailSecondWrite(Calls& c) {
  c.write = [](int fd, const void* data, size_t size) -> ssize_t {
    if (++writes == 1) return ::write(fd, data, size < 10 ? size : 10);
    errno = ENOSPC;
    return -1;
  };
}
void FailFlush(Calls& c) {
  c.fsync = [](int) {
    errno = EIO;
    return -1;
  };
}
void FailRename(Calls& c) {
  c.rename = [](const char* from, const char*) {
    movedFrom = from;
    errno = EACCES;
    return -1;
  };
}
void FailRead(Calls& c) {
  c.read = [](int, void*, size_t) -> ssize_t {
    errno = EIO;
    return -1;
  };
}

#endif

TEST_F(FileIo, AFailedReplacementLeavesTargetAndNoTemporaryFile) {
  const struct {
    const char* name;
    void (*fail)(Calls&);
    std::string reason;
    int writes;  // write calls seen: a short write is carried on, not taken as done
  } cases[] = {
      {"disk full after the first chunk", FailSecondWrite, Reason(kDiskFull), 2},
      {"flush", FailFlush, Reason(kFlushFault), 0},
      {"rename", FailRename, Reason(kDenied), 0},
  };
  const std::string path = Path("target.xml");
  for (const auto& c : cases) {
    Put(path, "original");
    writes = 0;
    movedFrom.clear();
    {
      Inject inject;
      c.fail(inject.calls());
      try {
        ReplaceFileBytes(path, std::string(100, 'x'));
        ADD_FAILURE() << c.name << ": no error";
      } catch (const FileError& e) {
        EXPECT_EQ(e.path(), path) << c.name;
        EXPECT_EQ(e.reason(), c.reason) << c.name;
      }
    }
    EXPECT_EQ(writes, c.writes) << c.name;
    // The temporary file was in the target's folder, so the move is a rename
    // on one file system.
    if (c.fail == FailRename) {
      EXPECT_TRUE(fs::equivalent(fs::path(movedFrom).parent_path(), dir_)) << movedFrom;
    }
    EXPECT_EQ(Get(path), "original") << c.name;
    EXPECT_EQ(Names(), std::vector<std::string>{"target.xml"}) << c.name;
  }
}

TEST_F(FileIo, ReadErrorsNamePathAndReason) {
  const struct {
    const char* name;
    bool present;
    void (*fail)(Calls&);
    std::string reason;  // "" for any
  } cases[] = {
      {"missing", false, [](Calls&) {}, ""},
      {"read fault", true, FailRead, Reason(kReadFault)},
  };
  const std::string path = Path("r.xml");
  for (const auto& c : cases) {
    if (c.present) Put(path, "data");
    Inject inject;
    c.fail(inject.calls());
    try {
      ReadFileBytes(path);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const FileError& e) {
      EXPECT_EQ(e.path(), path) << c.name;
      EXPECT_FALSE(e.reason().empty()) << c.name;
      if (!c.reason.empty()) {
        EXPECT_EQ(e.reason(), c.reason) << c.name;
      }
      EXPECT_EQ(std::string(e.what()), "Cannot read \"" + path + "\": " + e.reason()) << c.name;
    }
  }
  fs::remove(path);
  EXPECT_THROW(LoadMarkupFile(path), FileError);
  Element root;
  EXPECT_THROW(LoadMarkupFile(Path(""), root), FileError);  // a folder
}

#ifdef _WIN32

TEST_F(FileIo, ReplacesAReadOnlyTargetNeverHalfway) {
  const std::string path = Path("ro.xml");
  Put(path, "original");
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_THROW(ReplaceFileBytes(path, "new"), FileError);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Get(path), "original");
  EXPECT_EQ(Names(), std::vector<std::string>{"ro.xml"});
}

TEST_F(FileIo, ReplacementKeepsTheTargetsAttributes) {
  const std::string path = Path("attr.xml");
  Put(path, "original");
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), kept));
  ASSERT_EQ(GetFileAttributesA(path.c_str()) & kept, kept);
  ReplaceFileBytes(path, "new");
  EXPECT_EQ(Get(path), "new");
  EXPECT_EQ(GetFileAttributesA(path.c_str()) & kept, kept);
}

#else

TEST_F(FileIo, ReplacementKeepsTheTargetsModeAndOwner) {
  struct Case {
    mode_t mode;
    uid_t owner;  // 0: leave as created
  };
  const Case cases[] = {{0640, 0}, {0600, 0}, {0755, 4242}};
  const std::string path = Path("perm.xml");
  for (const Case& c : cases) {
    Put(path, "original");
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
    // Only root can give a file away; elsewhere the owner case has nothing to show.
    if (c.owner != 0 && (::geteuid() != 0 || ::chown(path.c_str(), c.owner, c.owner + 1) != 0))
      continue;
    struct stat before, after;
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    ReplaceFileBytes(path, "new");
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, c.mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
  }
  // A target whose owner cannot be kept is not quietly taken over.
  Inject inject;
  inject.calls().fchown = [](int, uid_t, gid_t) {
    errno = EPERM;
    return -1;
  };
  Put(path, "original");
  if (::geteuid() == 0 && ::chown(path.c_str(), 4242, 4243) == 0) {
    EXPECT_THROW(ReplaceFileBytes(path, "new"), FileError);
    EXPECT_EQ(Get(path), "original");
  }
}

#endif

}  // namespace

}  // namespace tintmoor::markup
