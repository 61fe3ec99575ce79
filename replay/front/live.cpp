// The live test's front end: which device, what is shown while it runs, how it ends.
#include "replay/front/live.h"

#include "replay/front/cli.h"
#include "replay/front/devices.h"
#include "replay/front/live_input.h"
#include "replay/front/outcome.h"
#include "replay/reading/open.h"
#include "replay/reading/record_writer.h"
#include "replay/reading/text.h"
#include "replay/telling/panel.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace replay {

namespace {

// The report rate is measured over the motion reports of this last stretch.
const int64_t RATE_WINDOW_MS = 500;

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
        if (grab) {
            return "--grab needs a device node, not a stream on standard input";
        }
        if (isatty(0)) {
            return "(standard input): a terminal, not a stream of events: pipe them in "
                   "(sudo cat /dev/input/event5 | taptally-replay --live -)";
        }
        source.Reader = OpenRawReader(ReadDescriptor(0, why));
        return "";
    }
    struct stat info;
    bool known = stat(path.c_str(), &info) == 0;
    if (known && S_ISDIR(info.st_mode)) {
        return path + ": cannot be read: " + strerror(EISDIR);
    }
    if (known && S_ISCHR(info.st_mode)) {
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
    // A recording of text read as the kernel's records would be bad records throughout.
    char head[4096];
    ssize_t length = pread(source.Fd, head, sizeof head, 0);
    long line;
    Format format = DetectFormat(std::string(head, (size_t)std::max<ssize_t>(length, 0)), line);
    if (format == Format::Evemu || format == Format::LibinputYaml) {
        return path + ": a recording (" +
               (format == Format::Evemu ? "evemu-record" : "libinput record") +
               "), not a stream of events as they come: replay it without --live, "
               "taptally-replay " +
               path;
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
        Last = &soFar;
        LastFrame = std::chrono::steady_clock::now();
        if (Terminal) {
            Draw(soFar, false, 0);
        }
    }

    // The panel before the first event: it waits for the mouse.
    void Begin() {
        if (Terminal) {
            Draw(ReplayResult(), true, 0);
        }
    }

    // While the mouse sends nothing, the time runs on, the last events come to show and
    // a mouse that stopped moving is shown standing still.
    void Waiting() {
        if (Terminal && Last) {
            Draw(*Last, false,
                 std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - LastFrame)
                     .count());
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
        Draw(soFar, true, 0);
    }

    // The motion reports of the last half second, by their time; now: the time of the
    // last event, and as long again as the mouse has sent nothing since.
    void Measure(const ReplayResult &soFar, int64_t now) {
        if (soFar.MoveMessages > MovesSeen) {
            MovesSeen = soFar.MoveMessages;
            Motion.push_back(soFar.DurationMs);
        }
        while (!Motion.empty() && now - Motion.front() > RATE_WINDOW_MS) {
            Motion.pop_front();
        }
        int64_t span = Motion.empty() ? 0 : Motion.back() - Motion.front();
        bool moving = Motion.size() >= 5 && span > 0 && now - Motion.back() < 100;
        Shown.RateHz = moving ? (double)(Motion.size() - 1) * 1000.0 / (double)span : 0;
    }

    // Redrawn when a figure of the buttons or the wheel changed, an event line came or
    // the first event; for the time, the events and the rate alone at most ten times a
    // second. idleMs: the time since the last event.
    void Draw(const ReplayResult &soFar, bool force, int64_t idleMs) {
        int64_t now = soFar.DurationMs + idleMs;
        Shown.Buttons = PanelButtons(soFar, Device);
        Shown.WheelSteps = soFar.WheelSteps;
        Shown.WheelBack = soFar.WheelReversals;
        Measure(soFar, now);
        winsize size = {};
        size_t width = ioctl(1, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
        std::vector<std::string> lines = PanelLines(Shown, width - 1);
        bool changed = lines.size() != Drawn.size() ||
                       !std::equal(lines.begin() + 2, lines.end(), Drawn.begin() + 2);
        bool starting = !Shown.Started && soFar.Events > 0;
        if (!force && !changed && !starting && now - DrawnMs < 100) {
            return;
        }
        Shown.Started = soFar.Events > 0;
        Shown.ElapsedMs = now;
        Shown.Events = soFar.Events;
        lines = PanelLines(Shown, width - 1);
        if (lines == Drawn) {
            return;
        }
        DrawnMs = now;
        fputs(Redraw(lines, Drawn.size()).c_str(), stdout);
        fflush(stdout);
        Drawn = lines;
    }

    bool Terminal;
    FILE *Lines;
    DeviceInfo Device;
    Panel Shown;
    std::vector<std::string> Drawn;
    int64_t DrawnMs = 0;
    const ReplayResult *Last = nullptr; // as of the last frame, while the test runs
    std::chrono::steady_clock::time_point LastFrame;
    uint64_t MovesSeen = 0;
    std::deque<int64_t> Motion;
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
    struct stat input;
    bool known = path == "-" ? fstat(0, &input) == 0 : stat(path.c_str(), &input) == 0;
    problem = known ? OutputIsInput(input, {{"--record", live.Record},
                                            {"--png", options.Output.Png},
                                            {"--timeline", options.Output.Timeline}})
                    : "";
    if (!problem.empty()) {
        return Fail(problem);
    }
    FILE *record = nullptr;
    int unrecorded = 0; // why the record could not be written
    std::unique_ptr<EventReader> recorder;
    EventReader *events = source.Reader.get();
    if (!live.Record.empty()) {
        record = fopen(live.Record.c_str(), "w");
        if (!record) {
            return Fail(live.Record + ": " + strerror(errno));
        }
        recorder = RecordTo(*source.Reader, record, source.Reader->EvemuHeader(), unrecorded);
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
    view.Begin();
    WhileWaiting([&view] { view.Waiting(); });
    ReplayResult result;
    ReplayFailure failure;
    bool ran = RunEvents(run, *events, result, failure);
    WhileWaiting(nullptr);
    bool recorded = true;
    if (record) {
        bool flushed = fflush(record) == 0;
        unrecorded = unrecorded == 0 && !flushed ? errno : unrecorded;
        recorded = flushed && !ferror(record) && unrecorded == 0;
        if (fclose(record) != 0) {
            unrecorded = unrecorded == 0 ? errno : unrecorded;
            recorded = false;
        }
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
        fprintf(stderr, "taptally-replay: cannot write %s%s%s\n", Printable(live.Record).c_str(),
                unrecorded ? ": " : "", unrecorded ? strerror(unrecorded) : "");
        status = STATUS_BAD;
    }
    return status;
}

} // namespace replay
