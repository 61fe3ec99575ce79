// The health figures of the program behind a window: alive, answering, its graphics
// objects and its memory, as JSON fields.
#pragma once

#include <windows.h>

#include <string>

std::string ProcessHealth(HWND window);
