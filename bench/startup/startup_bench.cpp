// Start-up timing under Wine (or Windows), printed in one run:
//
// 1. From process start to the window shown and idle, for Tintmoor.exe (which
//    loads and shows the default colours before it shows its window) and for
//    a minimal Win32 window program built in the same tree; medians and ratio.
// 2. Inside one process, the time the window's yield hook adds to a load plus
//    WindowCommands::Show of the default colour file (with the hook against without it),
//    as a share of that time.
//
//   startup_bench TINTMOOR_EXE MINIMAL_EXE MINIMAL_IMPORTS_EXE DEFAULT_COLOR_FILE [ROUNDS]
//
// MINIMAL_IMPORTS_EXE is the minimal program importing comdlg32 and shell32
// as Tintmoor does: it tells how much of the difference is loading those.
//
// The game's registry key is pointed at a temporary game folder for the run
// and put back afterwards; run it in a private Wine prefix (tools/bench-startup).
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "colorfile/color_table.h"
#include "colorfile/game_location.h"
#include "colorfile/registry_win32.h"
#include "common/file_io.h"
#include "markup/words.h"
#include "ui/window_commands.h"
#include "ui/yield.h"

namespace markup = tintmoor::markup;
using tintmoor::colorfile::GetRegString;
using tintmoor::colorfile::kCells;
using tintmoor::colorfile::kGameInstallValue;
using tintmoor::colorfile::kGameKeyPath;
using tintmoor::colorfile::Rgb;
using tintmoor::colorfile::SystemFileSystem;
using tintmoor::colorfile::SystemGameRegistry;
using tintmoor::common::ReadFileBytes;
using tintmoor::common::ReplaceFileBytes;
using tintmoor::ui::Answer;
using tintmoor::ui::ColorWindow;
using tintmoor::ui::CommandFailure;
using tintmoor::ui::MessageKind;
using tintmoor::ui::PumpPendingMessages;
using tintmoor::ui::PumpStats;
using tintmoor::ui::Question;
using tintmoor::ui::ResetPumpClock;
using tintmoor::ui::WindowCommands;

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Milliseconds from CreateProcess to a visible, idle top-level window with this
// title; negative on failure.
double TimeToWindow(const std::string& exe, const char* title) {
  std::string command = "\"" + exe + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const double start = Now();
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return -1;
  }
  HWND window = nullptr;
  double shown = -1;
  while (Now() - start < 30000) {
    window = FindWindowA(nullptr, title);
    if (window != nullptr && IsWindowVisible(window)) {
      WaitForInputIdle(process.hProcess, 5000);
      shown = Now() - start;
      break;
    }
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return shown;
}

class NullWindow : public ColorWindow {
 public:
  Rgb BoxColor(int box) const override { return colors[box]; }
  void SetBoxColor(int box, Rgb color) override { colors[box] = color; }
  void SetCaption(const std::string&) override {}
  void ShowMessage(const std::string& text, const std::string&, MessageKind) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
    ++messages;
  }
  Answer Ask(const std::string& text, const std::string&, Question) override {
    std::fprintf(stderr, "question: %s\n", text.c_str());
    ++messages;
    return Answer::kCancel;
  }
  bool GameRunning() override { return false; }
  std::array<Rgb, kCells> colors{};
  int messages = 0;
};

