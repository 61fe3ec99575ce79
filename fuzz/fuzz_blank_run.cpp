// FillLongestBlankRun for any template and text: the input up to its first zero byte is
// the template, the rest the text. The template keeps its length, the result tells
// whether the text fits the longest blank run, and the text lands at the first one.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dialogs/message_catalog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const char *bytes = (const char *)data;
    const char *split = (const char *)memchr(bytes, 0, size);
    std::string templateText(bytes, split ? (size_t)(split - bytes) : size);
    std::string text = split ? std::string(split + 1, size - (size_t)(split + 1 - bytes)) : "";
    text = text.substr(0, text.find('\0'));

    // The first longest run of blanks, found the plain way.
    size_t bestStart = 0, bestLength = 0;
    for (size_t i = 0; i < templateText.size();) {
        if (templateText[i] != ' ') {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < templateText.size() && templateText[j] == ' ') {
            ++j;
        }
        if (j - i > bestLength) {
            bestStart = i;
            bestLength = j - i;
        }
        i = j;
    }

    // An exact-size heap copy, so that a write past the terminator is caught.
    char *buffer = (char *)malloc(templateText.size() + 1);
    memcpy(buffer, templateText.c_str(), templateText.size() + 1);
    int result = FillLongestBlankRun(buffer, text.c_str());

    if (strlen(buffer) != templateText.size()) {
        abort(); // the length changed
    }
    int fits = text.size() <= bestLength ? 1 : 0;
    if (result != fits) {
        abort();
    }
    std::string expected = templateText;
    if (fits) {
        expected.replace(bestStart, text.size(), text);
    }
    if (memcmp(buffer, expected.data(), expected.size()) != 0) {
        abort(); // written elsewhere, or changed although the text did not fit
    }
    free(buffer);
    return 0;
}
