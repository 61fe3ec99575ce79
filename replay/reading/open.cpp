// Telling the format of a recording from its first bytes, and opening its reader.
#include "replay/reading/open.h"

#include "replay/reading/stream.h"

#include <cstring>

namespace replay {

namespace {

bool StartsWith(const std::string &text, size_t at, const char *prefix) {
    return text.compare(at, strlen(prefix), prefix) == 0;
}

} // namespace

Format DetectFormat(const std::string &head, long &line) {
    line = 0;
    if (IsRawRecords(head)) {
        return Format::Raw;
    }
    if (head.find_first_not_of(" \t\r\n") == std::string::npos) {
        return Format::Unknown; // nothing at all: no line to blame
    }
    size_t at = 0;
    while (at < head.size()) {
        ++line;
        size_t end = head.find('\n', at);
        if (end == std::string::npos) {
            end = head.size();
        }
        // evemu-record names itself in its first comment; libinput record in newer files.
        if (StartsWith(head, at, "# EVEMU")) {
            return Format::Evemu;
        }
        if (StartsWith(head, at, "# libinput record")) {
            return Format::LibinputYaml;
        }
        size_t first = head.find_first_not_of(" \t\r", at);
        if (first < end && head[first] != '#') {
            static const char *const EVEMU_LINES[] = {
                "E: ", "N: ", "I: ", "P: ", "B: ", "A: ", "L: ", "S: "};
            for (const char *prefix : EVEMU_LINES) {
                if (first == at && StartsWith(head, at, prefix)) {
                    return Format::Evemu;
                }
            }
            static const char *const YAML_STARTS[] = {
                "---", "%YAML", "version:", "ndevices:", "libinput:", "system:", "devices:"};
            for (const char *prefix : YAML_STARTS) {
                if (first == at && StartsWith(head, at, prefix)) {
                    return Format::LibinputYaml;
                }
            }
            return Format::Unknown;
        }
        at = end + 1;
    }
    return Format::Unknown;
}

std::unique_ptr<EventReader> OpenRecording(ByteSource &source, const InputOptions &input) {
    int wantedDevice = input.Device;
    long line = 0;
    // Records are told first: their first bytes may be anything, a byte-order mark too.
    if (!IsRawRecords(source.Peek(65536))) {
        source.SkipByteOrderMark();
    }
    const std::string &head = source.Peek(65536);
    Format format = DetectFormat(head, line);
    if (format == Format::Unknown) {
        throw RecordingError(line, line == 0 ? "the recording is empty: it holds no events"
                                             : "this is no libinput record file (YAML), no "
                                               "evemu-record file and no stream of the "
                                               "kernel's event records");
    }
    if (format == Format::Raw && wantedDevice > 1) {
        throw RecordingError(0, "--device " + std::to_string(wantedDevice) +
                                    ": the kernel's event records are of one device only");
    }
    return format == Format::Evemu ? OpenEvemuReader(source, wantedDevice)
           : format == Format::Raw ? OpenRawReader([&source](char *buffer, size_t size) {
                 return source.Read(buffer, size);
             })
                                   : OpenYamlReader(source, wantedDevice);
}

} // namespace replay
