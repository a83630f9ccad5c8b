// Whether standard output is a terminal that shows 24-bit colour, for the
// swatches of `list`. NO_COLOR (any value) and TERM=dumb turn them off.
#pragma once

bool StdoutShowsTrueColour();
