#include "common/program_arguments.h"

#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include "common/wide_win32.h"

namespace tintmoor::common {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::vector<std::string> args;
  try {
    for (int i = 1; i < count; ++i) args.push_back(Narrow(wide[i]));
  } catch (...) {
    LocalFree(wide);
    throw;
  }
  LocalFree(wide);
  return args;
}

}  // namespace tintmoor::common
