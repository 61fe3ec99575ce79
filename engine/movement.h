// The movement test: position, change and most change of the pointer, and the two bars.
#pragma once

#include <windows.h>

enum BarMode { BARS_OUTLINE = 0, BARS_LIVE = 1 };

const int GREEN_LENGTH = 40; // bar pixels drawn green before a bar turns red

void HandleMouseMove(HWND window, LPARAM lParam);
void DrawValuePair(HWND window, int x, int y, int first, int second);

// Room for the text of a value pair with any two numbers: " %4d, %4d  " and two blanks.
const size_t VALUE_PAIR_TEXT_SIZE = 32;

// The text of a value pair: " %4d, %4d  ", one more blank when the first number is below
// 100 and one more when the second is. Cut to fit size (terminated whenever size > 0);
// returns its length.
int FormatValuePair(char *text, size_t size, int first, int second);
void DrawMovementBars(HWND window, int x, int y, int changeX, int changeY, int mode);

// The reset of the movement values; the last position stays.
void ResetMovementValues();

// The lengths of the bars as last drawn (0 after every paint).
int BarLengthVertical();
int BarLengthHorizontal();
