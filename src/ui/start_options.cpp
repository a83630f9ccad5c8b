#include "ui/start_options.h"

namespace tintmoor::ui {

StartOptions ParseStartOptions(std::span<const std::string> args) {
  StartOptions options;
  for (size_t i = 0; i < args.size() && options.mistake.empty(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h" || arg == "/?") {
      options.help = true;
    } else if (arg == "--data-dir" && i + 1 < args.size()) {
      options.dataFolder = args[++i];
    } else if (arg.rfind("--data-dir=", 0) == 0) {
      options.dataFolder = arg.substr(11);
    } else if (arg == "--data-dir") {
      options.mistake = "--data-dir needs a folder.";
    } else {
      options.mistake = "\"" + arg + "\" is not something Tintmoor understands.";
    }
    // An empty folder would quietly mean the current one.
    if (options.mistake.empty() && arg.rfind("--data-dir", 0) == 0 && options.dataFolder.empty())
      options.mistake = "--data-dir needs a folder.";
  }
  return options;
}

}  // namespace tintmoor::ui
