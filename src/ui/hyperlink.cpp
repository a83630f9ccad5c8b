#include "ui/hyperlink.h"

namespace tintmoor::ui {

void OpenHyperlink(const std::string& address, const ShellExecuteFn& shellExecute) {
  // "0" as parameters and directory is what the program has always passed; the
  // shell ignores parameters for a document and a directory it cannot find.
  shellExecute(GetDesktopWindow(), "open", address.c_str(), "0", "0", SW_SHOWMAXIMIZED);
}

}  // namespace tintmoor::ui
