// The live test through a pipe of the kernel's event records written at the test's own
// pace: what appears while the events come, and the verdict when the stream ends.
#include "recordings.h"

#include "replay/front/devices.h"
#include "replay/telling/panel.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>

using namespace recordings;

namespace {

// The kernel's records of the rows: 24 bytes each as 64-bit Linux writes them (time
// fields of 8 bytes), 16 as 32-bit Linux does (4).
std::string Raw(const Rows &rows, int timeBytes = 8) {
    std::string bytes;
    auto put = [&](uint64_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes += (char)(value >> (8 * i));
        }
    };
    for (const Row &row : rows) {
        long micros = row.Micros + 7200000000L; // two hours since boot
        put(micros / 1000000, timeBytes);
        put(micros % 1000000, timeBytes);
        put(row.Type, 2);
        put(row.Code, 2);
        put((uint32_t)row.Value, 4);
    }
    return bytes;
}

enum class Ending {
    Close,     // the stream ends
    CutRecord, // the stream ends 10 bytes into a record
    CtrlC,     // SIGINT while the stream stays open
    StayOpen,  // the stream stays open until the tool ends by itself
};

// What the pipe is fed in one go, and the lines that must come out before the next step.
struct Step {
    Rows Events;
    std::vector<std::string> Lines;
};

struct LiveOutcome {
    int Status = -1;
    std::vector<std::string> LinesBySteps; // "step N: line"
    std::string Rest, Err;
};

std::string ReadAll(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool ReadLine(int fd, std::string &buffer, std::string &line, int timeoutMs) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        size_t end = buffer.find('\n');
        if (end != std::string::npos) {
            line = buffer.substr(0, end);
            buffer.erase(0, end + 1);
            return true;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        until - std::chrono::steady_clock::now())
                        .count();
        pollfd wait = {fd, POLLIN, 0};
        char chunk[4096];
        ssize_t count;
        if (left <= 0 || poll(&wait, 1, (int)left) <= 0 || (count = read(fd, chunk, 4096)) <= 0) {
            return false;
        }
        buffer.append(chunk, (size_t)count);
    }
}

// taptally-replay --live OPTIONS - in a child process: the steps written into its
// standard input one after the other, its standard output read as it comes.
LiveOutcome RunLive(const std::vector<Step> &steps, Ending ending,
                    std::vector<std::string> options = {}) {
    int in[2], out[2];
    EXPECT_EQ(pipe(in), 0);
    EXPECT_EQ(pipe(out), 0);
    std::string errPath = Folder() + "stderr";
    fflush(stdout);
    fflush(stderr);
    pid_t child = fork();
    if (child == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(err, 2);
        close(in[1]);
        close(out[0]);
        options.insert(options.begin(), {"taptally-replay", "--live"});
        options.push_back("-");
        std::vector<char *> argv;
        for (std::string &option : options) {
            argv.push_back(option.data());
        }
        int status = replay::Main((int)argv.size(), argv.data());
        fflush(stdout);
        _exit(status);
    }
    close(in[0]);
    close(out[1]);
    LiveOutcome outcome;
    std::string buffer, line;
    for (size_t i = 0; i < steps.size(); ++i) {
        std::string bytes = Raw(steps[i].Events);
        EXPECT_EQ(write(in[1], bytes.data(), bytes.size()), (ssize_t)bytes.size());
        for (size_t n = 0; n < steps[i].Lines.size() && ReadLine(out[0], buffer, line, 10000);
             ++n) {
            outcome.LinesBySteps.push_back("step " + std::to_string(i) + ": " + line);
        }
    }
    if (ending == Ending::CutRecord) {
        EXPECT_EQ(write(in[1], "0123456789", 10), 10);
    }
    if (ending == Ending::CtrlC) {
        kill(child, SIGINT);
    }
    bool open = ending == Ending::CtrlC || ending == Ending::StayOpen;
    if (!open) {
        close(in[1]);
    }
    while (ReadLine(out[0], buffer, line, 20000)) {
        outcome.Rest += line + "\n";
    }
    if (open) {
        close(in[1]);
    }
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    outcome.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.Err = ReadAll(errPath);
    return outcome;
}

} // namespace

