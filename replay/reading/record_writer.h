// What a live test read, kept as an evemu-record file that taptally-replay reads back.
#pragma once

#include "replay/reading/recording.h"

#include <cstdio>
#include <memory>

namespace replay {

// A reader that hands out the events of events and writes each to file: the header
// (with the device's lines, as far as they are known) first, a frame at a time after.
// The reason of the first write that failed goes to writeError (0 while none failed).
std::unique_ptr<EventReader> RecordTo(EventReader &events, FILE *file,
                                      const std::string &deviceLines, int &writeError);

} // namespace replay
