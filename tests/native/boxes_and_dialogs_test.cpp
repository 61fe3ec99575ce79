// The boxes and dialogs a user meets: error reports of the buttons, the menu and what
// each entry opens, the trigger and information dialogs, the reports and the shortcut
// question, with their full texts, owners and effects.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "run_support.h"

using headless::AddStep;
using headless::AnswerBox;
using headless::TopBox;
using run::Drawn;
using run::GREY;
using run::Shape;
using run::TEAL;

namespace {

const char CLOSING[] = "\nPlease see INFORMATION for details.";

using BoxesAndDialogs = run::StandardWorld;

// The text of an error report: the report in the 153-blank run of the template.
std::string ErrorReport(int code, const std::string &description) {
    std::string report = "Error # " + std::to_string(code) + " Occurred! - \n" + description;
    return report + std::string(153 - report.size(), ' ') + CLOSING;
}

// Checks the open box (caption, text unless empty, owner) and answers it.
void ExpectBox(const std::string &caption, const std::string &text, HWND owner, int answer = IDOK) {
    ASSERT_TRUE(headless::BoxOpen()) << caption;
    headless::BoxInfo box = TopBox();
    EXPECT_EQ(box.Caption, caption);
    if (!text.empty()) {
        EXPECT_EQ(box.Text, text) << caption;
    }
    EXPECT_EQ(box.Owner, owner) << caption;
    if (!box.IsDialog) {
        EXPECT_EQ(box.Style, (UINT)(answer == IDOK ? MB_ICONINFORMATION : 35)) << caption;
    }
    AnswerBox(answer);
}

// The Current value box of the left panel: grey while a value is shown.
COLORREF LeftValue() {
    return headless::Pixel(run::Main(), 172, 466);
}

std::string TooFast(const char *button) {
    return std::string("The ") + button +
           " Button 'Least' value was too small.\n\nClick 'OK' and press 'R' for RESET\n";
}

// The footer of the information dialog of 644 x 398 at (0.8 x 645, 0.9 x 399).
Shape Footer(const char *text) {
    return Shape("TextOutA", 516, 359, 0, 0, 0, 0, GREY, text);
}

// The text's words with single blanks between them.
std::string Words(const std::string &text) {
    std::istringstream in(text);
    std::string joined;
    for (std::string word; in >> word;) {
        joined += (joined.empty() ? "" : " ") + word;
    }
    return joined;
}

// Whether a page line of these words was drawn since the mark: centred in 645, or from
// 645 / 13.
bool DrawnWords(size_t mark, const std::string &words, bool centred) {
    const std::vector<headless::DrawCall> &log = headless::DrawLog();
    for (size_t i = mark; i < log.size(); ++i) {
        int x = centred ? (645 - 8 * (int)log[i].Text.size()) / 2 : 49;
        if (log[i].Name == "TextOutA" && log[i].X1 == x && Words(log[i].Text) == words) {
            return true;
        }
    }
    return false;
}

// The words of the page lines drawn from the left margin since the mark, and the figures
// among them, each list with single blanks.
std::pair<std::string, std::string> MarginWordsAndFigures(size_t mark) {
    std::string words, figures;
    for (size_t i = mark; i < headless::DrawLog().size(); ++i) {
        const headless::DrawCall &call = headless::DrawLog()[i];
        if (call.Name == "TextOutA" && call.X1 == 49) {
            words = Words(words + " " + call.Text);
        }
    }
    for (size_t i = 0; i < words.size(); ++i) {
        if (isdigit((unsigned char)words[i])) {
            bool first = i == 0 || !isdigit((unsigned char)words[i - 1]);
            figures += std::string(first && !figures.empty() ? " " : "") + words[i];
        }
    }
    return {words, figures};
}

} // namespace

