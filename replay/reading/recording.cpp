// The bytes of a recording and how its format is told from its first lines.
#include "replay/reading/recording.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace replay {

size_t ByteSource::Read(char *buffer, size_t size) {
    if (HeadUsed < Head.size()) {
        size_t count = std::min(size, Head.size() - HeadUsed);
        memcpy(buffer, Head.data() + HeadUsed, count);
        HeadUsed += count;
        return Count(buffer, count);
    }
    size_t count = fread(buffer, 1, size, File);
    if (count == 0 && ferror(File)) {
        throw RecordingError(0, std::string("cannot be read: ") + strerror(errno));
    }
    return Count(buffer, count);
}

size_t ByteSource::Count(const char *buffer, size_t count) {
    if (count == 0) {
        Ended = true;
        return 0;
    }
    LineFeeds += (long)std::count(buffer, buffer + count, '\n');
    EndsOpen = buffer[count - 1] != '\n';
    Bytes += count;
    return count;
}

void ByteSource::SkipByteOrderMark() {
    if (Peek(3).compare(0, 3, "\xef\xbb\xbf") == 0) {
        Head.erase(0, 3);
    }
}

const std::string &ByteSource::Peek(size_t limit) {
    char buffer[4096];
    while (Head.size() < limit) {
        size_t count = fread(buffer, 1, std::min(sizeof buffer, limit - Head.size()), File);
        if (count == 0) {
            if (ferror(File)) {
                throw RecordingError(0, std::string("cannot be read: ") + strerror(errno));
            }
            break;
        }
        Head.append(buffer, count);
    }
    return Head;
}

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

} // namespace replay
