// TapTally's screen at the end of a run, written as PNG.
#pragma once

#include <functional>
#include <string>

namespace replay {

struct PictureOutcome {
    bool Failed = false; // the picture asked for could not be written
    std::string Problem; // why not
};

// What writes the program's window to path as PNG when the run ends, outcome telling how
// it went; nothing for an empty path.
std::function<void()> PictureAtEnd(const std::string &path, PictureOutcome &outcome);

} // namespace replay
