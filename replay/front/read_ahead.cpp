// A thread that reads a recording ahead of the program, through a queue of a few batches.
#include "replay/front/read_ahead.h"

#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace replay {

namespace {

const size_t BATCH_EVENTS = 4096;
const size_t QUEUED_BATCHES = 4; // at most this many read and not yet handed out

struct Batch {
    std::vector<RecordedEvent> Events;
    DeviceInfo Device;
    long LastLine = 0;
    bool CutLine = false;
    bool Last = false;          // inner has ended (or failed) after these events
    std::exception_ptr Failure; // what inner threw, when Last
};

class ReadingAhead : public EventReader {
  public:
    explicit ReadingAhead(std::unique_ptr<EventReader> inner)
        : Inner(std::move(inner)), Reader([this] { ReadAll(); }) {}

    ~ReadingAhead() override {
        {
            std::lock_guard<std::mutex> lock(Lock);
            Stopping = true;
        }
        Changed.notify_all();
        Reader.join();
    }
    ReadingAhead(const ReadingAhead &) = delete;
    ReadingAhead &operator=(const ReadingAhead &) = delete;

    bool Next(RecordedEvent &event) override {
        while (Taken == Current.Events.size()) {
            if (Current.Last) {
                if (Current.Failure) {
                    std::exception_ptr failure = Current.Failure;
                    Current.Failure = nullptr; // thrown once
                    std::rethrow_exception(failure);
                }
                return false;
            }
            std::unique_lock<std::mutex> lock(Lock);
            Changed.wait(lock, [this] { return !Queue.empty(); });
            Current.Events.clear();
            Spare.push_back(std::move(Current.Events)); // its memory is used again
            Current = std::move(Queue.front());
            Queue.pop_front();
            Taken = 0;
            lock.unlock();
            Changed.notify_all();
        }
        event = Current.Events[Taken++];
        return true;
    }

    const DeviceInfo &Device() const override { return Current.Device; }
    long LastLine() const override { return Current.LastLine; }
    std::string Place(long line) const override { return Inner->Place(line); }
    bool CutLine() const override { return Current.CutLine; }

  private:
    void ReadAll() {
        bool last = false;
        while (!last) {
            Batch batch;
            {
                std::lock_guard<std::mutex> lock(Lock);
                if (!Spare.empty()) {
                    batch.Events = std::move(Spare.back());
                    Spare.pop_back();
                }
            }
            batch.Events.reserve(BATCH_EVENTS);
            try {
                RecordedEvent event;
                while (batch.Events.size() < BATCH_EVENTS && !(last = !Inner->Next(event))) {
                    batch.Events.push_back(event);
                }
            } catch (...) {
                batch.Failure = std::current_exception();
                last = true;
            }
            batch.Device = Inner->Device();
            batch.LastLine = Inner->LastLine();
            batch.CutLine = Inner->CutLine();
            batch.Last = last;
            std::unique_lock<std::mutex> lock(Lock);
            Changed.wait(lock, [this] { return Stopping || Queue.size() < QUEUED_BATCHES; });
            if (Stopping) {
                return;
            }
            Queue.push_back(std::move(batch));
            lock.unlock();
            Changed.notify_all();
        }
    }

    std::unique_ptr<EventReader> Inner; // used by the reading thread only, but for Place
    std::mutex Lock;
    std::condition_variable Changed;
    std::deque<Batch> Queue;
    std::vector<std::vector<RecordedEvent>> Spare; // emptied batches, for the reading thread
    bool Stopping = false;
    Batch Current; // handed out by Next
    size_t Taken = 0;
    std::thread Reader; // last: starts once everything above is made
};

} // namespace

std::unique_ptr<EventReader> ReadAhead(std::unique_ptr<EventReader> inner) {
    return std::make_unique<ReadingAhead>(std::move(inner));
}

bool RunRecordingFile(const RunOptions &options, const InputOptions &input, FILE *file,
                      ReplayResult &result, ReplayFailure &failure) {
    // Only YAML costs enough to read that a second thread pays for handing its events over.
    struct stat status {};
    bool yaml = false;
    if (fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode)) {
        std::string head(65536, '\0');
        ssize_t got = pread(fileno(file), head.data(), head.size(), 0);
        head.resize(got > 0 ? (size_t)got : 0);
        long line = 0;
        yaml = DetectFormat(head, line) == Format::LibinputYaml;
    }
    return RunReplay(options, input, file, result, failure, yaml ? ReadAhead : nullptr);
}

} // namespace replay
