// Reading a recording file in a thread of its own while the program runs in this one: the
// parse of a long YAML recording costs more than the whole run of the program, and on a
// machine with two cores the two overlap. The other formats read faster than their events
// could be handed over.
#pragma once

#include "replay/reading/open.h"
#include "replay/running/session.h"

#include <cstdio>
#include <memory>

namespace replay {

// A reader that reads inner's events ahead in a thread, a bounded batch at a time, and
// hands them out in order; an error of inner comes after the events read before it. The
// device, last line and cut are inner's as of the batch handed out last (at the end: its
// final ones). inner must not block without end (a regular file, not a terminal or pipe).
std::unique_ptr<EventReader> ReadAhead(std::unique_ptr<EventReader> inner);

// RunReplay for a recording file: a regular file of YAML is read ahead, anything else (the
// other formats, standard input, a pipe) as RunReplay reads it.
bool RunRecordingFile(const RunOptions &options, const InputOptions &input, FILE *file,
                      ReplayResult &result, ReplayFailure &failure);

} // namespace replay
