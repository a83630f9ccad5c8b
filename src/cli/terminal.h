// What the program's terminal can do. Whether standard output shows 24-bit
// color, for the swatches of `list`: NO_COLOR (any value) and TERM=dumb turn
// them off.
#pragma once

namespace tintmoor::cli {

bool StdoutShowsTrueColour();

// Whether the program has a console window of its own that closes when it
// ends, as when it is opened from Explorer: a message printed there would
// vanish before it can be read. Always false outside Windows.
bool StartedInOwnConsole();

// Waits until a key is pressed in the program's console.
void WaitForKeyPress();

}  // namespace tintmoor::cli
