#include "common/errors.h"

#include <utility>

FileError::FileError(std::string path, std::string reason)
    : TintError("\"" + path + "\": " + reason),
      path_(std::move(path)),
      reason_(std::move(reason)) {}

FileError::FileError(const std::string& action, std::string path, std::string reason)
    : TintError("Cannot " + action + " \"" + path + "\": " + reason),
      path_(std::move(path)),
      reason_(std::move(reason)) {}