// Sets the game's AppPath for the run and puts back what was there.
class GameKey {
 public:
  explicit GameKey(const std::string& appPath) {
    saved_ = GetRegString(HKEY_LOCAL_MACHINE, kGameKeyPath, kGameInstallValue, "\x01");
    Set(appPath);
  }
  ~GameKey() {
    if (saved_ == "\x01") {
      RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kGameKeyPath, KEY_WOW64_32KEY, 0);
    } else {
      Set(saved_);
    }
  }

 private:
  static void Set(const std::string& value) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kGameKeyPath, 0, nullptr, 0,
                    KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr);
    RegSetValueExA(key, kGameInstallValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
  }
  std::string saved_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: startup_bench TINTMOOR_EXE MINIMAL_EXE MINIMAL_IMPORTS_EXE "
                 "DEFAULT_COLOR_FILE [ROUNDS]\n");
    return 2;
  }
  const std::string tintmoor = argv[1], minimal = argv[2], imports = argv[3], defaultFile = argv[4];
  const int rounds = argc > 5 ? std::max(1, std::atoi(argv[5])) : 7;

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string game = std::string(temp) + "tintmoor-bench\\AoM";
  std::filesystem::create_directories(game + "\\data");
  ReplaceFileBytes(game + "\\data\\playercolors.xml", ReadFileBytes(defaultFile));
  GameKey key(game);

  // 1. Process start to window shown; a first round of each warms the caches.
  const char* kTitle = "Brindle's AoM Tintmoor";
  const char* kMinimalTitle = "Tintmoor minimal window";
  TimeToWindow(tintmoor, kTitle);
  TimeToWindow(minimal, kMinimalTitle);
  TimeToWindow(imports, kMinimalTitle);
  std::vector<double> tintmoorMs, minimalMs, importsMs;
  for (int i = 0; i < rounds; ++i) {
    tintmoorMs.push_back(TimeToWindow(tintmoor, kTitle));
    minimalMs.push_back(TimeToWindow(minimal, kMinimalTitle));
    importsMs.push_back(TimeToWindow(imports, kMinimalTitle));
  }
  for (const auto* times : {&tintmoorMs, &minimalMs, &importsMs}) {
    if (*std::min_element(times->begin(), times->end()) < 0) {
      std::fprintf(stderr, "a program did not show its window\n");
      return 1;
    }
  }
  const auto fastest = [](const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
  };
  const double t = Median(tintmoorMs), m = Median(minimalMs), mi = Median(importsMs);
  std::printf(
      "start-up to window shown (median of %d): Tintmoor.exe %.1f ms, minimal window %.1f ms, "
      "ratio %.2fx (target <= 1.3x); minimal window importing comdlg32 and shell32 %.1f ms\n",
      rounds, t, m, t / m, mi);
  std::printf(
      "start-up to window shown (fastest of %d): Tintmoor.exe %.1f ms, minimal window %.1f ms, "
      "ratio %.2fx; minimal window importing comdlg32 and shell32 %.1f ms\n",
      rounds, fastest(tintmoorMs), fastest(minimalMs), fastest(tintmoorMs) / fastest(minimalMs),
      fastest(importsMs));

  // 2. The yield hook's share of a load and show of the default colours. A
  // window makes this thread a GUI thread with a message queue, as in the program.
  CreateWindowA("STATIC", "bench", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  NullWindow window;
  WindowCommands commands(SystemFileSystem(), SystemGameRegistry());
  // Batches with and without the hook alternate, so both see the same machine;
  // each batch is long enough for the timer. The hook's clock restarts per load,
  // so every load looks at the queue at least once, as the program's would.
  constexpr int kSamples = 31, kBatch = 20;
  const auto batch = [&](markup::YieldHook hook) {
    markup::SetYieldHook(hook);
    const double start = Now();
    for (int i = 0; i < kBatch; ++i) {
      ResetPumpClock();
      try {
        commands.Load(window);
      } catch (const CommandFailure& e) {
        window.ShowMessage(e.what(), e.title(), MessageKind::kError);  // counted, ends the run
      }
      commands.Show(window);
    }
    return (Now() - start) / kBatch;
  };
  std::vector<double> hookedMs, bareMs;
  for (int i = 0; i < kSamples; ++i) {
    bareMs.push_back(batch(nullptr));
    hookedMs.push_back(batch(&PumpPendingMessages));
  }
  markup::SetYieldHook(nullptr);
  if (window.messages != 0) return 1;
  // The fastest batch of each: on a busy machine the slow ones measure the others.
  const double hooked = *std::min_element(hookedMs.begin(), hookedMs.end());
  const double bare = *std::min_element(bareMs.begin(), bareMs.end());
  const double hook = std::max(0.0, hooked - bare);
  const double loads = kSamples * kBatch;
  std::printf(
      "load + Show of the default file (fastest of %d batches of %d): %.3f ms with the "
      "yield hook, %.3f ms without: the hook takes %.3f ms = %.1f%% of the load (target < 20%%); "
      "%.0f hook calls and %.1f looks at the queue per load\n",
      kSamples, kBatch, hooked, bare, hook, 100.0 * hook / hooked,
      static_cast<double>(PumpStats().calls) / loads,
      static_cast<double>(PumpStats().looks) / loads);
  std::filesystem::remove_all(std::string(temp) + "tintmoor-bench");
  return 0;
}
