// The throughput of taptally-replay against the floor of each format: synthetic recordings
// of a 1000 Hz mouse, written to files first, then replayed, and read by the plainest
// reader of the format, each run in a child process of its own whose processor time (user
// and system) and peak memory are measured; the best of several runs counts. Processor
// time, not the clock: on a machine shared with other work the clock measures the others.
// Prints one "name value" line per figure for tools/bench.py; it asserts nothing.
//   replay_bench [seconds of recording at 1000 Hz, default 120] [runs, default 5]
// A YAML recording is read ahead in a thread of its own, as taptally-replay reads one:
// the processor time counts both threads, the clock time what a user waits, and the longer
// of the two threads' processor times what the clock would show on two free cores.
// Recordings (all of one motion: steps that change every frame, a click every 5 s):
//   yaml, evemu, raw   libinput record, evemu-record, the kernel's event records
//   buttons            button changes only (YAML): three buttons pressed in turn, each
//                      press with its MSC_SCAN, 15 ms apart
//   yaml_short         yaml for a tenth of the time: its peak memory should not differ
// Floors, the reading alone: libyaml's event parser without a document (yaml), fgets and
// strtol of every field of the E: lines (evemu), read and decode of the records (raw).
#include "replay/front/read_ahead.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <yaml.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

const double FRAMES_PER_HOUR = 3600.0 * 1000.0;

enum class Kind { Yaml, Evemu, Raw };

struct Row {
    int Type, Code, Value;
};

// Writes a recording: the header of its format, then frame after frame.
class Writer {
  public:
    Writer(FILE *out, Kind kind) : Out(out), Format(kind) {
        if (kind == Kind::Yaml) {
            fputs("# libinput record\nversion: 1\nndevices: 1\nlibinput:\n  version: \"1.23.0\"\n"
                  "devices:\n- node: /dev/input/event5\n  evdev:\n    name: \"Bench Mouse\"\n"
                  "    codes:\n      1: [272, 273, 274]\n      2: [0, 1]\n      4: [4]\n"
                  "  events:\n",
                  out);
        } else if (kind == Kind::Evemu) {
            fputs("# EVEMU 1.3\nN: Bench Mouse\n", out);
        }
    }

    void Frame(std::initializer_list<Row> rows, long micros) {
        if (Format == Kind::Yaml) {
            fputs("  - evdev:\n", Out);
        }
        for (const Row &row : rows) {
            Event(micros, row);
        }
        Event(micros, Row{0, 0, 0});
    }

  private:
    void Event(long micros, const Row &row) {
        long seconds = micros / 1000000, rest = micros % 1000000;
        if (Format == Kind::Yaml) {
            fprintf(Out, "    - [%3ld, %6ld, %3d, %3d, %7d] # event\n", seconds, rest, row.Type,
                    row.Code, row.Value);
        } else if (Format == Kind::Evemu) {
            fprintf(Out, "E: %ld.%06ld %04x %04x %04d\t# event\n", 1700000000 + seconds, rest,
                    row.Type, row.Code, row.Value);
        } else {
            unsigned char record[24] = {};
            long long fields[2] = {1700000000 + seconds, rest};
            memcpy(record, fields, 16); // little-endian, as the kernel on this machine
            uint16_t typeCode[2] = {(uint16_t)row.Type, (uint16_t)row.Code};
            memcpy(record + 16, typeCode, 4);
            memcpy(record + 20, &row.Value, 4);
            fwrite(record, 1, sizeof record, Out);
        }
    }

    FILE *Out;
    Kind Format;
};

void WriteMovement(FILE *out, long frames, Kind kind) {
    Writer writer(out, kind);
    for (long i = 0; i < frames; ++i) {
        Row x{2, 0, (int)(i % 7) - 3}, y{2, 1, (int)(i % 5) - 2};
        int click = (int)(i % 5000);
        if (click == 100 || click == 190) {
            writer.Frame({{4, 4, 30}, {1, 0x110, click == 100}, x, y}, i * 1000);
        } else {
            writer.Frame({x, y}, i * 1000);
        }
    }
}

void WriteButtons(FILE *out, long frames, Kind kind) {
    Writer writer(out, kind);
    for (long i = 0; i < frames; ++i) {
        int button = 0x110 + (int)(i % 3);
        int down = (i / 3) % 2 == 0;
        writer.Frame({{4, 4, 30}, {1, button, down}}, i * 15000);
    }
}

