// The real system calls. The colour dialog and the shell live in DLLs that
// are large under Wine and pull in more of their own (comdlg32 alone brings
// shell32, shlwapi and comctl32): imported, they cost start-up about a third of
// a minimal window's whole start. Both are needed only after a click, so they
// are loaded from the system folder the first time they are used.
#include "ui/ui_system.h"

#include <shellapi.h>

#include <string>

#include "common/errors.h"

// Loaded by full path, so no copy lying in the program's or the current
// folder is ever picked up.
FARPROC SystemProcAddress(const char* dll, const char* name) {
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  HMODULE module = nullptr;
  if (length > 0 && length < MAX_PATH) {
    module = LoadLibraryA((std::string(folder, length) + "\\" + dll).c_str());
  }
  FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
  if (!proc) throw TintError(std::string("The system file ") + dll + " could not be loaded.");
  // The module stays loaded for the rest of the run, as an import would.
  return proc;
}

UiSystem UiSystem::Real() {
  UiSystem sys;
  sys.chooseColor = [](CHOOSECOLORA* cc) {
    using Fn = BOOL(WINAPI*)(CHOOSECOLORA*);
    static const Fn chooseColor = SystemProc<Fn>("comdlg32.dll", "ChooseColorA");
    return chooseColor(cc);
  };
  sys.messageBox = [](HWND owner, const char* text, const char* title, UINT style) {
    return ::MessageBoxA(owner, text, title, style);
  };
  sys.shellExecute = [](HWND owner, const char* operation, const char* file, const char* parameters,
                        const char* directory, int show) {
    using Fn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    static const Fn shellExecute = SystemProc<Fn>("shell32.dll", "ShellExecuteA");
    return shellExecute(owner, operation, file, parameters, directory, show);
  };
  return sys;
}
