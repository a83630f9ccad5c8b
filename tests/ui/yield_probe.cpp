// Measures what the window's yield hook costs: a look at the message queue,
// a call that is not due to look, and a whole 3 KB colour file read with no
// hook, with the window's hook, and with a hook that looks on every call.
// Run by hand under Wine:  tools/wine-run --prefix P build/win32/tests/ui_yield_probe.exe
#include <windows.h>

#include <cstdio>
#include <string>

#include "markup/element.h"
#include "markup/reader.h"
#include "markup/words.h"
#include "ui/yield.h"

namespace markup = tintmoor::markup;
using tintmoor::ui::kYieldIntervalMs;
using tintmoor::ui::PumpPendingMessages;
using tintmoor::ui::PumpStats;
using tintmoor::ui::ResetPumpClock;
using tintmoor::ui::YieldStats;

namespace {

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void PeekEveryCall() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

std::string ColourFile(size_t bytes) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<playercolors>\r\n";
  for (int n = 0; text.size() < bytes; ++n) {
    text.append("\t<player num=\"");
    text.append(std::to_string(n % 13));
    text.append("\" color1=\"153 102 0\" color2=\"153 102 0\" color3=\"77 51 0\"></player>\r\n");
  }
  text.append("</playercolors>\r\n");
  return text;
}

double ReadWith(markup::YieldHook hook, const std::string& text, int rounds) {
  markup::SetYieldHook(hook);
  const double start = Now();
  for (int i = 0; i < rounds; ++i) {
    markup::Element root;
    root.set_open(true);
    markup::ReadMarkup(text, root, "probe");
  }
  const double seconds = (Now() - start) / rounds;
  markup::SetYieldHook(nullptr);
  return seconds;
}

}  // namespace

int main() {
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // give the thread its queue
  constexpr int kCalls = 20000;

  double start = Now();
  for (int i = 0; i < kCalls; ++i) PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  const double peek = (Now() - start) / kCalls;

  start = Now();
  volatile DWORD sink = 0;
  for (int i = 0; i < kCalls; ++i) sink = sink + GetTickCount();
  const double tick = (Now() - start) / kCalls;

  ResetPumpClock();
  PumpPendingMessages();  // looks now; the calls below are not due
  PumpStats() = {};
  start = Now();
  for (int i = 0; i < kCalls; ++i) PumpPendingMessages();
  const double notDue = (Now() - start) / kCalls;
  const uint64_t looksInLoop = PumpStats().looks;

  const std::string text = ColourFile(3000);
  const int rounds = 20;
  const double none = ReadWith(nullptr, text, rounds);
  PumpStats() = {};
  const double window = ReadWith(&PumpPendingMessages, text, rounds);
  const YieldStats stats = PumpStats();
  const double every = ReadWith(&PeekEveryCall, text, rounds);

  std::printf("PeekMessage, empty queue:        %8.2f us\n", peek * 1e6);
  std::printf("GetTickCount:                    %8.3f us\n", tick * 1e6);
  std::printf("hook call, not due to look:      %8.3f us  (%llu looks in %d calls)\n", notDue * 1e6,
              static_cast<unsigned long long>(looksInLoop), kCalls);
  std::printf("read %zu bytes, no hook:         %8.2f ms\n", text.size(), none * 1e3);
  std::printf(
      "read, window's hook (%u ms):      %8.2f ms  (%llu calls per read, %llu looks in %d reads)\n",
      kYieldIntervalMs, window * 1e3, static_cast<unsigned long long>(stats.calls / rounds),
      static_cast<unsigned long long>(stats.looks), rounds);
  std::printf("read, PeekMessage every call:    %8.2f ms\n", every * 1e3);
  std::printf("hook overhead: %.2f ms per read (%.0f%%), against %.2f ms looking every call\n",
              (window - none) * 1e3, 100.0 * (window - none) / none, (every - none) * 1e3);
  return 0;
}
