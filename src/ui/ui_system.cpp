// The real system calls. The colour dialog and the shell live in DLLs that
// are large under Wine and pull in more of their own (comdlg32 alone brings
// shell32, shlwapi and comctl32): imported, they cost start-up about a third of
// a minimal window's whole start. Both are needed only after a click, so they
// are loaded from the system folder the first time they are used.
#include "ui/ui_system.h"

#include <objbase.h>
#include <shellapi.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <memory>
#include <string>

#include "common/errors.h"
#include "common/wide_win32.h"

namespace tintmoor::ui {

// Loaded by full path, so no copy lying in the program's or the current
// folder is ever picked up.
FARPROC SystemProcAddress(const char* dll, const char* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  HMODULE module = nullptr;
  if (length > 0 && length < MAX_PATH) {
    module = LoadLibraryW((std::wstring(folder, length) + L"\\" + common::Widen(dll)).c_str());
  }
  FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
  if (!proc)
    throw common::TintError(std::string("The system file ") + dll + " could not be loaded.");
  // The module stays loaded for the rest of the run, as an import would.
  return proc;
}

namespace {

// Releases a COM interface when it goes out of scope.
template <class T>
class ComPtr {
 public:
  ~ComPtr() {
    if (p_) p_->Release();
  }
  T** Out() { return &p_; }
  T* operator->() const { return p_; }

 private:
  T* p_ = nullptr;
};

// The system's folder picker (the Open dialog picking folders). COM is set up
// for it and taken down after; ole32 is loaded the first time, as comdlg32 is.
std::optional<std::string> PickFolder(HWND owner, const char* title) {
  using Initialize = HRESULT(WINAPI*)(LPVOID, DWORD);
  using Uninitialize = void(WINAPI*)();
  using Create = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
  using Free = void(WINAPI*)(LPVOID);
  static const Initialize initialize = SystemProc<Initialize>("ole32.dll", "CoInitializeEx");
  static const Uninitialize uninitialize = SystemProc<Uninitialize>("ole32.dll", "CoUninitialize");
  static const Create create = SystemProc<Create>("ole32.dll", "CoCreateInstance");
  static const Free free = SystemProc<Free>("ole32.dll", "CoTaskMemFree");
  struct Com {
    bool on;
    Uninitialize uninitialize;
    ~Com() {
      if (on) uninitialize();
    }
  } com{SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)),
        uninitialize};

  ComPtr<IFileOpenDialog> dialog;
  if (FAILED(create(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                    reinterpret_cast<void**>(dialog.Out())))) {
    throw common::TintError("The system's folder picker could not be opened.");
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog->SetTitle(common::Widen(title).c_str());
  const HRESULT shown = dialog->Show(owner);
  if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return std::nullopt;
  ComPtr<IShellItem> item;
  PWSTR wide = nullptr;
  if (FAILED(shown) || FAILED(dialog->GetResult(item.Out())) ||
      FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &wide))) {
    throw common::TintError("The system's folder picker failed.");
  }
  const std::unique_ptr<wchar_t, Free> path(wide, free);  // COM's memory, given back
  return common::Narrow(path.get());
}

// The Open or Save As dialog for a scheme file. Paths of any length Windows
// hands back fit; the folder the program runs in is left as it was.
std::optional<std::string> PickSchemeFile(HWND owner, const char* title, bool save) {
  using Fn = BOOL(WINAPI*)(OPENFILENAMEW*);
  using ErrorFn = DWORD(WINAPI*)();
  static const Fn open = SystemProc<Fn>("comdlg32.dll", "GetOpenFileNameW");
  static const Fn saveAs = SystemProc<Fn>("comdlg32.dll", "GetSaveFileNameW");
  static const ErrorFn error = SystemProc<ErrorFn>("comdlg32.dll", "CommDlgExtendedError");
  std::wstring file(32768, L'\0');
  const std::wstring caption = common::Widen(title);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"Color schemes (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = caption.c_str();
  ofn.lpstrDefExt = L"txt";
  ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
              (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  if (!(save ? saveAs : open)(&ofn)) {
    if (error() != 0) throw common::TintError("The system's file dialog failed.");
    return std::nullopt;  // cancelled
  }
  return common::Narrow(file.c_str());
}

bool GameProcessRunning() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  bool running = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !running;
       more = Process32NextW(snapshot, &entry)) {
    running =
        lstrcmpiW(entry.szExeFile, L"aom.exe") == 0 || lstrcmpiW(entry.szExeFile, L"aomx.exe") == 0;
  }
  CloseHandle(snapshot);
  return running;
}

}  // namespace

UiSystem UiSystem::Real() {
  UiSystem sys;
  sys.chooseColor = [](CHOOSECOLORW* cc) {
    using Fn = BOOL(WINAPI*)(CHOOSECOLORW*);
    static const Fn chooseColor = SystemProc<Fn>("comdlg32.dll", "ChooseColorW");
    return chooseColor(cc);
  };
  sys.messageBox = [](HWND owner, const char* text, const char* title, UINT style) {
    return ::MessageBoxW(owner, common::Widen(text).c_str(), common::Widen(title).c_str(), style);
  };
  sys.shellExecute = [](HWND owner, const char* operation, const char* file, const char* parameters,
                        const char* directory, int show) {
    using Fn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    static const Fn shellExecute = SystemProc<Fn>("shell32.dll", "ShellExecuteW");
    return shellExecute(owner, common::Widen(operation).c_str(), common::Widen(file).c_str(),
                        common::Widen(parameters).c_str(), common::Widen(directory).c_str(), show);
  };
  sys.pickFolder = PickFolder;
  sys.openScheme = [](HWND owner, const char* title) {
    return PickSchemeFile(owner, title, false);
  };
  sys.saveScheme = [](HWND owner, const char* title) { return PickSchemeFile(owner, title, true); };
  sys.gameRunning = GameProcessRunning;
  return sys;
}

}  // namespace tintmoor::ui
