// A small console program that the Wine tests run beside TapTally.exe to read back
// what the real window system holds: the main window, its pixels, its menu and the
// message boxes and dialogs that are open. It prints one JSON object on stdout.
//
//   probe.exe [window] [menu] [boxes] [toplevel] [processes] [pixels=x,y;x,y;...]
//             [health] [drive=seed,cycles] [version=path] [class=Name]
//
// Pixel positions are client coordinates of the main window. "health" tells whether the
// program is alive and answering, and its graphics objects and memory; "drive" posts
// many cycles of mixed messages to the main window (see probe_drive.h); "version" gives
// what the version services say of a program file beside the size of its version block.
#include <windows.h>
#include <tlhelp32.h>

#include "probe_drive.h"
#include "probe_health.h"
#include "probe_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Handle(HWND window) {
    return Number(static_cast<long long>(reinterpret_cast<UINT_PTR>(window)));
}

std::string Rect(const RECT &r) {
    return "[" + Number(r.left) + "," + Number(r.top) + "," + Number(r.right) + "," +
           Number(r.bottom) + "]";
}

std::string WindowFields(HWND window) {
    RECT windowRect{}, clientRect{};
    GetWindowRect(window, &windowRect);
    GetClientRect(window, &clientRect);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    return "\"hwnd\":" + Handle(window) + ",\"class\":" + Quote(ClassName(window).c_str()) +
           ",\"text\":" + Quote(WindowText(window).c_str()) + ",\"rect\":" + Rect(windowRect) +
           ",\"client\":" + Rect(clientRect) + ",\"origin\":[" + Number(origin.x) + "," +
           Number(origin.y) + "],\"pid\":" + Number(process) +
           ",\"style\":" + Number(static_cast<unsigned long>(style)) +
           ",\"visible\":" + (IsWindowVisible(window) ? "true" : "false") +
           ",\"enabled\":" + (IsWindowEnabled(window) ? "true" : "false");
}

std::string Metrics() {
    static const struct {
        const char *name;
        int index;
    } metrics[] = {
        {"cxscreen", SM_CXSCREEN},   {"cyscreen", SM_CYSCREEN}, {"cymenu", SM_CYMENU},
        {"cycaption", SM_CYCAPTION}, {"cxframe", SM_CXFRAME},   {"cyframe", SM_CYFRAME},
        {"cxborder", SM_CXBORDER},   {"cyborder", SM_CYBORDER}, {"mousepresent", SM_MOUSEPRESENT}};
    std::string out = "{";
    for (const auto &metric : metrics) {
        if (out.size() > 1)
            out += ",";
        out += "\"" + std::string(metric.name) + "\":" + Number(GetSystemMetrics(metric.index));
    }
    int mouse[3] = {0, 0, 0};
    SystemParametersInfoA(SPI_GETMOUSE, 0, mouse, 0);
    out += ",\"mouse\":[" + Number(mouse[0]) + "," + Number(mouse[1]) + "," + Number(mouse[2]) +
           "],\"doubleclick\":" + Number(GetDoubleClickTime()) +
           ",\"swapbutton\":" + Number(GetSystemMetrics(SM_SWAPBUTTON));
    LONG units = GetDialogBaseUnits();
    out += ",\"dialogunits\":[" + Number(LOWORD(units)) + "," + Number(HIWORD(units)) + "]";
    DWORD version = GetVersion();
    out += ",\"version\":[" + Number(LOBYTE(LOWORD(version))) + "," +
           Number(HIBYTE(LOWORD(version))) + "]";
    return out + "}";
}

std::string MenuItems(HMENU menu, int depth) {
    std::string out = "[";
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        if (i > 0)
            out += ",";
        out += "{\"text\":" + Quote(text) + ",\"id\":" + Number(info.wID) +
               ",\"separator\":" + ((info.fType & MFT_SEPARATOR) ? "true" : "false");
        if (info.hSubMenu && depth < 2)
            out += ",\"items\":" + MenuItems(info.hSubMenu, depth + 1);
        out += "}";
    }
    return out + "]";
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
    reinterpret_cast<std::vector<HWND> *>(data)->push_back(window);
    return TRUE;
}

std::string Box(HWND box) {
    std::string out = "{" + WindowFields(box);
    out += ",\"owner\":" + Handle(GetWindow(box, GW_OWNER));
    out += ",\"foreground\":" + std::string(GetForegroundWindow() == box ? "true" : "false");
    std::vector<HWND> children;
    EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&children));
    out += ",\"children\":[";
    for (size_t i = 0; i < children.size(); ++i) {
        if (i > 0)
            out += ",";
        out +=
            "{" + WindowFields(children[i]) + ",\"id\":" + Number(GetDlgCtrlID(children[i])) + "}";
    }
    return out + "]}";
}

