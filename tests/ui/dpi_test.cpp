// The window at 144 dpi, and the program file's version record.
//
// Wine takes its DPI from HKCU\Control Panel\Desktop\LogPixels when a process
// starts, so the test sets it, runs itself again as a child that checks the
// window, and puts the old value back.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/layout.h"
#include "window_support.h"

namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kChildVariable = "TINTMOOR_DPI_CHILD";

// Sets LogPixels for as long as it lives.
class LogPixels {
 public:
  explicit LogPixels(DWORD dpi) {
    RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                    nullptr);
    DWORD size = sizeof(old_), type = 0;
    had_ = RegQueryValueExA(key_, "LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&old_),
                            &size) == ERROR_SUCCESS &&
           type == REG_DWORD;
    RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof(dpi));
  }
  ~LogPixels() {
    if (had_) {
      RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                     sizeof(old_));
    } else {
      RegDeleteValueA(key_, "LogPixels");
    }
    RegCloseKey(key_);
  }
  LogPixels(const LogPixels&) = delete;
  LogPixels& operator=(const LogPixels&) = delete;

 private:
  HKEY key_ = nullptr;
  DWORD old_ = 0;
  bool had_ = false;
};

std::string ThisProgram() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// Runs this test program with a filter and the child variable set; its exit code.
DWORD RunChild(const std::string& filter) {
  std::string command = "\"";
  command.append(ThisProgram());
  command.append("\" --gtest_filter=");
  command.append(filter);
  SetEnvironmentVariableA(kChildVariable, "1");
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &si, &pi);
  SetEnvironmentVariableA(kChildVariable, nullptr);
  if (!started) return 0xFFFFFFFF;
  WaitForSingleObject(pi.hProcess, 120000);
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code;
}

bool IsChild() { return std::getenv(kChildVariable) != nullptr; }

TEST(Dpi, TheWholeWindowScalesAt144Dpi) {
  if (!IsChild()) {
    LogPixels dpi(144);
    EXPECT_EQ(RunChild("Dpi.TheWholeWindowScalesAt144Dpi"), 0u) << "see the child's output above";
    return;
  }
  Recorder rec;
  MainWindow form(GetModuleHandleA(nullptr), rec.System());
  form.EndProgramOnClose(false);
  ASSERT_TRUE(form.Create(SW_HIDE));
  ASSERT_EQ(form.Dpi(), 144);
  RECT client;
  GetClientRect(form.hwnd(), &client);
  EXPECT_EQ(client.right, 476);   // 4755 twips
  EXPECT_EQ(client.bottom, 656);  // 6555 twips
  struct Case {
    HWND hwnd;
    RECT want;
  };
  const Case cases[] = {
      {form.BoxWindow(0), {114, 138, 218, 170}},      {form.BoxWindow(4), {228, 174, 332, 206}},
      {form.BoxWindow(38), {342, 570, 446, 602}},     {form.RowLabelWindow(0), {36, 144, 128, 170}},
      {form.RowLabelWindow(12), {36, 576, 128, 602}}, {form.HeaderWindow(0), {84, 30, 458, 56}},
      {form.HeaderWindow(2), {318, 90, 554, 116}},    {form.LinkWindow(), {234, 606, 476, 632}},
  };
  for (const Case& c : cases) {
    const RECT got = ClientRectInParent(c.hwnd);
    EXPECT_TRUE(EqualRect(&got, &c.want)) << WindowText(c.hwnd) << ": " << got.left << ","
                                          << got.top << "-" << got.right << "," << got.bottom;
  }
  // The frame art is stretched to 20 pixels; the lines are 2 pixels wide.
  const Rendering px(form.hwnd());
  EXPECT_EQ(px.At(19, 300), RGB(64, 48, 0));
  EXPECT_EQ(px.At(20, 300), RGB(228, 205, 122));
  const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
  EXPECT_EQ(px.At(165, 100), ink);  // Line1 at 1650 twips
  EXPECT_EQ(px.At(166, 100), ink);
  EXPECT_EQ(px.At(167, 100), RGB(228, 205, 122));
  // The fonts grew with the DPI.
  HDC dc = GetDC(form.RowLabelWindow(0));
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(form.RowLabelWindow(0), WM_GETFONT, 0, 0));
  LOGFONTA lf{};
  GetObjectA(font, sizeof(lf), &lf);
  ReleaseDC(form.RowLabelWindow(0), dc);
  EXPECT_EQ(lf.lfHeight, -16);  // 8 pt at 144 dpi
}

std::string VersionValue(const std::vector<char>& block, const char* key) {
  char* value = nullptr;
  UINT length = 0;
  std::string path = "\\StringFileInfo\\040904B0\\";
  path.append(key);
  if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) {
    return "(missing)";
  }
  return std::string(value, length ? length - 1 : 0);
}

TEST(VersionRecord, HasEveryKeyOfTheProgram) {
  if (IsChild()) GTEST_SKIP();
  std::string exe = ThisProgram();
  exe = exe.substr(0, exe.find_last_of('\\'));
  exe = exe.substr(0, exe.find_last_of('\\')) + "\\bin\\Tintmoor.exe";
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u) << exe;
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
  struct {
    const char* key;
    const char* value;
  } const keys[] = {
      {"FileVersion", "1.00.0001"},
      {"ProductVersion", "1.00.0001"},
      {"ProductName", "Brindle's AoM Tintmoor"},
      {"FileDescription", "Executable for Brindle's AoM Tintmoor"},
      {"InternalName", "Tintmoor"},
      {"OriginalFilename", "Tintmoor.exe"},
      {"Comments", "This program allows you to change player colors for AoM"},
  };
  for (const auto& k : keys) EXPECT_EQ(VersionValue(block, k.key), k.value) << k.key;
  EXPECT_NE(VersionValue(block, "LegalCopyright"), "(missing)");
  EXPECT_NE(VersionValue(block, "LegalTrademarks"), "(missing)");
  struct {
    WORD language, codePage;
  }* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  EXPECT_EQ(translation->language, 0x0409);
  EXPECT_EQ(translation->codePage, 0x04B0);
}

}  // namespace
