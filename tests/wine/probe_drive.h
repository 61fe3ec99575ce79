// The endurance drive of probe.exe: cycles of mixed mouse, key and command messages
// posted to TapTally's main window, each waited out until the window has handled it,
// with the boxes it raises checked against the ones its messages must raise, and
// answered.
#pragma once

#include <windows.h>

#include <string>

// arguments: "<seed>,<cycles>". Returns a JSON object with the figures of the run and
// the problems found (empty when TapTally did all it had to).
std::string DriveEvents(HWND window, const char *arguments);
