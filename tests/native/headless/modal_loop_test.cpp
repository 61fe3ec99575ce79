// Message boxes and dialogs of the headless platform: their own loops on the one queue,
// what they do to their owner, the scripted user's answers, and the repaint of what a
// closed box covered.
#include <gtest/gtest.h>

#include "probe_window.h"

using headless::AddStep;
using headless::AddSteps;
using headless::AnswerBox;
using headless::BoxInfo;
using headless::TopBox;
using probe::Log;
using probe::Matches;
using probe::queued;
using probe::sent;
using probe::Sequence;
using probe::wparam;

namespace {

const Sequence PostedAndPaintUnderTheBox = {{WM_USER, queued}, {WM_PAINT, queued}};
const Sequence PaintWithoutErasing = {{WM_PAINT, sent}};
// What the dialog procedure receives of WM_INITDIALOG, WM_COMMAND and WM_PAINT.
const Sequence DialogOpening = {{WM_INITDIALOG, sent | probe::lparam, 0, 42}, {WM_PAINT, queued}};
const Sequence TypedTwiceThenEnter = {{WM_COMMAND, sent | wparam, MAKEWPARAM(301, EN_UPDATE)},
                                      {WM_COMMAND, sent | wparam, MAKEWPARAM(301, EN_CHANGE)},
                                      {WM_COMMAND, sent | wparam, MAKEWPARAM(301, EN_UPDATE)},
                                      {WM_COMMAND, sent | wparam, MAKEWPARAM(301, EN_CHANGE)},
                                      {WM_COMMAND, sent | wparam, MAKEWPARAM(303, BN_CLICKED)}};
// Enter on the focused button, a click on it, then the close box as a posted IDCANCEL.
const Sequence EnterClickAndCloseBox = {
    {WM_COMMAND, sent | wparam, MAKEWPARAM(302, BN_CLICKED)},
    {WM_COMMAND, sent | wparam, MAKEWPARAM(302, BN_CLICKED)},
    {WM_COMMAND, queued | wparam, MAKEWPARAM(IDCANCEL, BN_CLICKED)}};

HWND Shown() {
    HWND window = probe::Start();
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    Log().clear();
    return window;
}

int Count(UINT message) {
    int count = 0;
    for (const probe::Row &entry : Log()) {
        count += entry.Message == message;
    }
    return count;
}

} // namespace

TEST(HeadlessBoxes, OwnedBoxDisablesItsOwnerButKeepsDispatchingPostedAndPaint) {
    HWND window = Shown();
    AddStep([window] {
        EXPECT_FALSE(IsWindowEnabled(window));
        BoxInfo box = TopBox();
        EXPECT_EQ(box.Caption, "Owned");
        EXPECT_EQ(box.Text, "line one\nand the second line");
        EXPECT_EQ(box.Owner, window);
        EXPECT_FALSE(box.IsDialog);
        // Centred on the 1024 x 768 screen, sized from the text in the 8 x 16 face.
        EXPECT_EQ((box.Rect.left + box.Rect.right) / 2, 512);
        EXPECT_EQ((box.Rect.top + box.Rect.bottom) / 2, 384);
        EXPECT_GT(box.Rect.right - box.Rect.left, 19 * 8);
        PostMessageA(window, WM_USER, 0, 0);
        InvalidateRect(window, nullptr, FALSE);
        headless::QueueMouse(window, WM_LBUTTONDOWN, 3, 3); // lost: the owner is disabled
    });
    AddStep([window] {
        EXPECT_TRUE(Matches("posted and paint under the box", PostedAndPaintUnderTheBox));
        EXPECT_TRUE(headless::BoxOpen());
        AnswerBox(IDOK);
    });
    EXPECT_EQ(MessageBoxA(window, "line one\nand the second line", "Owned", MB_OK), IDOK);
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_FALSE(headless::BoxOpen());
    EXPECT_EQ(Count(WM_LBUTTONDOWN), 0);
    ASSERT_EQ(headless::BoxesShown().size(), 1u);
    EXPECT_EQ(headless::StepsLeft(), 0u);
}

