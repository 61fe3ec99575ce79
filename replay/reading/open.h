// A recording opened by its content: which of the three formats it is, and its reader.
#pragma once

#include "replay/reading/recording.h"

#include <memory>
#include <string>

namespace replay {

// Which recording is read, and which of its devices.
struct InputOptions {
    std::string File; // "-" is standard input
    int Device = 0;   // 0: the first device with BTN_LEFT and REL_X
};

enum class Format { Unknown, LibinputYaml, Evemu, Raw };

// Tells the format from the first lines; Unknown when it is neither. line receives the
// line that decided it (the first line that is not blank or a comment).
Format DetectFormat(const std::string &head, long &line);

// wantedDevice 0 picks the first device that has BTN_LEFT and REL_X.
std::unique_ptr<EventReader> OpenEvemuReader(ByteSource &source, int wantedDevice);
std::unique_ptr<EventReader> OpenYamlReader(ByteSource &source, int wantedDevice);

// The reader of the recording source holds, its format told from its content, for the
// device input chooses. Throws RecordingError when the format is none of the three or the
// device cannot be chosen.
std::unique_ptr<EventReader> OpenRecording(ByteSource &source, const InputOptions &input);

} // namespace replay
