// Arguments arrive as the system's own bytes.
#include "common/program_arguments.h"

namespace tintmoor::common {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace tintmoor::common
