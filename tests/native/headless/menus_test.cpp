// Menus and accelerator tables of the headless platform, read from a compiled .res.
#include <gtest/gtest.h>

#include "probe_window.h"

using probe::Log;
using probe::queued;
using probe::sent;
using probe::wparam;

namespace {

// q, Q, F2 and w for the probe window with the focus; the commands (notification 1) go
// to the target window. The letters act on WM_CHAR, so their key-down passes and is
// translated first; Ctrl is never down, so w passes whole.
const probe::Sequence KeysThroughTheTable = {{WM_KEYDOWN, queued | wparam, 'Q'},
                                             {WM_COMMAND, sent | wparam, MAKEWPARAM(201, 1)},
                                             {WM_KEYUP, queued | wparam, 'Q'},
                                             {WM_KEYDOWN, queued | wparam, 'Q'},
                                             {WM_COMMAND, sent | wparam, MAKEWPARAM(202, 1)},
                                             {WM_KEYUP, queued | wparam, 'Q'},
                                             {WM_COMMAND, sent | wparam, MAKEWPARAM(203, 1)},
                                             {WM_KEYUP, queued | wparam, VK_F2},
                                             {WM_KEYDOWN, queued | wparam, 'W'},
                                             {WM_CHAR, queued | wparam, 'w'},
                                             {WM_KEYUP, queued | wparam, 'W'}};

std::string MenuText(HMENU menu, UINT item, UINT flags) {
    char text[64];
    int length = GetMenuStringA(menu, item, text, sizeof text, flags);
    return std::string(text, (size_t)length);
}

LRESULT CALLBACK CommandProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        probe::Record(message, wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

TEST(HeadlessMenus, TheClassMenuComesFromItsTemplateAndTakesInsertions) {
    HWND window = probe::Start("probemenu"); // the name matches without regard to case
    HMENU menu = GetMenu(window);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(MenuText(menu, 0, MF_BYPOSITION), "&First  ");
    EXPECT_EQ(GetMenuItemID(menu, 0), 101u);
    EXPECT_EQ(GetMenuItemID(menu, 1), (UINT)-1); // a pop-up
    HMENU popup = GetSubMenu(menu, 1);
    ASSERT_EQ(GetMenuItemCount(popup), 3);
    EXPECT_EQ(GetMenuItemID(popup, 1), 0u);                  // the separator
    EXPECT_EQ(MenuText(menu, 102, MF_BYCOMMAND), "&Second"); // found inside the pop-up

    // By command: ahead of the item with that id, in whichever menu holds it.
    EXPECT_TRUE(InsertMenuA(menu, 103, MF_BYCOMMAND | MF_STRING, 110, "Inserted"));
    EXPECT_TRUE(InsertMenuA(menu, 103, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr));
    EXPECT_FALSE(InsertMenuA(menu, 999, MF_BYCOMMAND | MF_STRING, 111, "Nowhere"));
    ASSERT_EQ(GetMenuItemCount(popup), 5);
    EXPECT_EQ(MenuText(popup, 2, MF_BYPOSITION), "Inserted");
    EXPECT_EQ(GetMenuItemID(popup, 3), 0u);
    EXPECT_EQ(GetMenuItemID(popup, 4), 103u);
    EXPECT_TRUE(InsertMenuA(menu, (UINT)-1, MF_BYPOSITION | MF_STRING, 112, "Last"));
    EXPECT_EQ(GetMenuItemID(menu, 2), 112u);

    // A menu choice arrives as a posted WM_COMMAND with high word 0.
    headless::QueueMenuCommand(window, 110);
    EXPECT_THROW(headless::QueueMenuCommand(window, 103), std::logic_error); // greyed
    EXPECT_THROW(headless::QueueMenuCommand(window, 555), std::logic_error);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_COMMAND);
    EXPECT_EQ(msg.wParam, 110u);
}

TEST(HeadlessMenus, AcceleratorsMatchCharactersAndVirtualKeysAsTheirFlagsSay) {
    HWND window = probe::Start("PROBEMENU");
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CommandProc;
    windowClass.hInstance = headless::ProgramInstance();
    windowClass.lpszClassName = "Commands";
    RegisterClassA(&windowClass);
    HWND target = CreateWindowExA(0, "Commands", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, headless::ProgramInstance(), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    Log().clear();
    HACCEL table = LoadAcceleratorsA(headless::ProgramInstance(), "probekeys");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(LoadAcceleratorsA(headless::ProgramInstance(), "nokeys"), nullptr);

    headless::QueueKey('Q', 'q');
    headless::QueueKey('Q', 'Q');
    headless::QueueKey(VK_F2);
    headless::QueueKey('W', 'w'); // its entry needs Ctrl
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!TranslateAcceleratorA(target, table, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    EXPECT_TRUE(probe::Matches("keys through the accelerator table", KeysThroughTheTable));
}

// A handle that is no accelerator table stops the run, also right after a real table was
// used for the same message.
namespace {

void TranslateWithTableThenWithNone() {
    HWND window = probe::Start();
    HACCEL table = LoadAcceleratorsA(headless::ProgramInstance(), "probekeys");
    MSG msg{window, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    if (!TranslateAcceleratorA(window, table, &msg)) {
        TranslateAcceleratorA(window, (HACCEL)((uintptr_t)table + 4), &msg);
    }
}

} // namespace

TEST(HeadlessMenusDeathTest, AHandleThatIsNoAcceleratorTableStopsTheRun) {
    EXPECT_DEATH(TranslateWithTableThenWithNone(),
                 "TranslateAcceleratorA: not supported: a handle that is no accelerator table");
}
