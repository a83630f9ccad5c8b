// Stands in for the running game: built as aom.exe, it lives until it is
// ended, a minute at most.
#include <windows.h>

int main() {
  Sleep(60000);
  return 0;
}