TEST_F(BoxesAndDialogs, EveryButtonFaultShowsItsCodeAndText) {
    const std::map<int, std::string> descriptions = {
        {10, TooFast("Left")},
        {11, "The Left Button or Driver sent a\nButton UP before Button DOWN.\n"},
        {12, "The Left Button or Driver sent a\nButton DOWN before Button UP.\n"},
        {20, TooFast("Middle")},
        {21, "The Middle Button or Driver sent a\nButton UP before Button DOWN.\n"},
        {22, "The Middle Button or Driver sent a\nButton DOWN before Button UP.\n"},
        {30, TooFast("Right")},
        {31, "The Right Button or Driver sent a\nButton UP before Button DOWN.\n"},
        {32, "The Right Button or Driver sent a\nButton DOWN before Button UP.\n"},
    };
    const UINT L = WM_LBUTTONDOWN, l = WM_LBUTTONUP, M = WM_MBUTTONDOWN, m = WM_MBUTTONUP,
               R = WM_RBUTTONDOWN, r = WM_RBUTTONUP;
    // No row lets a release come later than 700 ms after its press unless it says so: a
    // long hold would clear the least value as the error does.
    const struct {
        std::vector<std::pair<DWORD, UINT>> Events; // ms before, message
        std::vector<int> Codes;                     // the boxes shown, in order
    } cases[] = {
        {{{1000, L}, {0, l}, {84, L}, {0, l}}, {10}},
        // The error cleared the least value: a press at a normal pace raises nothing.
        {{{100, L}, {0, l}}, {}},
        {{{1000, l}}, {11}},
        {{{1000, L}, {1000, L}}, {12}},
        // The box marked every button up: the release of the held button comes too early.
        {{{0, l}}, {11}},
        // The second down is timed all the same.
        {{{1000, L}, {50, L}}, {12, 10}},
        {{{1000, M}, {0, m}, {84, M}, {0, m}}, {20}},
        {{{100, M}, {0, m}}, {}},
        {{{1000, m}}, {21}},
        {{{1000, M}, {1000, M}}, {22}},
        {{{1000, M}, {50, M}}, {22, 20}},
        {{{1000, R}, {0, r}, {84, R}, {0, r}}, {30}},
        {{{100, R}, {0, r}}, {}},
        {{{1000, r}}, {31}},
        {{{1000, R}, {1000, R}}, {32}},
        {{{1000, R}, {50, R}}, {32, 30}},
        // Exactly the trigger value apart is no error.
        {{{1000, L}, {0, l}, {85, L}, {0, l}}, {}},
        {{{1000, M}, {0, m}, {85, M}, {0, m}}, {}},
        {{{1000, R}, {0, r}, {85, R}, {0, r}}, {}},
    };
    size_t mark = 0;
    for (const auto &c : cases) {
        AddStep([&mark] { mark = headless::BoxesShown().size(); });
        for (const auto &event : c.Events) {
            AddStep([event] {
                headless::AdvanceTick(event.first);
                headless::QueueMouse(run::Main(), event.second, 200, 600);
            });
        }
        AddStep([&, row = &c - cases] {
            std::vector<int> codes;
            for (size_t i = mark; i < headless::BoxesShown().size(); ++i) {
                const headless::BoxInfo &box = headless::BoxesShown()[i];
                codes.push_back(atoi(box.Text.c_str() + 8));
                EXPECT_EQ(box.Text, ErrorReport(codes.back(), descriptions.at(codes.back())));
                EXPECT_EQ(box.Owner, run::Main());
            }
            EXPECT_EQ(codes, c.Codes) << "row " << row;
        });
        for (size_t i = 0; i < c.Codes.size(); ++i) {
            AddStep([] { AnswerBox(IDOK); });
        }
    }
    AddStep([] {
        EXPECT_FALSE(headless::BoxOpen());
        run::PressKey('X');
    });
    run::Start();
}