namespace {

// A machine's input devices under a folder of the test: sysfs's name and capability
// masks, the node (a plain file here), and a by-id link when given.
struct FakeDevice {
    int Event;
    const char *Name, *Keys, *Rel, *ById;
};

std::string MakeMachine(const std::string &name, const std::vector<FakeDevice> &devices) {
    std::string root = Folder() + name;
    for (const FakeDevice &device : devices) {
        std::string event = "event" + std::to_string(device.Event);
        std::string sys = root + "/sys/class/input/" + event + "/device/";
        std::string command = "mkdir -p " + sys + "capabilities " + root + "/dev/input/by-id";
        EXPECT_EQ(system(command.c_str()), 0);
        std::ofstream(sys + "name") << device.Name << "\n";
        std::ofstream(sys + "capabilities/key") << device.Keys << "\n";
        std::ofstream(sys + "capabilities/rel") << device.Rel << "\n";
        std::ofstream(root + "/dev/input/" + event) << "";
        if (*device.ById) {
            EXPECT_EQ(symlink(("../" + event).c_str(),
                              (root + "/dev/input/by-id/" + device.ById).c_str()),
                      0);
        }
    }
    return root;
}

} // namespace

TEST(LiveDevices, TheMiceAreFoundAndOneIsChosen) {
    // Keys of a mouse: BTN_LEFT is bit 16 of the fifth 64-bit word. REL_X is bit 0.
    const FakeDevice mouse = {5, "Example Optical Mouse", "1f0000 0 0 0 0", "903",
                              "usb-Example_Optical_Mouse-event-mouse"};
    const FakeDevice keyboard = {2, "Example Keyboard", "fffffffffffffffe", "0", ""};
    const FakeDevice touchpad = {7, "Example Touchpad", "e520 10000 0 0 0 0", "0", ""};
    const FakeDevice trackball = {12, "Example Trackball", "70000 0 0 0 0", "3", ""};
    struct {
        const char *Name;
        std::vector<FakeDevice> Devices;
        const char *Answer; // typed at the question; nullptr: no terminal
        std::string Chosen, Said, Problem;
    } cases[] = {
        {"none", {keyboard, touchpad}, "", "", "", "no mouse found: no device in /dev/input"},
        {"one",
         {keyboard, mouse, touchpad},
         "",
         "/dev/input/event5",
         "Testing \"Example Optical Mouse\" (/dev/input/event5, "
         "/dev/input/by-id/usb-Example_Optical_Mouse-event-mouse)\n",
         ""},
        {"two, by number",
         {trackball, mouse},
         "2\n",
         "/dev/input/event12",
         " 1  \"Example Optical Mouse\" (/dev/input/event5, "
         "/dev/input/by-id/usb-Example_Optical_Mouse-event-mouse)\n"
         " 2  \"Example Trackball\" (/dev/input/event12)\n"
         "Which mouse (number or node)? Testing \"Example Trackball\" (/dev/input/event12)\n",
         ""},
        {"two, a wrong answer, then the node",
         {trackball, mouse},
         "3\n /dev/input/event5 \n",
         "/dev/input/event5",
         "\"3\" is none of them.\n",
         ""},
        {"two, no terminal", {trackball, mouse}, nullptr, "", "", "several mice and no terminal"},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.Name);
        std::vector<replay::InputDevice> mice =
            replay::FindMice(MakeMachine(std::to_string(&test - cases), test.Devices));
        std::string answers = Folder() + "answers", said = Folder() + "said";
        std::ofstream(answers) << (test.Answer ? test.Answer : "");
        FILE *in = test.Answer ? fopen(answers.c_str(), "r") : nullptr;
        FILE *out = fopen(said.c_str(), "w");
        std::string problem;
        EXPECT_EQ(replay::ChooseMouse(mice, in, out, problem), test.Chosen);
        fclose(out);
        if (in) {
            fclose(in);
        }
        EXPECT_NE(ReadAll(said).find(test.Said), std::string::npos) << ReadAll(said);
        EXPECT_EQ(problem.substr(0, strlen(test.Problem.c_str())), test.Problem);
        EXPECT_EQ(problem.empty(), test.Problem.empty());
    }
}

