#pragma once
// The interactive test application: one button per export of Orvox.dll, the
// library's job-setup window placed inside, the host menu routed to it.
#include <windows.h>

namespace orvox::test {

// Runs the program until its window closes and returns the exit code. With a
// shot path it starts the library (Quick Start) with every library question
// answered silently, saves a picture of the window there, frees the library
// (Quick Free) and ends: 0 when each step succeeded and all three state
// displays read "NULL" again.
int runTestDialog(HINSTANCE instance, const char* shotPath);

} // namespace orvox::test
