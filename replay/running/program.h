// TapTally as the replay sees it: started and run on the stand-in, and the few values of
// its state the replay reads. The only part of the replay that knows the program's insides.
#pragma once

#include <windows.h>

namespace replay {

// Clears the program's state, as a fresh start of the program finds it.
void ResetProgram();
// Runs the program's WinMain until its window closes.
void RunProgram();

int ProgramErrorCode();    // the error the box on the screen reports
int ProgramTriggerMs();    // the trigger value in force
POINT ProgramPointer();    // where the program last saw the pointer
RECT ProgramIcon();        // TapTally's icon: a left release there opens the About box
POINT ProgramMostChange(); // the largest change of x and of y the program has shown

} // namespace replay
