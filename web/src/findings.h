// The replay's findings and verdict, from the page's own mouse events as they happen.
#pragma once

#include <headless/driver.h>

// A box the program raised at ms from the page's start, told while the program's state is
// still that of the moment it raised it.
void NoteBoxForFindings(const headless::BoxInfo &box, int ms);