TEST_F(BoxesAndDialogs, OnlyALeftReleaseOverTheIconOpensAbout) {
    const struct {
        UINT Down, Up;
        int X, Y;
        bool Opens;
        DWORD Held = 0;
    } releases[] = {
        {WM_LBUTTONDOWN, WM_LBUTTONUP, 496, 100, true}, // icon (496, 100, 528, 132)
        {WM_LBUTTONDOWN, WM_LBUTTONUP, 527, 131, true},
        {WM_LBUTTONDOWN, WM_LBUTTONUP, 528, 131, false},
        {WM_LBUTTONDOWN, WM_LBUTTONUP, 527, 132, false},
        {WM_LBUTTONDOWN, WM_LBUTTONUP, 495, 110, false},
        {WM_MBUTTONDOWN, WM_MBUTTONUP, 510, 110, false},
        {WM_RBUTTONDOWN, WM_RBUTTONUP, 510, 110, false},
        {WM_LBUTTONDOWN, WM_LBUTTONUP, 510, 110, true, 701}, // a long hold ends over the icon
    };
    const std::string about = "TapTally      Ver. 1.90  (32 bit)\n\n"
                              "Copyright (C) 2026 The TapTally Project - free to use and share\n"
                              "The TapTally Project - No postal address: write to us on the web\n"
                              "\nPlease see INFORMATION for details.\n\n"
                              "https://taptally.example.org - taptally@example.org";
    for (const auto &release : releases) {
        AddStep([&release] {
            headless::AdvanceTick(1000);
            headless::QueueMouse(run::Main(), release.Down, release.X, release.Y);
        });
        AddStep([&release] {
            headless::AdvanceTick(release.Held);
            headless::QueueMouse(run::Main(), release.Up, release.X, release.Y);
        });
        AddStep([&release, &about] {
            if (release.Opens) {
                ExpectBox("About TapTally", about, run::Main());
            } else {
                EXPECT_FALSE(headless::BoxOpen()) << release.X << ", " << release.Y;
            }
        });
    }
    AddStep([] { run::PressKey('X'); });
    run::Start();
}

TEST_F(BoxesAndDialogs, MenuEntriesHaveTheirTextsAndOpenWhatTheyName) {
    const struct {
        const char *Text;
        UINT Id;
        const char *Opens;
        bool Owned;
    } entries[] = {
        {"E&xit  ", CMD_EXIT, nullptr, false},
        {"&Driver Info  ", CMD_DRIVER_INFO, "Mouse Driver Info", false},
        {"&Reset  ", CMD_RESET_WITH_NOTICE, "Reset Test Values", false},
        {"&Setup  ", CMD_SETUP, "Change the 'Least' Trigger Value", true},
        {"&Information  ", CMD_INFORMATION, "Information and Details", true},
        {"&About  ", (UINT)-1, nullptr, false},
    };
    AddStep([&entries] {
        HMENU bar = GetMenu(run::Main());
        ASSERT_EQ(GetMenuItemCount(bar), 6);
        for (int i = 0; i < 6; ++i) {
            char text[64] = "";
            GetMenuStringA(bar, (UINT)i, text, sizeof text, MF_BYPOSITION);
            EXPECT_STREQ(text, entries[i].Text);
            EXPECT_EQ(GetMenuItemID(bar, i), entries[i].Id) << entries[i].Text;
        }
        HMENU about = GetSubMenu(bar, 5);
        char text[64] = "";
        GetMenuStringA(about, CMD_ABOUT, text, sizeof text, MF_BYCOMMAND);
        EXPECT_STREQ(text, "&About TapTally  ");
    });
    for (const auto &entry : entries) {
        if (!entry.Opens) {
            continue;
        }
        AddStep([&entry] { headless::QueueMenuCommand(run::Main(), entry.Id); });
        AddStep([&entry] {
            ExpectBox(entry.Opens, "", entry.Owned ? run::Main() : nullptr,
                      entry.Owned ? IDCANCEL : IDOK);
        });
    }
    AddStep([] { headless::QueueMenuCommand(run::Main(), CMD_ABOUT); });
    AddStep([] { ExpectBox("About TapTally", "", run::Main()); });
    // Reset: the notice first; the values go only once it is closed.
    run::AddLeftClickAfter(1000);
    AddStep([] {
        EXPECT_EQ(LeftValue(), GREY);
        headless::QueueMenuCommand(run::Main(), CMD_RESET_WITH_NOTICE);
    });
    AddStep([] {
        EXPECT_EQ(LeftValue(), GREY);
        ExpectBox("Reset Test Values",
                  "TapTally values have been RESET.\n\nUse this to RESET test values,\n"
                  "OR simply press the 'R' key.\n\nPlease see INFORMATION for details.",
                  nullptr);
    });
    AddStep([] {
        EXPECT_EQ(LeftValue(), TEAL);
        headless::QueueMenuCommand(run::Main(), CMD_EXIT);
    });
    EXPECT_EQ(run::Start(), 0);
    EXPECT_EQ(headless::LiveGdiObjects(), 0);
}

