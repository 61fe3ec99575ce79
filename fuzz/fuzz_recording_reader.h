// Shared by the reader fuzz targets: reads a recording of any bytes to its end, and
// checks what a good reader must hold whatever it is given: frames in time order, and a
// fault reported on a line the file has.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "replay/reading/frames.h"
#include "replay/reading/open.h"

// Reads every frame: in time order, each at a place (line or record) the input has.
inline void ReadAllFrames(replay::EventReader &events, long places) {
    replay::FrameReader frames(events);
    replay::Frame frame;
    int64_t last = 0;
    while (frames.Next(frame)) {
        if (frame.Micros < last || frame.Line < 1 || frame.Line > places) {
            abort();
        }
        last = frame.Micros;
    }
}

// A fault is named by a place the input has.
inline void CheckPlace(const replay::RecordingError &error, long places) {
    if (error.Line < 0 || error.Line > places) {
        abort();
    }
}

inline int FuzzReader(const uint8_t *data, size_t size, bool yaml) {
    if (size < 1) {
        return 0;
    }
    int device = data[0] % 4; // 0 picks the first mouse
    ++data;
    --size;
    long lines = 1;
    for (size_t i = 0; i < size; ++i) {
        lines += data[i] == '\n';
    }
    FILE *file = fmemopen((void *)data, size, "rb");
    if (!file) {
        return 0;
    }
    try {
        replay::ByteSource source(file);
        std::unique_ptr<replay::EventReader> events =
            yaml ? replay::OpenYamlReader(source, device) : replay::OpenEvemuReader(source, device);
        ReadAllFrames(*events, lines);
    } catch (const replay::RecordingError &error) {
        CheckPlace(error, lines);
    }
    fclose(file);
    return 0;
}
