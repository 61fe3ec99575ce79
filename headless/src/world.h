// Internal state of the headless stand-in: one World holds every window, queue, graphics
// object, resource and setting of a run. ResetWorld replaces it with a fresh one.
#pragma once

#include <windows.h>

#include "headless/driver.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace headless::detail {

// Stops the process with a message naming the call and the argument that the stand-in
// does not support. Used for every call outside what the stand-in models, so that a
// missing behaviour is never mistaken for a silent success.
[[noreturn]] void Unsupported(const char *call, const std::string &what);

// ---- Resources ---------------------------------------------------------------------
// A resource type or name: an ordinal, or a string compared without regard to case.
struct ResId {
    bool IsOrdinal = true;
    WORD Ordinal = 0;
    std::string Name; // upper case
    static ResId From(LPCSTR id);
    bool operator==(const ResId &other) const;
    std::string Describe() const;
};

struct Resource {
    ResId Type;
    ResId Name;
    WORD Language = 0;
    std::vector<uint8_t> Data;
};

struct ResourceFile {
    std::string Path;
    std::vector<Resource> Entries;
    const Resource *Find(const ResId &type, const ResId &name) const;
};

// Reads a 32-bit .res file; aborts naming the file when it is missing or malformed.
std::shared_ptr<ResourceFile> LoadResourceFile(const std::string &path);

// ---- Graphics objects --------------------------------------------------------------
enum class ObjKind { Pen, Brush, Font, Icon, Cursor };

struct Icon {
    int Width = 32, Height = 32;
    std::vector<COLORREF> Color; // Width x Height, top row first
    std::vector<uint8_t> Mask;   // 1 where the screen shows through
};

struct GdiObject {
    ObjKind Kind = ObjKind::Pen;
    bool Stock = false;
    int PenStyle = PS_SOLID;
    int PenWidth = 1;
    COLORREF Color = 0; // pen or brush colour
    bool NullBrush = false;
    int FontHeight = 16; // |height| of the built-in face
    int FontWidth = 8;
    std::string FontFace; // "" for the system font
    std::shared_ptr<Icon> IconImage;
};

// ---- Pixels ------------------------------------------------------------------------
// One drawing into a window's pixels, kept until someone looks at them (a test, a picture,
// the program's own GetPixel): most of what a long run draws is drawn over before that.
// Small and plain, as a long run keeps millions of them: a text's characters and an icon's
// image are held by the canvas.
struct PixelOp {
    enum class Shape : uint8_t { Fill, Text, Line, Icon };
    RECT Area{};        // every pixel it may write lies here: inside the window and clip
    COLORREF Color = 0; // of the fill, the glyphs or the line
    COLORREF Back = 0;
    int X = 0, Y = 0;                    // Line: first point; Text, Icon: corner
    int Width = 0, Height = 0;           // Line: pen width; Text: character cell; Icon: size
    int X2 = 0, Y2 = 0;                  // Line: last point (left out)
    uint32_t TextAt = 0, TextLength = 0; // Text: its characters in the canvas's Texts
    uint32_t Image = 0;                  // Icon: its image in the canvas's Images
    Shape Kind = Shape::Fill;
    bool Opaque = false;   // writes every pixel of Area
    bool Survived = false; // kept by a compaction
    bool HasBack = false;  // a text's box is filled with Back first
};
static_assert(sizeof(PixelOp) == 64, "a drawing kept fills one cache line");

struct Canvas {
    int Width = 0, Height = 0;
    std::vector<COLORREF> Pixels;                    // as drawn before the pending drawings
    std::vector<PixelOp> Pending;                    // in the order drawn
    std::string Texts;                               // the characters of the pending texts
    std::vector<std::shared_ptr<const Icon>> Images; // the pending icons' images
    size_t CompactAt = 0;                            // Pending's size that has it compacted next
};

enum class DcType { Client, Paint, Window };
enum : uint8_t { HELD_PEN = 1, HELD_BRUSH = 2, HELD_FONT = 4 };