TEST_F(BoxesAndDialogs, TriggerDialogAcceptsTenToTwoHundredAndRefusesTheRest) {
    const struct {
        const char *Entry;
        const char *Shown; // "You entered" line, or null when accepted
        const char *Next;  // the box then: the entry kept, or the value at the next opening
    } entries[] = {
        {"9", " 9        ", "9"},
        {"10", nullptr, "10"},
        {"201", " 201      ", "201"},
        {"200", nullptr, "200"},
        {"", " 0        ", ""},
        {"abc", " 0        ", "abc"},
        {"- 20", " 0        ", "- 20"},
        {"-20", " -20      ", "-20"},
        {"4294967381", " 42949673 ", "42949673"}, // 8 characters fit the box
        {"85 ms", nullptr, "85"},
        {"+150", nullptr, "150"},
    };
    AddStep([] {
        headless::AdvanceTick(1000);
        run::Click(WM_RBUTTONDOWN, WM_RBUTTONUP, 900, 650);
        run::PressKey('s');
    });
    AddStep([] {
        ASSERT_TRUE(headless::BoxOpen());
        HWND dialog = TopBox().Window;
        EXPECT_EQ(TopBox().Owner, run::Main());
        EXPECT_EQ(headless::Pixel(run::Main(), 852 + 2, 466), GREY);
        EXPECT_EQ(headless::DialogItemText(ID_TRIGGER_EDIT), "85");
        EXPECT_EQ(headless::DialogControlId(headless::FocusWindow()), ID_TRIGGER_EDIT);
        // The template puts the client area at (10, 90) dialog units, 2 pixels each, from
        // the main window's client area at (0, 40); the dialog moves 20 pixels lower.
        POINT origin{0, 0};
        ClientToScreen(dialog, &origin);
        EXPECT_EQ(origin.x, 20);
        EXPECT_EQ(origin.y, 240);
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, 290);
        EXPECT_EQ(client.bottom, 128);
        EXPECT_EQ(run::ControlTexts(dialog, {ID_TRIGGER_EDIT, ID_TRIGGER_CANCEL, ID_TRIGGER_OK}),
                  (std::vector<std::string>{"85", "Cancel", " OK "}));
        // Dialog units are 2 pixels each way here.
        EXPECT_EQ(run::ControlPlaces(dialog, {ID_TRIGGER_EDIT, ID_TRIGGER_CANCEL, ID_TRIGGER_OK}),
                  (std::vector<std::vector<int>>{
                      {180, 12, 72, 24}, {40, 84, 92, 28}, {162, 84, 92, 28}}));
        // The default button " OK " has the wider border.
        EXPECT_EQ(headless::Pixel(dialog, 162 + 1, 84 + 1), run::BLACK);
        EXPECT_NE(headless::Pixel(dialog, 40 + 1, 84 + 1), run::BLACK);
        for (const Shape &text :
             {Shape("TextOutA", 30, 16, 0, 0, 0, 0, GREY, "Enter (10-200):"),
              Shape("TextOutA", 35, 50, 0, 0, 0, 0, GREY, "Then Press Enter or click 'OK'"),
              Shape("FillRect", 0, 0, 290, 128, GREY)}) {
            EXPECT_TRUE(Drawn(0, text)) << text.Describe();
        }
    });
    HWND dialog = nullptr;
    for (const auto &entry : entries) {
        AddStep([&entry, &dialog] {
            dialog = TopBox().Window;
            headless::SetDialogItemText(ID_TRIGGER_EDIT, entry.Entry);
            headless::QueueKey(VK_RETURN); // the default button is " OK "
        });
        AddStep([&entry, &dialog] {
            if (entry.Shown) {
                ASSERT_EQ(TopBox().Caption, "Entry Error") << entry.Entry;
                ExpectBox("Entry Error",
                          std::string("Allowable values are 10-200.\n\nYou entered") + entry.Shown +
                              "\n" + CLOSING,
                          dialog);
                return;
            }
            EXPECT_FALSE(headless::BoxOpen()) << entry.Entry;
            // Closing the dialog repaints the whole screen, values and all.
            EXPECT_EQ(headless::Pixel(run::Main(), 852 + 2, 466), TEAL);
            run::PressKey('s');
        });
        AddStep([&entry] {
            ASSERT_TRUE(headless::BoxOpen());
            EXPECT_EQ(headless::DialogItemText(ID_TRIGGER_EDIT), entry.Next);
            EXPECT_EQ(headless::DialogControlId(headless::FocusWindow()), ID_TRIGGER_EDIT);
        });
    }
    // Cancel and the close box store nothing of what was typed.
    AddStep([] {
        headless::SetDialogItemText(ID_TRIGGER_EDIT, "20");
        AnswerBox(ID_TRIGGER_CANCEL);
    });
    // The close box cancels too, and the screen is repainted all the same.
    AddStep([] {
        headless::AdvanceTick(1000);
        run::Click(WM_RBUTTONDOWN, WM_RBUTTONUP, 900, 650);
        run::PressKey('s');
    });
    AddStep([] {
        EXPECT_EQ(headless::Pixel(run::Main(), 852 + 2, 466), GREY);
        headless::SetDialogItemText(ID_TRIGGER_EDIT, "30");
        headless::QueueCloseBox(TopBox().Window);
    });
    AddStep([] {
        EXPECT_FALSE(headless::BoxOpen());
        EXPECT_EQ(headless::Pixel(run::Main(), 852 + 2, 466), TEAL);
    });
    // The trigger is 150 now: 140 ms apart is too fast.
    run::AddLeftClickAfter(1000);
    run::AddLeftClickAfter(140);
    AddStep([] {
        ExpectBox("Error Message", ErrorReport(10, TooFast("Left")), run::Main());
        run::PressKey('X');
    });
    run::Start();
    EXPECT_EQ(headless::LiveGdiObjects(), 0);
}

