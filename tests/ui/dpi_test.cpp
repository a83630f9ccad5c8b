// The window and its Check Colors dialog at 144 dpi, and the program file's
// version record.
//
// Wine takes its DPI from HKCU\Control Panel\Desktop\LogPixels when a process
// starts, so the test sets it, runs itself again as a child that checks the
// window, and puts the old value back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "ui/check_dialog.h"
#include "ui/layout.h"
#include "ui/resource.h"
#include "window_support.h"

namespace tintmoor::ui {

using colorfile::CheckOptions;
using colorfile::kRows;

namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kChildVariable = "TINTMOOR_DPI_CHILD";

// Sets a registry value for as long as it lives, then puts back what was there.
class ScopedValue {
 public:
  ScopedValue(HKEY root, const char* path, const char* name, DWORD type, const void* data,
              DWORD size)
      : name_(name) {
    RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    DWORD oldSize = 0;
    had_ = RegQueryValueExA(key_, name, nullptr, &oldType_, nullptr, &oldSize) == ERROR_SUCCESS;
    old_.resize(oldSize);
    if (had_) RegQueryValueExA(key_, name, nullptr, &oldType_, old_.data(), &oldSize);
    RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size);
  }
  ~ScopedValue() {
    if (had_) {
      RegSetValueExA(key_, name_, 0, oldType_, old_.data(), static_cast<DWORD>(old_.size()));
    } else {
      RegDeleteValueA(key_, name_);
    }
    RegCloseKey(key_);
  }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

 private:
  const char* name_;
  HKEY key_ = nullptr;
  DWORD oldType_ = 0;
  std::vector<BYTE> old_;
  bool had_ = false;
};

