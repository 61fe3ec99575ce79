// A mouse's device node read through libevdev, as the mouse is used.
#include "replay/front/live_input.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace replay {

namespace {

// The event types whose codes an evemu-record header lists, with their highest code.
const struct {
    int Type, Highest;
} HEADER_TYPES[] = {{EV_SYN, SYN_MAX}, {EV_KEY, KEY_MAX}, {EV_REL, REL_MAX}, {EV_MSC, MSC_MAX}};

class DeviceReader : public StreamReader {
  public:
    DeviceReader(const std::string &node, bool grab, StreamEnd &why) : Why(why) {
        Fd = open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (Fd < 0) {
            int error = errno;
            std::string how = error == EACCES || error == EPERM
                                  ? ": reading a mouse needs root or the input group: run with "
                                    "sudo, or join the input group (sudo adduser $USER input, "
                                    "then log in again)"
                                  : "";
            throw RecordingError(0, std::string(strerror(error)) + how);
        }
        int status = libevdev_new_from_fd(Fd, &Device_);
        if (status < 0) {
            close(Fd);
            throw RecordingError(0, std::string("no input device: ") + strerror(-status));
        }
        // The kernel ends the grab when the node is closed, so it ends with the program
        // however the program ends.
        if (grab && (status = libevdev_grab(Device_, LIBEVDEV_GRAB)) < 0) {
            Close();
            throw RecordingError(0, std::string("cannot grab the device (another program "
                                                "holds it?): ") +
                                        strerror(-status));
        }
        Info.Name = libevdev_get_name(Device_) ? libevdev_get_name(Device_) : "";
        Info.Number = 1;
        Info.DeviceCount = 1;
        Info.CodesKnown = true;
        Info.HasLeftButton = libevdev_has_event_code(Device_, EV_KEY, BTN_LEFT);
        Info.HasRelX = libevdev_has_event_code(Device_, EV_REL, REL_X);
        for (int code = BTN_LEFT_CODE; code <= BTN_BACK_CODE; ++code) {
            Info.HasButton[ButtonOfCode(code)] =
                libevdev_has_event_code(Device_, EV_KEY, (unsigned)code);
        }
        if (!Info.HasLeftButton || !Info.HasRelX) {
            std::string name = Info.Name;
            Close();
            throw RecordingError(0, "the device \"" + name +
                                        "\" has no BTN_LEFT and REL_X: it is no mouse");
        }
    }
    ~DeviceReader() override { Close(); }

    bool Next(RecordedEvent &event) override {
        if (ReportNext) {
            // SYN_DROPPED: the kernel lost events up to its next report, and libevdev threw
            // them away. A report closes the lost stretch; libevdev's own events then put
            // the state right.
            ReportNext = false;
            Syncing = true;
            return Synthetic(event, false);
        }
        input_event read;
        for (;;) {
            int status = libevdev_next_event(
                Device_, Syncing ? LIBEVDEV_READ_FLAG_SYNC : LIBEVDEV_READ_FLAG_NORMAL, &read);
            if (status == -EAGAIN && Syncing) {
                Syncing = false;
                if (!SyncReported) {
                    return Synthetic(event, true);
                }
                continue;
            }
            if (status == -EAGAIN) {
                if (!WaitForInput(Fd, Why)) {
                    return false;
                }
                continue;
            }
            if (status == -ENODEV) {
                Why = StreamEnd::Unplugged;
                return false;
            }
            if (status < 0) {
                throw RecordingError(0, std::string("cannot be read: ") + strerror(-status));
            }
            event = RecordedEvent{};
            event.Micros = (int64_t)read.input_event_sec * 1000000 + read.input_event_usec;
            event.Type = read.type;
            event.Code = read.code;
            event.Value = read.value;
            if (Syncing) {
                // libevdev stamps its own events with its clock, not the kernel's: they
                // stand at the time of the last event read.
                event.Micros = LastMicros;
                event.Restored = true;
                SyncReported = event.Type == EV_SYN && event.Code == SYN_REPORT;
            } else if (status == LIBEVDEV_READ_STATUS_SYNC) {
                ReportNext = true;
                SyncReported = false;
            }
            LastMicros = std::max(LastMicros, event.Micros);
            return true;
        }
    }

    const DeviceInfo &Device() const override { return Info; }
    long LastLine() const override { return 0; }

    std::string EvemuHeader() const override {
        char text[80];
        snprintf(text, sizeof text, "I: %04x %04x %04x %04x\n", libevdev_get_id_bustype(Device_),
                 libevdev_get_id_vendor(Device_), libevdev_get_id_product(Device_),
                 libevdev_get_id_version(Device_));
        std::string header = "N: " + Info.Name + "\n" + text;
        for (const auto &type : HEADER_TYPES) {
            // Eight bytes of the bit mask a line, as evemu-record writes them.
            for (int first = 0; first <= type.Highest; first += 64) {
                snprintf(text, sizeof text, "B: %02x", type.Type);
                header += text;
                for (int byte = 0; byte < 8; ++byte) {
                    int bits = 0;
                    for (int bit = 0; bit < 8; ++bit) {
                        int code = first + byte * 8 + bit;
                        if (code <= type.Highest &&
                            libevdev_has_event_code(Device_, type.Type, code)) {
                            bits |= 1 << bit;
                        }
                    }
                    snprintf(text, sizeof text, " %02x", bits);
                    header += text;
                }
                header += "\n";
            }
        }
        return header;
    }

  private:
    // A SYN_REPORT of the reader's own, at the time of the event read last.
    bool Synthetic(RecordedEvent &event, bool restored) {
        event = RecordedEvent{};
        event.Micros = LastMicros;
        event.Type = EV_SYN;
        event.Code = SYN_REPORT;
        event.Restored = restored;
        return true;
    }

    void Close() {
        if (Device_) {
            libevdev_grab(Device_, LIBEVDEV_UNGRAB);
            libevdev_free(Device_);
            Device_ = nullptr;
        }
        if (Fd >= 0) {
            close(Fd);
            Fd = -1;
        }
    }

    StreamEnd &Why;
    int Fd = -1;
    libevdev *Device_ = nullptr;
    DeviceInfo Info;
    int64_t LastMicros = 0;
    bool ReportNext = false, Syncing = false, SyncReported = false;
};

} // namespace

std::unique_ptr<StreamReader> OpenDeviceReader(const std::string &node, bool grab, StreamEnd &why) {
    return std::make_unique<DeviceReader>(node, grab, why);
}

} // namespace replay
