// The world of a run: settings, clock, handles, the program's resources, and the .res
// reader.
#include "world.h"

#include "byte_reader.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#ifndef TAPTALLY_RES_FILE
#error "TAPTALLY_RES_FILE must name the program's compiled resources"
#endif

namespace headless::detail {

namespace {

std::unique_ptr<World> TheWorld;

void SetMetric(World &world, int index, int value) {
    ++world.MetricChanges;
    if (index >= 0 && index < METRIC_TABLE) {
        world.MetricValues[index] = value;
        world.MetricKnown[index] = true;
    } else {
        world.OtherMetrics[index] = value;
    }
}

void SetDefaultMetrics(World &world) {
    static const int defaults[][2] = {
        {SM_CXSCREEN, 1024},   {SM_CYSCREEN, 768}, {SM_CXVSCROLL, 16},   {SM_CYHSCROLL, 16},
        {SM_CYCAPTION, 19},    {SM_CXBORDER, 1},   {SM_CYBORDER, 1},     {SM_CXDLGFRAME, 3},
        {SM_CYDLGFRAME, 3},    {SM_CXICON, 32},    {SM_CYICON, 32},      {SM_CXCURSOR, 32},
        {SM_CYCURSOR, 32},     {SM_CYMENU, 19},    {SM_MOUSEPRESENT, 1}, {SM_SWAPBUTTON, 0},
        {SM_CXFRAME, 4},       {SM_CYFRAME, 4},    {SM_CXDOUBLECLK, 4},  {SM_CYDOUBLECLK, 4},
        {SM_CMOUSEBUTTONS, 3},
    };
    for (const auto &metric : defaults) {
        SetMetric(world, metric[0], metric[1]);
    }
}

} // namespace

void Unsupported(const char *call, const std::string &what) {
    std::fprintf(stderr, "headless: %s: not supported: %s\n", call, what.c_str());
    std::fflush(stderr);
    std::abort();
}

World *CurrentWorld = nullptr;

World &MakeWorld() {
    if (!TheWorld) {
        TheWorld = std::make_unique<World>();
        SetDefaultMetrics(*TheWorld);
        TheWorld->ProgramPath = TAPTALLY_RES_FILE;
        CurrentWorld = TheWorld.get();
    }
    return *TheWorld;
}

uintptr_t NewHandle() {
    World &world = W();
    world.NextHandle += 4;
    return world.NextHandle;
}

int OtherMetric(int index) {
    World &world = W();
    if (index == SM_SWAPBUTTON) {
        return world.Swapped ? 1 : 0;
    }
    auto found = world.OtherMetrics.find(index);
    if (found == world.OtherMetrics.end()) {
        Unsupported("GetSystemMetrics", "index " + std::to_string(index));
    }
    return found->second;
}

std::string HandleText(const void *handle) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", handle);
    return text;
}

std::string Upper(const std::string &text) {
    std::string result = text;
    for (char &c : result) {
        c = (char)std::toupper((unsigned char)c);
    }
    return result;
}

bool SameText(const std::string &a, const std::string &b) {
    return Upper(a) == Upper(b);
}

// ---- Resource ids ------------------------------------------------------------------
ResId ResId::From(LPCSTR id) {
    ResId result;
    if (IS_INTRESOURCE(id)) {
        result.Ordinal = (WORD)(uintptr_t)id;
        return result;
    }
    if (id[0] == '#') {
        result.Ordinal = (WORD)std::atoi(id + 1);
        return result;
    }
    result.IsOrdinal = false;
    result.Name = Upper(id);
    return result;
}

bool ResId::operator==(const ResId &other) const {
    if (IsOrdinal != other.IsOrdinal) {
        return false;
    }
    return IsOrdinal ? Ordinal == other.Ordinal : Name == other.Name;
}

std::string ResId::Describe() const {
    return IsOrdinal ? "#" + std::to_string(Ordinal) : "\"" + Name + "\"";
}

const Resource *ResourceFile::Find(const ResId &type, const ResId &name) const {
    for (const Resource &entry : Entries) {
        if (entry.Type == type && entry.Name == name) {
            return &entry;
        }
    }
    return nullptr;
}

