// The events of a recording grouped into frames (everything up to a SYN_REPORT), and
// what the replay leaves out, counted.
#pragma once

#include "replay/reading/recording.h"

namespace replay {

struct ButtonChange {
    Button Which;
    bool Down;
    // Made up to put the state right after the kernel dropped events: it changes the
    // button's state and nothing else, never an interval, never a press.
    bool Restored = false;
};

struct Frame {
    int64_t Micros = 0; // time of its SYN_REPORT, from the first event of the recording
    long Line = 0;      // line of its SYN_REPORT
    bool Moved = false; // REL_X or REL_Y in it
    int64_t Dx = 0, Dy = 0;
    std::vector<ButtonChange> Buttons; // in the order of the recording
    int64_t Wheel = 0;                 // REL_WHEEL steps, up positive
    bool TimeHeld = false;             // its time went back and was held at the one before
};

struct IgnoredCounts {
    uint64_t Repeats = 0;      // key repeats (value 2)
    uint64_t OtherButtons = 0; // keys and buttons other than the seven the replay follows
    uint64_t Wheel = 0;        // wheels, high-resolution ones included
    uint64_t Other = 0;        // other types and codes, events the kernel dropped
};

class FrameReader {
  public:
    explicit FrameReader(EventReader &events) : Events(events) {}
    // The next complete frame; false at the end. Throws RecordingError on bad input.
    bool Next(Frame &frame);
    const DeviceInfo &Device() const { return Events.Device(); }

    IgnoredCounts Ignored;
    uint64_t EventCount = 0;      // every event read
    uint64_t FrameCount = 0;      // frames handed out
    uint64_t DroppedReports = 0;  // SYN_DROPPED seen: the kernel lost events there
    uint64_t RestoredChanges = 0; // button changes lost there, restored from later ones
    uint64_t CutEvents = 0;       // events after the last SYN_REPORT: a recording cut short
    bool CutLine = false;         // its last line was incomplete and left out
    int64_t LastMicros = 0;       // time of the last frame handed out
    uint64_t TimeBackFrames = 0;  // frames whose time went back, held at the time before
    int64_t MostTimeBackMicros = 0;

  private:
    void Take(const RecordedEvent &event, Frame &frame);
    void AddButtonChange(Frame &frame, ButtonChange change);

    EventReader &Events;
    bool Started = false;
    bool Dropping = false; // between a SYN_DROPPED and the next SYN_REPORT
    bool SawMouseEvent = false;
    bool IsDown[BUTTON_KINDS] = {}; // each button's state after the frames handed out
    bool Resync[BUTTON_KINDS] =
        {}; // its state is unsure: events were dropped since its last change
    int64_t FirstMicros = 0, PreviousMicros = 0;
    uint64_t Pending = 0;          // events of the frame being read
    uint64_t FrameMouseEvents = 0; // of them: buttons and motion to be replayed
};

} // namespace replay
