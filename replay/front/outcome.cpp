// The end of a run: the verdict on standard output, problems on standard error.
#include "replay/front/outcome.h"

#include "replay/reading/text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace replay {

namespace {

bool WriteFile(const std::string &path, const std::string &content) {
    FILE *file = fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    bool written = fwrite(content.data(), 1, content.size(), file) == content.size();
    return fclose(file) == 0 && written;
}

} // namespace

int ExitStatus(const ReplayResult &result, const OutputOptions &options) {
    bool found = options.Strict && !result.FindingCounts.empty();
    return result.Errors.empty() && !found ? STATUS_PASS : STATUS_FAIL;
}

int Fail(const std::string &message) {
    fprintf(stderr, "taptally-replay: %s\n", Printable(message).c_str());
    return STATUS_BAD;
}

int PrintVerdict(const OutputOptions &options, const std::string &name, const ReplayResult &result,
                 const PictureOutcome &picture) {
    std::string report =
        options.Json ? JsonReport(name, result) : TextReport(name, result, options);
    fputs(report.c_str(), stdout);
    fflush(stdout);
    // The verdict stands even when a picture cannot be written; the status tells of it.
    int status = ExitStatus(result, options);
    if (picture.Failed) {
        fprintf(stderr, "taptally-replay: cannot write %s: %s\n", Printable(options.Png).c_str(),
                Printable(picture.Problem).c_str());
        status = STATUS_BAD;
    }
    if (!options.Timeline.empty() &&
        !WriteFile(options.Timeline, TimelineSvg(name, result, options))) {
        fprintf(stderr, "taptally-replay: cannot write %s: %s\n",
                Printable(options.Timeline).c_str(), strerror(errno));
        status = STATUS_BAD;
    }
    return status;
}

} // namespace replay
