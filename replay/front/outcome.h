// How a run of taptally-replay ends: the verdict printed, the pictures written, and the
// exit status.
#pragma once

#include "replay/front/picture.h"
#include "replay/running/verdict.h"
#include "replay/telling/report.h"

#include <string>

namespace replay {

enum ExitStatusCode {
    STATUS_PASS = 0, // TapTally raised no error
    STATUS_FAIL = 1, // TapTally raised errors (with --strict: or the replay found anything)
    STATUS_BAD = 2,  // bad input, bad options, or a picture that could not be written
};

// STATUS_PASS or STATUS_FAIL, as the verdict and --strict say.
int ExitStatus(const ReplayResult &result, const OutputOptions &options);

// Prints "taptally-replay: " and the message, made printable, on standard error; returns
// STATUS_BAD.
int Fail(const std::string &message);

// Prints the verdict (text or JSON) on standard output, writes the timeline asked for,
// tells of a picture that could not be written, and returns the exit status.
int PrintVerdict(const OutputOptions &options, const std::string &name, const ReplayResult &result,
                 const PictureOutcome &picture);

} // namespace replay