std::string Folder() {
    static std::string folder;
    if (folder.empty()) {
        const char *temp = getenv("TMPDIR");
        folder = std::string(temp && *temp ? temp : "/tmp") + "/replay_bench_XXXXXX";
        if (!mkdtemp(folder.data())) {
            perror("replay_bench: a folder for the recordings");
            exit(1);
        }
    }
    return folder;
}

std::string Write(const char *name, void (*write)(FILE *, long, Kind), long frames, Kind kind) {
    std::string path = Folder() + "/" + name;
    FILE *out = fopen(path.c_str(), "wb");
    if (!out) {
        perror(path.c_str());
        exit(1);
    }
    write(out, frames, kind);
    if (fclose(out) != 0) {
        perror(path.c_str());
        exit(1);
    }
    return path;
}

struct Figures {
    double Seconds = 0;       // processor time
    double Wall = 0;          // by the clock
    double MainThread = 0;    // processor time of the thread that ran the program
    double LongestThread = 0; // of it and the reading thread: the time on two free cores
    long PeakKb = 0;
    long long Frames = 0; // frames replayed, or events read by a floor
};

struct Report {
    long long Count;
    double Wall;
    double MainThread; // processor time of the thread that ran the work
};

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

// Runs work (which returns a count) in a child process: its processor and clock time and its
// peak memory.
template <typename Work> Figures InChild(Work work) {
    int report[2];
    if (pipe(report) != 0) {
        perror("replay_bench: pipe");
        exit(1);
    }
    fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        close(report[0]);
        auto start = std::chrono::steady_clock::now();
        double thread = ThreadSeconds();
        Report done{work(), 0, 0};
        done.MainThread = ThreadSeconds() - thread;
        done.Wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        bool sent = write(report[1], &done, sizeof done) == (ssize_t)sizeof done;
        _exit(done.Count >= 0 && sent ? 0 : 1);
    }
    close(report[1]);
    Figures figures;
    Report done{};
    bool got = read(report[0], &done, sizeof done) == (ssize_t)sizeof done;
    figures.Frames = done.Count;
    figures.Wall = done.Wall;
    figures.MainThread = done.MainThread;
    close(report[0]);
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fprintf(stderr, "replay_bench: a run did not finish\n");
        exit(1);
    }
    figures.Seconds = (double)usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 +
                      (double)usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    figures.PeakKb = usage.ru_maxrss;
    // The rest of the processor time is the reading thread's (and the start of the process).
    figures.LongestThread = std::max(figures.MainThread, figures.Seconds - figures.MainThread);
    return figures;
}

long long Replay(const std::string &path) {
    FILE *in = fopen(path.c_str(), "rb");
    if (!in) {
        return -1;
    }
    replay::InputOptions input;
    input.File = path;
    replay::ReplayResult result;
    replay::ReplayFailure failure;
    bool replayed = replay::RunRecordingFile(replay::RunOptions(), input, in, result, failure);
    fclose(in);
    if (!replayed) {
        fprintf(stderr, "replay_bench: %s:%ld: %s\n", path.c_str(), failure.Line,
                failure.Message.c_str());
        return -1;
    }
    return (long long)result.Frames;
}

long long ParseYaml(const std::string &path) {
    FILE *in = fopen(path.c_str(), "rb");
    yaml_parser_t parser;
    if (!in || !yaml_parser_initialize(&parser)) {
        return -1;
    }
    yaml_parser_set_input_file(&parser, in);
    long long scalars = 0;
    for (bool done = false; !done;) {
        yaml_event_t event;
        if (!yaml_parser_parse(&parser, &event)) {
            return -1;
        }
        scalars += event.type == YAML_SCALAR_EVENT;
        done = event.type == YAML_STREAM_END_EVENT;
        yaml_event_delete(&event);
    }
    yaml_parser_delete(&parser);
    fclose(in);
    return scalars;
}

long long ParseEvemu(const std::string &path) {
    FILE *in = fopen(path.c_str(), "rb");
    if (!in) {
        return -1;
    }
    char line[256];
    long long events = 0, sum = 0;
    while (fgets(line, sizeof line, in)) {
        if (strncmp(line, "E: ", 3) != 0) {
            continue;
        }
        char *at = line + 3;
        sum += strtol(at, &at, 10);
        sum += strtol(at + 1, &at, 10);
        sum += strtol(at, &at, 16);
        sum += strtol(at, &at, 16);
        sum += strtol(at, &at, 10);
        ++events;
    }
    fclose(in);
    return sum == -1 ? -1 : events;
}