TEST_F(BoxesAndDialogs, InformationPagesShowTheirTitlesAndOpenAtTheFirstPage) {
    // The client area is 644 x 398 and characters 8 x 16: a title is centred in 645 on
    // the second line, other lines start at 645 / 13.
    const char *titles[15] = {
        "TapTally - Quick Instructions - WHY?",
        "TapTally - Quick Instructions - Movement Test",
        "TapTally - Quick Instructions - Button Test",
        "TapTally - Quick Instructions - Button Test",
        "TapTally - Notes",
        "TapTally - Setup",
        "TapTally - Driver Info",
        "TapTally - Driver Info - DoubleClick",
        "TapTally - Driver Info - Speed",
        "Window's Pointer Speed Values",
        "TapTally Error Codes",
        "TapTally Error Codes Explained",
        "Mouse Suggestions",
        "Automatically Install Shortcut Icons for TapTally",
        "TapTally", // after six empty lines
    };
    const char *errorCodes[] = {"",
                                "\tTapTally Error Codes",
                                "",
                                "",
                                "Error Codes:",
                                "#99 - No mouse found on the PC. So, no need to test...",
                                "#80 - Calibration value too high (>30 - see page 7)",
                                "",
                                "#10 - Left Mouse Button too fast!",
                                "#11 - Left Mouse UP before Mouse Down.",
                                "#12 - Left Mouse DOWN before Mouse Up.",
                                "",
                                "#20 - Middle Mouse Button too fast!",
                                "#21 - Middle Mouse UP before Mouse Down.",
                                "#22 - Middle Mouse DOWN before Mouse Up.",
                                "",
                                "#30 - Right Mouse Button too fast!",
                                "#31 - Right Mouse UP before Mouse Down.",
                                "#32 - Right Mouse DOWN before Mouse Up.",
                                ""};
    // What the guide pages say: their figures in reading order, and a phrase that carries
    // the meaning.
    const struct {
        int Page;
        const char *Figures;
        const char *Phrase;
    } guide[] = {
        {1, "16 3", "older systems running Windows 3.X.)"}, // the longest line, drawn whole
        {3, "500 130 7", "fastest"},
        {4, "90 40 50 130 150 40 70 8", "clockwise"},
        {6, "85 200 50 85", "not saved"},
        {7, "1 2 1 2 0 30 80", "speed test"},
        {8, "500 100 900 100 130", "double-click"},
        {12, "10 20 30 85 200 11 21 31 12 22 32", "button-up"},
        {14, "95", "no error"},
    };
    // Lines beyond the titles, word by word: the table's columns are runs of blanks.
    const struct {
        int Page;
        const char *Words;
        bool Centred;
    } lines[] = {
        {8, "WARNING!!", true},
        {10, "Slow Fast", false},
        {10, "Speed X 0 1 1 1 2 2 2", false},
        {10, "Thres#1 0 10 7 4 4 4 4", false},
        {10, "Thres#2 0 0 0 0 12 9 6", false},
    };
    size_t mark = 0;
    AddStep([] { run::PressKey('i'); });
    AddStep([] {
        // The template puts the client area at (30, 20) dialog units from the main
        // window's client area at (0, 40).
        HWND dialog = TopBox().Window;
        POINT origin{0, 0};
        ClientToScreen(dialog, &origin);
        EXPECT_EQ(origin.x, 60);
        EXPECT_EQ(origin.y, 80);
        EXPECT_EQ(run::ControlTexts(dialog, {ID_INFO_BACK, ID_INFO_RETURN, ID_INFO_FORWARD}),
                  (std::vector<std::string>{"<< &Back", "&Return", "&Forward >>"}));
        EXPECT_EQ(run::ControlPlaces(dialog, {ID_INFO_BACK, ID_INFO_RETURN, ID_INFO_FORWARD}),
                  (std::vector<std::vector<int>>{
                      {170, 356, 80, 24}, {282, 356, 80, 24}, {392, 356, 80, 24}}));
        EXPECT_EQ(headless::Pixel(dialog, 392 + 1, 356 + 1), run::BLACK); // the default
        EXPECT_NE(headless::Pixel(dialog, 170 + 1, 356 + 1), run::BLACK);
        EXPECT_EQ(headless::DialogControlId(headless::FocusWindow()), ID_INFO_FORWARD);
    });
    for (int page = 1; page <= 16; ++page) {
        AddStep([&, page] {
            int shown = page > 15 ? 15 : page; // one past the last page shows the last
            std::string title = titles[shown - 1];
            int y = shown == 15 ? 6 * 16 : 16;
            EXPECT_TRUE(Drawn(mark, Shape("TextOutA", (645 - 8 * (int)title.size()) / 2, y, 0, 0, 0,
                                          0, GREY, title)))
                << "page " << page;
            std::string footer = "Page " + std::to_string(shown) + " of 15";
            EXPECT_TRUE(Drawn(mark, Footer(footer.c_str()))) << page;
            for (int line = 0; page == 11 && line < 20; ++line) {
                std::string text = errorCodes[line];
                int x = text[0] == '\t' ? (645 - 8 * (int)(text.size() - 1)) / 2 : 49;
                EXPECT_TRUE(Drawn(mark, Shape("TextOutA", x, 16 * line, 0, 0, 0, 0, GREY,
                                              text[0] == '\t' ? text.substr(1) : text)))
                    << text;
            }
            for (const auto &g : guide) {
                if (g.Page == page) {
                    auto [words, figures] = MarginWordsAndFigures(mark);
                    EXPECT_EQ(figures, g.Figures) << "page " << page;
                    EXPECT_NE(words.find(g.Phrase), std::string::npos) << "page " << page;
                }
            }
            for (const auto &line : lines) {
                EXPECT_TRUE(line.Page != page || DrawnWords(mark, line.Words, line.Centred))
                    << line.Words;
            }
            mark = headless::DrawLog().size();
            AnswerBox(ID_INFO_FORWARD);
        });
    }
    AddStep([&] {
        EXPECT_TRUE(Drawn(mark, Footer("Page 15 of 15")));
        EXPECT_EQ(headless::Beeps(), std::vector<UINT>(2, MB_ICONASTERISK));
        mark = headless::DrawLog().size();
        AnswerBox(ID_INFO_BACK);
    });
    AddStep([&] {
        EXPECT_TRUE(Drawn(mark, Footer("Page 14 of 15")));
        mark = headless::DrawLog().size();
        for (int i = 0; i < 3; ++i) {
            AnswerBox(ID_INFO_FORWARD); // two past the last page before the next paint
        }
    });
    AddStep([&] {
        EXPECT_TRUE(Drawn(mark, Footer("Page 15 of 15")));
        EXPECT_EQ(headless::Beeps(), std::vector<UINT>(3, MB_ICONASTERISK));
        mark = headless::DrawLog().size();
        AnswerBox(ID_INFO_BACK); // stepped back one only: Back shows the last page again
    });
    AddStep([&] {
        EXPECT_TRUE(Drawn(mark, Footer("Page 15 of 15")));
        EXPECT_FALSE(Drawn(mark, Footer("Page 14 of 15")));
        EXPECT_EQ(headless::Beeps(), std::vector<UINT>(3, MB_ICONASTERISK));
        headless::SetCursorScreenPos(300, 200);
        AnswerBox(ID_INFO_RETURN);
    });
    AddStep([] {
        headless::ClearDrawLog();
        headless::QueueMouse(run::Main(), WM_MOUSEMOVE, 310, 150);
    });
    AddStep([] {
        // The next change counts from the pointer's screen position, not converted.
        EXPECT_TRUE(Drawn(0, Shape("TextOutA", 511, 310, 0, 0, 0, 0, GREY, "   10,   50    ")));
        run::PressKey('I');
    });
    AddStep([&] {
        mark = headless::DrawLog().size();
        AnswerBox(ID_INFO_BACK); // on the first page: a beep, and the first page again
    });
    AddStep([&] {
        EXPECT_TRUE(Drawn(mark, Footer("Page 1 of 15")));
        EXPECT_FALSE(Drawn(mark, Footer("Page 14 of 15")));
        EXPECT_EQ(headless::Beeps(), std::vector<UINT>(4, MB_ICONASTERISK));
        AnswerBox(IDCANCEL);
    });
    AddStep([] { run::PressKey('X'); });
    run::Start();
    EXPECT_EQ(headless::LiveGdiObjects(), 0);
}

