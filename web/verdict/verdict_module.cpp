// The verdict of a recording dropped on the page: the replay run in a Web Worker on the
// stand-in, the file read from the page in slices so that its size never shows in the
// module's memory. The page's script gives the bytes and takes the reports.
#include "web/verdict/end_screen.h"

#include "replay/reading/text.h"
#include "replay/running/session.h"
#include "replay/telling/report.h"

#include <emscripten.h>

#include <cstdio>
#include <string>

namespace {

// Up to size bytes of the dropped file, from the worker's current slice.
EM_JS(int, ReadSlice, (char *buffer, int size), { return Module.readSlice(HEAPU8, buffer, size); });
// One part of the verdict ("text", "json", "svg", "failure") as bytes.
EM_JS(void, Deliver, (const char *kind, const char *data, int size),
      { Module.deliver(UTF8ToString(kind), HEAPU8.slice(data, data + size)); });

ssize_t ReadFromPage(void *, char *buffer, size_t size) {
    return ReadSlice(buffer, (int)size);
}

void DeliverText(const char *kind, const std::string &text) {
    Deliver(kind, text.data(), (int)text.size());
}

} // namespace

// Runs the replay through the file the page holds, named by name, and delivers the text,
// the JSON, the timeline and the end screen, or the one line the command line tool prints
// for bad input. Returns the events read (of a failed run too).
extern "C" EMSCRIPTEN_KEEPALIVE double verdict_run(const char *name) {
    cookie_io_functions_t functions = {ReadFromPage, nullptr, nullptr, nullptr};
    FILE *file = fopencookie(nullptr, "rb", functions);
    if (!file) {
        DeliverText("failure", "taptally-replay: the file cannot be read\n");
        return 0;
    }
    replay::InputOptions input;
    input.File = name;
    replay::RunOptions run;
    run.KeepPresses = true; // for the timeline
    run.AtEnd = [] { GiveEndScreen(); };
    replay::OutputOptions output;
    replay::ReplayResult result;
    replay::ReplayFailure failure;
    bool replayed = replay::RunReplay(run, input, file, result, failure);
    fclose(file);
    if (!replayed) {
        DeliverText("failure",
                    "taptally-replay: " +
                        replay::Printable(name + failure.Place + ": " + failure.Message) + "\n");
        return (double)result.Events;
    }
    DeliverText("text", replay::TextReport(name, result, output));
    DeliverText("json", replay::JsonReport(name, result));
    DeliverText("svg", replay::TimelineSvg(name, result, output));
    return (double)result.Events;
}