std::string Processes() {
    std::string out = "[";
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (out.size() > 1)
            out += ",";
        out += Quote(entry.szExeFile);
    }
    CloseHandle(snapshot);
    return out + "]";
}

std::string Pixels(HWND window, const char *list) {
    std::string out = "[";
    HDC dc = GetDC(window);
    for (const char *p = list; *p;) {
        char *end = nullptr;
        long x = std::strtol(p, &end, 10);
        if (*end != ',')
            break;
        long y = std::strtol(end + 1, &end, 10);
        COLORREF colour = GetPixel(dc, x, y);
        if (out.size() > 1)
            out += ",";
        out += "[" + Number(x) + "," + Number(y) + "," +
               (colour == CLR_INVALID
                    ? std::string("null")
                    : "[" + Number(GetRValue(colour)) + "," + Number(GetGValue(colour)) + "," +
                          Number(GetBValue(colour)) + "]") +
               "]";
        p = *end == ';' ? end + 1 : end;
    }
    ReleaseDC(window, dc);
    return out + "]";
}

// The size GetFileVersionInfoSizeA asks for, and the size of the version resource itself.
std::string VersionSizes(const char *path) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    DWORD block = 0;
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module) {
        HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
        block = resource ? SizeofResource(module, resource) : 0;
        FreeLibrary(module);
    }
    return "{\"size\":" + Number(size) + ",\"block\":" + Number(block) + "}";
}

} // namespace

int main(int argc, char **argv) {
    const char *className = "TapTally";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "class=", 6) == 0)
            className = argv[i] + 6;
    HWND window = FindWindowA(className, nullptr);
    DWORD process = 0;
    if (window)
        GetWindowThreadProcessId(window, &process);

    std::string out = "{\"metrics\":" + Metrics();
    for (int i = 1; i < argc; ++i) {
        std::string command = argv[i];
        if (command == "window") {
            out += ",\"window\":" + (window ? "{" + WindowFields(window) + "}" : "null");
            // The keyboard focus of the program's thread, wherever it is.
            GUITHREADINFO thread{};
            thread.cbSize = sizeof thread;
            HWND focus = nullptr;
            if (window && GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread))
                focus = thread.hwndFocus;
            out += ",\"focus\":" + (focus ? "{" + WindowFields(focus) +
                                                ",\"id\":" + Number(GetDlgCtrlID(focus)) + "}"
                                          : std::string("null"));
        } else if (command == "menu") {
            // Under Wine a menu lives in the memory of the process that made it: another
            // process gets its handle but cannot read its items (the count is -1).
            HMENU menu = window ? GetMenu(window) : nullptr;
            int count = menu ? GetMenuItemCount(menu) : -1;
            out += ",\"menu\":{\"handle\":" +
                   Number(static_cast<long long>(reinterpret_cast<UINT_PTR>(menu))) +
                   ",\"count\":" + Number(count) +
                   ",\"items\":" + (count >= 0 ? MenuItems(menu, 0) : std::string("null")) + "}";
        } else if (command == "boxes") {
            std::vector<HWND> boxes = TopLevelWindows(process, "#32770");
            out += ",\"boxes\":[";
            for (size_t b = 0; b < boxes.size(); ++b)
                out += (b > 0 ? "," : "") + Box(boxes[b]);
            out += "]";
        } else if (command == "toplevel") {
            std::vector<HWND> windows = TopLevelWindows(process, nullptr);
            out += ",\"toplevel\":[";
            for (size_t w = 0; w < windows.size(); ++w)
                out += (w > 0 ? ",{" : "{") + WindowFields(windows[w]) + "}";
            out += "]";
        } else if (command == "processes") {
            out += ",\"processes\":" + Processes();
        } else if (command == "health") {
            out += ",\"health\":" + ProcessHealth(window);
        } else if (command.compare(0, 6, "drive=") == 0) {
            out += ",\"drive\":" + DriveEvents(window, argv[i] + 6);
        } else if (command.compare(0, 8, "version=") == 0) {
            out += ",\"version\":" + VersionSizes(argv[i] + 8);
        } else if (command.compare(0, 7, "pixels=") == 0) {
            out += ",\"pixels\":" + (window ? Pixels(window, argv[i] + 7) : std::string("null"));
        }
    }
    out += ",\"foreground\":";
    HWND foreground = GetForegroundWindow();
    out += foreground ? "{" + WindowFields(foreground) + "}" : "null";
    std::printf("%s\n", (out + "}").c_str());
    return 0;
}
