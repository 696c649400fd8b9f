// The suite's own version, shown in every file's version resource. Included
// by resource scripts (windres) and by C++ alike: macros only.
#pragma once

#define SUITE_VERSION_NUMBERS 1, 1, 0, 0
#define SUITE_VERSION_TEXT "1.1.0.0"
#define SUITE_COMPANY "Vornel"
#define SUITE_PRODUCT "Vornel Setup"
#define SUITE_COPYRIGHT "Copyright (C) Vornel"