namespace {

const char ERROR_10[] = "       1.080 s  Error # 10 Occurred! - The Left Button 'Least' value was "
                        "too small. Click 'OK' and press 'R' for RESET Please see INFORMATION for "
                        "details.";
const char RELEASE_BOUNCE[] = "       1.153 s  Finding: Left button pressed again 3 ms after it "
                              "was let go: faster than a finger, its switch bounces when released.";

struct LiveCase {
    const char *Name;
    std::vector<Step> Steps;
    Ending End;
    std::vector<std::string> Options;
    int Status;
    std::string Verdict; // a line of the verdict; "" for none
    std::string Said;    // all of standard error
};

// One step a frame, so that each line is checked against the frame that caused it.
std::vector<Step> Frames(std::vector<std::pair<Rows, std::vector<std::string>>> frames) {
    std::vector<Step> steps;
    Rows start;
    Move(start, 0, 2, 1);
    steps.push_back({start, {}});
    for (auto &frame : frames) {
        steps.push_back({frame.first, frame.second});
    }
    return steps;
}

Rows Press(long ms, int value, int code = LEFT) {
    Rows rows;
    Button(rows, ms, code, value);
    return rows;
}

Rows MoveAt(long ms) {
    Rows rows;
    Move(rows, ms, 1, 1);
    return rows;
}

std::vector<LiveCase> LiveCases() {
    // Pressed again 80 ms after the last press: TapTally's error 10 and nothing else.
    auto bounce =
        Frames({{Press(1000, 1), {}}, {Press(1050, 0), {}}, {Press(1080, 1), {ERROR_10}}});
    Rows hold;
    Click(hold, 1000, LEFT, 5000);
    Click(hold, 6100, LEFT);
    // The kernel lost the release; the next press finds the button down.
    Rows dropped = Press(1000, 1);
    Frame(dropped, 1050, {{0, 0, 3, 0}, {0, MSC, 4, 30}, {0, KEY, LEFT, 0}});
    Click(dropped, 1400, LEFT);
    const std::string ended = "The test ended: the stream of events ended.\n";
    const std::string noEvents = "taptally-replay: no events came from the mouse before the test "
                                 "ended: there is no verdict on it (exit status 2)\n";
    return {
        {"a bounce, then the end of the stream",
         bounce,
         Ending::Close,
         {},
         1,
         "FAIL: 1 error (10: 1)",
         ended},
        {"a release bounce, beyond TapTally's rules",
         Frames({{Press(1000, 1), {}},
                 {Press(1150, 0), {}},
                 {Press(1153, 1), {}},
                 {Press(1250, 0), {RELEASE_BOUNCE}}}),
         Ending::Close,
         {},
         0,
         "WARN: no error of TapTally's, but the left button bounces on release",
         ended},
        {"a side button too fast, a left press let go at once",
         Frames({{Press(1000, 1, SIDE), {}},
                 {Press(1040, 0, SIDE), {}},
                 {Press(1070, 1, SIDE),
                  {"       1.070 s  Finding: Back (side) button pressed 70 ms after the press "
                   "before, below TapTally's trigger of 85 ms."}},
                 {Press(2000, 1), {}},
                 {Press(2004, 0), {}},
                 {MoveAt(2100),
                  {"       2.004 s  Finding: Left button let go 4 ms after it was pressed: "
                   "faster than a finger, a held drag would drop."}}}),
         Ending::Close,
         {"--strict"},
         1,
         "WARN: no error of TapTally's, but the left button lets go right after a press and "
         "the back (side) button presses too fast",
         ended},
        {"a long hold",
         Frames({{hold, {}}}),
         Ending::Close,
         {},
         0,
         "PASS: no errors, no findings",
         ended},
        {"dropped events", Frames({{dropped, {}}}), Ending::Close, {}, 0, "PASS", ended},
        {"a stream that ends in the middle of a record",
         Frames({{hold, {}}}),
         Ending::CutRecord,
         {},
         0,
         "PASS: no errors, no findings",
         "The test ended: the stream of events ended inside an event record; its last 10 bytes "
         "were left out.\n"},
        {"Ctrl+C", bounce, Ending::CtrlC, {}, 1, "FAIL", "The test ended: Ctrl+C.\n"},
        {"--seconds",
         bounce,
         Ending::StayOpen,
         {"--seconds", "1"},
         1,
         "FAIL: 1 error (10: 1)",
         "The test ended: the time given with --seconds is up.\n"},
        {"no events before the end", {}, Ending::Close, {}, 2, "", ended + noEvents},
        {"no events before --seconds",
         {},
         Ending::StayOpen,
         {"--seconds", "1"},
         2,
         "",
         "The test ended: the time given with --seconds is up.\n" + noEvents},
    };
}

} // namespace