TEST_F(BoxesAndDialogs, TabWalksTheDialogsControlsInOrderAndEnterPressesTheFocusedOne) {
    // Each row: the dialog's key ("s" or "i" opens it from the main window), and the
    // control that has the focus after it.
    const struct {
        UINT Key;
        int Focus;
    } rows[] = {
        {'I', ID_INFO_FORWARD},
        {VK_TAB, ID_INFO_BACK},
        {VK_TAB, ID_INFO_RETURN},
        {VK_TAB, ID_INFO_FORWARD},
        {VK_TAB, ID_INFO_BACK},
        {VK_TAB, ID_INFO_RETURN},
        {VK_RETURN, 0},
        {'S', ID_TRIGGER_EDIT},
        {VK_TAB, ID_TRIGGER_CANCEL},
        {VK_TAB, ID_TRIGGER_OK},
        {VK_TAB, ID_TRIGGER_EDIT},
    };
    AddStep([] {
        headless::AdvanceTick(1000);
        run::LeftClick(); // a value that only a repaint of the whole screen clears
    });
    for (const auto &row : rows) {
        AddStep([&row] {
            if (row.Key == 'I' || row.Key == 'S') {
                run::PressKey((char)row.Key);
            } else {
                headless::QueueKey(row.Key);
            }
        });
        AddStep([&row] {
            if (row.Focus == 0) {
                // Enter on Return closes the pages, and the screen is painted again.
                EXPECT_FALSE(headless::BoxOpen());
                EXPECT_EQ(LeftValue(), TEAL);
                return;
            }
            ASSERT_TRUE(headless::BoxOpen());
            if (row.Key == 'I') {
                EXPECT_EQ(LeftValue(), GREY);
            }
            EXPECT_EQ(headless::DialogControlId(headless::FocusWindow()), row.Focus)
                << TopBox().Caption << " after key " << row.Key;
        });
    }
    AddStep([] {
        AnswerBox(ID_TRIGGER_CANCEL);
        run::PressKey('X');
    });
    run::Start();
}

