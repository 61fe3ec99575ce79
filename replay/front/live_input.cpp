// Waiting for a mouse's events until a signal, the time limit or the stream's end.
#include "replay/front/live_input.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

namespace replay {

namespace {

volatile sig_atomic_t StopSignal = 0;
std::chrono::steady_clock::time_point Deadline = std::chrono::steady_clock::time_point::max();
double SecondsAsked = 0; // --seconds; 0 for no limit
std::function<void()> Idle;

extern "C" void OnStopSignal(int signal) {
    StopSignal = signal;
}

} // namespace

void CatchStopSignals(double seconds) {
    StopSignal = 0;
    SecondsAsked = seconds;
    Deadline = std::chrono::steady_clock::time_point::max();
    // No SA_RESTART: a read waiting for the mouse returns at once. SA_RESETHAND: a second
    // Ctrl+C ends a program that does not stop.
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool WaitForInput(int fd, StreamEnd &why) {
    // A signal that comes just before poll is seen within this time.
    const int LONGEST_WAIT_MS = 200;
    for (;;) {
        if (StopSignal) {
            why = StopSignal == SIGTERM ? StreamEnd::Terminated : StreamEnd::Interrupted;
            return false;
        }
        auto now = std::chrono::steady_clock::now();
        // The time counts from the first wait for the mouse, once TapTally is up and
        // calibrated: a slow start takes nothing from the test.
        if (SecondsAsked > 0 && Deadline == std::chrono::steady_clock::time_point::max()) {
            Deadline = now + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                 std::chrono::duration<double>(SecondsAsked));
        }
        if (now >= Deadline) {
            why = StreamEnd::TimeUp;
            return false;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - now).count();
        pollfd wait = {fd, POLLIN, 0};
        int ready = poll(&wait, 1, (int)std::min<long long>(left + 1, LONGEST_WAIT_MS));
        if (ready > 0) {
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            throw RecordingError(0, std::string("cannot be read: ") + strerror(errno));
        }
        if (ready == 0 && Idle) {
            Idle();
        }
    }
}

void WhileWaiting(std::function<void()> idle) {
    Idle = std::move(idle);
}

ReadBytes ReadDescriptor(int fd, StreamEnd &why) {
    return [fd, &why](char *buffer, size_t size) -> size_t {
        for (;;) {
            if (!WaitForInput(fd, why)) {
                return 0;
            }
            ssize_t count = read(fd, buffer, size);
            if (count >= 0) {
                if (count == 0) {
                    why = StreamEnd::Ended;
                }
                return (size_t)count;
            }
            if (errno != EINTR && errno != EAGAIN) {
                throw RecordingError(0, std::string("cannot be read: ") + strerror(errno));
            }
        }
    };
}

} // namespace replay