long long ReadRaw(const std::string &path) {
    FILE *in = fopen(path.c_str(), "rb");
    if (!in) {
        return -1;
    }
    static unsigned char buffer[24 * 4096];
    long long events = 0, sum = 0;
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, in)) > 0) {
        for (size_t at = 0; at + 24 <= got; at += 24) {
            int32_t value;
            uint16_t type;
            memcpy(&type, buffer + at + 16, 2);
            memcpy(&value, buffer + at + 20, 4);
            sum += type + value;
            ++events;
        }
    }
    fclose(in);
    return sum == -1 ? -1 : events;
}

// Keeps the least processor time and the least clock time of the runs, the most memory.
void Keep(Figures &best, const Figures &figures, int run) {
    if (run == 0) {
        best = figures;
    }
    best.Seconds = std::min(best.Seconds, figures.Seconds);
    best.Wall = std::min(best.Wall, figures.Wall);
    best.LongestThread = std::min(best.LongestThread, figures.LongestThread);
    best.PeakKb = std::max(best.PeakKb, figures.PeakKb);
}

template <typename Work> Figures Best(int runs, Work work) {
    Figures best;
    for (int run = 0; run < runs; ++run) {
        Keep(best, InChild(work), run);
    }
    return best;
}

double HourSeconds(double seconds, long frames) {
    return seconds * FRAMES_PER_HOUR / (double)frames;
}

} // namespace

int main(int argc, char **argv) {
    long seconds = argc > 1 ? atol(argv[1]) : 120;
    int runs = argc > 2 ? atoi(argv[2]) : 5;
    if (seconds < 10 || runs < 1) {
        fprintf(stderr, "replay_bench: give at least 10 seconds of recording and one run\n");
        return 2;
    }
    long frames = seconds * 1000;
    const struct {
        const char *Name;
        Kind Format;
        long long (*Floor)(const std::string &);
    } formats[] = {
        {"yaml", Kind::Yaml, ParseYaml},
        {"evemu", Kind::Evemu, ParseEvemu},
        {"raw", Kind::Raw, ReadRaw},
    };
    for (const auto &format : formats) {
        std::string path = Write(format.Name, WriteMovement, frames, format.Format);
        // Runs of the replay and of the floor take turns, so that both meet the same load.
        Figures replayed, floor;
        for (int run = 0; run < runs; ++run) {
            Keep(replayed, InChild([&] { return Replay(path); }), run);
            Keep(floor, InChild([&] { return format.Floor(path); }), run);
        }
        if (replayed.Frames != frames) {
            fprintf(stderr, "replay_bench: %s: %lld frames replayed of %ld\n", format.Name,
                    replayed.Frames, frames);
            return 1;
        }
        printf("replay_%s_hour_s %.2f\n", format.Name, HourSeconds(replayed.Seconds, frames));
        printf("replay_%s_floor_hour_s %.2f\n", format.Name, HourSeconds(floor.Seconds, frames));
        printf("replay_%s_ratio %.2f\n", format.Name,
               replayed.Seconds / std::max(floor.Seconds, 1e-6));
        printf("replay_%s_peak_rss_mb %.1f\n", format.Name, (double)replayed.PeakKb / 1024.0);
        printf("replay_%s_longest_thread_hour_s %.2f\n", format.Name,
               HourSeconds(replayed.LongestThread, frames));
        printf("replay_%s_longest_thread_ratio %.2f\n", format.Name,
               replayed.LongestThread / std::max(floor.Seconds, 1e-6));
        printf("replay_%s_wall_hour_s %.2f\n", format.Name, HourSeconds(replayed.Wall, frames));
        printf("replay_%s_floor_wall_hour_s %.2f\n", format.Name, HourSeconds(floor.Wall, frames));
        printf("replay_%s_wall_ratio %.2f\n", format.Name,
               replayed.Wall / std::max(floor.Wall, 1e-6));
        remove(path.c_str());
    }
    std::string buttons = Write("buttons", WriteButtons, frames / 4, Kind::Yaml);
    Figures pressed = Best(runs, [&] { return Replay(buttons); });
    printf("replay_buttons_hour_s %.2f\n", HourSeconds(pressed.Seconds, frames / 4));
    printf("replay_buttons_peak_rss_mb %.1f\n", (double)pressed.PeakKb / 1024.0);
    remove(buttons.c_str());
    std::string brief = Write("yaml_short", WriteMovement, frames / 10, Kind::Yaml);
    Figures shorter = Best(1, [&] { return Replay(brief); });
    printf("replay_yaml_short_peak_rss_mb %.1f\n", (double)shorter.PeakKb / 1024.0);
    remove(brief.c_str());
    rmdir(Folder().c_str());
    return 0;
}
