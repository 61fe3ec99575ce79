// The headless platform's window messages: what creation, showing and updating send,
// and the order in which a waiting loop takes posted messages, input and paints.
#include <gtest/gtest.h>

#include "probe_window.h"

using probe::Log;
using probe::Matches;
using probe::queued;
using probe::sent;
using probe::Sequence;
using probe::wparam;

namespace {

// What a window receives; the 400 x 300 probe window has a client area of 392 x 273.
const Sequence Creation = {{WM_CREATE, sent}}; // and no WM_SIZE yet
const Sequence FirstShow = {
    {WM_SIZE, sent | wparam | probe::lparam, SIZE_RESTORED, MAKELPARAM(392, 273)}};
const Sequence PaintErasingInside = {{WM_PAINT, sent}, {WM_ERASEBKGND, sent}};
const Sequence EraseAheadOfPaint = {{WM_ERASEBKGND, sent}, {WM_PAINT, sent}};
const Sequence Nothing = {};
const Sequence PostedUntilQuit = {{WM_USER, queued | wparam, 1}, {WM_USER + 1, queued | wparam, 2}};
const Sequence KeyWithCharacter = {
    {WM_KEYDOWN, queued | wparam, 'R'}, {WM_CHAR, queued | wparam, 'r'}, {WM_KEYUP, queued}};
// Presses 0, 499, 0, 500, 0 and 10 ms apart at x 10, 11, 11, 11, 13, 14.
const Sequence PressesWithoutDoubleClicks = {{WM_LBUTTONDOWN, queued}, {WM_LBUTTONDOWN, queued},
                                             {WM_LBUTTONDOWN, queued}, {WM_LBUTTONDOWN, queued},
                                             {WM_LBUTTONDOWN, queued}, {WM_LBUTTONDOWN, queued}};
const Sequence PressesWithDoubleClicks = {{WM_LBUTTONDOWN, queued}, {WM_LBUTTONDBLCLK, queued},
                                          {WM_LBUTTONDOWN, queued}, {WM_LBUTTONDOWN, queued},
                                          {WM_LBUTTONDOWN, queued}, {WM_LBUTTONDBLCLK, queued}};
const Sequence CloseBox = {
    {WM_SYSCOMMAND, queued | wparam, SC_CLOSE}, {WM_CLOSE, sent}, {WM_DESTROY, sent}};

const CREATESTRUCTA *LastCreation = nullptr;
std::string CreationClass;
int CreationWidth = 0;

LRESULT CALLBACK CreationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        LastCreation = (const CREATESTRUCTA *)lParam;
        CreationClass = LastCreation->lpszClass;
        CreationWidth = LastCreation->cx;
    }
    return probe::Proc(window, message, wParam, lParam);
}

} // namespace

TEST(HeadlessMessages, CreationShowAndUpdateSendWhatThePlatformSends) {
    probe::Start(nullptr, false);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CreationProc;
    windowClass.hInstance = headless::ProgramInstance();
    windowClass.lpszClassName = "Creation";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    EXPECT_EQ(RegisterClassA(&windowClass), 0); // a class is registered once

    HWND window = CreateWindowExA(0, "Creation", "T", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                  nullptr, headless::ProgramInstance(), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(Matches("creation", Creation));
    EXPECT_EQ(CreationClass, "Creation");
    EXPECT_EQ(CreationWidth, 400);
    EXPECT_EQ(headless::MainWindow(), window);

    // The frame of WS_OVERLAPPEDWINDOW without menu: 2 x 4 wide, 4 + 19 + 4 high.
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 392);
    EXPECT_EQ(client.bottom, 273);

    ShowWindow(window, SW_SHOWNORMAL);
    EXPECT_TRUE(Matches("first show", FirstShow));
    ShowWindow(window, SW_SHOWNORMAL);
    EXPECT_TRUE(Matches("second show", Nothing));

    // A new window is invalid all over and is erased in BeginPaint.
    RECT update;
    EXPECT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_EQ(update.right, 392);
    EXPECT_EQ(update.bottom, 273);
    UpdateWindow(window);
    EXPECT_TRUE(Matches("first update", PaintErasingInside));
    // Erasing can also be asked for ahead of the paint; then the paint does not erase.
    InvalidateRect(window, nullptr, TRUE);
    EXPECT_TRUE(GetUpdateRect(window, nullptr, TRUE));
    UpdateWindow(window);
    EXPECT_TRUE(Matches("update erased ahead", EraseAheadOfPaint));
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    UpdateWindow(window);
    EXPECT_TRUE(Matches("update with nothing to paint", Nothing));
}

