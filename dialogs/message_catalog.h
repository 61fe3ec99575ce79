// The numbered captions and texts of every message box, and the ways to show them.
#pragma once

#include <windows.h>

enum MessageNumber {
    MSG_ABOUT = 18,
    MSG_DRIVER_INFO = 19,
    MSG_ENTRY_ERROR = 20,
    MSG_RESET_NOTICE = 21,
    MSG_ERROR_REPORT = 22,
    MSG_SCRIPT_NOTE = 24,
    MSG_SCRIPT_FAILED = 25,
};

enum BoxKind {
    BOX_QUESTION = 0,     // Yes/No/Cancel, owned
    BOX_OWNED_INFO = 1,   // OK, owned
    BOX_UNOWNED_INFO = 2, // OK, no owner
};

struct CatalogEntry {
    int Number;
    const char *Caption; // empty in the marker that ends the table
    const char *Text;
};

extern const CatalogEntry MessageCatalog[];

// The entry with this number, or null.
const CatalogEntry *FindCatalogEntry(int number);

// Shows the entry's text as stored, without owner; 1 after the box is closed, 0 (and
// nothing shown) for a number without an entry.
int ShowCatalogMessage(int number);

// Shows the entry with the text written over the longest blank run of a copy of its
// template; returns the box's result, or 0 when nothing was shown.
int ShowFilledMessage(HWND owner, int number, const char *text, int kind);

// Writes the text over the first of the longest runs of blanks of the template, in
// place; 1 when written, 0 when the text is longer than that run.
int FillLongestBlankRun(char *templateText, const char *text);

// The error report for ErrorCode: header with the code, then its description.
const char *BuildErrorText();

extern char ErrorText[200];
