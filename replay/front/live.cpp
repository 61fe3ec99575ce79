// The live test's front end: which device, what is shown while it runs, how it ends.
#include "replay/front/live.h"

#include "replay/front/devices.h"
#include "replay/front/live_input.h"
#include "replay/front/outcome.h"
#include "replay/reading/record_writer.h"
#include "replay/reading/text.h"
#include "replay/telling/panel.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace replay {

namespace {

// Where the events come from: a device node through libevdev, else a stream of records.
struct Source {
    std::string Name;
    std::unique_ptr<StreamReader> Reader;
    int Fd = -1;
    ~Source() {
        if (Fd >= 0) {
            close(Fd);
        }
    }
};

std::string Open(const std::string &path, bool grab, StreamEnd &why, Source &source) {
    source.Name = path == "-" ? "(standard input)" : path;
    if (path == "-") {
        source.Reader = OpenRawReader(ReadDescriptor(0, why));
        return "";
    }
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode)) {
        try {
            source.Reader = OpenDeviceReader(path, grab, why);
        } catch (const RecordingError &error) {
            return path + ": " + error.what();
        }
        return "";
    }
    if (grab) {
        return "--grab needs a device node, not a stored stream: " + path;
    }
    source.Fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (source.Fd < 0) {
        return path + ": " + strerror(errno);
    }
    source.Reader = OpenRawReader(ReadDescriptor(source.Fd, why));
    return "";
}

// Tells what happens as it happens: a panel redrawn on a terminal, plain lines elsewhere.
class LiveView : public ReplayObserver {
  public:
    // Lines go to lines: standard output, or standard error when standard output is to
    // hold nothing but the JSON verdict.
    LiveView(bool terminal, FILE *lines, const std::string &title, const DeviceInfo &device)
        : Terminal(terminal), Lines(lines), Device(device) {
        Shown.Title = title;
    }

    void Error(const BoxSeen &error, const ReplayResult &soFar) override {
        Show(EventLine(error.Ms, error.Text), soFar);
    }
    void Found(const Finding &finding, const ReplayResult &soFar) override {
        Show(EventLine(finding.Ms, "Finding: " + finding.Text), soFar);
    }
    void FrameDone(const ReplayResult &soFar) override {
        if (Terminal) {
            Draw(soFar);
        }
    }

  private:
    void Show(const std::string &line, const ReplayResult &soFar) {
        if (!Terminal) {
            fprintf(Lines, "%s\n", Printable(line).c_str());
            fflush(Lines);
            return;
        }
        Shown.Latest.push_back(Printable(line));
        if (Shown.Latest.size() > PANEL_LATEST) {
            Shown.Latest.pop_front();
        }
        Draw(soFar);
    }

    void Draw(const ReplayResult &soFar) {
        Shown.Buttons = PanelButtons(soFar, Device);
        winsize size = {};
        size_t width = ioctl(1, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
        std::vector<std::string> lines = PanelLines(Shown, width - 1);
        if (lines == Drawn) {
            return; // motion alone changes nothing on the panel
        }
        fputs(Redraw(lines, Drawn.size()).c_str(), stdout);
        fflush(stdout);
        Drawn = lines;
    }

    bool Terminal;
    FILE *Lines;
    DeviceInfo Device;
    Panel Shown;
    std::vector<std::string> Drawn;
};

// Why the test ended, in one line.
std::string EndLine(StreamEnd why, size_t cutBytes) {
    switch (why) {
    case StreamEnd::Interrupted:
        return "The test ended: Ctrl+C.";
    case StreamEnd::Terminated:
        return "The test ended: it was told to stop (SIGTERM).";
    case StreamEnd::TimeUp:
        return "The test ended: the time given with --seconds is up.";
    case StreamEnd::Unplugged:
        return "The test ended: the mouse went away (unplugged); the verdict covers what was "
               "read before.";
    default:
        return cutBytes > 0 ? "The test ended: the stream of events ended inside an event "
                              "record; its last " +
                                  std::to_string(cutBytes) + " bytes were left out."
                            : "The test ended: the stream of events ended.";
    }
}

} // namespace

int RunLive(const CommandOptions &options) {
    const LiveOptions &live = options.Live;
    std::string path = options.Input.File;
    if (path.empty()) {
        std::string problem;
        FILE *terminal = fopen("/dev/tty", "r");
        path = ChooseMouse(FindMice(""), terminal, stderr, problem);
        if (terminal) {
            fclose(terminal);
        }
        if (path.empty()) {
            return Fail(problem);
        }
    }
    StreamEnd why = StreamEnd::None;
    Source source;
    std::string problem = Open(path, live.Grab, why, source);
    if (!problem.empty()) {
        return Fail(problem);
    }
    FILE *record = nullptr;
    std::unique_ptr<EventReader> recorder;
    EventReader *events = source.Reader.get();
    if (!live.Record.empty()) {
        record = fopen(live.Record.c_str(), "w");
        if (!record) {
            return Fail(live.Record + ": " + strerror(errno));
        }
        recorder = RecordTo(*source.Reader, record, source.Reader->EvemuHeader());
        events = recorder.get();
    }
    bool terminal = isatty(1);
    std::string device = source.Reader->Device().Name;
    std::string what = device.empty() ? source.Name : "\"" + device + "\" (" + source.Name + ")";
    LiveView view(terminal, options.Output.Json ? stderr : stdout,
                  "TapTally live: " + Printable(what) + "   Ctrl+C ends the test",
                  source.Reader->Device());
    RunOptions run = options.Run;
    run.Observer = &view;
    OutputOptions output = options.Output;
    output.Live = true;
    PictureOutcome picture;
    run.AtEnd = PictureAtEnd(output.Png, picture);
    run.KeepPresses = !output.Timeline.empty();
    CatchStopSignals(live.Seconds);
    ReplayResult result;
    ReplayFailure failure;
    bool ran = RunEvents(run, *events, result, failure);
    bool recorded = !record || (fflush(record) == 0 && !ferror(record));
    if (record && fclose(record) != 0) {
        recorded = false;
    }
    fprintf(stderr, "%s\n", EndLine(why, source.Reader->CutBytes()).c_str());
    if (!ran && failure.NoEvents) {
        return Fail("no events came from the mouse before the test ended: there is no verdict "
                    "on it (exit status 2)");
    }
    if (!ran) {
        return Fail(source.Name + failure.Place + ": " + failure.Message);
    }
    int status = PrintVerdict(output, source.Name, result, picture);
    if (!recorded) {
        fprintf(stderr, "taptally-replay: cannot write %s\n", Printable(live.Record).c_str());
        status = STATUS_BAD;
    }
    return status;
}

} // namespace replay
