// evemu-record text of the events as they are read.
#include "replay/reading/record_writer.h"

#include <cerrno>

namespace replay {

namespace {

class RecordingReader : public EventReader {
  public:
    RecordingReader(EventReader &events, FILE *file, const std::string &deviceLines,
                    int &writeError)
        : Events(events), File(file), WriteError(writeError) {
        fputs("# EVEMU 1.3\n# Recorded by taptally-replay --live\n", File);
        fputs(deviceLines.c_str(), File);
        fputs("################################\n"
              "#      Waiting for events      #\n"
              "################################\n",
              File);
        Flush();
    }

    bool Next(RecordedEvent &event) override {
        if (!Events.Next(event)) {
            Flush();
            return false;
        }
        // The events libevdev makes up to put the state right after dropped events are
        // no kernel events: kept as comments, so that a replay restores the state itself.
        fprintf(File, "%sE: %lld.%06lld %04x %04x %04d\n", event.Restored ? "# restored: " : "",
                (long long)(event.Micros / 1000000), (long long)(event.Micros % 1000000),
                event.Type, event.Code, event.Value);
        if (event.Type == EV_SYN_TYPE && event.Code == SYN_REPORT_CODE) {
            Flush(); // whole frames on disk, whatever ends the program
        }
        return true;
    }

    const DeviceInfo &Device() const override { return Events.Device(); }
    long LastLine() const override { return Events.LastLine(); }

  private:
    // The first failed write's reason is kept: the stream's error flag has none.
    void Flush() {
        if (fflush(File) != 0 && WriteError == 0) {
            WriteError = errno;
        }
    }

    EventReader &Events;
    FILE *File;
    int &WriteError;
};

} // namespace

std::unique_ptr<EventReader> RecordTo(EventReader &events, FILE *file,
                                      const std::string &deviceLines, int &writeError) {
    return std::make_unique<RecordingReader>(events, file, deviceLines, writeError);
}

} // namespace replay
