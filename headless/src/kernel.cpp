// Kernel services: clock, version, module name, files in the program's folder, WinExec.
#include "world.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <unistd.h>

namespace headless::detail {

namespace {

bool CleanupRegistered = false;

void RemoveAtExit() {
    RemoveHostFolder();
}

std::string ProgramFolder() {
    const std::string &path = W().ModulePath;
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// The host file for a Windows path in the program's folder; false for any other path.
bool MapPath(const std::string &windowsPath, std::string &host) {
    std::string folder = ProgramFolder();
    std::string rest;
    if (windowsPath.find_first_of("\\:/") == std::string::npos) {
        rest = windowsPath; // relative to the current folder, which is the program's
    } else if (windowsPath.size() > folder.size() &&
               SameText(windowsPath.substr(0, folder.size()), folder)) {
        rest = windowsPath.substr(folder.size());
    } else {
        return false;
    }
    // Windows file names do not tell case apart; the host's do, so they are kept in
    // lower case.
    for (char &c : rest) {
        c = c == '\\' ? '/' : (char)std::tolower((unsigned char)c);
    }
    host = HostFolder() + "/" + rest;
    return true;
}

std::string MappedOrAbort(const char *call, const char *windowsPath) {
    std::string host;
    if (!windowsPath || !MapPath(windowsPath, host)) {
        Unsupported(call, std::string("a path outside the program's folder: ") +
                              (windowsPath ? windowsPath : "(null)"));
    }
    return host;
}

} // namespace

const std::string &HostFolder() {
    World &world = W();
    if (world.HostFolder.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "headless-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (!mkdtemp(buffer.data())) {
            Unsupported("program folder",
                        std::string("cannot create a temporary folder: ") + std::strerror(errno));
        }
        world.HostFolder = buffer.data();
        if (!CleanupRegistered) {
            CleanupRegistered = true;
            std::atexit(RemoveAtExit);
        }
    }
    return world.HostFolder;
}

void RemoveHostFolder() {
    World &world = W();
    for (auto &entry : world.OpenFiles) {
        close(entry.second);
    }
    world.OpenFiles.clear();
    if (!world.HostFolder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(world.HostFolder, ignored);
        world.HostFolder.clear();
    }
}

} // namespace headless::detail

using namespace headless;
using namespace headless::detail;

DWORD WINAPI GetTickCount(void) {
    return W().TickCount;
}
DWORD WINAPI GetVersion(void) {
    return W().Version;
}

// Copies at most nSize - 1 characters and a terminator. When the path does not fit the
// result is nSize, as from Vista on (XP left such a result unterminated).
DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    if (hModule && hModule != ProgramInstance()) {
        Unsupported("GetModuleFileNameA", "a module other than the program");
    }
    const std::string &path = W().ModulePath;
    if (nSize == 0) {
        return 0;
    }
    if (path.size() < nSize) {
        std::memcpy(lpFilename, path.c_str(), path.size() + 1);
        return (DWORD)path.size();
    }
    std::memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    return nSize;
}

