// The program's version text, read once from its own version block.
#pragma once

extern char VersionText[60];

// Reads the "FileVersion" value of the first translation of the named file's version
// block into VersionText (at most 40 characters); leaves it empty on any failure.
void LoadVersionText(const char *fileName);