namespace {

ResId ReadResId(ByteReader &in) {
    ResId id;
    if (!in.Ordinal(id.Ordinal)) {
        id.IsOrdinal = false;
        id.Name = Upper(in.Utf16());
    }
    return id;
}

} // namespace

std::shared_ptr<ResourceFile> LoadResourceFile(const std::string &path) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        Unsupported("resources", "cannot read " + path);
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(stream)),
                               std::istreambuf_iterator<char>());
    auto file = std::make_shared<ResourceFile>();
    file->Path = path;
    ByteReader in(bytes);
    while (in.Left() >= 8) {
        DWORD dataSize = in.U32();
        DWORD headerSize = in.U32();
        ByteReader header = in.Part((size_t)headerSize - 8); // fails for a size below 8
        const uint8_t *data = in.Bytes(dataSize);
        if (!in.Ok() || headerSize < 16) {
            Unsupported("resources", "malformed resource header in " + path);
        }
        Resource entry;
        entry.Type = ReadResId(header);
        entry.Name = ReadResId(header);
        if (!header.Ok()) {
            Unsupported("resources", "malformed resource name in " + path);
        }
        // DataVersion (4), MemoryFlags (2), LanguageId (2), Version, Characteristics
        header.Align4();
        header.Skip(6);
        entry.Language = header.U16();
        entry.Data.assign(data, data + dataSize);
        bool emptyMarker = entry.Type.IsOrdinal && entry.Type.Ordinal == 0 && dataSize == 0;
        if (!emptyMarker) {
            file->Entries.push_back(std::move(entry));
        }
        in.Align4();
    }
    return file;
}

const ResourceFile &ProgramResources() {
    World &world = W();
    if (!world.Program) {
        world.Program = LoadResourceFile(world.ProgramPath);
    }
    return *world.Program;
}

const ResourceFile &ResourcesOf(const char *call, HINSTANCE instance) {
    if (instance != ProgramInstance()) {
        Unsupported(call, "instance " + HandleText(instance) + " (only the program's own)");
    }
    return ProgramResources();
}

} // namespace headless::detail

namespace headless {

using namespace detail;

void ResetWorld() {
    RemoveHostFolder();
    W() = World{};
    World &world = W();
    world.ProgramPath = TAPTALLY_RES_FILE;
    SetDefaultMetrics(world);
}

void ForgetRecords() {
    World &world = W();
    if (!world.Boxes.empty()) {
        Unsupported("ForgetRecords", "a box is open");
    }
    world.Log.clear();
    world.Beeps.clear();
    world.Shown.clear();
    world.WinExecCalls.clear();
}

HINSTANCE ProgramInstance() {
    return HandleOf<HINSTANCE>(0x400000);
}
HWND MainWindow() {
    return W().Main;
}

void SetSystemMetric(int index, int value) {
    if (index == SM_SWAPBUTTON) {
        W().Swapped = value != 0;
    }
    SetMetric(W(), index, value);
}
void SetVersion(DWORD value) {
    W().Version = value;
}
void SetButtonsSwapped(bool swapped) {
    W().Swapped = swapped;
}
bool ButtonsSwapped() {
    return W().Swapped;
}
void SetCursorScreenPos(int x, int y) {
    W().Cursor = POINT{x, y};
}
void SetMessageScreenPos(int x, int y) {
    W().MessagePos = POINT{x, y};
}
void SetTick(DWORD tick) {
    W().TickCount = tick;
}
DWORD Tick() {
    return W().TickCount;
}
void AdvanceTick(DWORD ms) {
    W().TickCount += ms;
}
void SetDrawCost(DWORD msPerCall) {
    W().DrawCost = msPerCall;
}

void LoadProgramResources(const char *resPath) {
    W().ProgramPath = resPath;
    W().Program = LoadResourceFile(resPath);
}

void AddVersionFile(const char *title, const char *resPath) {
    W().VersionFiles[Upper(title)] =
        resPath ? LoadResourceFile(resPath) : std::make_shared<ResourceFile>();
}

void SetVersionBlockBounds(const void *block, size_t size) {
    W().VersionBounds[block] = size;
}

} // namespace headless