struct DeviceContext {
    HWND Window = nullptr;
    DcType Type = DcType::Client;
    HGDIOBJ Pen = nullptr, Brush = nullptr, Font = nullptr;
    uint8_t Held = 0; // which of them are no stock objects: a bit of HELD_PEN, BRUSH, FONT
    COLORREF BkColor = RGB(255, 255, 255);
    COLORREF TextColor = RGB(0, 0, 0);
    int MapMode = MM_TEXT;
    POINT Position{0, 0};
    POINT Origin{0, 0};     // DC (0, 0) in window pixels
    std::vector<RECT> Clip; // window pixels; a pixel is drawn when inside one of them
};

// Graphics objects and device contexts, made and dropped by the thousand each second of a
// long run: a flat table whose slots are used again. A handle holds its kind's tag, the
// slot and the slot's generation, so a handle of a deleted object stays invalid (until its
// slot has been used 1024 times more) and is never taken for another kind.
template <typename T> class HandleTable {
  public:
    explicit HandleTable(uintptr_t tag) : Tag(tag) {}

    // A slot for a new entry, with whatever it held before: the caller sets every field.
    T &Claim(uintptr_t &handle) {
        uint32_t slot;
        if (!Free.empty()) {
            slot = Free.back();
            Free.pop_back();
        } else {
            slot = SlotCount;
            if (slot > SLOT_MASK) {
                Unsupported("a graphics object or device context", "more than 262144 at once");
            }
            Slots.emplace_back();
            ++SlotCount;
        }
        Slot &entry = Slots[slot];
        ++Count;
        handle = Tag | ((uintptr_t)entry.Generation << 20) | ((uintptr_t)slot << 2);
        entry.Handle = handle;
        return entry.Value;
    }
    // The entry of a handle given out by Claim and not removed since, or null: the slot
    // keeps the whole handle, so its kind, slot and generation are checked at once.
    T *Find(uintptr_t handle) {
        uint32_t slot = (uint32_t)(handle >> 2) & SLOT_MASK;
        if (slot >= SlotCount || Slots[slot].Handle != handle || handle == 0) {
            return nullptr;
        }
        return &Slots[slot].Value;
    }
    // The entry of a handle known to be live, unchecked.
    T &Live(uintptr_t handle) { return Slots[(uint32_t)(handle >> 2) & SLOT_MASK].Value; }
    void Remove(uintptr_t handle) {
        if (Find(handle)) {
            RemoveFound(handle);
        }
    }
    // Remove for a handle that Find has just found.
    void RemoveFound(uintptr_t handle) {
        uint32_t slot = (uint32_t)(handle >> 2) & SLOT_MASK;
        Slots[slot].Handle = 0;
        Slots[slot].Generation = (Slots[slot].Generation + 1) & 0x3FF;
        Free.push_back(slot);
        --Count;
    }
    size_t Size() const { return Count; }
    template <typename F> void ForEach(F visit) {
        for (Slot &entry : Slots) {
            if (entry.Handle) {
                visit(entry.Value);
            }
        }
    }

  private:
    static const uint32_t SLOT_MASK = 0x3FFFF;
    struct Slot {
        T Value{};
        uintptr_t Handle = 0; // the handle given out for it, 0 while the slot is free
        uint32_t Generation = 0;
    };
    uintptr_t Tag;
    std::vector<Slot> Slots;
    uint32_t SlotCount = 0; // Slots.size(), at hand
    std::vector<uint32_t> Free;
    size_t Count = 0;
};

// ---- Menus and accelerators --------------------------------------------------------
struct MenuItem {
    UINT Flags = 0; // MF_POPUP, MF_SEPARATOR, MF_GRAYED, MF_DISABLED, MF_CHECKED
    UINT Id = 0;
    std::string Text;
    HMENU Popup = nullptr;
};

struct Menu {
    std::vector<MenuItem> Items;
};

struct Accelerator {
    WORD Flags = 0;
    WORD Key = 0;
    WORD Command = 0;
};

// ---- Windows -----------------------------------------------------------------------
struct WindowClass {
    WNDCLASSA Class{};
    std::string Name; // upper case
    std::string MenuName;
    bool MenuIsOrdinal = false;
    WORD MenuOrdinal = 0;
};

enum class WindowKind { Normal, Dialog, MessageBox, Control };

struct MessageBoxData {
    std::string Text;
    UINT Style = 0;
    std::vector<int> Buttons; // ids in display order
    int Result = 0;
};

