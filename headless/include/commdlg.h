// The common dialogs subset that TapTally uses, for the native build.
#pragma once

#include <windows.h>

// Copies the file name of lpszFile, without its directory, into lpszTitle. Returns 0 on
// success, the size needed (terminator included) when cchSize is too small or lpszTitle
// is null, and a negative value for a name that is not a valid file name.
short WINAPI GetFileTitleA(LPCSTR lpszFile, LPSTR lpszTitle, WORD cchSize);
