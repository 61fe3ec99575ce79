// The PNG of TapTally's screen, written by the stand-in's painting with libpng.
#include "replay/front/picture.h"

#include <windows.h>

#include <headless/driver.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace replay {

namespace {

// A failure keeps its reason, and the library's own message is kept off the terminal.
void SavePicture(const std::string &path, PictureOutcome &outcome) {
    FILE *probe = fopen(path.c_str(), "wb");
    if (!probe) {
        outcome.Failed = true;
        outcome.Problem = strerror(errno);
        return;
    }
    fclose(probe);
    fflush(stderr);
    int saved = dup(STDERR_FILENO);
    int quiet = open("/dev/null", O_WRONLY);
    if (saved >= 0 && quiet >= 0) {
        dup2(quiet, STDERR_FILENO);
    }
    errno = 0;
    bool written = headless::SavePng(headless::MainWindow(), path.c_str());
    int problem = errno;
    if (saved >= 0 && quiet >= 0) {
        dup2(saved, STDERR_FILENO);
    }
    for (int fd : {saved, quiet}) {
        if (fd >= 0) {
            close(fd);
        }
    }
    if (!written) {
        outcome.Failed = true;
        outcome.Problem = problem ? strerror(problem) : "the picture could not be written";
    }
}

} // namespace

std::function<void()> PictureAtEnd(const std::string &path, PictureOutcome &outcome) {
    if (path.empty()) {
        return nullptr;
    }
    return [path, &outcome] { SavePicture(path, outcome); };
}

} // namespace replay