struct Window {
    HWND Handle = nullptr;
    WindowKind Kind = WindowKind::Normal;
    std::string ClassName; // upper case
    WNDPROC Proc = nullptr;
    UINT ClassStyle = 0;
    HBRUSH Background = nullptr;
    std::string Text;
    DWORD Style = 0, ExStyle = 0;
    HWND Parent = nullptr; // for child windows
    HWND Owner = nullptr;  // for owned top-level windows
    RECT Rect{};           // screen coordinates
    HMENU Menu = nullptr;
    bool Enabled = true;
    bool Visible = false;
    bool ShownOnce = false;
    bool Destroyed = false;
    std::vector<RECT> Update; // client coordinates
    bool ErasePending = false;
    Canvas Picture; // whole window, frame included
    // The frame and the client area's offset, worked out for the style, menu and metrics of
    // the time (every GetDC asks for them).
    struct Geometry {
        bool Known = false;
        DWORD Style = 0, ExStyle = 0;
        HMENU Menu = nullptr;
        unsigned Metrics = 0;
        POINT Frame{0, 0}, Offset{0, 0};
    };
    mutable Geometry Measured;
    int PaintStreak = 0; // WM_PAINT dispatches that left the window invalid
    // Dialogs
    DLGPROC DialogProc = nullptr;
    bool DialogEnded = false;
    INT_PTR DialogResult = 0;
    // Controls
    int ControlId = 0;
    // Message boxes
    MessageBoxData Box;
};

struct InputEvent {
    HWND Window = nullptr; // null for keys: they go to the focus window
    UINT Message = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    POINT Screen{0, 0};
    bool Key = false;
};

struct OpenBox {
    HWND Window = nullptr;
    size_t ShownIndex = 0; // entry in BoxesShown
};

// GetStockObject indices are below this.
const int STOCK_OBJECTS = 32;
// GetSystemMetrics indices below this are held in a flat table.
const int METRIC_TABLE = 128;

struct World {
    // Settings
    int MetricValues[METRIC_TABLE] = {};
    bool MetricKnown[METRIC_TABLE] = {};
    unsigned MetricChanges = 0;      // counts every change of a metric
    std::map<int, int> OtherMetrics; // indices from METRIC_TABLE on
    DWORD Version = 0x0A280105;
    int MouseParams[3] = {6, 10, 1};
    bool Swapped = false;
    UINT DoubleClickTime = 500;
    POINT Cursor{0, 0};
    POINT MessagePos{0, 0};
    DWORD TickCount = 1000000;
    DWORD DrawCost = 0;

    // Files and processes
    std::string ModulePath = "C:\\TapTally\\TapTally.exe";
    std::string HostFolder; // created on first use
    bool FolderWritable = true;
    bool CloseFails = false;
    std::map<int, int> OpenFiles; // HFILE -> host descriptor
    int NextFile = 3;
    std::vector<std::string> WinExecCalls;
    std::vector<UINT> WinExecShows;
    UINT WinExecResult = 33;
    size_t FolderSpace = SIZE_MAX; // bytes that writes may still add

    // Resources
    std::shared_ptr<ResourceFile> Program; // loaded on first use
    std::string ProgramPath;
    std::map<std::string, std::shared_ptr<ResourceFile>> VersionFiles; // upper-case title
    std::map<const void *, size_t> VersionBounds;
    std::deque<std::string> VersionStrings; // ANSI copies handed out by VerQueryValueA

    // Handles: one counter for every kind, so that a handle of one kind is never taken
    // for another.
    uintptr_t NextHandle = 0x10000;
    int CallDepth = 0;                        // window procedures running now, one inside another
    bool RunningQueued = false;               // the innermost of them was given a queued message
    std::map<uintptr_t, WindowClass> Classes; // by atom
    std::map<uintptr_t, std::unique_ptr<Window>> Windows;
    size_t DestroyedWindows = 0; // destroyed and not yet forgotten
    uintptr_t LastWindowKey = 0; // the window looked up last, until windows are forgotten
    Window *LastWindow = nullptr;
    std::vector<HWND> ZOrder; // top-level windows, bottom first
    HWND Main = nullptr;
    HWND Focus = nullptr;
    HandleTable<GdiObject> Objects{0x40000000};
    HandleTable<DeviceContext> DCs{0x80000000};
    int HeldObjects = 0; // objects other than stock ones selected into device contexts
    std::map<uintptr_t, Menu> Menus;
    std::map<uintptr_t, std::vector<Accelerator>> Accelerators; // never removed
    uintptr_t LastAcceleratorsKey = 0; // the table looked up last: every message asks for it
    const std::vector<Accelerator> *LastAccelerators = nullptr;
    HGDIOBJ StockObjects[STOCK_OBJECTS] = {}; // by GetStockObject index, made on first use

