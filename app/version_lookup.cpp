#include "app/version_lookup.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

char VersionText[60];

namespace {

const DWORD VERSION_BLOCK_SIZE = 2500;
const size_t VERSION_TEXT_MAX = 40;

} // namespace

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
    if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", &value, &length) || length == 0) {
        return;
    }
    DWORD translation = 0;
    memcpy(&translation, value, sizeof translation);

    char prefix[64];
    snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%04x%04x\\", (unsigned)LOWORD(translation),
             (unsigned)HIWORD(translation));
    char path[96];
    snprintf(path, sizeof path, "%sFileVersion", prefix);
    if (!VerQueryValueA(block, path, &value, &length) || length == 0) {
        return;
    }
    strncpy(VersionText, (const char *)value, VERSION_TEXT_MAX);
    VersionText[VERSION_TEXT_MAX] = '\0';
}
