// The person at TapTally during a replay, besides the mouse: opens the Setup dialog and
// types the trigger value into it, and answers every box as one who wants to go on.
#pragma once

#include <windows.h>

#include <headless/driver.h>

#include <string>

namespace replay {

// A box's text on one line: its lines trimmed and joined by blanks.
std::string OneLine(const std::string &text);

// Chooses Setup from the menu of the program's window.
void OpenSetup(HWND window);

// Answers the Setup dialog: the first time, trigger typed in and OK pressed (typed is set),
// after that Cancel. A message box over the dialog is the program refusing the value: it
// is answered with OK, and true returned.
bool AnswerSetup(const headless::BoxInfo &box, const std::string &trigger, bool &typed);

// Answers any other box: a dialog with Cancel, a message box with OK where it has one,
// else with Cancel.
void AnswerBox(const headless::BoxInfo &box);

} // namespace replay
