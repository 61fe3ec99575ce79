// The mice of this machine: the input devices that have a left button and report
// relative motion, found without reading them (which needs root or the input group).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace replay {

struct InputDevice {
    std::string Node; // /dev/input/eventN
    std::string Name;
    std::string ById; // its link in /dev/input/by-id, or empty
};

// The mice under root ("" for this machine's /sys and /dev), by event number.
std::vector<InputDevice> FindMice(const std::string &root);

// The device to test: the only mouse, or the one the person names by number or node
// when asked through ask (a line read from answers, the question written to ask). An
// empty node and problem filled when there is none to take.
std::string ChooseMouse(const std::vector<InputDevice> &mice, FILE *answers, FILE *ask,
                        std::string &problem);

// "name (node, by-id link)" for a message.
std::string Describe(const InputDevice &device);

} // namespace replay