    // Queue
    MSG LastButtonDown{}; // the press that a quick second one would make a double click
    std::deque<MSG> Posted;
    std::deque<InputEvent> Input;
    bool QuitPosted = false;
    int QuitCode = 0;

    // Script and boxes
    std::deque<Step> Steps;
    std::vector<OpenBox> Boxes; // open boxes and dialogs, innermost last
    std::vector<BoxInfo> Shown;
    std::function<void(const BoxInfo &)> OnShown;

    // Records
    bool KeepLog = false;
    std::vector<DrawCall> Log;
    std::vector<UINT> Beeps;
    int LiveObjects = 0;
    int SelectedDeleted = 0;
};

// The world of the run; made on first use. Nearly every call of the stand-in asks for it.
extern World *CurrentWorld;
World &MakeWorld();
inline World &W() {
    return CurrentWorld ? *CurrentWorld : MakeWorld();
}

uintptr_t NewHandle();
template <typename T> T HandleOf(uintptr_t value) {
    return reinterpret_cast<T>(value);
}
inline uintptr_t Key(const void *handle) {
    return reinterpret_cast<uintptr_t>(handle);
}
inline RECT Shifted(const RECT &rect, int dx, int dy) {
    return RECT{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

// GetSystemMetrics without the check of the call; the program's geometry asks for metrics
// in every GetDC.
int OtherMetric(int index); // outside the flat table, the button swap included
inline int Metric(int index) {
    World &world = W();
    if (index >= 0 && index < METRIC_TABLE && index != SM_SWAPBUTTON && world.MetricKnown[index]) {
        return world.MetricValues[index];
    }
    return OtherMetric(index);
}
// A handle or address as text, for the messages that name one.
std::string HandleText(const void *handle);
std::string Upper(const std::string &text);
bool SameText(const std::string &a, const std::string &b);

// ---- Windows (windows.cpp) ---------------------------------------------------------
Window *LookUpWindow(HWND handle); // null for a destroyed window; aborts for a bad handle
Window &FindLiveWindow(const char *call, HWND handle); // aborts unless the window exists
// LookUpWindow and FindLiveWindow, the window looked up last at once: drawing and the
// message queue ask for it call after call.
inline Window *FindWindow(HWND handle) {
    World &world = W();
    if (Key(handle) == world.LastWindowKey && world.LastWindow) {
        return world.LastWindow->Destroyed ? nullptr : world.LastWindow;
    }
    return LookUpWindow(handle);
}
inline Window &LiveWindow(const char *call, HWND handle) {
    World &world = W();
    if (Key(handle) == world.LastWindowKey && world.LastWindow && !world.LastWindow->Destroyed) {
        return *world.LastWindow;
    }
    return FindLiveWindow(call, handle);
}
bool IsChildOf(HWND child, HWND parent);
POINT ClientOrigin(const Window &window); // screen coordinates
RECT ClientRectScreen(const Window &window);
RECT ClientRectInWindow(const Window &window); // the client area in window pixels
POINT ClientOffset(const Window &window);      // client origin in window pixels
int WindowWidth(const Window &window);
int WindowHeight(const Window &window);
void ResizePixels(Window &window);
// The window size that gives this client size, for a window of this style.
SIZE WindowSizeForClient(DWORD style, DWORD exStyle, bool hasMenu, int clientWidth,
                         int clientHeight);
void PaintNonClient(Window &window);
void InvalidateClient(Window &window, const RECT *rect, bool erase);
HWND CreateWindowInternal(DWORD exStyle, const std::string &className, const std::string &text,
                          DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu,
                          WindowKind kind, LPVOID param);
LRESULT CallWindow(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, bool queued = false);
void DestroyWindowInternal(HWND handle);
// Forgets destroyed windows once no window procedure runs (their handles stay invalid).
void SweepDestroyedWindows();

// Takes the next message in the platform's order; never runs the script.
bool FetchMessage(MSG &out, HWND filter, UINT first, UINT last, bool remove);
// Waits for a message: runs script steps while the queue is empty.
void WaitMessage(MSG &out, HWND filter, UINT first, UINT last);
void RunNextStep();

// The area of a closed box becomes invalid in every window beneath it.
void UncoverArea(const RECT &screen, HWND except);

// ---- Places on the screen (screen.cpp) ---------------------------------------------
// Where each entry of the window's menu bar stands, in window pixels, as it is drawn.
std::vector<RECT> MenuBarPlaces(const Window &window);

// ---- Menus (menus.cpp) -------------------------------------------------------------
HMENU LoadMenuResource(const ResourceFile &file, const ResId &name);
Menu &LiveMenu(const char *call, HMENU handle);
std::string MenuLabel(const std::string &text); // without '&' marks

// ---- Graphics (gdi.cpp) ------------------------------------------------------------
HDC NewDC(HWND window, DcType type);
void ReleaseDCInternal(HDC dc);
// Stop the run for a handle that is no device context, no graphics object.
[[noreturn]] void NoDC(const char *call, HDC dc);
[[noreturn]] void NoObject(const char *call, HGDIOBJ handle);
inline DeviceContext &LiveDC(const char *call, HDC dc) {
    DeviceContext *found = W().DCs.Find(Key(dc));
    if (!found) {
        NoDC(call, dc);
    }
    return *found;
}
inline GdiObject &LiveObject(const char *call, HGDIOBJ handle) {
    GdiObject *found = W().Objects.Find(Key(handle));
    if (!found) {
        NoObject(call, handle);
    }
    return *found;
}
bool InClip(const Window &window, int x, int y, const std::vector<RECT> *clip);
// ---- Pixels (canvas.cpp) -----------------------------------------------------------
// Drawings in window pixels, clipped to the window and to the clip list if given. They are
// kept and drawn when the pixels are read.
void ResizeCanvas(Window &window, COLORREF background);
bool HasPixels(const Window &window);
const std::vector<COLORREF> &PixelsOf(Window &window); // draws what is pending first
void FillPixels(Window &window, const RECT &windowRect, COLORREF color,
                const std::vector<RECT> *clip);
// The glyphs of a text in the colour, its box left as it is.
void DrawTextPixels(Window &window, int x, int y, const std::string &text, int height, int width,
                    COLORREF color, const std::vector<RECT> *clip);
// A text whose box (its characters' cells) is first filled with the background colour.
void DrawTextBox(Window &window, int x, int y, const char *text, size_t length, int height,
                 int width, COLORREF color, COLORREF back, const std::vector<RECT> *clip);
// Bresenham from (x0, y0) towards (x1, y1), the last point left out; a pen of width w
// stamps a w x w square centred on every point.
void DrawLinePixels(Window &window, int x0, int y0, int x1, int y1, int width, COLORREF color,
                    const std::vector<RECT> *clip);
// The icon scaled to width x height at (x, y); its mask shows what lies beneath.
void DrawIconPixels(Window &window, int x, int y, int width, int height,
                    const std::shared_ptr<Icon> &image, const std::vector<RECT> *clip);
// Writes the glyphs of the built-in face into pixels of a canvas (font.cpp).
void DrawGlyphs(Canvas &canvas, const RECT &clip, int x, int y, const char *text, size_t length,
                int height, int width, COLORREF color);
COLORREF SystemColor(int index);
COLORREF BrushColor(const char *call, HBRUSH brush, bool *isNull);
std::shared_ptr<Icon> LoadIconResource(const ResourceFile &file, const ResId &name);
void ChargeDraw();

// ---- Boxes and dialogs (boxes.cpp) -------------------------------------------------
LRESULT DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT MessageBoxWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void RenderControl(Window &control);
std::string TopBoxCaption();
// Where the buttons of a message box stand, in window pixels, in the order of its buttons.
std::vector<RECT> MessageBoxButtonPlaces(const Window &box);

// ---- Files (kernel.cpp) ------------------------------------------------------------
const std::string &HostFolder();
void RemoveHostFolder();

// ---- Resources of the program ------------------------------------------------------
const ResourceFile &ProgramResources();
const ResourceFile &ResourcesOf(const char *call, HINSTANCE instance);

} // namespace headless::detail
