// The yardstick for Tintmoor's start-up: the least a Win32 program does to
// show a window of the same size, with a menu bar, and wait for input.
// Built a second time with TINTMOOR_BENCH_IMPORTS, it also imports the colour
// dialog and shell DLLs the program needs, to show what loading them costs.
#include <windows.h>
#ifdef TINTMOOR_BENCH_IMPORTS
#include <commdlg.h>
#include <shellapi.h>
#endif

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = CreateSolidBrush(RGB(228, 205, 122));
  windowClass.lpszClassName = "TintmoorMinimal";
  RegisterClassA(&windowClass);

  HMENU menu = CreateMenu();
  AppendMenuA(menu, MF_STRING, 1, "&File");
  RECT frame{0, 0, 317, 437};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRect(&frame, style, TRUE);
  HWND window = CreateWindowA("TintmoorMinimal", "Tintmoor minimal window", style, CW_USEDEFAULT,
                              CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                              nullptr, menu, instance, nullptr);
#ifdef TINTMOOR_BENCH_IMPORTS
  // Never true; keeps both imports in the program.
  if (window == reinterpret_cast<HWND>(1)) {
    ChooseColorA(nullptr);
    ShellExecuteA(nullptr, nullptr, nullptr, nullptr, nullptr, SW_HIDE);
  }
#endif
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
