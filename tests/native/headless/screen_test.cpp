// The screen as a person sees and points at it: the composed picture of the visible
// windows, the menu bar's entries, the window and the box button under a point.
#include "../run_support.h"

#include <vector>

namespace {

const COLORREF DESKTOP = RGB(1, 2, 3);

struct Composed {
    int Width, Height;
    std::vector<COLORREF> Pixels;
    COLORREF At(int x, int y) const { return Pixels[(size_t)y * (size_t)Width + (size_t)x]; }
};

Composed Compose(int width, int height) {
    Composed screen{width, height, std::vector<COLORREF>((size_t)width * (size_t)height)};
    headless::ComposeScreen(screen.Pixels.data(), width, height, DESKTOP);
    return screen;
}

class HeadlessScreen : public run::StandardWorld {};

} // namespace

TEST_F(HeadlessScreen, MenuBarEntriesStandWhereTheBarShowsThemAndOpenTheirPopups) {
    headless::AddStep([] {
        std::vector<headless::MenuBarEntry> bar = headless::MenuBarEntries(run::Main());
        // Labels 6 pixels a character with 6 pixels on either side, from the frame on.
        struct Expected {
            const char *Label;
            int Left, Right;
            UINT Command;
            bool Popup;
        };
        const Expected expected[] = {
            {"Exit  ", 0, 48, 1, false},           {"Driver Info  ", 48, 138, 4, false},
            {"Reset  ", 138, 192, 21, false},      {"Setup  ", 192, 246, 2, false},
            {"Information  ", 246, 336, 3, false}, {"About  ", 336, 390, 0, true}};
        ASSERT_EQ(bar.size(), 6u);
        for (size_t i = 0; i < bar.size(); ++i) {
            SCOPED_TRACE(expected[i].Label);
            EXPECT_EQ(bar[i].Label, expected[i].Label);
            EXPECT_EQ(bar[i].Screen.left, expected[i].Left);
            EXPECT_EQ(bar[i].Screen.right, expected[i].Right);
            EXPECT_EQ(bar[i].Screen.top, 20);
            EXPECT_EQ(bar[i].Screen.bottom, 40);
            EXPECT_EQ(bar[i].Command, expected[i].Command);
            EXPECT_EQ(bar[i].Popup, expected[i].Popup);
            EXPECT_FALSE(bar[i].Disabled);
        }
        // The menu bar's text is black on the bar's grey, from 6 pixels into the entry.
        EXPECT_EQ(headless::Pixel(run::Main(), 2, -10), RGB(212, 208, 200));

        std::vector<headless::MenuPopupEntry> about = headless::MenuPopupEntries(run::Main(), 5);
        ASSERT_EQ(about.size(), 4u);
        EXPECT_EQ(about[0].Label, "Install Shortcut Icons");
        EXPECT_EQ(about[0].Command, 8u);
        EXPECT_EQ(about[1].Label, "UnInstall Shortcut Icons");
        EXPECT_TRUE(about[2].Separator);
        EXPECT_EQ(about[3].Label, "About TapTally  ");
        EXPECT_EQ(about[3].Command, 18u);
        EXPECT_TRUE(headless::MenuPopupEntries(run::Main(), 0).empty()); // a plain entry
        EXPECT_TRUE(headless::MenuPopupEntries(run::Main(), 6).empty()); // beyond the bar
        headless::QueueMenuCommand(run::Main(), CMD_EXIT);
    });
    EXPECT_EQ(run::Start(), 0);
}

