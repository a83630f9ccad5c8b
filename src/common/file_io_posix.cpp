// Whole-file reads and safe replacement on POSIX hosts. The replacement goes
// through a temporary file in the target's folder (so the final rename stays
// on one file system), written in full and synced before it takes the
// target's place; on any failure the temporary file is removed and the target
// is left as it was.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "common/file_io.h"
#include "common/file_io_posix.h"

namespace {

PosixFileCalls calls = {
    [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
    ::read,
    ::write,
    ::fsync,
    ::close,
    ::mkstemp,
    ::rename,
    ::fchown,
};

std::string Reason(int error) { return std::strerror(error); }

// Closes a descriptor on every path out of a function.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) calls.close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now, reporting the result (a delayed write error shows up here).
  int Close() { return calls.close(std::exchange(fd_, -1)); }

 private:
  int fd_;
};

std::string NameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t CreationMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Gives the temporary file the target's owner and mode, so the replacement
// is the same file to everyone else (the owner first: a change of owner may
// clear set-id bits). Returns 0 or an errno value. A target owned by someone
// we cannot give a file to is refused rather than quietly taken over.
int TakeMetadata(int fd, const std::string& path) {
  struct stat target, temp;
  if (::stat(path.c_str(), &target) != 0) return ::fchmod(fd, CreationMode()) == 0 ? 0 : errno;
  if (::fstat(fd, &temp) != 0) return errno;
  if ((temp.st_uid != target.st_uid || temp.st_gid != target.st_gid) &&
      calls.fchown(fd, target.st_uid, target.st_gid) != 0)
    return errno;
  return ::fchmod(fd, target.st_mode & 07777) == 0 ? 0 : errno;
}

// Removes temporary files of this target left by a replacement that never
// finished, older than started by the margin; anything else stays.
void RemoveLeftovers(const std::string& path, time_t started) {
  const std::string folder = FolderOf(path);
  const std::string name = NameOf(path);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryFileOf(name, entry->d_name)) continue;
    const std::string leftover = folder + "/" + entry->d_name;
    struct stat st;
    if (::lstat(leftover.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        st.st_mtime < started - kLeftoverAgeSeconds)
      ::unlink(leftover.c_str());
  }
  ::closedir(dir);
}

}  // namespace

PosixFileCalls& PosixFileCallsForTesting() { return calls; }

std::string ReadFileBytes(const std::string& path, size_t maxBytes) {
  Fd fd(calls.open(path.c_str(), O_RDONLY | O_CLOEXEC, 0));
  if (fd.get() < 0) throw FileError("read", path, Reason(errno));
  std::string bytes;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ssize_t got = calls.read(fd.get(), buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileError("read", path, Reason(errno));
    }
    if (got == 0) break;
    if (static_cast<size_t>(got) > maxBytes - bytes.size())
      throw FileError("read", path, TooLargeReason(maxBytes));
    bytes.append(buffer.data(), static_cast<size_t>(got));
  }
  return bytes;
}

void ReplaceFileBytes(const std::string& path, std::string_view bytes) {
  const time_t started = ::time(nullptr);
  std::string temp = FolderOf(path) + "/." + NameOf(path) + ".XXXXXX";
  Fd fd(calls.mkstemp(temp.data()));
  if (fd.get() < 0) throw FileError("write", path, Reason(errno));
  auto fail = [&](int error) {
    fd.Close();
    ::unlink(temp.c_str());
    throw FileError("write", path, Reason(error));
  };
  if (const int error = TakeMetadata(fd.get(), path); error != 0) fail(error);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t put = calls.write(fd.get(), bytes.data() + done, bytes.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    done += static_cast<size_t>(put);
  }
  if (calls.fsync(fd.get()) != 0) fail(errno);
  if (fd.Close() != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    throw FileError("write", path, Reason(error));
  }
  if (calls.rename(temp.c_str(), path.c_str()) != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    throw FileError("write", path, Reason(error));
  }
  // Make the rename itself durable; a failure here leaves a complete file.
  Fd folder(calls.open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (folder.get() >= 0) calls.fsync(folder.get());
  RemoveLeftovers(path, started);
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}
