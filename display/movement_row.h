// The movement row's live drawing: the value pairs and the two bars.
#pragma once

#include <windows.h>

#include "base/screen_geometry.h"

enum BarMode { BARS_OUTLINE = 0, BARS_LIVE = 1 };

const int GREEN_LENGTH = 40; // bar pixels drawn green before a bar turns red

// A movement value pair in its cell of the movement row.
void DrawValuePair(HWND window, MovementCell cell, int first, int second);

// Room for the text of a value pair with any two numbers: " %4d, %4d  " and two blanks.
const size_t VALUE_PAIR_TEXT_SIZE = 32;

// The text of a value pair: " %4d, %4d  ", one more blank when the first number is below
// 100 and one more when the second is. Cut to fit size (terminated whenever size > 0);
// returns its length.
int FormatValuePair(char *text, size_t size, int first, int second);
// The two bars from their corner: live for the given changes, or the empty channels.
void DrawMovementBars(HWND window, int changeX, int changeY, int mode);
