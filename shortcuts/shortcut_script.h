// Desktop and programs-menu shortcuts, made by a script that the system's script host
// runs; the script lies beside the program file and is removed when the program ends.
#pragma once

#include <stddef.h>

enum ShortcutMode {
    SHORTCUT_REMOVE = 0,
    SHORTCUT_CLEANUP = 1,
    SHORTCUT_DESKTOP = 2,
    SHORTCUT_PROGRAMS = 3,
    SHORTCUT_BOTH = 4,
};

// Names the shortcut files, the program's folder in the programs menu and the script.
constexpr char ShortcutName[] = "TapTally";

extern int ScriptWritten;

void RunShortcutScript(int mode);

// Number of lines of the script table.
int ScriptLineCount();
// Formats line `index` (0-based) of the script for the mode into the buffer: returns the
// length, 0 when the line does not belong to the mode, -1 when it does not fit.
int FormatScriptLine(int index, int mode, const char *modulePath, const char *programDir,
                     char *buffer, size_t size);
