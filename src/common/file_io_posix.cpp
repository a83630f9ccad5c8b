// Whole-file reads, safe replacement, file identities and lock files on POSIX
// hosts. The replacement goes through a temporary file in the target's folder
// (so the final rename stays on one file system), written in full and synced
// before it takes the target's place; on any failure the temporary file is
// removed and the target is left as it was.
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

namespace tintmoor::common {

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
  // Hands the descriptor over to a new owner.
  void Release() { fd_ = -1; }

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

// The file a path names once a symbolic link at its end is followed (each
// link's target read relative to the link's folder); a link to nothing yet
// names the file that writing it creates. Throws FileError for a loop.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(4096, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) >= target.size()) return path;
    target.resize(static_cast<size_t>(n));
    path = target[0] == '/' ? target : FolderOf(path) + "/" + target;
  }
  throw FileError("write", path, Reason(ELOOP));
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

void ReplaceFileBytes(const std::string& given, std::string_view bytes) {
  const std::string path = FollowLinks(given);
  std::string temp =
      FolderOf(path) + "/." + NameOf(path) + std::string(kTemporaryMarker) + "XXXXXX";
  Fd fd(calls.mkstemp(temp.data()));
  if (fd.get() < 0) throw FileError("write", given, Reason(errno));
  auto fail = [&](int error) {
    fd.Close();
    ::unlink(temp.c_str());
    throw FileError("write", given, Reason(error));
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
    throw FileError("write", given, Reason(error));
  }
  if (calls.rename(temp.c_str(), path.c_str()) != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    throw FileError("write", given, Reason(error));
  }
  // Make the rename itself durable; a failure here leaves a complete file.
  Fd folder(calls.open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (folder.get() >= 0) calls.fsync(folder.get());
}

void RemoveLeftoverTemporaryFiles(const std::string& path) {
  const time_t now = ::time(nullptr);
  const std::string folder = FolderOf(path);
  const std::string name = NameOf(path);
  for (const std::string& entry : FolderEntries(folder)) {
    if (!IsTemporaryFileOf(name, entry)) continue;
    const std::string leftover = folder + "/" + entry;
    struct stat st;
    if (::lstat(leftover.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        st.st_mtime < now - kLeftoverAgeSeconds)
      ::unlink(leftover.c_str());
  }
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

std::unique_ptr<FileLock> FileLock::TryTake(const std::string& path) {
  // Never through a link, never anything but a plain file: the lock file may
  // be created, and a link could aim that anywhere.
  Fd fd(calls.open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
  if (fd.get() < 0)
    throw FileError("open", path, errno == ELOOP ? "it is a symbolic link" : Reason(errno));
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) throw FileError("open", path, Reason(errno));
  if (!S_ISREG(st.st_mode)) throw FileError("open", path, "it is not a regular file");
  struct flock range {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  range.l_start = 0;
  range.l_len = 1;
  // A lock of the open file itself, where the system has them: closing some
  // other descriptor of the file in this process then cannot drop it. Both
  // kinds conflict with each other, and with Wine's.
  int result = -1;
#ifdef F_OFD_SETLK
  result = ::fcntl(fd.get(), F_OFD_SETLK, &range);
  if (result != 0 && errno == EINVAL) result = ::fcntl(fd.get(), F_SETLK, &range);
#else
  result = ::fcntl(fd.get(), F_SETLK, &range);
#endif
  if (result != 0) {
    if (errno == EAGAIN || errno == EACCES) return nullptr;
    throw FileError("lock", path, Reason(errno));
  }
  const int held = fd.get();
  fd.Release();
  return std::unique_ptr<FileLock>(new FileLock(held));
}

FileLock::~FileLock() { calls.close(static_cast<int>(handle_)); }

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace tintmoor::common
