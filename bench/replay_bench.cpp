// The throughput of taptally-replay: synthetic recordings, written by a thread into a
// pipe as the replay reads them (so nothing but the replay holds memory), each replayed
// in a child process of its own whose peak memory is measured. Prints one "name value"
// line per figure for tools/bench.py; it asserts nothing.
//   replay_bench [seconds of recording at 1000 Hz, default 120]
// Recordings:
//   move_yaml, move_evemu  a 1000 Hz mouse moving all the time (REL_X, REL_Y each ms)
//   buttons                button changes only: three buttons pressed in turn, each
//                          press with its MSC_SCAN, 5 ms apart, every button 90 ms apart
//   move_short             move_yaml for a tenth of the time: the peak memory should not
//                          differ from the long one's
#include "replay/running/session.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

const long FRAMES_PER_HOUR = 3600L * 1000L;

struct Row {
    long Micros;
    int Type, Code, Value;
};

// Writes a recording's text: the header of its format, then frame after frame.
class Writer {
  public:
    Writer(FILE *out, bool yaml) : Out(out), Yaml(yaml) {
        if (yaml) {
            fputs("# libinput record\nversion: 1\nndevices: 1\nlibinput:\n  version: \"1.23.0\"\n"
                  "devices:\n- node: /dev/input/event5\n  evdev:\n    name: \"Bench Mouse\"\n"
                  "    codes:\n      1: [272, 273, 274]\n      2: [0, 1]\n      4: [4]\n"
                  "  events:\n",
                  out);
        } else {
            fputs("# EVEMU 1.3\nN: Bench Mouse\n", out);
        }
    }

    void Frame(std::initializer_list<Row> rows, long micros) {
        if (Yaml) {
            fputs("  - evdev:\n", Out);
        }
        for (const Row &row : rows) {
            Event(micros, row.Type, row.Code, row.Value);
        }
        Event(micros, 0, 0, 0);
    }

  private:
    void Event(long micros, int type, int code, int value) {
        if (Yaml) {
            fprintf(Out, "    - [%3ld, %6ld, %3d, %3d, %7d] # event\n", micros / 1000000,
                    micros % 1000000, type, code, value);
        } else {
            fprintf(Out, "E: %ld.%06ld %04x %04x %04d\t# event\n", 1700000000 + micros / 1000000,
                    micros % 1000000, type, code, value);
        }
    }

    FILE *Out;
    bool Yaml;
};

void WriteMovement(FILE *out, long frames, bool yaml) {
    Writer writer(out, yaml);
    for (long i = 0; i < frames; ++i) {
        // Small steps that change every frame, as a hand moving a mouse gives.
        writer.Frame({{0, 2, 0, (int)(i % 7) - 3}, {0, 2, 1, (int)(i % 5) - 2}}, i * 1000);
    }
}

void WriteButtons(FILE *out, long frames, bool yaml) {
    Writer writer(out, yaml);
    for (long i = 0; i < frames; ++i) {
        int button = 0x110 + (int)(i % 3);
        int down = (i / 3) % 2 == 0;
        writer.Frame({{0, 4, 4, 30}, {0, 1, button, down}}, i * 15000);
    }
}

struct Figures {
    double Seconds = 0;
    unsigned long long Events = 0, Frames = 0;
    long PeakKb = 0;
};

// Runs the replay of what write produces in a child process; the child reports its
// counts through a pipe, the parent its peak memory.
Figures Measure(void (*write)(FILE *, long, bool), long frames, bool yaml) {
    int report[2];
    if (pipe(report) != 0) {
        perror("replay_bench: pipe");
        exit(1);
    }
    pid_t child = fork();
    if (child == 0) {
        close(report[0]);
        int data[2];
        if (pipe(data) != 0) {
            _exit(1);
        }
        std::thread producer([&] {
            FILE *out = fdopen(data[1], "w");
            write(out, frames, yaml);
            fclose(out);
        });
        FILE *in = fdopen(data[0], "r");
        replay::InputOptions input;
        input.File = "bench";
        replay::ReplayResult result;
        replay::ReplayFailure failure;
        auto start = std::chrono::steady_clock::now();
        bool replayed = replay::RunReplay(replay::RunOptions(), input, in, result, failure);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        producer.join();
        fclose(in);
        if (!replayed) {
            fprintf(stderr, "replay_bench: %ld: %s\n", failure.Line, failure.Message.c_str());
            _exit(1);
        }
        Figures figures{seconds, result.Events, result.Frames, 0};
        if (::write(report[1], &figures, sizeof figures) != (ssize_t)sizeof figures) {
            _exit(1);
        }
        _exit(0);
    }
    close(report[1]);
    Figures figures;
    bool got = read(report[0], &figures, sizeof figures) == (ssize_t)sizeof figures;
    close(report[0]);
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fprintf(stderr, "replay_bench: the replay did not finish\n");
        exit(1);
    }
    figures.PeakKb = usage.ru_maxrss;
    return figures;
}

void Print(const char *name, const Figures &figures) {
    double perSecond = (double)figures.Events / figures.Seconds;
    double framesPerSecond = (double)figures.Frames / figures.Seconds;
    printf("replay_%s_events_per_s %.0f\n", name, perSecond);
    printf("replay_%s_hour_s %.1f\n", name, (double)FRAMES_PER_HOUR / framesPerSecond);
    printf("replay_%s_peak_rss_mb %.1f\n", name, (double)figures.PeakKb / 1024.0);
}

} // namespace

int main(int argc, char **argv) {
    long seconds = argc > 1 ? atol(argv[1]) : 120;
    if (seconds < 10) {
        fprintf(stderr, "replay_bench: give at least 10 seconds of recording\n");
        return 2;
    }
    long frames = seconds * 1000;
    Print("move_yaml", Measure(WriteMovement, frames, true));
    Print("move_evemu", Measure(WriteMovement, frames, false));
    Print("buttons", Measure(WriteButtons, frames / 4, true));
    Print("move_short", Measure(WriteMovement, frames / 10, true));
    return 0;
}
