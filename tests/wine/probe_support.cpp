#include "probe_support.h"

#include <cstdio>

std::string Quote(const char *text) {
    std::string out = "\"";
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p) {
        char buffer[8];
        switch (*p) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (*p < 0x20 || *p >= 0x7F) {
                std::snprintf(buffer, sizeof buffer, "\\u%04x", *p);
                out += buffer;
            } else {
                out += static_cast<char>(*p);
            }
        }
    }
    return out + "\"";
}

std::string Number(long long value) {
    return std::to_string(value);
}

std::string ClassName(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string WindowText(HWND window) {
    // WM_GETTEXT rather than GetWindowTextA: it reads the text of a control of another
    // process as well.
    std::vector<char> text(4096);
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    text.back() = 0;
    return text.data();
}

namespace {

struct WindowSearch {
    DWORD process;
    const char *className;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
    auto *search = reinterpret_cast<WindowSearch *>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && (!search->visibleOnly || IsWindowVisible(window)) &&
        (!search->className || ClassName(window) == search->className))
        search->found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> TopLevelWindows(DWORD process, const char *className, bool visibleOnly) {
    WindowSearch search{process, className, visibleOnly, {}};
    if (process)
        EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
