// The list of command groups. A new group adds its table here.
#include "cli/cli.h"

namespace tintmoor::cli {

std::vector<CliCommand> AllCommands() {
  std::vector<CliCommand> all;
  for (std::span<const CliCommand> group : {ColorCommands(), MarkupCommands()})
    all.insert(all.end(), group.begin(), group.end());
  return all;
}

}  // namespace tintmoor::cli
