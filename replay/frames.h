// The events of a recording grouped into frames (everything up to a SYN_REPORT), and
// what the replay leaves out, counted.
#pragma once

#include "replay/recording.h"

namespace replay {

enum Button { BUTTON_LEFT = 0, BUTTON_MIDDLE = 1, BUTTON_RIGHT = 2 };

struct ButtonChange {
    Button Which;
    bool Down;
};

struct Frame {
    int64_t Micros = 0; // time of its SYN_REPORT, from the first event of the recording
    long Line = 0;      // line of its SYN_REPORT
    bool Moved = false; // REL_X or REL_Y in it
    int64_t Dx = 0, Dy = 0;
    std::vector<ButtonChange> Buttons; // in the order of the recording
};

struct IgnoredCounts {
    uint64_t Repeats = 0;      // key repeats (value 2)
    uint64_t OtherButtons = 0; // keys and buttons other than left, middle and right
    uint64_t Wheel = 0;        // wheels, high-resolution ones included
    uint64_t Other = 0;        // EV_MSC, other types and codes, events the kernel dropped
};

class FrameReader {
  public:
    explicit FrameReader(EventReader &events) : Events(events) {}
    // The next complete frame; false at the end. Throws RecordingError on bad input.
    bool Next(Frame &frame);

    IgnoredCounts Ignored;
    uint64_t EventCount = 0;      // every event read
    uint64_t FrameCount = 0;      // frames handed out
    uint64_t DroppedReports = 0;  // SYN_DROPPED seen: the kernel lost events there
    uint64_t RestoredChanges = 0; // button changes lost there, restored from later ones
    uint64_t CutEvents = 0;       // events after the last SYN_REPORT: a recording cut short
    int64_t LastMicros = 0;       // time of the last frame handed out

  private:
    void Take(const RecordedEvent &event, Frame &frame);
    void AddButtonChange(Frame &frame, ButtonChange change);

    EventReader &Events;
    bool Started = false;
    bool Dropping = false; // between a SYN_DROPPED and the next SYN_REPORT
    bool SawMouseEvent = false;
    bool IsDown[3] = {}; // each button's state after the frames handed out
    bool Resync[3] = {}; // its state is unsure: events were dropped since its last change
    int64_t FirstMicros = 0, PreviousMicros = 0;
    uint64_t Pending = 0;          // events of the frame being read
    uint64_t FrameMouseEvents = 0; // of them: buttons and motion to be replayed
};

} // namespace replay
