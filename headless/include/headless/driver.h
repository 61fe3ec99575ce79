// Test-side control of the headless Win32 stand-in: the world the program runs in
// (clock, settings, files, resources), the scripted user, and what the program did
// (boxes shown, drawing calls, pixels, live graphics objects).
//
// The program itself never includes this header; it sees only <windows.h>.
//
// How the stand-in behaves where it matters to a test:
// - Messages it sends of its own accord: WM_CREATE (inside CreateWindowExA, with the
//   CREATESTRUCTA), WM_SIZE (inside the first ShowWindow of a top-level window, with the
//   client size; at creation for a child), WM_PAINT (UpdateWindow, and loops for a
//   visible window with a non-empty update region), WM_ERASEBKGND (inside BeginPaint
//   when the invalidation asked for erasing; a new window asks for it), WM_CLOSE and
//   WM_DESTROY (DefWindowProcA, DestroyWindow), WM_INITDIALOG, WM_COMMAND (accelerators,
//   dialog keys, buttons, EN_UPDATE/EN_CHANGE of edit controls). Activation, focus,
//   non-client and size-negotiation messages are not sent.
// - A waiting loop takes: posted messages, then WM_QUIT, then input (mouse, keys, close
//   box) in arrival order, then WM_PAINT, topmost window first. PeekMessageA never runs
//   script steps. Input to a window that is hidden or disabled, or whose top-level window
//   is, is dropped when it comes to be taken; keys go to the focus window of that moment.
// - GetMessagePos gives the position of the last message taken (or what
//   SetMessageScreenPos set): the event's for input, the cursor's at posting time for a
//   posted message. QueueMouse moves the cursor.
// - A class with CS_DBLCLKS gets a second press of a button less than the double-click
//   time later and less than half SM_CXDOUBLECLK and SM_CYDOUBLECLK off as
//   WM_xBUTTONDBLCLK; a third press starts over.
// - Window frames: WS_THICKFRAME windows SM_CXFRAME/SM_CYFRAME, dialogs and boxes
//   SM_CXDLGFRAME/SM_CYDLGFRAME, WS_BORDER SM_CXBORDER; a caption SM_CYCAPTION; a menu bar
//   SM_CYMENU. The client area starts below caption and menu, inside the frame.
// - Dialogs: template units x 2 (base units 8 x 16); the template position is that of the
//   client area, from the owner's client origin, and the template size is the client size. Message
//   boxes are centred on the screen; their client area is 10 + [32 + 10 when there is an icon] +
//   widest line (8 pixels a character) + 10 wide (at least the buttons, 75 wide and 6 apart, + 20)
//   and 10 + max(lines x 16, icon 32) + 10 + 23 + 10 tall.
// - Every call that the stand-in does not model ends the process with a message naming
//   the call and what it was given ("headless: CALL: not supported: ...").
// - HEADLESS_TRACE=1 in the environment prints every message a window procedure gets.
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
// SM_CXDLGFRAME/SM_CYDLGFRAME 3, SM_CYCAPTION 19, SM_CYMENU 19, SM_CXICON/SM_CYICON 32,
// SM_CXVSCROLL/SM_CYHSCROLL 16, SM_CMOUSEBUTTONS 3, SM_MOUSEPRESENT 1, GetVersion 0x0A280105 (5.1),
// mouse parameters {6, 10, 1}, buttons not swapped, double-click time 500, tick 1000000, drawing
// cost 0, module path "C:\\TapTally\\TapTally.exe", program resources from the .res of the build.
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
void SetButtonsSwapped(bool swapped);
bool ButtonsSwapped();
void SetCursorScreenPos(int x, int y);  // what GetCursorPos returns
void SetMessageScreenPos(int x, int y); // what GetMessagePos returns until the next input
// GetSystemMetrics of an index that has no default and was never set stops the run.

// ---- Clock -------------------------------------------------------------------------
void SetTick(DWORD tick);
DWORD Tick();
void AdvanceTick(DWORD ms);
// Every drawing call (line, fill, text, icon) advances the clock by this much.
void SetDrawCost(DWORD msPerCall);

