#include "probe_health.h"

#include <psapi.h>
#include <winternl.h>

#include <vector>

#include "probe_support.h"

namespace {

// Wine answers GetGuiResources with 0 for every process. Its graphics objects are
// listed in a handle table in the process's own memory instead, found through the
// GdiSharedHandleTable field of the process environment block; an entry whose type is
// not zero holds a live object (stock objects included). This is Wine's layout, not
// that of Windows, so the table is read under Wine only.
struct WineGdiEntry {
    UINT64 Object;
    ULONG Owner;
    USHORT Unique;
    UCHAR Type;
    UCHAR Flags;
    UINT64 UserPointer;
};
const size_t WINE_GDI_ENTRIES = 0x10000;
// GdiSharedHandleTable in the environment block of a process of the probe's own word
// size (the probe is built for the same Windows as the program it reads).
const size_t PEB_GDI_TABLE_OFFSET = sizeof(void *) == 8 ? 0xF8 : 0x94;

bool UnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// The number of live entries in the table of a process, or -1 when it cannot be read.
long WineGdiObjects(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic,
                                  &length) != 0)
        return -1;
    UINT_PTR table = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process,
                           reinterpret_cast<char *>(basic.PebBaseAddress) + PEB_GDI_TABLE_OFFSET,
                           &table, sizeof table, &read) ||
        table == 0)
        return -1;
    std::vector<WineGdiEntry> entries(WINE_GDI_ENTRIES);
    if (!ReadProcessMemory(process, reinterpret_cast<void *>(table), entries.data(),
                           entries.size() * sizeof(WineGdiEntry), &read))
        return -1;
    long live = 0;
    for (const WineGdiEntry &entry : entries)
        if (entry.Type != 0)
            ++live;
    return live;
}

// Proves the reading of the table on the probe's own process: a few pens made show up
// as as many more entries, and their deletion takes them away again.
bool WineGdiCountingWorks() {
    const int pens = 8;
    HANDLE self = GetCurrentProcess();
    long before = WineGdiObjects(self);
    HPEN made[pens];
    for (HPEN &pen : made)
        pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    long with = WineGdiObjects(self);
    for (HPEN pen : made)
        DeleteObject(pen);
    long after = WineGdiObjects(self);
    return before >= 0 && with == before + pens && after == before;
}

const char *Bool(bool value) {
    return value ? "true" : "false";
}

} // namespace

std::string ProcessHealth(HWND window) {
    DWORD processId = 0;
    if (window)
        GetWindowThreadProcessId(window, &processId);
    HANDLE process =
        processId ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)
                  : nullptr;
    DWORD exitCode = 0;
    bool alive = process && GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
    DWORD_PTR result = 0;
    bool responds =
        window && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    bool memoryRead = process && GetProcessMemoryInfo(process, &memory, sizeof memory);
    bool wine = UnderWine();

    std::string out = "{\"alive\":" + std::string(Bool(alive)) + ",\"responds\":" + Bool(responds) +
                      ",\"wine\":" + Bool(wine);
    out += ",\"gui_gdi\":" + Number(process ? GetGuiResources(process, GR_GDIOBJECTS) : 0);
    out += ",\"gui_user\":" + Number(process ? GetGuiResources(process, GR_USEROBJECTS) : 0);
    out += ",\"gdi_table\":" + Number(wine && process ? WineGdiObjects(process) : -1);
    out += ",\"gdi_table_checked\":" + std::string(Bool(wine && WineGdiCountingWorks()));
    out += ",\"working_set\":" + Number(memoryRead ? memory.WorkingSetSize : -1);
    out += ",\"pagefile\":" + Number(memoryRead ? memory.PagefileUsage : -1);
    if (process)
        CloseHandle(process);
    return out + "}";
}