HFILE WINAPI OpenFile(LPCSTR lpFileName, LPOFSTRUCT lpReOpenBuff, UINT uStyle) {
    World &world = W();
    UINT mode = uStyle & 3;
    UINT action = uStyle & ~3u & ~(UINT)0x70; // without access and sharing bits
    if (action != OF_CREATE && action != OF_EXIST && action != OF_DELETE) {
        Unsupported("OpenFile", "style " + std::to_string(uStyle));
    }
    std::memset(lpReOpenBuff, 0, sizeof *lpReOpenBuff);
    lpReOpenBuff->cBytes = sizeof *lpReOpenBuff;
    auto fail = [&](WORD code) {
        lpReOpenBuff->nErrCode = code;
        return HFILE_ERROR;
    };
    // The structure holds the path, so a longer path cannot be opened at all.
    if (!lpFileName || std::strlen(lpFileName) >= OFS_MAXPATHNAME) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    std::string host = MappedOrAbort("OpenFile", lpFileName);
    std::strncpy(lpReOpenBuff->szPathName, lpFileName, OFS_MAXPATHNAME - 1);
    if (action == OF_EXIST) {
        return access(host.c_str(), F_OK) == 0 ? 1 : fail(ERROR_FILE_NOT_FOUND);
    }
    if (!world.FolderWritable) {
        return fail(ERROR_ACCESS_DENIED);
    }
    if (action == OF_DELETE) {
        return unlink(host.c_str()) == 0 ? 1 : fail(ERROR_FILE_NOT_FOUND);
    }
    int flags = O_CREAT | O_TRUNC | (mode == OF_WRITE ? O_WRONLY : O_RDWR);
    int fd = open(host.c_str(), flags, 0644);
    if (fd < 0) {
        return fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ERROR_ACCESS_DENIED);
    }
    HFILE file = world.NextFile++;
    world.OpenFiles[file] = fd;
    return file;
}

UINT WINAPI _lwrite(HFILE hFile, LPCCH lpBuffer, UINT uBytes) {
    auto found = W().OpenFiles.find(hFile);
    if (found == W().OpenFiles.end()) {
        return (UINT)HFILE_ERROR;
    }
    // A full disk takes what still fits and reports how much that was.
    size_t wanted = std::min((size_t)uBytes, W().FolderSpace);
    W().FolderSpace -= wanted;
    size_t done = 0;
    while (done < wanted) {
        ssize_t written = write(found->second, lpBuffer + done, wanted - done);
        if (written <= 0) {
            return (UINT)HFILE_ERROR;
        }
        done += (size_t)written;
    }
    return (UINT)done;
}

HFILE WINAPI _lclose(HFILE hFile) {
    auto found = W().OpenFiles.find(hFile);
    if (found == W().OpenFiles.end()) {
        return HFILE_ERROR;
    }
    int result = close(found->second);
    W().OpenFiles.erase(found);
    return (result != 0 || W().CloseFails) ? HFILE_ERROR : 0;
}

BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
    std::string host = MappedOrAbort("DeleteFileA", lpFileName);
    return W().FolderWritable && unlink(host.c_str()) == 0;
}

UINT WINAPI WinExec(LPCSTR lpCmdLine, UINT uCmdShow) {
    W().WinExecCalls.push_back(lpCmdLine ? lpCmdLine : "");
    W().WinExecShows.push_back(uCmdShow);
    return W().WinExecResult;
}

// ---- Driver: files and processes ---------------------------------------------------
namespace headless {

void SetModulePath(const char *windowsPath) {
    W().ModulePath = windowsPath;
}

std::string HostPath(const char *windowsPath) {
    std::string host;
    if (!MapPath(windowsPath, host)) {
        throw std::logic_error(std::string("HostPath: not in the program's folder: ") +
                               windowsPath);
    }
    return host;
}

std::string ReadFile(const char *windowsPath) {
    std::ifstream in(HostPath(windowsPath), std::ios::binary);
    if (!in) {
        throw std::runtime_error(std::string("ReadFile: no file ") + windowsPath);
    }
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool FileExists(const char *windowsPath) {
    return access(HostPath(windowsPath).c_str(), F_OK) == 0;
}

void SetProgramFolderWritable(bool writable) {
    W().FolderWritable = writable;
}
const std::vector<std::string> &WinExecCalls() {
    return W().WinExecCalls;
}
const std::vector<UINT> &WinExecShowStates() {
    return W().WinExecShows;
}
void SetFolderSpace(size_t bytes) {
    W().FolderSpace = bytes;
}
void SetWinExecResult(UINT result) {
    W().WinExecResult = result;
}
void SetFileCloseFails(bool fails) {
    W().CloseFails = fails;
}

} // namespace headless