struct LogPixels : ScopedValue {
  explicit LogPixels(const DWORD& dpi)
      : ScopedValue(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", REG_DWORD, &dpi, sizeof(dpi)) {}
};

std::string ThisProgram() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// Runs this test program with a filter and the child variable set; its exit code.
DWORD RunChild(const std::string& filter, const std::string& value = "1") {
  std::string command = "\"";
  command.append(ThisProgram());
  command.append("\" --gtest_filter=");
  command.append(filter);
  SetEnvironmentVariableA(kChildVariable, value.c_str());
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

TEST(Dpi, TheWholeWindowAndItsCheckDialogScaleAt144Dpi) {
  if (!IsChild()) {
    LogPixels dpi(144);
    EXPECT_EQ(RunChild("Dpi.TheWholeWindowAndItsCheckDialogScaleAt144Dpi"), 0u)
        << "see the child's output above";
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
  // The boxes keep a one-pixel frame; the frame art is stretched to 20 pixels;
  // the lines are 2 pixels wide.
  const Rendering px(form.hwnd());
  for (int box : {0, 4, 38}) {  // layout_test pins the pixels
    EXPECT_EQ(form.BoxRect(box), ToPixels(BoxTwips(box), 144)) << box;
    ExpectBoxPainted(px, form.BoxRect(box), RGB(128, 128, 128));
  }
  EXPECT_EQ(form.LinkRect(), ToPixels(kHyperLinkTwips, 144));
  EXPECT_EQ(px.At(19, 300), RGB(64, 48, 0));
  EXPECT_EQ(px.At(20, 300), RGB(228, 205, 122));
  const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
  EXPECT_EQ(px.At(165, 100), ink);  // the first column's line, at 1650 twips
  EXPECT_EQ(px.At(166, 100), ink);
  EXPECT_EQ(px.At(167, 100), RGB(228, 205, 122));
  // The dialog manager lays the dialog out at 144 dpi from its template.
  const CheckView want = MakeCheckView(BoxTable(form), CheckOptions{});
  EXPECT_TRUE(
      InCheckDialog([&] { SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(IDM_CHECK, 0), 0); },
                    [&](HWND dialog) { ExpectCheckDialogShows(dialog, want, 144); }));
}

// How wide the first column's caption is in a face at 8 pt.
LONG CaptionWidth(const std::string& face, int dpi) {
  WindowDC screen(nullptr);
  LOGFONTA lf{};
  lf.lfHeight = -MulDiv(8, dpi, 72);
  lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  Font font(CreateFontIndirectA(&lf));
  SelectScope select(screen.get(), font.get());
  SIZE size{};
  GetTextExtentPoint32A(screen.get(), CaptionText(kRows).data(),
                        static_cast<int>(CaptionText(kRows).size()), &size);
  return size.cx;
}

// Whether the font mapper has the face itself, not another in its place.
bool Installed(const char* face) {
  WindowDC screen(nullptr);
  LOGFONTA lf{};
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  Font font(CreateFontIndirectA(&lf));
  SelectScope select(screen.get(), font.get());
  char got[LF_FACESIZE] = "";
  GetTextFaceA(screen.get(), LF_FACESIZE, got);
  return lstrcmpiA(got, face) == 0;
}

int CALLBACK AddFace(const LOGFONTA* lf, const TEXTMETRICA*, DWORD type, LPARAM faces) {
  if ((type & TRUETYPE_FONTTYPE) && lf->lfCharSet != SYMBOL_CHARSET && *lf->lfFaceName != '@') {
    reinterpret_cast<std::vector<std::string>*>(faces)->push_back(lf->lfFaceName);
  }
  return 1;
}

// The widest TrueType face installed: what a system whose dialog font resolves to a wide face
// shows.
std::string WidestFace() {
  std::vector<std::string> faces;
  LOGFONTA all{};
  all.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(WindowDC(nullptr).get(), &all, AddFace, reinterpret_cast<LPARAM>(&faces), 0);
  std::string widest;
  for (const std::string& face : faces) {
    if (widest.empty() || CaptionWidth(face, 96) > CaptionWidth(widest, 96)) widest = face;
  }
  return widest;
}

// At each DPI, with the dialog font as the prefix has it and as the widest
// face installed, every caption and the link are drawn whole
// (ExpectCaptionsFit). The suite runs this once more in a prefix that has only
// a bare Debian's fonts (lean_fonts_test.sh), where no condensed face helps.
TEST(Dpi, EveryCaptionFitsAtEachDpiInTheDialogFontAndInTheWidestFace) {
  if (!IsChild()) {
    const std::string widest = WidestFace();
    ASSERT_FALSE(widest.empty());
    for (const std::string& face : {std::string(), widest}) {
      std::optional<ScopedValue> substitute;
      if (!face.empty()) {
        substitute.emplace(
            HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
            "MS Shell Dlg", REG_SZ, face.c_str(), static_cast<DWORD>(face.size() + 1));
      }
      for (int dpi : {96, 120, 144, 192}) {
        LogPixels logPixels(static_cast<DWORD>(dpi));
        EXPECT_EQ(RunChild("Dpi.EveryCaption*", std::to_string(dpi) + "," + face), 0u)
            << dpi << " dpi, dialog font " << (face.empty() ? "as it is" : face) << ": see above";
      }
    }
    return;
  }
  const std::string setting = std::getenv(kChildVariable);
  const std::string face = setting.substr(setting.find(',') + 1);
  if (std::getenv("TINTMOOR_LEAN_FONTS")) {  // the lean prefix is what it claims
    for (const char* condensed : kCondensedFaces) ASSERT_FALSE(Installed(condensed)) << condensed;
  }
  Recorder rec;
  MainWindow form(GetModuleHandleA(nullptr), rec.System());
  form.EndProgramOnClose(false);
  ASSERT_TRUE(form.Create(SW_HIDE));
  ASSERT_EQ(form.Dpi(), std::stoi(setting));
  // The substitute took (the system names a font as asked for, so compare widths).
  if (!face.empty()) {
    ASSERT_EQ(CaptionWidth("MS Shell Dlg", 96), CaptionWidth(face, 96)) << face;
  }
  ExpectCaptionsFit(form);
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
  EXPECT_EQ(translation->language, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  EXPECT_EQ(translation->codePage, 1200);  // UTF-16, the version block's strings
}

}  // namespace

}  // namespace tintmoor::ui