TEST_F(HeadlessScreen, TheComposedScreenShowsTheTopmostWindowAtEveryPoint) {
    headless::AddSteps({
        [] {
            Composed screen = Compose(1024, 800);
            EXPECT_EQ(screen.At(5, 5), RGB(0, 0, 128));      // caption
            EXPECT_EQ(screen.At(2, 22), RGB(212, 208, 200)); // menu bar
            EXPECT_EQ(screen.At(500, 100), run::TEAL);       // client area
            EXPECT_EQ(screen.At(500, 799), DESKTOP);         // below the window
            EXPECT_EQ(screen.At(500, 100), headless::Pixel(run::Main(), 500, 60));
            EXPECT_EQ(headless::WindowAtScreen(500, 100), run::Main());
            EXPECT_EQ(headless::WindowAtScreen(500, 799), nullptr);
            EXPECT_EQ(headless::BoxButtonAt(500, 100), 0); // no box open
            // A smaller picture takes the corner of the screen.
            EXPECT_EQ(Compose(10, 10).At(9, 9), RGB(0, 0, 128));
            run::LeftClick();
            run::LeftClick(); // far below the trigger: an error box
        },
        [] {
            ASSERT_TRUE(headless::BoxOpen());
            headless::BoxInfo box = headless::TopBox();
            RECT rect = box.Rect;
            int middle = (rect.left + rect.right) / 2;
            Composed screen = Compose(1024, 800);
            EXPECT_EQ(screen.At(rect.left + 10, rect.top + 10), RGB(0, 0, 128)); // box caption
            EXPECT_EQ(headless::WindowAtScreen(rect.left + 10, rect.top + 10), box.Window);
            EXPECT_EQ(headless::WindowAtScreen(rect.left - 1, rect.top + 10), run::Main());
            // The one OK button: 75 wide, 23 tall, 10 above the client's bottom, centred.
            int buttonTop = rect.bottom - 3 - 10 - 23;
            EXPECT_EQ(headless::BoxButtonAt(middle, buttonTop), IDOK);
            EXPECT_EQ(headless::BoxButtonAt(middle, buttonTop + 22), IDOK);
            EXPECT_EQ(headless::BoxButtonAt(middle, buttonTop - 1), 0);
            EXPECT_EQ(headless::BoxButtonAt(middle, buttonTop + 23), 0);
            // The button's black top edge, as drawn, is where the button takes clicks.
            int first = middle, last = middle;
            while (screen.At(first - 1, buttonTop) == RGB(0, 0, 0)) {
                --first;
            }
            while (screen.At(last + 1, buttonTop) == RGB(0, 0, 0)) {
                ++last;
            }
            EXPECT_EQ(last - first + 1, 75);
            EXPECT_EQ(headless::BoxButtonAt(first, buttonTop + 5), IDOK);
            EXPECT_EQ(headless::BoxButtonAt(last, buttonTop + 5), IDOK);
            EXPECT_EQ(headless::BoxButtonAt(first - 1, buttonTop + 5), 0);
            EXPECT_EQ(headless::BoxButtonAt(last + 1, buttonTop + 5), 0);
            headless::AnswerBox(IDOK);
        },
        [] { headless::QueueMenuCommand(run::Main(), CMD_SETUP); },
        [] {
            // The trigger dialog: its entry box and its buttons, found by point.
            HWND dialog = headless::TopBox().Window;
            std::vector<std::vector<int>> places =
                run::ControlPlaces(dialog, {ID_TRIGGER_EDIT, ID_TRIGGER_OK, ID_TRIGGER_CANCEL});
            POINT origin{0, 0};
            ClientToScreen(dialog, &origin);
            int editX = origin.x + places[0][0] + 3, editY = origin.y + places[0][1] + 3;
            HWND edit = headless::WindowAtScreen(editX, editY);
            EXPECT_EQ(headless::DialogControlId(edit), ID_TRIGGER_EDIT);
            EXPECT_EQ(headless::BoxButtonAt(editX, editY), 0); // an entry box is no button
            EXPECT_EQ(
                headless::BoxButtonAt(origin.x + places[1][0] + 1, origin.y + places[1][1] + 1),
                ID_TRIGGER_OK);
            EXPECT_EQ(
                headless::BoxButtonAt(origin.x + places[2][0] + 1, origin.y + places[2][1] + 1),
                ID_TRIGGER_CANCEL);
            EXPECT_EQ(headless::WindowAtScreen(origin.x + 1, origin.y + 1), dialog);
            headless::AnswerBox(ID_TRIGGER_CANCEL);
        },
        [] { headless::QueueMenuCommand(run::Main(), CMD_EXIT); },
    });
    EXPECT_EQ(run::Start(), 0);
}
