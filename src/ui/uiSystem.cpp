#include "ui/uiSystem.h"

#include <shellapi.h>

UiSystem UiSystem::Real() {
  UiSystem sys;
  sys.chooseColor = [](CHOOSECOLORA* cc) { return ::ChooseColorA(cc); };
  sys.messageBox = [](HWND owner, const char* text, const char* title, UINT style) {
    return ::MessageBoxA(owner, text, title, style);
  };
  sys.shellExecute = [](HWND owner, const char* operation, const char* file, const char* parameters,
                        const char* directory, int show) {
    return ::ShellExecuteA(owner, operation, file, parameters, directory, show);
  };
  return sys;
}
