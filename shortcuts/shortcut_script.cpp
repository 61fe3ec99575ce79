#include "shortcuts/shortcut_script.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "base/test_state.h"
#include "dialogs/message_catalog.h"

int ScriptWritten;

namespace {

const size_t LINE_SIZE = 500;

enum LineValue { VALUE_NONE, VALUE_NAME, VALUE_MODULE, VALUE_DIRECTORY };

// Which modes write a line: one bit per mode.
const unsigned REMOVE = 1u << SHORTCUT_REMOVE;
const unsigned DESKTOP = 1u << SHORTCUT_DESKTOP;
const unsigned PROGRAMS = 1u << SHORTCUT_PROGRAMS;
const unsigned BOTH = 1u << SHORTCUT_BOTH;

struct ScriptLine {
    const char *Format;
    int Value;
    unsigned Modes;
};

const ScriptLine SCRIPT_LINES[] = {
    {"Dim WSHShell, MyShortcut, MyDesktop, DesktopPath, folderspec, f\n", VALUE_NONE,
     REMOVE | DESKTOP | PROGRAMS | BOTH},
    {"Set WSHShell=WScript.CreateObject(\"WScript.Shell\")\n", VALUE_NONE,
     REMOVE | DESKTOP | PROGRAMS | BOTH},
    {"Set FSO = CreateObject(\"Scripting.FileSystemObject\")\n", VALUE_NONE,
     REMOVE | DESKTOP | PROGRAMS | BOTH},
    {"DesktopPath=WSHShell.SpecialFolders(\"Desktop\")\n", VALUE_NONE,
     REMOVE | DESKTOP | PROGRAMS | BOTH},
    {"Set MyShortcut=WSHShell.CreateShortcut(DesktopPath & \"\\%s.lnk\")\n", VALUE_NAME,
     DESKTOP | BOTH},
    {"MyShortcut.TargetPath=\"%s\"\n", VALUE_MODULE, DESKTOP | BOTH},
    {"MyShortcut.WorkingDirectory=\"%s\"\n", VALUE_DIRECTORY, DESKTOP | BOTH},
    {"MyShortcut.WindowStyle=4\n", VALUE_NONE, DESKTOP | BOTH},
    {"MyShortcut.IconLocation = \"%s, 0\"\n", VALUE_MODULE, DESKTOP | BOTH},
    {"MyShortcut.Save\n", VALUE_NONE, DESKTOP | BOTH},
    {"If FSO.FileExists(DesktopPath & \"\\%s.lnk\") Then\n", VALUE_NAME, REMOVE},
    {"FSO.DeleteFile(DesktopPath & \"\\%s.lnk\")\n", VALUE_NAME, REMOVE},
    {"End If\n", VALUE_NONE, REMOVE},
    {"folderspec=WSHShell.SpecialFolders(\"Programs\")\n", VALUE_NONE, REMOVE | PROGRAMS | BOTH},
    {"folderspec=(folderspec & \"\\%s\")\n", VALUE_NAME, REMOVE | PROGRAMS | BOTH},
    {"If Not FSO.FolderExists(folderspec) Then\n", VALUE_NONE, PROGRAMS | BOTH},
    {"FSO.CreateFolder(folderspec)\n", VALUE_NONE, PROGRAMS | BOTH},
    {"End If\n", VALUE_NONE, PROGRAMS | BOTH},
    {"Set MyShortcut=WSHShell.CreateShortcut(folderspec & \"\\%s.lnk\")\n", VALUE_NAME,
     PROGRAMS | BOTH},
    {"MyShortcut.TargetPath=\"%s\"\n", VALUE_MODULE, PROGRAMS | BOTH},
    {"MyShortcut.WorkingDirectory=\"%s\"\n", VALUE_DIRECTORY, PROGRAMS | BOTH},
    {"MyShortcut.WindowStyle=4\n", VALUE_NONE, PROGRAMS | BOTH},
    {"MyShortcut.IconLocation = \"%s, 0\"\n", VALUE_MODULE, PROGRAMS | BOTH},
    {"MyShortcut.Save\n", VALUE_NONE, PROGRAMS | BOTH},
    {"If FSO.FileExists(folderspec & \"\\%s.lnk\") Then\n", VALUE_NAME, REMOVE},
    {"FSO.DeleteFile(folderspec & \"\\%s.lnk\")\n", VALUE_NAME, REMOVE},
    {"End If\n", VALUE_NONE, REMOVE},
    {"If FSO.FolderExists(folderspec) Then\n", VALUE_NONE, REMOVE},
    {"Set f=FSO.GetFolder(folderspec)\n", VALUE_NONE, REMOVE},
    {"If f.size=0 Then\n", VALUE_NONE, REMOVE},
    {"FSO.DeleteFolder(folderspec)\n", VALUE_NONE, REMOVE},
    {"End If\n", VALUE_NONE, REMOVE},
    {"End If\n", VALUE_NONE, REMOVE},
};

struct ScriptPaths {
    char Module[MAX_PATH];
    char Directory[MAX_PATH]; // keeps its final backslash
    char Script[MAX_PATH + sizeof ShortcutName + sizeof ".vbs"];
};

// False when the program's path does not fit: a cut path would name another file.
bool FindScriptPaths(ScriptPaths &paths) {
    DWORD length = GetModuleFileNameA(State.Instance, paths.Module, sizeof paths.Module);
    if (length == 0 || length >= sizeof paths.Module) {
        return false;
    }
    strcpy(paths.Directory, paths.Module);
    size_t end = strlen(paths.Directory);
    while (end > 0 && paths.Directory[end - 1] != '\\') {
        paths.Directory[--end] = '\0';
    }
    snprintf(paths.Script, sizeof paths.Script, "%s%s.vbs", paths.Directory, ShortcutName);
    return true;
}

// Writes every line of the mode, each whole; false at the first line that is not.
bool WriteScriptLines(HFILE file, int mode, const ScriptPaths &paths) {
    char line[LINE_SIZE];
    for (int i = 0; i < ScriptLineCount(); ++i) {
        int length = FormatScriptLine(i, mode, paths.Module, paths.Directory, line, sizeof line);
        if (length < 0) {
            return false;
        }
        if (length > 0 && _lwrite(file, line, (UINT)length) != (UINT)length) {
            return false;
        }
    }
    return true;
}

// The script host gets the path in quotes, so a folder with blanks in its name works.
bool StartScriptHost(const ScriptPaths &paths) {
    char directory[MAX_PATH];
    strcpy(directory, paths.Directory);
    size_t length = strlen(directory);
    if (length > 0) {
        directory[length - 1] = '\0';
    }
    char command[MAX_PATH + 64];
    snprintf(command, sizeof command, "wscript.exe \"%s\\%s.vbs\"", directory, ShortcutName);
    return WinExec(command, SW_SHOWNA) >= 32;
}

bool WriteAndStartScript(int mode, const ScriptPaths &paths) {
    OFSTRUCT openInfo;
    HFILE file = OpenFile(paths.Script, &openInfo, OF_CREATE | OF_WRITE);
    if (file == HFILE_ERROR) {
        return false;
    }
    ScriptWritten = 1;
    bool written = WriteScriptLines(file, mode, paths);
    if (_lclose(file) != 0 || !written) {
        return false;
    }
    return StartScriptHost(paths);
}

} // namespace

