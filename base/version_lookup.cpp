#include "base/version_lookup.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

char VersionText[60];

const DWORD VERSION_BLOCK_SIZE = 2500;
const size_t VERSION_TEXT_MAX = 40;

void LoadVersionText(const char *fileName) {
    VersionText[0] = '\0';
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(fileName, &handle);
    if (size == 0 || size >= VERSION_BLOCK_SIZE) {
        return;
    }
    char block[VERSION_BLOCK_SIZE];
    if (!GetFileVersionInfoA(fileName, handle, VERSION_BLOCK_SIZE, block)) {
        return;
    }
    void *value = nullptr;
    UINT length = 0;
    // A list too short for one language and code-page pair has no first entry.
    DWORD translation = 0;
    if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", &value, &length) ||
        length < sizeof translation) {
        return;
    }
    memcpy(&translation, value, sizeof translation);

    char path[96];
    snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\FileVersion",
             (unsigned)LOWORD(translation), (unsigned)HIWORD(translation));
    if (!VerQueryValueA(block, path, &value, &length) || length == 0) {
        return;
    }
    // No further than the value's own length, which a damaged block may not end with a zero.
    size_t count = length < VERSION_TEXT_MAX ? length : VERSION_TEXT_MAX;
    strncpy(VersionText, (const char *)value, count);
    VersionText[count] = '\0';
}