TEST(HeadlessMessages, PostedComeBeforeQuitBeforeInputBeforePaint) {
    HWND window = probe::Start();
    ShowWindow(window, SW_SHOWNORMAL);
    Log().clear();
    headless::QueueMouse(window, WM_MOUSEMOVE, 5, 6);
    PostMessageA(window, WM_USER, 1, 0);
    PostMessageA(window, WM_USER + 1, 2, 0);
    PostQuitMessage(7);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        DispatchMessageA(&msg);
    }
    // The quit ends the loop before the input and the paint are taken.
    EXPECT_TRUE(Matches("loop until the quit", PostedUntilQuit));
    EXPECT_EQ(msg.wParam, 7u);

    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_MOUSEMOVE);
    EXPECT_EQ(msg.lParam, MAKELPARAM(5, 6));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_PAINT);
    // A paint message stays until the window is validated.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_PAINT);
    DispatchMessageA(&msg);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(HeadlessMessages, FiltersTakeOnlyTheirRangeAndWindow) {
    HWND window = probe::Start();
    HWND other = CreateWindowExA(0, "Probe", "Other", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr,
                                 nullptr, headless::ProgramInstance(), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    ShowWindow(other, SW_SHOWNORMAL);
    UpdateWindow(other);
    PostMessageA(window, WM_COMMAND, 5, 0);
    headless::QueueMouse(window, WM_LBUTTONDOWN, 1, 1);
    headless::QueueMouse(other, WM_LBUTTONDOWN, 2, 2);
    headless::QueueMouse(window, WM_LBUTTONUP, 1, 1);

    MSG msg;
    // PM_NOREMOVE looks without taking.
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_LBUTTONDOWN);
    int removed = 0;
    while (PeekMessageA(&msg, window, WM_MOUSEMOVE, WM_MBUTTONDBLCLK, PM_REMOVE)) {
        EXPECT_EQ(msg.hwnd, window);
        ++removed;
    }
    EXPECT_EQ(removed, 2);
    // The posted command and the other window's press are still there, in order.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_COMMAND);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, other);
    EXPECT_EQ(msg.message, (UINT)WM_LBUTTONDOWN);
    // The other window has been painted, so only the first one needs a paint.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
}

TEST(HeadlessMessages, InputFollowsWindowStateFocusAndPosition) {
    HWND window = probe::Start();
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    Log().clear();

    // Input to a disabled window is lost, also when it was queued before.
    headless::QueueMouse(window, WM_LBUTTONDOWN, 10, 20);
    EnableWindow(window, FALSE);
    probe::Pump();
    EXPECT_TRUE(Matches("press to a disabled window", Nothing));
    EnableWindow(window, TRUE);
    EXPECT_EQ(headless::FocusWindow(), nullptr); // a disabled window lost the focus for good
    SetFocus(window);

    // The screen position of the input becomes the message position; moves that wait
    // together are merged into the last one.
    headless::SetMessageScreenPos(1, 2);
    headless::QueueMouse(window, WM_MOUSEMOVE, 10, 20);
    headless::QueueMouse(window, WM_MOUSEMOVE, 11, 21);
    PostMessageA(window, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_USER);
    // A posted message carries where the cursor was when it was posted: the last move's.
    EXPECT_EQ(GetMessagePos(), (DWORD)MAKELONG(4 + 11, 4 + 19 + 21));
    headless::SetMessageScreenPos(1, 2);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.lParam, MAKELPARAM(11, 21));
    EXPECT_EQ(GetMessagePos(), (DWORD)MAKELONG(4 + 11, 4 + 19 + 21));
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 15);
    EXPECT_EQ(cursor.y, 44);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));

    // Keys go to the focus window; TranslateMessage posts the character, which comes
    // before the key's release.
    headless::QueueKey('R', 'r');
    probe::Pump();
    EXPECT_TRUE(Matches("key to the focus", KeyWithCharacter));
    SetFocus(nullptr);
    headless::QueueKey('R', 'r');
    probe::Pump();
    EXPECT_TRUE(Matches("key without a focus", Nothing));
}

TEST(HeadlessMessages, OnlyAClassWithDoubleClicksGetsThemForAQuickCloseSecondPress) {
    for (UINT style : {0u, (UINT)CS_DBLCLKS}) {
        HWND window = probe::Start(nullptr, true, style);
        ShowWindow(window, SW_SHOW);
        probe::Pump();
        Log().clear();
        // A double click is a second press less than 500 ms later and less than 2 pixels
        // off; a third press starts over.
        const struct {
            DWORD After;
            int X;
        } presses[] = {{0, 10}, {499, 11}, {0, 11}, {500, 11}, {0, 13}, {10, 14}};
        for (const auto &press : presses) {
            headless::AdvanceTick(press.After);
            headless::QueueMouse(window, WM_LBUTTONDOWN, press.X, 10);
            probe::Pump();
        }
        EXPECT_TRUE(style ? Matches("presses, CS_DBLCLKS", PressesWithDoubleClicks)
                          : Matches("presses, no CS_DBLCLKS", PressesWithoutDoubleClicks));
    }
}

TEST(HeadlessMessages, CloseBoxGoesThroughDefWindowProcToDestroy) {
    HWND window = probe::Start();
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    Log().clear();
    headless::QueueCloseBox(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        DispatchMessageA(&msg);
    }
    EXPECT_TRUE(Matches("close box", CloseBox));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
}

TEST(HeadlessMessagesDeathTest, APaintThatNeverValidatesAndUnsupportedCallsStopTheRun) {
    EXPECT_DEATH(
        {
            HWND window = probe::Start();
            probe::ValidatesPaint() = false;
            ShowWindow(window, SW_SHOWNORMAL);
            probe::Pump();
        },
        "never validates on WM_PAINT");
    EXPECT_DEATH(
        {
            HWND window = probe::Start();
            ShowWindow(window, SW_SHOWMAXIMIZED);
        },
        "ShowWindow: not supported: show state 3");
    EXPECT_DEATH(
        {
            HWND window = probe::Start();
            HDC dc = GetDC(window);
            SetMapMode(dc, MM_LOMETRIC);
        },
        "SetMapMode: not supported: mapping mode 2");
}
