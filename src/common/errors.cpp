#include "common/errors.h"

#include <utility>

#include "common/file_io.h"

namespace tintmoor::common {

FileError::FileError(std::string path, std::string reason)
    : TintError("\"" + path + "\": " + reason),
      path_(std::move(path)),
      reason_(std::move(reason)) {}

FileError::FileError(const std::string& action, std::string path, std::string reason)
    : TintError("Cannot " + action + " \"" + path + "\": " + reason),
      path_(std::move(path)),
      reason_(std::move(reason)) {}

std::string TooLargeReason(size_t maxBytes) {
  return maxBytes % (1u << 20) == 0 ? "it is larger than " + std::to_string(maxBytes >> 20) + " MB"
                                    : "it is larger than " + std::to_string(maxBytes) + " bytes";
}

}  // namespace tintmoor::common
