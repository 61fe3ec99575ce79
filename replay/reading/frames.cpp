// Frames of a recording: motion summed, button changes in order, the rest counted.
#include "replay/reading/frames.h"

#include <algorithm>

namespace replay {

bool FrameReader::Next(Frame &frame) {
    frame.Moved = false;
    frame.Dx = frame.Dy = 0;
    frame.Buttons.clear();
    frame.Wheel = 0;
    frame.TimeHeld = false;
    Pending = 0;
    FrameMouseEvents = 0;
    RecordedEvent event;
    while (Events.Next(event)) {
        ++EventCount;
        if (!Started) {
            Started = true;
            FirstMicros = PreviousMicros = event.Micros;
        }
        // A clock that goes back is held at the time before: the frame keeps its order.
        if (event.Micros < PreviousMicros) {
            if (!frame.TimeHeld) {
                ++TimeBackFrames;
                frame.TimeHeld = true;
            }
            MostTimeBackMicros = std::max(MostTimeBackMicros, PreviousMicros - event.Micros);
            event.Micros = PreviousMicros;
        }
        PreviousMicros = event.Micros;
        if (event.Type == EV_SYN_TYPE && event.Code == SYN_REPORT_CODE) {
            if (Dropping) {
                // The kernel lost events before this report: the frame is incomplete.
                Dropping = false;
                ++Ignored.Other;
                Pending = 0;
                FrameMouseEvents = 0;
                continue;
            }
            frame.Micros = event.Micros - FirstMicros;
            frame.Line = event.Line;
            LastMicros = frame.Micros;
            ++FrameCount;
            for (const ButtonChange &change : frame.Buttons) {
                IsDown[change.Which] = change.Down;
            }
            return true;
        }
        ++Pending;
        Take(event, frame);
    }
    if (!Started) {
        throw NoEventsError(Events.LastLine(), "the recording holds no events of the device");
    }
    if (!SawMouseEvent) {
        throw RecordingError(Events.LastLine(),
                             "the recording holds no button or motion of a mouse (BTN_LEFT, "
                             "BTN_MIDDLE, BTN_RIGHT, REL_X, REL_Y)");
    }
    CutEvents = Pending;
    CutLine = Events.CutLine();
    return false;
}

void FrameReader::Take(const RecordedEvent &event, Frame &frame) {
    switch (event.Type) {
    case EV_SYN_TYPE:
        if (event.Code == SYN_DROPPED_CODE) {
            ++DroppedReports;
            Dropping = true;
            for (bool &resync : Resync) {
                resync = true;
            }
            Ignored.Other += FrameMouseEvents;
            FrameMouseEvents = 0;
            frame.Moved = false;
            frame.Dx = frame.Dy = 0;
            frame.Wheel = 0;
            frame.Buttons.clear();
        }
        ++Ignored.Other;
        return;
    case EV_KEY_TYPE: {
        Button which = ButtonOfCode(event.Code);
        if (event.Value < 0 || event.Value > 2) {
            throw RecordingError(event.Line, "a key or button value must be 0 (up), 1 (down) "
                                             "or 2 (repeat), not " +
                                                 std::to_string(event.Value));
        }
        if (event.Value == 2) {
            ++Ignored.Repeats;
        } else if (which == BUTTON_KINDS) {
            ++Ignored.OtherButtons;
        } else {
            SawMouseEvent = true;
            if (Dropping) {
                ++Ignored.Other;
            } else {
                ++FrameMouseEvents;
                ButtonChange change{which, event.Value == 1, event.Restored};
                RestoredChanges += event.Restored ? 1 : 0;
                AddButtonChange(frame, change);
            }
        }
        return;
    }
    case EV_REL_TYPE:
        if (event.Code == REL_X_CODE || event.Code == REL_Y_CODE) {
            SawMouseEvent = true;
            if (Dropping) {
                ++Ignored.Other;
            } else {
                ++FrameMouseEvents;
                frame.Moved = true;
                (event.Code == REL_X_CODE ? frame.Dx : frame.Dy) += event.Value;
            }
        } else if (event.Code == REL_WHEEL_CODE) {
            ++Ignored.Wheel;
            frame.Wheel += Dropping ? 0 : event.Value;
        } else if (event.Code == REL_HWHEEL_CODE || event.Code == REL_WHEEL_HI_RES_CODE ||
                   event.Code == REL_HWHEEL_HI_RES_CODE) {
            ++Ignored.Wheel;
        } else {
            ++Ignored.Other;
        }
        return;
    case EV_MSC_TYPE:
        // The scan code comes with every click: part of it, nothing left out.
        Ignored.Other += event.Code == MSC_SCAN_CODE ? 0 : 1;
        return;
    default:
        ++Ignored.Other;
        return;
    }
}

// After the kernel dropped events, a button's first change tells its state before it:
// a press that finds the button down means its release was lost, and the release comes
// first, as a client that reads the device's state again would see it.
void FrameReader::AddButtonChange(Frame &frame, ButtonChange change) {
    bool down = IsDown[change.Which];
    for (const ButtonChange &earlier : frame.Buttons) {
        if (earlier.Which == change.Which) {
            down = earlier.Down;
        }
    }
    if (Resync[change.Which] && down == change.Down) {
        frame.Buttons.push_back(ButtonChange{change.Which, !change.Down, true});
        ++RestoredChanges;
    }
    Resync[change.Which] = false;
    frame.Buttons.push_back(change);
}

} // namespace replay
