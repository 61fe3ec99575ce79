// Reading a recording ahead in a thread: the events come in order, an error of the reader
// after the events before it, the reader's last word on the device and the cut at the end.
#include <gtest/gtest.h>

#include "replay/front/read_ahead.h"

#include <unistd.h>

#include <atomic>
#include <memory>

namespace {

// Gives events 1 to count (their value), then ends or throws; the device's name and the cut
// change only at the end, as a reader's do when it finishes.
class Counting : public replay::EventReader {
  public:
    Counting(long count, bool fails, std::atomic<long> *made = nullptr)
        : Count(count), Fails(fails), Made(made) {
        Info.Name = "reading";
    }
    bool Next(replay::RecordedEvent &event) override {
        if (Given == Count) {
            Info.Name = "read";
            Cut = true;
            if (Fails) {
                throw replay::RecordingError(77, "broken after the last event");
            }
            return false;
        }
        event = replay::RecordedEvent{};
        event.Value = (int)++Given;
        event.Line = Given;
        if (Made) {
            ++*Made;
        }
        return true;
    }
    const replay::DeviceInfo &Device() const override { return Info; }
    long LastLine() const override { return Given; }
    bool CutLine() const override { return Cut; }

  private:
    long Count, Given = 0;
    bool Fails, Cut = false;
    std::atomic<long> *Made;
    replay::DeviceInfo Info;
};

} // namespace

TEST(ReplayReadAhead, EventsComeInOrderThenTheEndOrTheErrorOfTheReader) {
    const struct {
        long Count;
        bool Fails;
    } tests[] = {{0, false}, {1, true}, {4096, false}, {10001, true}};
    for (const auto &test : tests) {
        auto events = replay::ReadAhead(std::make_unique<Counting>(test.Count, test.Fails));
        replay::RecordedEvent event;
        long read = 0;
        bool inOrder = true;
        std::string error;
        try {
            while (events->Next(event)) {
                inOrder = inOrder && event.Value == read + 1 && event.Line == read + 1;
                ++read;
            }
        } catch (const replay::RecordingError &fault) {
            error = std::to_string(fault.Line) + ": " + fault.what();
        }
        EXPECT_EQ(read, test.Count);
        EXPECT_TRUE(inOrder) << test.Count;
        EXPECT_EQ(error, test.Fails ? "77: broken after the last event" : "") << test.Count;
        EXPECT_EQ(events->Device().Name, "read") << test.Count;
        EXPECT_EQ(events->LastLine(), test.Count);
        EXPECT_TRUE(events->CutLine()) << test.Count;
    }
}

TEST(ReplayReadAhead, ReadsOnlyAFewBatchesAheadAndStopsWhenDropped) {
    std::atomic<long> made{0};
    {
        auto events = replay::ReadAhead(std::make_unique<Counting>(10000000, false, &made));
        replay::RecordedEvent event;
        ASSERT_TRUE(events->Next(event));
        EXPECT_EQ(event.Value, 1);
        for (int wait = 0; wait < 50 && made < 4096 * 5; ++wait) {
            usleep(2000);
        }
        // The batch handed out, four queued and the one being read: never the whole file.
        EXPECT_LE(made.load(), 4096 * 6);
    } // dropped with most of the file unread: the reading thread ends
    EXPECT_LT(made.load(), 10000000);
}
