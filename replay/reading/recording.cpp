// The bytes of a recording, with its first bytes kept to be read again.
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
    Bytes += count;
    if (!Counting) {
        return count;
    }
    LineFeeds += (long)std::count(buffer, buffer + count, '\n');
    EndsOpen = buffer[count - 1] != '\n';
    long blankFeeds = 0;
    for (size_t at = count; at-- > 0;) {
        char c = buffer[at];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            ContentLine = LineFeeds - blankFeeds + 1;
            break;
        }
        blankFeeds += c == '\n';
    }
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

} // namespace replay