TEST(LiveStream, EachErrorShowsAsItsEventComesThenTheVerdict) {
    for (const LiveCase &test : LiveCases()) {
        SCOPED_TRACE(test.Name);
        LiveOutcome outcome = RunLive(test.Steps, test.End, test.Options);
        std::vector<std::string> expected;
        for (size_t i = 0; i < test.Steps.size(); ++i) {
            for (const std::string &line : test.Steps[i].Lines) {
                expected.push_back("step " + std::to_string(i) + ": " + line);
            }
        }
        EXPECT_EQ(outcome.LinesBySteps, expected) << outcome.Rest;
        EXPECT_EQ(outcome.Status, test.Status) << outcome.Err;
        if (test.Verdict.empty()) {
            EXPECT_EQ(outcome.Rest, "");
        } else {
            EXPECT_NE(outcome.Rest.find("\n" + test.Verdict), std::string::npos) << outcome.Rest;
        }
        EXPECT_EQ(outcome.Err, test.Said);
    }
}

namespace {

// The JSON verdict from the device's name on: the same whatever the file was called.
std::string FromDevice(const std::string &json) {
    size_t at = json.find("\"device\"");
    return at == std::string::npos ? "no verdict: " + json : json.substr(at);
}

} // namespace

TEST(LiveStream, WhatWasReadReplaysToTheSameVerdict) {
    Rows start, rest;
    Move(start, 0, 2, 1);
    Click(rest, 1000, LEFT, 5);
    Button(rest, 1012, LEFT, 1);
    Button(rest, 1100, LEFT, 0);
    Click(rest, 1500, RIGHT, 3);
    Click(rest, 1510, RIGHT);
    Frame(rest, 1600, {{0, KEY, MIDDLE, 1}, {0, REL, 8, -1}});
    std::string record = Folder() + "kept.txt";
    LiveOutcome live =
        RunLive({{start, {}}, {rest, {}}}, Ending::CutRecord, {"--json", "--record", record});
    ASSERT_EQ(live.Status, 1) << live.Err;
    Rows all = start;
    all.insert(all.end(), rest.begin(), rest.end());
    std::string raw = Write("stored.raw", Raw(all) + "cut");
    for (const std::string &file : {record, raw}) {
        Outcome replayed = RunTool({"--json", file});
        SCOPED_TRACE(file + "\n" + replayed.Err);
        EXPECT_EQ(replayed.Status, 1);
        EXPECT_EQ(FromDevice(replayed.Out), FromDevice(live.Rest));
    }
    EXPECT_NE(live.Rest.find("\"errors\": [{\"time_ms\": 1012, \"code\": 10"), std::string::npos);
    EXPECT_NE(live.Rest.find("{\"time_ms\": 1510, \"code\": 30"), std::string::npos);
}