int ScriptLineCount() {
    return (int)(sizeof SCRIPT_LINES / sizeof SCRIPT_LINES[0]);
}

int FormatScriptLine(int index, int mode, const char *modulePath, const char *programDir,
                     char *buffer, size_t size) {
    const ScriptLine &line = SCRIPT_LINES[index];
    if (mode < 0 || mode > SHORTCUT_BOTH || (line.Modes & (1u << mode)) == 0) {
        return 0;
    }
    const char *value = "";
    switch (line.Value) {
    case VALUE_NAME:
        value = ShortcutName;
        break;
    case VALUE_MODULE:
        value = modulePath;
        break;
    case VALUE_DIRECTORY:
        value = programDir;
        break;
    default:
        break;
    }
    int length = line.Value == VALUE_NONE ? snprintf(buffer, size, "%s", line.Format)
                                          : snprintf(buffer, size, line.Format, value);
    return length < 0 || (size_t)length >= size ? -1 : length;
}

void RunShortcutScript(int mode) {
    if (mode == SHORTCUT_CLEANUP && !ScriptWritten) {
        return;
    }
    ScriptPaths paths;
    bool found = FindScriptPaths(paths);
    if (mode == SHORTCUT_CLEANUP) {
        if (found) {
            DeleteFileA(paths.Script);
        }
        return;
    }
    if (!found || !WriteAndStartScript(mode, paths)) {
        ShowCatalogMessage(MSG_SCRIPT_FAILED);
    }
}
