// The live test's latency: from a press written into the pipe that taptally-replay --live
// reads, to the line of the error it causes read back from its standard output. Prints
// "name value" lines for tools/bench.py; it asserts nothing.
//   live_bench [presses, default 300]
#include "replay/front/cli.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Put(std::string &bytes, uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes += (char)(value >> (8 * i));
    }
}

// A frame of a button change as the kernel's records: MSC_SCAN, the button, SYN_REPORT.
std::string ButtonFrame(long micros, int value) {
    std::string bytes;
    const int rows[3][3] = {{4, 4, 30}, {1, 0x110, value}, {0, 0, 0}};
    for (const auto &row : rows) {
        Put(bytes, (uint64_t)(micros / 1000000), 8);
        Put(bytes, (uint64_t)(micros % 1000000), 8);
        Put(bytes, (uint64_t)row[0], 2);
        Put(bytes, (uint64_t)row[1], 2);
        Put(bytes, (uint32_t)row[2], 4);
    }
    return bytes;
}

void Send(int fd, const std::string &bytes) {
    if (write(fd, bytes.data(), bytes.size()) != (ssize_t)bytes.size()) {
        perror("live_bench: write");
        exit(1);
    }
}

} // namespace

int main(int argc, char **argv) {
    long presses = argc > 1 ? atol(argv[1]) : 300;
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) {
        perror("live_bench: pipe");
        return 1;
    }
    pid_t child = fork();
    if (child == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[1]);
        close(out[0]);
        char *arguments[] = {(char *)"taptally-replay", (char *)"--live", (char *)"-", nullptr};
        _exit(replay::Main(3, arguments));
    }
    close(in[0]);
    close(out[1]);
    std::vector<double> micros;
    for (long i = 0; i < presses; ++i) {
        // A press 80 ms after the last one, held 40 ms each: error 10 and nothing else.
        long at = (i + 1) * 1000000L;
        Send(in[1], ButtonFrame(at, 1) + ButtonFrame(at + 40000, 0));
        auto start = std::chrono::steady_clock::now();
        Send(in[1], ButtonFrame(at + 80000, 1));
        char chunk[4096];
        ssize_t count = 0;
        pollfd wait = {out[0], POLLIN, 0};
        while (poll(&wait, 1, 5000) > 0 && (count = read(out[0], chunk, sizeof chunk)) > 0 &&
               !memchr(chunk, '\n', (size_t)count)) {
        }
        if (count <= 0) {
            fprintf(stderr, "live_bench: no line for press %ld\n", i);
            return 1;
        }
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
        Send(in[1], ButtonFrame(at + 120000, 0));
    }
    close(in[1]);
    char chunk[4096];
    while (read(out[0], chunk, sizeof chunk) > 0) {
    }
    waitpid(child, nullptr, 0);
    std::sort(micros.begin(), micros.end());
    printf("live_latency_median_us %.0f\n", micros[micros.size() / 2]);
    printf("live_latency_p99_us %.0f\n", micros[micros.size() * 99 / 100]);
    return 0;
}