namespace {

// A mouse made through the kernel's uinput, with left, right and middle and X and Y.
struct VirtualMouse {
    libevdev *Device = libevdev_new();
    libevdev_uinput *Input = nullptr;
    std::string Node;
    VirtualMouse() {
        libevdev_set_name(Device, "Example Virtual Mouse");
        libevdev_enable_event_type(Device, EV_REL);
        libevdev_enable_event_code(Device, EV_REL, REL_X, nullptr);
        libevdev_enable_event_code(Device, EV_REL, REL_Y, nullptr);
        libevdev_enable_event_type(Device, EV_KEY);
        for (int code : {LEFT, RIGHT, MIDDLE}) {
            libevdev_enable_event_code(Device, EV_KEY, (unsigned)code, nullptr);
        }
        if (libevdev_uinput_create_from_device(Device, LIBEVDEV_UINPUT_OPEN_MANAGED, &Input) == 0 &&
            libevdev_uinput_get_devnode(Input)) {
            Node = libevdev_uinput_get_devnode(Input);
        }
    }
    ~VirtualMouse() {
        if (Input) {
            libevdev_uinput_destroy(Input);
        }
        libevdev_free(Device);
    }
    // The left button's changes, each in a frame of its own, waitMicros apart.
    void Left(std::vector<int> values, useconds_t waitMicros) {
        for (int value : values) {
            libevdev_uinput_write_event(Input, EV_KEY, LEFT, value);
            libevdev_uinput_write_event(Input, EV_SYN, SYN_REPORT, 0);
            usleep(waitMicros);
        }
    }
};

// taptally-replay --live --seconds 3 OPTIONS NODE in a child process, its standard output
// into out.
pid_t LiveOnNode(std::vector<std::string> options, const std::string &node,
                 const std::string &out) {
    fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        freopen(out.c_str(), "w", stdout);
        options.insert(options.begin(), {"taptally-replay", "--live", "--seconds", "3"});
        options.push_back(node);
        std::vector<char *> argv;
        for (std::string &option : options) {
            argv.push_back(option.data());
        }
        _exit(replay::Main((int)argv.size(), argv.data()));
    }
    usleep(500000); // the child opens the node
    return child;
}

} // namespace

// The whole way from a device node: a virtual mouse made through the kernel's uinput.
TEST(LiveDevice, AVirtualMouseIsReadFromItsNode) {
    if (access("/dev/uinput", W_OK) != 0) {
        GTEST_SKIP() << "no virtual mouse can be made here: /dev/uinput "
                     << (errno == ENOENT ? "does not exist" : "may not be written")
                     << "; the way from a device node is left untested";
    }
    VirtualMouse mouse;
    ASSERT_FALSE(mouse.Node.empty());
    std::string out = Folder() + "uinput.out";
    pid_t child = LiveOnNode({}, mouse.Node, out);
    mouse.Left({1, 0, 1, 0}, 1000); // a bounce: the second press 2 ms after the first
    int status = 0;
    waitpid(child, &status, 0);
    std::string said = ReadAll(out);
    EXPECT_EQ(WEXITSTATUS(status), 1) << said;
    EXPECT_NE(said.find("Error # 10 Occurred!"), std::string::npos) << said;
    EXPECT_NE(said.find("Example Virtual Mouse"), std::string::npos) << said;
}

// A left button held down before the test opens the node: libevdev tells its state, and
// its release is no error 11 of TapTally's.
TEST(LiveDevice, AButtonHeldAsTheTestStartsIsNoLostPress) {
    if (access("/dev/uinput", W_OK) != 0) {
        GTEST_SKIP() << "no virtual mouse can be made here: /dev/uinput "
                     << (errno == ENOENT ? "does not exist" : "may not be written")
                     << "; the state read at the start is left untested";
    }
    VirtualMouse mouse;
    ASSERT_FALSE(mouse.Node.empty());
    mouse.Left({1}, 0); // held before the test starts
    std::string out = Folder() + "held.out";
    pid_t child = LiveOnNode({"--json"}, mouse.Node, out);
    mouse.Left({0, 1, 0}, 200000); // let go, then one click 200 ms later
    int status = 0;
    waitpid(child, &status, 0);
    std::string said = ReadAll(out);
    EXPECT_EQ(WEXITSTATUS(status), 0) << said;
    EXPECT_NE(said.find("\"verdict\": \"PASS\""), std::string::npos) << said;
    EXPECT_NE(said.find("the recording began while a button was held (left)"), std::string::npos)
        << said;
    EXPECT_NE(said.find("\"restored_changes\": 0"), std::string::npos) << said;
}