// ---- Files and processes -----------------------------------------------------------
// The module path is a Windows path; its folder stands for a host folder created for
// the run, so files the program writes there can be read back with HostPath. Names are
// matched without regard to case; a bare file name stands in that folder too. Files
// elsewhere are not modelled. The folder is removed at the next ResetWorld and at exit.
void SetModulePath(const char *windowsPath);
std::string HostPath(const char *windowsPath); // host file that stands for a Windows path
std::string ReadFile(const char *windowsPath); // whole content; throws if missing
bool FileExists(const char *windowsPath);
void SetProgramFolderWritable(bool writable);
const std::vector<std::string> &WinExecCalls(); // command lines, in order
const std::vector<UINT> &WinExecShowStates();   // their show states, in the same order
// Bytes that writes into the program's folder may still add; a write beyond them writes
// what fits and returns that count. Unlimited by default.
void SetFolderSpace(size_t bytes);
// OpenFile refuses a path of 128 characters or more (its OFSTRUCT holds the path).
void SetWinExecResult(UINT result); // default 33
void SetFileCloseFails(bool fails); // _lclose returns HFILE_ERROR when set

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
// The bound stays with that address until it is given again or the world is reset.
void SetVersionBlockBounds(const void *block, size_t size);

// ---- Input -------------------------------------------------------------------------
// Queued input arrives in order behind posted messages, as on the platform. Mouse
// coordinates are client coordinates of the window; a disabled window's input is lost.
// A movement queued right behind another one for the same window (same keys) replaces
// it, as the system merges waiting movements.
void QueueMouse(HWND window, UINT message, int x, int y, WPARAM keys = 0);
// A key press for the window with the keyboard focus: WM_KEYDOWN (and WM_CHAR after
// TranslateMessage for a printable character), then WM_KEYUP. Enter, Esc, Backspace,
// Tab and Space bring their own character. The character rides in the scan-code bits
// (16 to 23) of lParam; no modifier key is ever down.
void QueueKey(UINT virtualKey, char character = 0);
void QueueCloseBox(HWND window); // the caption's close box: WM_SYSCOMMAND SC_CLOSE as input
// A choice of the menu entry with this command: WM_COMMAND (high word 0, lParam 0)
// posted to the window, as the menu does. Throws unless the window's menu has an
// enabled entry with that id. A disabled window takes no menu choice: nothing is posted.
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
// Whether the window procedure running now was handed its message by DispatchMessageA
// (posted, input or paint, taken from the queue) rather than sent by a call; false when
// no procedure runs.
bool InQueuedMessage();

struct BoxInfo {
    HWND Window = nullptr;
    HWND Owner = nullptr;  // null for a box without owner
    bool IsDialog = false; // DialogBoxParamA rather than MessageBoxA
    std::string Template;  // dialog template name as asked for
    std::string Caption;
    std::string Text; // message box text
    UINT Style = 0;   // message box style
    RECT Rect{};      // screen rectangle of the box or dialog (TopBox: where it is now;
                      // BoxesShown: where it was when it was first shown)
};
bool BoxOpen();
BoxInfo TopBox();                         // throws when none is open
const std::vector<BoxInfo> &BoxesShown(); // every box and dialog opened, in order
// Runs for every box and dialog as it is shown, before its loop runs, while the program's
// state is still that of the moment it raised it. One hook at a time; ResetWorld removes it.
void OnBoxShown(std::function<void(const BoxInfo &)> hook);
// Presses a button of the topmost box or dialog. A message box accepts only the ids of
// its buttons (MB_OK: IDOK; MB_YESNOCANCEL: IDYES, IDNO, IDCANCEL; ...). On a dialog it
// clicks the push button with that id (the focus moves to it, the dialog gets WM_COMMAND
// with BN_CLICKED), or for IDCANCEL without such a button acts as Esc. Anything else
// throws std::logic_error, as do the other box functions when no box is open.
void AnswerBox(int id);
// Types into an edit control of the top dialog: the user clicks into it (the focus moves
// there) and replaces its text; the dialog gets EN_UPDATE and EN_CHANGE. A box without
// ES_AUTOHSCROLL takes only the characters that fit its client width less 2 pixels, at 8
// pixels a character (the trigger dialog's box of 72 pixels: 8); SetDlgItemTextA of the
// program is not limited.
void SetDialogItemText(int controlId, const char *text);
std::string DialogItemText(int controlId);
HWND FocusWindow();
int DialogControlId(HWND control);

