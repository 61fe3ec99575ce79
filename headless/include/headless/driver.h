// Test-side control of the headless Win32 stand-in: the world the program runs in
// (clock, settings, files, resources), the scripted user, and what the program did
// (boxes shown, drawing calls, pixels, live graphics objects).
//
// The program itself never includes this header; it sees only <windows.h>.
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace headless {

// ---- World -------------------------------------------------------------------------
// Forgets every window, queued message, box, graphics object, log and file of the last
// run and puts every setting back to its default. Tests call it first.
// Defaults: screen 1024 x 768, SM_CXFRAME/SM_CYFRAME 4, SM_CXBORDER/SM_CYBORDER 1,
// SM_CYCAPTION 19, SM_CYMENU 19, SM_MOUSEPRESENT 1, GetVersion 0x0A280105 (5.1),
// mouse parameters {6, 10, 1}, buttons not swapped, double-click time 500,
// tick 1000000, drawing cost 0, module path "C:\\TapTally\\TapTally.exe",
// program resources from the .res of the build.
void ResetWorld();

// Colours of the parts of a window that the system draws.
constexpr COLORREF CaptionColor = RGB(0, 0, 128);         // caption bar; its text is white
constexpr COLORREF WindowFrameColor = RGB(192, 192, 192); // sizing and dialog frames
constexpr COLORREF MenuBarColor = RGB(212, 208, 200);     // menu bar; its texts are black
constexpr COLORREF DialogFaceColor = RGB(212, 208, 200);  // dialog, box and button face

HINSTANCE ProgramInstance();
HWND MainWindow(); // the first top-level window created since ResetWorld, or null

// ---- Settings ----------------------------------------------------------------------
void SetSystemMetric(int index, int value);
void SetVersion(DWORD value); // what GetVersion returns
void SetMouseParams(int threshold1, int threshold2, int speed);
void SetButtonsSwapped(bool swapped);
bool ButtonsSwapped();
void SetDoubleClickTime(UINT ms);
void SetCursorScreenPos(int x, int y);  // what GetCursorPos returns
void SetMessageScreenPos(int x, int y); // what GetMessagePos returns until the next input

// ---- Clock -------------------------------------------------------------------------
void SetTick(DWORD tick);
DWORD Tick();
void AdvanceTick(DWORD ms);
// Every drawing call (line, fill, text, icon) advances the clock by this much.
void SetDrawCost(DWORD msPerCall);

// ---- Files and processes -----------------------------------------------------------
// The module path is a Windows path; its folder stands for a host folder created for
// the run, so files the program writes there can be read back with HostPath.
void SetModulePath(const char *windowsPath);
std::string HostPath(const char *windowsPath); // host file that stands for a Windows path
std::string ReadFile(const char *windowsPath); // whole content; throws if missing
bool FileExists(const char *windowsPath);
void SetProgramFolderWritable(bool writable);
const std::vector<std::string> &WinExecCalls(); // command lines, in order
void SetWinExecResult(UINT result);             // default 33
void SetFileCloseFails(bool fails);             // _lclose returns HFILE_ERROR when set

// ---- Resources ---------------------------------------------------------------------
// Replace the program's resources by another compiled .res (menu, accelerators,
// dialogs, icon and version block are all read from it).
void LoadProgramResources(const char *resPath);
// A file that the version services find under the given title, with the version
// block of the given .res (or none when resPath is null).
void AddVersionFile(const char *title, const char *resPath);
// VerQueryValueA trusts the wLength of the block's root. For a block that did not come
// from GetFileVersionInfoA (which records how much it copied), this tells how many
// bytes the block really has, so that a truncated block fails instead of being read
// beyond its end.
void SetVersionBlockBounds(const void *block, size_t size);

// ---- Input -------------------------------------------------------------------------
// Queued input arrives in order behind posted messages, as on the platform. Mouse
// coordinates are client coordinates of the window; a disabled window's input is lost.
void QueueMouse(HWND window, UINT message, int x, int y, WPARAM keys = 0);
// A key press for the window with the keyboard focus: WM_KEYDOWN (and WM_CHAR after
// TranslateMessage for a printable character), then WM_KEYUP.
void QueueKey(UINT virtualKey, char character = 0);
void QueueCloseBox(HWND window); // the caption's close box: WM_SYSCOMMAND SC_CLOSE
// A choice of the menu entry with this command: WM_COMMAND (high word 0, lParam 0)
// posted to the window, as the menu does. Throws unless the window's menu has an
// enabled entry with that id.
void QueueMenuCommand(HWND window, UINT command);

// ---- The scripted user -------------------------------------------------------------
// A step runs when a message loop (the program's own, a box's or a dialog's) finds the
// queue empty. When no step is left and a loop would wait, the run fails with
// ScriptExhausted, whose message names the topmost open box or dialog, if any.
using Step = std::function<void()>;
void AddStep(Step step);
void AddSteps(std::vector<Step> steps);
size_t StepsLeft();
struct ScriptExhausted : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// Dispatches everything queued (posted, input, paint) without running script steps;
// for tests that drive a window procedure directly.
void PumpMessages();

struct BoxInfo {
    HWND Window = nullptr;
    HWND Owner = nullptr;  // null for a box without owner
    bool IsDialog = false; // DialogBoxParamA rather than MessageBoxA
    std::string Template;  // dialog template name as asked for
    std::string Caption;
    std::string Text; // message box text
    UINT Style = 0;   // message box style
    RECT Rect{};      // screen rectangle of the box or dialog
};
bool BoxOpen();
BoxInfo TopBox();                         // throws when none is open
const std::vector<BoxInfo> &BoxesShown(); // every box and dialog opened, in order
void AnswerBox(int id);                   // press a button of the topmost box/dialog
// Types into an edit control of the top dialog: the user clicks into it (the focus moves
// there) and replaces its text; the dialog gets EN_UPDATE and EN_CHANGE. An edit control
// takes text of any length: the width limit of a box without ES_AUTOHSCROLL is not
// modelled.
void SetDialogItemText(int controlId, const char *text);
std::string DialogItemText(int controlId);
HWND FocusWindow();
int DialogControlId(HWND control);

// ---- What was drawn ----------------------------------------------------------------
struct DrawCall {
    std::string Name; // "MoveToEx", "LineTo", "TextOutA", "FillRect", "DrawIcon", ...
    HWND Window = nullptr;
    bool PaintDC = false;  // drawn into a BeginPaint device context
    bool WindowDC = false; // GetWindowDC origin (window corner)
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    std::string Text;
    COLORREF PenColor = 0, BrushColor = 0, TextColor = 0, BkColor = 0;
    int PenWidth = 0, PenStyle = 0;
    std::string FontFace; // "" for the default font
    int FontHeight = 0;
};
const std::vector<DrawCall> &DrawLog();
void ClearDrawLog();
// Pens, brushes, fonts and icons created and not deleted. An icon given to
// RegisterClassA belongs to the class from then on and no longer counts.
int LiveGdiObjects();
int LiveDCs();                // device contexts got and not released
int SelectedObjectsDeleted(); // DeleteObject on an object still selected (should stay 0)
COLORREF Pixel(HWND window, int clientX, int clientY);
bool SavePng(HWND window, const char *path); // the whole window, frame included
const std::vector<UINT> &Beeps();            // MessageBeep values, in order

// ---- Text metrics of the built-in face ----------------------------------------------
// Every font renders in one fixed face: a character is (|height| / 2) pixels wide and
// |height| pixels tall (the default font: 8 x 16), tmExternalLeading 0.
int TextWidth(const char *text, int fontHeight);

} // namespace headless
