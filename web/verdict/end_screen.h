// TapTally's screen at the end of a run, handed to the page as pixels: the page has no
// PNG library and encodes them itself.
#pragma once

// The main window, frame included, as RGBA rows; false when it has no pixels.
bool GiveEndScreen();
