// Finding the mice: sysfs tells each event device's name and codes to anyone, and
// /dev/input/by-id gives the names that stay the same from boot to boot.
#include "replay/front/devices.h"

#include "replay/reading/codes.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace replay {

namespace {

std::string ReadLine(const std::string &path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

// A capability mask of sysfs: hexadecimal words of the machine's long, the most
// significant first, separated by blanks.
bool HasBit(const std::string &mask, int bit) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at < mask.size()) {
        size_t end = std::min(mask.find(' ', at), mask.size());
        if (end > at) {
            words.push_back(mask.substr(at, end - at));
        }
        at = end + 1;
    }
    const int WORD_BITS = (int)sizeof(long) * 8;
    size_t word = (size_t)(bit / WORD_BITS);
    if (word >= words.size()) {
        return false;
    }
    unsigned long value = strtoul(words[words.size() - 1 - word].c_str(), nullptr, 16);
    return (value >> (bit % WORD_BITS)) & 1;
}

std::vector<std::string> Entries(const std::string &folder) {
    std::vector<std::string> names;
    if (DIR *dir = opendir(folder.c_str())) {
        while (dirent *entry = readdir(dir)) {
            if (entry->d_name[0] != '.') {
                names.push_back(entry->d_name);
            }
        }
        closedir(dir);
    }
    return names;
}

int EventNumber(const std::string &name) {
    return name.compare(0, 5, "event") == 0 ? atoi(name.c_str() + 5) : -1;
}

} // namespace

std::vector<InputDevice> FindMice(const std::string &root) {
    std::vector<std::string> events;
    for (const std::string &name : Entries(root + "/dev/input")) {
        if (EventNumber(name) >= 0) {
            events.push_back(name);
        }
    }
    std::sort(events.begin(), events.end(), [](const std::string &a, const std::string &b) {
        return EventNumber(a) < EventNumber(b);
    });
    std::string byId = root + "/dev/input/by-id";
    std::vector<std::string> links = Entries(byId);
    std::sort(links.begin(), links.end());
    std::vector<InputDevice> mice;
    for (const std::string &event : events) {
        std::string device = root + "/sys/class/input/" + event + "/device/";
        if (!HasBit(ReadLine(device + "capabilities/key"), BTN_LEFT_CODE) ||
            !HasBit(ReadLine(device + "capabilities/rel"), REL_X_CODE)) {
            continue;
        }
        InputDevice mouse{"/dev/input/" + event, ReadLine(device + "name"), ""};
        for (const std::string &link : links) {
            char target[256];
            ssize_t length = readlink((byId + "/" + link).c_str(), target, sizeof target - 1);
            std::string to = length > 0 ? std::string(target, (size_t)length) : "";
            if (to.size() >= event.size() + 1 &&
                to.compare(to.size() - event.size() - 1, std::string::npos, "/" + event) == 0) {
                // A mouse has an "-event-mouse" link; an interface of a keyboard may also
                // point here under another name.
                if (mouse.ById.empty() || link.find("-event-mouse") != std::string::npos) {
                    mouse.ById = "/dev/input/by-id/" + link;
                }
            }
        }
        mice.push_back(mouse);
    }
    return mice;
}

std::string Describe(const InputDevice &device) {
    return "\"" + device.Name + "\" (" + device.Node +
           (device.ById.empty() ? "" : ", " + device.ById) + ")";
}

std::string ChooseMouse(const std::vector<InputDevice> &mice, FILE *answers, FILE *ask,
                        std::string &problem) {
    if (mice.empty()) {
        problem = "no mouse found: no device in /dev/input has a left button and reports "
                  "motion; plug one in, or name a device node or a stream of event records";
        return "";
    }
    if (mice.size() == 1) {
        fprintf(ask, "Testing %s\n", Describe(mice[0]).c_str());
        return mice[0].Node;
    }
    if (!answers) {
        problem = "several mice and no terminal to ask which: name one of them as DEVICE";
        return "";
    }
    for (size_t i = 0; i < mice.size(); ++i) {
        fprintf(ask, "%2zu  %s\n", i + 1, Describe(mice[i]).c_str());
    }
    for (;;) {
        fprintf(ask, "Which mouse (number or node)? ");
        fflush(ask);
        char line[512];
        if (!fgets(line, sizeof line, answers)) {
            problem = "no mouse chosen";
            return "";
        }
        std::string answer(line);
        answer.erase(answer.find_last_not_of(" \t\r\n") + 1);
        answer.erase(0, answer.find_first_not_of(" \t"));
        for (size_t i = 0; i < mice.size(); ++i) {
            if (answer == std::to_string(i + 1) || answer == mice[i].Node ||
                (!answer.empty() && answer == mice[i].ById)) {
                fprintf(ask, "Testing %s\n", Describe(mice[i]).c_str());
                return mice[i].Node;
            }
        }
        fprintf(ask, "\"%s\" is none of them.\n", answer.c_str());
    }
}

} // namespace replay