TEST_F(BoxesAndDialogs, DriverReportShowsTheCalibrationOfTenPresses) {
    // Each synthetic press and release draws 14 times (arrow 4, values 2, spinner 4, up
    // arrow 4); at 1 ms a drawing, ten of them take 140 ms: 14.00 ms each.
    headless::SetDrawCost(1);
    AddStep([] { run::PressKey('d'); });
    AddStep([] {
        const std::string report =
            "Program Calibration = 14.00 ms.\n\nDoubleClickTime = 500 ms.\n\nSpeed = 1,\n"
            "Threshold #1 = 6 pixels,\nThreshold #2 = 10 pixels\n\nButton Reverse = Normal\n";
        ExpectBox("Mouse Driver Info",
                  "Mouse Driver Information\n\n" + report + std::string(156 - report.size(), ' ') +
                      CLOSING,
                  nullptr);
        run::PressKey('X');
    });
    run::Start();
}

TEST_F(BoxesAndDialogs, InstallRunsOnlyOnYesAndExitKeepsAScriptThisRunDidNotWrite) {
    {
        std::ofstream leftover(headless::HostPath("C:\\TapTally\\TapTally.vbs"));
        leftover << "an earlier run's script\n";
    }
    for (int answer : {IDCANCEL, IDNO}) {
        AddStep([] { PostMessageA(run::Main(), WM_COMMAND, CMD_INSTALL_SHORTCUTS, 0); });
        AddStep([answer] {
            ExpectBox("Note:",
                      "TapTally temporarily uses a script to install the icons.\n\nDepending on "
                      "your security settings, a message may warn\nthat a script is being run.  "
                      "This is normal and protects you\nfrom web pages making unexpected "
                      "changes.\n\nSee Information for more details.\n\nContinue?",
                      run::Main(), answer);
        });
    }
    AddStep([] {
        EXPECT_TRUE(headless::WinExecCalls().empty());
        EXPECT_EQ(headless::ReadFile("C:\\TapTally\\TapTally.vbs"), "an earlier run's script\n");
        run::PressKey('x');
    });
    run::Start();
    EXPECT_TRUE(headless::FileExists("C:\\TapTally\\TapTally.vbs"));
}

TEST_F(BoxesAndDialogs, AHostStartResultOf32IsSuccessAndOf31Failure) {
    for (UINT result : {32u, 31u}) {
        AddStep([result] {
            headless::SetWinExecResult(result);
            PostMessageA(run::Main(), WM_COMMAND, CMD_UNINSTALL_SHORTCUTS, 0);
        });
        AddStep([result] {
            if (result >= 32) {
                EXPECT_FALSE(headless::BoxOpen());
                return;
            }
            ExpectBox("ERROR!",
                      "Unable to alter Icons!\n" + std::string(31, ' ') +
                          "\nTry closing other applications,\n\nthen try again.\n",
                      nullptr);
        });
    }
    AddStep([] { run::PressKey('X'); });
    run::Start();
    EXPECT_EQ(headless::WinExecCalls().size(), 2u);
}