namespace {

// What a terminal of 60 columns shows of the live test reading bytes on standard input.
// With rested, the stream is kept open until what was shown satisfies it (15 s at most)
// and then ends; resting: what was shown until then.
std::string OnTerminal(const std::string &bytes,
                       std::function<bool(const std::string &)> rested = nullptr,
                       std::string *resting = nullptr) {
    int in[2];
    if (pipe(in) != 0 || write(in[1], bytes.data(), bytes.size()) != (ssize_t)bytes.size()) {
        ADD_FAILURE() << "cannot feed the pipe";
        return "";
    }
    int terminal = -1;
    winsize size = {};
    size.ws_col = 60;
    size.ws_row = 40;
    fflush(stdout);
    pid_t child = forkpty(&terminal, nullptr, nullptr, &size);
    if (child == 0) {
        close(in[1]);
        dup2(in[0], 0);
        char *argv[] = {(char *)"taptally-replay", (char *)"--live", (char *)"-"};
        _exit(replay::Main(3, argv));
    }
    close(in[0]);
    std::string buffer;
    char chunk[4096];
    ssize_t count;
    pollfd wait = {terminal, POLLIN, 0};
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (rested && !rested(buffer) && std::chrono::steady_clock::now() < end) {
        if (poll(&wait, 1, 50) > 0 && (count = read(terminal, chunk, sizeof chunk)) > 0) {
            buffer.append(chunk, (size_t)count);
        }
    }
    if (resting) {
        *resting = buffer;
    }
    close(in[1]);
    while (poll(&wait, 1, 20000) > 0 && (count = read(terminal, chunk, sizeof chunk)) > 0) {
        buffer.append(chunk, (size_t)count);
    }
    close(terminal);
    waitpid(child, nullptr, 0);
    return buffer;
}

} // namespace

// On a terminal the panel is drawn over itself: the cursor goes up the lines drawn before,
// each line is cleared and written again.
TEST(LivePanel, OnATerminalThePanelIsRedrawnInPlace) {
    Rows rows;
    Move(rows, 0, 2, 1);
    Click(rows, 1000, LEFT, 40);
    Click(rows, 1080, LEFT, 40);
    for (long report = 0; report < 50; ++report) {
        Move(rows, 1200 + 8 * report, 1, 0);
    }
    Click(rows, 2200, SIDE, 60);
    std::string buffer = OnTerminal(Raw(rows));
    // Before the first event it waits for the mouse.
    EXPECT_EQ(buffer.find("\x1b[2KWaiting for the mouse... move it or press a button.\r\n"),
              buffer.find("\r\n") + 2)
        << buffer;
    // While the mouse moves, its report rate.
    EXPECT_NE(buffer.find("   moving, 125 reports a second\r\n"), std::string::npos) << buffer;
    // Up the 16 lines of the panel before the side button came.
    size_t lastUp = buffer.rfind("\r\x1b[16A");
    ASSERT_NE(lastUp, std::string::npos) << buffer;
    std::string panel = buffer.substr(lastUp, buffer.find("TapTally live test of") - lastUp);
    for (const char *row :
         {"\x1b[2KElapsed 2 s   168 events   standing still\r\n",
          "\x1b[2KButton       Presses  Now ms  Least ms  Errors  Findings\r\n",
          "\x1b[2Kwheel              0 steps, 0 against the scroll\r\n",
          "\x1b[2Kleft               2      80        80       1         0\r\n",
          "\x1b[2Kback (side)        1       -         -       0         0\r\n",
          "\x1b[2K       1.080 s  Error # 10 Occurred! - The Left Button '...\r\n"}) {
        EXPECT_NE(panel.find(row), std::string::npos) << row << "\n" << panel;
    }
    EXPECT_NE(buffer.find("\r\x1b[16A"), lastUp) << "drawn once only";
}

