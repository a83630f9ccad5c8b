/* The program's identity: version, title, home page and credits. Plain
   preprocessor definitions so the resource script can include this file too. */
#pragma once

#define TINTMOOR_VERSION_MAJOR 1
#define TINTMOOR_VERSION_MINOR 0
#define TINTMOOR_VERSION_REVISION 1
#define TINTMOOR_VERSION_TEXT "1.00.0001"

#define TINTMOOR_TITLE "Brindle's AoM Tintmoor"
/* The project has no public home yet; these addresses are placeholders under
   the reserved example.org domain. */
#define TINTMOOR_HOME_PAGE "http://example.org/tintmoor/"
#define TINTMOOR_CONTACT "brindle@example.org"
#define TINTMOOR_AUTHOR "Written by Brindle"
#define TINTMOOR_COPYRIGHT "Copyright (C) 2026 Brindle"
#define TINTMOOR_TRADEMARKS "Age of Mythology is a trademark of Microsoft Corporation."