TEST(HeadlessBoxes, UnownedBoxLeavesTheWindowEnabledAndItsInputArrives) {
    HWND window = Shown();
    AddStep([window] {
        EXPECT_TRUE(IsWindowEnabled(window));
        EXPECT_EQ(TopBox().Owner, nullptr);
        headless::QueueMouse(window, WM_LBUTTONDOWN, 3, 3);
    });
    AddStep([] {
        EXPECT_EQ(Count(WM_LBUTTONDOWN), 1);
        AnswerBox(IDNO);
    });
    EXPECT_EQ(MessageBoxA(nullptr, "Go on?", "Unowned", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
}

TEST(HeadlessBoxes, ClosingABoxInvalidatesWhatItCoveredWithoutErasing) {
    HWND window = probe::Start();
    SetWindowPos(window, nullptr, 0, 0, 1024, 768, SWP_NOZORDER);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    RECT boxRect{};
    AddStep([&] {
        boxRect = TopBox().Rect;
        EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
        AnswerBox(IDOK);
    });
    MessageBoxA(window, "covering", "Cover", MB_OK);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
    // In client coordinates: the client starts 4 right and 4 + 19 down of the corner.
    EXPECT_EQ(update.left, boxRect.left - 4);
    EXPECT_EQ(update.top, boxRect.top - 23);
    EXPECT_EQ(update.right, boxRect.right - 4);
    EXPECT_EQ(update.bottom, boxRect.bottom - 23);
    Log().clear();
    UpdateWindow(window);
    EXPECT_TRUE(Matches("update after the box", PaintWithoutErasing));
}

TEST(HeadlessBoxes, KeysAndAnswersFollowTheBoxButtons) {
    HWND window = Shown();
    AddStep([] { headless::QueueKey(VK_ESCAPE); });
    EXPECT_EQ(MessageBoxA(window, "q", "Three", MB_YESNOCANCEL), IDCANCEL);
    AddStep([] { headless::QueueKey(VK_RETURN); });
    EXPECT_EQ(MessageBoxA(window, "q", "Second", MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
    AddStep([] { headless::QueueKey(VK_ESCAPE); }); // an OK box closes with OK
    EXPECT_EQ(MessageBoxA(window, "i", "Ok", MB_OK), IDOK);
    AddSteps({[] { headless::QueueKey(VK_ESCAPE); }, // no Cancel: Esc does nothing
              [] {
                  EXPECT_TRUE(headless::BoxOpen());
                  EXPECT_THROW(AnswerBox(IDCANCEL), std::logic_error);
                  AnswerBox(IDYES);
              }});
    EXPECT_EQ(MessageBoxA(window, "q", "YesNo", MB_YESNO), IDYES);
    EXPECT_EQ(headless::BoxesShown().size(), 4u);
    EXPECT_THROW(AnswerBox(IDOK), std::logic_error); // no box is open
}

TEST(HeadlessBoxes, AScriptThatRunsOutNamesTheOpenBox) {
    HWND window = Shown();
    try {
        MessageBoxA(window, "waiting", "The Caption", MB_OK);
        FAIL() << "the box returned without an answer";
    } catch (const headless::ScriptExhausted &error) {
        EXPECT_NE(std::string(error.what()).find("\"The Caption\""), std::string::npos)
            << error.what();
    }
}

namespace {

INT_PTR InitResult = TRUE;

INT_PTR CALLBACK ProbeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        probe::Record(message, wParam, lParam);
        if (!InitResult) {
            SetFocus(GetDlgItem(dialog, 302));
        }
        return InitResult;
    case WM_COMMAND:
        probe::Record(message, wParam, lParam);
        if (LOWORD(wParam) == 303 || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam) + 1000);
            return TRUE;
        }
        return FALSE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(dialog, &paint);
        probe::Record(message, wParam, lParam);
        EndPaint(dialog, &paint);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

TEST(HeadlessDialogs, TemplatePlacementFocusAndDefaultButton) {
    HWND window = Shown();
    InitResult = TRUE;
    AddStep([window] {
        BoxInfo box = TopBox();
        EXPECT_TRUE(box.IsDialog);
        EXPECT_EQ(box.Template, "probedialog");
        EXPECT_EQ(box.Caption, "Probe Dialog");
        EXPECT_FALSE(IsWindowEnabled(window));
        // Dialog units x 2 from the owner's client origin (4, 23) place the client area;
        // the template's size is the client size, inside a 3-pixel frame and a caption of 19.
        EXPECT_EQ(box.Rect.left, 4 + 20 - 3);
        EXPECT_EQ(box.Rect.top, 23 + 40 - 3 - 19);
        EXPECT_EQ(box.Rect.right - box.Rect.left, 200 + 6);
        EXPECT_EQ(box.Rect.bottom - box.Rect.top, 100 + 19 + 6);
        RECT client;
        GetClientRect(box.Window, &client);
        EXPECT_EQ(client.right, 200);
        // WM_INITDIALOG returned TRUE: the focus is on the first tab stop, the edit box.
        EXPECT_EQ(headless::DialogControlId(headless::FocusWindow()), 301);
        EXPECT_EQ(headless::DialogItemText(301), "start");
        RECT control;
        GetWindowRect(GetDlgItem(box.Window, 301), &control);
        EXPECT_EQ(control.left, box.Rect.left + 3 + 8);
        EXPECT_EQ(control.top, box.Rect.top + 3 + 19 + 32);
        // Moving the dialog moves its controls with it.
        SetWindowPos(box.Window, nullptr, box.Rect.left, box.Rect.top + 20, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        GetWindowRect(GetDlgItem(box.Window, 301), &control);
        EXPECT_EQ(control.top, box.Rect.top + 20 + 3 + 19 + 32);
        // The dialog's paint went to the dialog procedure.
        EXPECT_TRUE(Matches("dialog opening", DialogOpening));
        // The box of 80 pixels, without horizontal scrolling, takes the 9 characters that fit.
        headless::SetDialogItemText(301, "0123456789");
        EXPECT_EQ(headless::DialogItemText(301), "012345678");
        headless::SetDialogItemText(301, "typed");
        char text[4];
        EXPECT_EQ(GetDlgItemTextA(box.Window, 301, text, sizeof text), 3u);
        EXPECT_STREQ(text, "typ");
        headless::QueueKey(VK_RETURN); // from the edit box: the default push button
    });
    EXPECT_EQ(
        DialogBoxParamA(headless::ProgramInstance(), "probedialog", window, ProbeDialogProc, 42),
        1303);
    // Each typing sends EN_UPDATE and EN_CHANGE; Enter clicked the default button.
    EXPECT_TRUE(Matches("typing and Enter", TypedTwiceThenEnter));
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(headless::FocusWindow(), window);
    EXPECT_EQ(
        DialogBoxParamA(headless::ProgramInstance(), "nosuchdialog", window, ProbeDialogProc, 0),
        -1);
}

TEST(HeadlessDialogs, EscCloseBoxAndClicksReachTheDialogProcedure) {
    HWND window = Shown();
    InitResult = FALSE;
    AddSteps({[] {
                  // WM_INITDIALOG returned FALSE: the focus stays where the procedure put it.
                  EXPECT_EQ(headless::DialogControlId(headless::FocusWindow()), 302);
                  Log().clear();                 // the opening
                  headless::QueueKey(VK_RETURN); // on a push button: that button
              },
              [] {
                  AnswerBox(302);
                  EXPECT_THROW(AnswerBox(300), std::logic_error); // a static text
                  headless::QueueCloseBox(TopBox().Window);
              }});
    EXPECT_EQ(
        DialogBoxParamA(headless::ProgramInstance(), "PROBEDIALOG", window, ProbeDialogProc, 0),
        1002);
    // The close box becomes IDCANCEL by the dialog's default handling of WM_CLOSE.
    EXPECT_TRUE(Matches("Enter, click and close box", EnterClickAndCloseBox));

    AddStep([] {
        HWND dialog = TopBox().Window;
        SetWindowPos(dialog, nullptr, 100, 120, 0, 0, SWP_NOSIZE);
        RECT rect;
        GetWindowRect(dialog, &rect);
        EXPECT_EQ(rect.left, 100);
        EXPECT_EQ(rect.top, 120);
        EXPECT_EQ(rect.right - rect.left, 206);
        headless::QueueKey(VK_ESCAPE);
    });
    EXPECT_EQ(
        DialogBoxParamA(headless::ProgramInstance(), "probedialog", window, ProbeDialogProc, 0),
        1002);
}

TEST(HeadlessDialogs, ABoxOverADialogDisablesTheDialogOnly) {
    HWND window = Shown();
    InitResult = TRUE;
    AddSteps({[window] {
        HWND dialog = TopBox().Window;
        AddStep([window, dialog] {
            EXPECT_EQ(TopBox().Owner, dialog);
            EXPECT_FALSE(IsWindowEnabled(dialog));
            EXPECT_FALSE(IsWindowEnabled(window));
            AnswerBox(IDOK);
        });
        EXPECT_EQ(MessageBoxA(dialog, "inner", "Inner", MB_OK), IDOK);
        EXPECT_TRUE(IsWindowEnabled(dialog));
        EXPECT_FALSE(IsWindowEnabled(window));
        AnswerBox(IDCANCEL);
    }});
    EXPECT_EQ(
        DialogBoxParamA(headless::ProgramInstance(), "probedialog", window, ProbeDialogProc, 0),
        1002);
    EXPECT_TRUE(IsWindowEnabled(window));
}
