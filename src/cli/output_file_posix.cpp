#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/output_file.h"
#include "common/errors.h"

namespace tintmoor::cli {

bool IsStreamTarget(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  return S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
}

void WriteIntoStream(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) throw common::FileError("write", path, std::strerror(errno));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      const int error = put < 0 ? errno : EIO;
      ::close(fd);
      throw common::FileError("write", path, std::strerror(error));
    }
    done += static_cast<size_t>(put);
  }
  if (::close(fd) != 0) throw common::FileError("write", path, std::strerror(errno));
}

}  // namespace tintmoor::cli
