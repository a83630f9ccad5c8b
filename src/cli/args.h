// A small command-line parser for the colour commands: positionals, options
// with a value ("--data-dir DIR" or "--data-dir=DIR") and flags ("--dry-run").
#pragma once

#include <map>
#include <span>
#include <string>
#include <vector>

#include "common/errors.h"

namespace tintmoor::cli {

// Thrown by a command whose arguments do not fit its usage.
class UsageError : public common::TintError {
 public:
  using common::TintError::TintError;
};

struct AcceptedArgs {
  std::vector<std::string> options;  // take a value
  std::vector<std::string> flags;    // take none
};

struct Args {
  std::vector<std::string> positionals;
  std::map<std::string, std::string> options;  // last one given wins
  std::vector<std::string> flags;
  bool Has(const std::string& flag) const;
  const std::string* Option(const std::string& name) const;
};

// "--help" and "-h" are always flags. "--" ends the options; a lone "-" is a
// positional. Throws UsageError for an unknown option or a missing or empty value.
Args ParseArgs(std::span<const std::string> args, const AcceptedArgs& accepted);

}  // namespace tintmoor::cli
