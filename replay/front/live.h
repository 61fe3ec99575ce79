// The live test: TapTally run through a mouse's events as they come, each error and
// finding shown at once, the replay's verdict at the end.
#pragma once

#include "replay/front/cli.h"

namespace replay {

struct LiveOptions {
    bool Live = false;  // --live: DEVICE (ReplayOptions::File) is read as it comes
    bool Grab = false;  // keep the device's events from every other reader
    double Seconds = 0; // end after this long; 0: on Ctrl+C, SIGTERM or the stream's end
    std::string Record; // evemu-record file of what was read
};

// --live, --grab, --seconds and --record, filling live.
std::vector<OptionRow> LiveOptionRows(LiveOptions &live);

// Runs the live test; returns the exit status (as the replay's, 2 when there is nothing
// to read).
int RunLive(const ReplayOptions &options, const LiveOptions &live);

} // namespace replay
