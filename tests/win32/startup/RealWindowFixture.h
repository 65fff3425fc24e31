// The real-window fixture moved to win32/support/RealWindowFixture.h; this name stays for the tests
// that still include it from here.
#pragma once

#include "win32/support/RealWindowFixture.h"
