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
    bool Deleted = false;
    int PenStyle = PS_SOLID;
    int PenWidth = 1;
    COLORREF Color = 0; // pen or brush colour
    bool NullBrush = false;
    int FontHeight = 16; // |height| of the built-in face
    int FontWidth = 8;
    std::string FontFace; // "" for the system font
    std::shared_ptr<Icon> IconImage;
};

enum class DcType { Client, Paint, Window };

struct DeviceContext {
    HWND Window = nullptr;
    DcType Type = DcType::Client;
    HGDIOBJ Pen = nullptr, Brush = nullptr, Font = nullptr;
    COLORREF BkColor = RGB(255, 255, 255);
    COLORREF TextColor = RGB(0, 0, 0);
    int MapMode = MM_TEXT;
    POINT Position{0, 0};
    POINT Origin{0, 0};     // DC (0, 0) in window pixels
    std::vector<RECT> Clip; // window pixels; a pixel is drawn when inside one of them
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
    std::vector<COLORREF> Pixels; // whole window, frame included
    int PaintStreak = 0;          // WM_PAINT dispatches that left the window invalid
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

struct World {
    // Settings
    std::map<int, int> Metrics;
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
    std::vector<HWND> ZOrder; // top-level windows, bottom first
    HWND Main = nullptr;
    HWND Focus = nullptr;
    std::map<uintptr_t, GdiObject> Objects;
    std::map<uintptr_t, DeviceContext> DCs;
    std::map<uintptr_t, Menu> Menus;
    std::map<uintptr_t, std::vector<Accelerator>> Accelerators;
    std::map<int, HGDIOBJ> StockObjects;

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
    std::vector<DrawCall> Log;
    std::vector<UINT> Beeps;
    int LiveObjects = 0;
    int SelectedDeleted = 0;
};

World &W();

uintptr_t NewHandle();
template <typename T> T HandleOf(uintptr_t value) {
    return reinterpret_cast<T>(value);
}
inline uintptr_t Key(const void *handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

int Metric(int index); // GetSystemMetrics without the check of the call
// A handle or address as text, for the messages that name one.
std::string HandleText(const void *handle);
std::string Upper(const std::string &text);
bool SameText(const std::string &a, const std::string &b);

// ---- Windows (windows.cpp) ---------------------------------------------------------
Window *FindWindow(HWND handle); // null for a destroyed window; aborts for a bad handle
Window &LiveWindow(const char *call, HWND handle); // aborts unless the window exists
bool IsChildOf(HWND child, HWND parent);
POINT ClientOrigin(const Window &window); // screen coordinates
RECT ClientRectScreen(const Window &window);
POINT ClientOffset(const Window &window); // client origin in window pixels
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
DeviceContext &LiveDC(const char *call, HDC dc);
GdiObject &LiveObject(const char *call, HGDIOBJ handle);
// Pixel writes in window pixels, clipped to the window and to the clip list if given.
bool InClip(const Window &window, int x, int y, const std::vector<RECT> *clip);
void PutPixel(Window &window, int x, int y, COLORREF color, const std::vector<RECT> *clip);
void FillPixels(Window &window, const RECT &windowRect, COLORREF color,
                const std::vector<RECT> *clip);
void DrawTextPixels(Window &window, int x, int y, const std::string &text, int height, int width,
                    COLORREF color, const std::vector<RECT> *clip);
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
