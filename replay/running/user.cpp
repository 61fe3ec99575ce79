// The scripted user's answers to the program's boxes and its Setup dialog.
#include "replay/running/user.h"

#include "resources/resource.h"

#include <algorithm>

namespace replay {

// A box's text on one line: its lines trimmed and joined by blanks.
std::string OneLine(const std::string &text) {
    std::string joined;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = std::min(text.find('\n', at), text.size());
        size_t first = text.find_first_not_of(' ', at);
        size_t last = text.find_last_not_of(' ', end == 0 ? 0 : end - 1);
        if (first < end && last != std::string::npos && last >= first) {
            joined += (joined.empty() ? "" : " ") + text.substr(first, last - first + 1);
        }
        at = end + 1;
    }
    return joined;
}

void OpenSetup(HWND window) {
    headless::QueueMenuCommand(window, CMD_SETUP);
}

bool AnswerSetup(const headless::BoxInfo &box, const std::string &trigger, bool &typed) {
    if (!box.IsDialog) {
        headless::AnswerBox(IDOK);
        return true;
    }
    if (!typed) {
        headless::SetDialogItemText(ID_TRIGGER_EDIT, trigger.c_str());
        typed = true;
        headless::AnswerBox(ID_TRIGGER_OK);
    } else {
        headless::AnswerBox(ID_TRIGGER_CANCEL);
    }
    return false;
}

void AnswerBox(const headless::BoxInfo &box) {
    if (box.IsDialog) {
        headless::AnswerBox(IDCANCEL);
        return;
    }
    UINT buttons = box.Style & MB_TYPEMASK;
    headless::AnswerBox(buttons == MB_OK || buttons == MB_OKCANCEL ? IDOK : IDCANCEL);
}

} // namespace replay