// A mouse that sent a few events and then rests is no longer waited for, and one that
// stopped moving is shown standing still, its last events counted, while the test runs.
TEST(LivePanel, TheLastEventsShowWhileTheMouseRests) {
    const std::pair<int, std::string> cases[] = {
        {5, "   15 events   standing still\r\n"},   // a nudge of 32 ms
        {50, "   150 events   standing still\r\n"}, // 392 ms of motion at 125 Hz
    };
    for (const auto &test : cases) {
        Rows rows;
        for (int report = 0; report < test.first; ++report) {
            Move(rows, 8 * report, 1, 0);
        }
        // The status line drawn last, once it is whole.
        auto status = [](const std::string &shown) {
            size_t last = shown.rfind("\x1b[2KElapsed ");
            size_t end = last == std::string::npos ? last : shown.find("\r\n", last);
            return end == std::string::npos ? std::string() : shown.substr(last, end + 2 - last);
        };
        auto rested = [&](const std::string &shown) {
            std::string line = status(shown);
            return line.size() > test.second.size() &&
                   line.substr(line.size() - test.second.size()) == test.second;
        };
        std::string resting;
        std::string buffer = OnTerminal(Raw(rows), rested, &resting);
        EXPECT_TRUE(rested(resting)) << status(resting) << "\n" << resting;
        EXPECT_NE(buffer.find("TapTally live test of"), std::string::npos) << buffer;
    }
}

// Stored records of 64-bit and of 32-bit Linux, whole or damaged, replayed or read live.
TEST(LiveStream, StoredRecordsOfEitherSizeAndTheirFaults) {
    Rows rows;
    Move(rows, 0, 2, 1);
    Click(rows, 1000, LEFT, 50);
    Click(rows, 1080, LEFT, 50);
    auto damaged = [&rows](int timeBytes) { // the type of record 5 out of range
        std::string bytes = Raw(rows, timeBytes);
        bytes[4 * (2 * timeBytes + 8) + 2 * timeBytes] = '\xff';
        return bytes;
    };
    const std::string fail = "\nFAIL: 1 error (10: 1)\n";
    struct {
        const char *Name;
        std::string Bytes;
        std::vector<std::string> Options;
        int Status;
        std::string Out, Err; // Err after "taptally-replay: FILE" when it starts with ':'
    } cases[] = {
        {"64-bit", Raw(rows), {}, 1, fail, ""},
        {"32-bit", Raw(rows, 4), {}, 1, fail, ""},
        {"32-bit live",
         Raw(rows, 4),
         {"--live"},
         1,
         fail,
         "The test ended: the stream of events ended.\n"},
        {"64-bit damaged",
         damaged(8),
         {},
         2,
         "",
         ": record 5 (byte 96): this is no input event of Linux: its time, type or code is out "
         "of range (records of 24 bytes)\n"},
        {"32-bit damaged",
         damaged(4),
         {},
         2,
         "",
         ": record 5 (byte 64): this is no input event of Linux: its time, type or code is out "
         "of range (records of 16 bytes)\n"},
        {"--record that cannot be written",
         Raw(rows),
         {"--live", "--record", "/dev/full"},
         2,
         fail,
         "The test ended: the stream of events ended.\n"
         "taptally-replay: cannot write /dev/full: No space left on device\n"},
        {"--device 2",
         Raw(rows),
         {"--device", "2"},
         2,
         "",
         ": --device 2: the kernel's event records are of one device only\n"},
    };
    for (auto &test : cases) {
        SCOPED_TRACE(test.Name);
        std::string path = Write("records.raw", test.Bytes);
        test.Options.push_back(path);
        Outcome outcome = RunTool(test.Options);
        EXPECT_EQ(outcome.Status, test.Status);
        EXPECT_EQ(outcome.Err,
                  test.Err.rfind(":", 0) == 0 ? "taptally-replay: " + path + test.Err : test.Err);
        if (test.Out.empty()) {
            EXPECT_EQ(outcome.Out, "");
        } else {
            EXPECT_NE(outcome.Out.find(test.Out), std::string::npos) << outcome.Out;
        }
    }
}

// A line the terminal would wrap is cut to its width in characters, a name's UTF-8 whole,
// and ends in "..." to show that it was cut.
TEST(LivePanel, LinesAreCutToTheWidthInCharacters) {
    const char *const cases[][2] = {
        {"Maus \u201cGr\u00f6\u00dfe\u201d 5", "Maus \u201cG..."},
        {"Example Optical Mouse", "Example..."},
        {"0123456789", "0123456789"},
        {"0123456789a", "0123456..."},
        {"short", "short"},
    };
    for (const auto &test : cases) {
        replay::Panel panel;
        panel.Title = test[0];
        EXPECT_EQ(replay::PanelLines(panel, 10)[0], test[1]);
    }
}