// ---- What was drawn ----------------------------------------------------------------
// Every drawing call of the program, in DC coordinates: MoveToEx (X1, Y1), LineTo (from
// X1, Y1 to X2, Y2), FillRect (the rectangle, BrushColor the brush given), TextOutA (X1,
// Y1 and the extent's corner X2, Y2), DrawIcon (the 32 x 32 square). Pen, brush,
// colours and font are the DC's at the time of the call. What the system draws itself
// (frames, erasing, controls, boxes) is not logged.
//
// Rasterising: lines leave out their last point; a pen of width w stamps a w x w square
// centred on every point (width 0 is 1; PS_INSIDEFRAME lines as PS_SOLID). FillRect
// leaves out right and bottom. Text first fills its extent with the background colour
// (the only background mode is OPAQUE); glyphs are 5 x 7 shapes scaled into each character cell, in
// the text colour only. Everything is clipped to the DC: the client area for GetDC, the whole
// window for GetWindowDC, and the update region (the union of the rectangles invalidated) for
// BeginPaint.
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
// Empties every record of the run (draw log, beeps, boxes shown, WinExec calls), so that a
// long run holds no more memory than the program does; no box may be open.
void ForgetRecords();
// Pens, brushes, fonts and icons created and not deleted. An icon given to
// RegisterClassA belongs to the class from then on and no longer counts.
int LiveGdiObjects();
int LiveDCs(); // device contexts got and not released
// DeleteObject on an object still selected into a DC (should stay 0). As on Windows the
// call fails and the object lives on. Stock objects are never counted or deleted.
int SelectedObjectsDeleted();
// The pixel in client coordinates (negative ones reach the frame); CLR_INVALID outside
// the window. Dialogs show their controls, message boxes their text and buttons.
COLORREF Pixel(HWND window, int clientX, int clientY);
bool SavePng(HWND window, const char *path); // the whole window, frame included
const std::vector<UINT> &Beeps();            // MessageBeep values, in order

// ---- The screen as a person sees it and points at it ------------------------------
// The visible top-level windows, bottom first, composed into the width x height pixels
// at the screen's corner, row by row; what no window covers gets the desktop colour.
void ComposeScreen(COLORREF *pixels, int width, int height, COLORREF desktop);
// The entries of a window's menu bar, left to right, where the bar shows them.
struct MenuBarEntry {
    std::string Label;  // as shown, without '&' marks
    RECT Screen{};      // screen rectangle of the entry
    UINT Command = 0;   // what choosing an entry without popup sends
    bool Popup = false; // the entry opens a popup menu (MenuPopupEntries)
    bool Disabled = false;
};
std::vector<MenuBarEntry> MenuBarEntries(HWND window);
struct MenuPopupEntry {
    std::string Label;       // without '&' marks, up to a tab
    std::string Accelerator; // what follows a tab in the entry's text
    UINT Command = 0;
    bool Separator = false, Disabled = false, Checked = false;
};
// The entries of the popup opened by the bar entry at this position (none for a plain entry).
std::vector<MenuPopupEntry> MenuPopupEntries(HWND window, size_t barIndex);
// The topmost visible window at a screen point: the control under it when the point is on
// a control of that window, else the top-level window; null over the bare screen.
HWND WindowAtScreen(int x, int y);
// The id of the button of the topmost box or dialog at a screen point, or 0 (also when
// no box is open, or the button is disabled).
int BoxButtonAt(int x, int y);

// ---- Text metrics of the built-in face ----------------------------------------------
// Every font renders in one fixed face: a character is (|height| / 2) pixels wide and
// |height| pixels tall (the default font: 8 x 16; height 0 is 16; a nonzero width given
// to CreateFontA is the character width), tmExternalLeading 0, tmInternalLeading 0.
int TextWidth(const char *text, int fontHeight);

} // namespace headless
