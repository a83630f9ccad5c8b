// The word splitter's yield hook for the window: lets the window handle its
// pending messages in the middle of a long load, without paying for a look at
// the queue on every character (a PeekMessage costs about 40 us under Wine).
#pragma once

#include <cstdint>

namespace tintmoor::ui {

// Dispatches every pending message of this thread, but at most once every
// kYieldIntervalMs; in between a call only reads the tick count. A WM_QUIT it
// meets is posted again for the main loop.
void PumpPendingMessages();

inline constexpr uint32_t kYieldIntervalMs = 10;

// Counters for measuring the hook (calls, looks at the queue, messages dispatched).
struct YieldStats {
  uint64_t calls = 0;
  uint64_t looks = 0;
  uint64_t dispatched = 0;
};
YieldStats& PumpStats();
// Forgets when the queue was last looked at, so the next call looks.
void ResetPumpClock();

}  // namespace tintmoor::ui
