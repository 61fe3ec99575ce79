// Menus, version lookup, reports, information pages and shortcut script, each through
// the program's own entry points.
#include <gtest/gtest.h>

#include "run_support.h"

#include "base/version_lookup.h"
#include "dialogs/info_pages.h"
#include "shortcuts/shortcut_script.h"

using headless::AddStep;
using headless::AnswerBox;
using headless::TopBox;

namespace {

using Feature = run::StandardWorld;

std::vector<std::string> PopupStrings(HWND window) {
    HMENU popup = GetSubMenu(GetMenu(window), 5);
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        char text[64] = "";
        GetMenuStringA(popup, (UINT)i, text, sizeof text, MF_BYPOSITION);
        items.push_back(GetMenuItemID(popup, i) == 0 ? "-" : text);
    }
    return items;
}

} // namespace

TEST_F(Feature, ShortcutEntriesDependOnTheSystemVersion) {
    const struct {
        DWORD Version;
        std::vector<std::string> Items;
    } cases[] = {
        {0x0A03, {"&About TapTally  "}},
        {0x0F03, {"&About TapTally  "}},
        {0x1003, {"Install Shortcut Icons", "UnInstall Shortcut Icons", "-", "&About TapTally  "}},
        {0x3203, {"Install Shortcut Icons", "UnInstall Shortcut Icons", "-", "&About TapTally  "}},
        {0x0004, {"Install Shortcut Icons", "UnInstall Shortcut Icons", "-", "&About TapTally  "}},
    };
    for (const auto &c : cases) {
        run::FreshWorld();
        headless::SetVersion(c.Version);
        std::vector<std::string> items;
        AddStep([&] {
            items = PopupStrings(run::Main());
            run::PressKey('X');
        });
        run::Start();
        EXPECT_EQ(items, c.Items) << std::hex << c.Version;
    }
}

TEST_F(Feature, VersionLineAndAboutLineShowTheVersionWhereItFits) {
    const std::string blanks(33, ' ');
    const struct {
        const char *Version; // put in place of the one looked up, unless null
        const char *Line;
        int X; // centred in 1025, 9 pixels a character
        std::string About;
    } rows[] = {
        {nullptr, "Version 1.90", 458, "TapTally      Ver. 1.90  (32 bit)"},
        {"", "Version ", 476, "TapTally      Ver.   (32 bit)    "},
        {"1.901", "Version 1.901", 454, blanks}, // 34 characters do not fit
        {"3.14.15.92 build 6535897932 of the long-",
         "Version 3.14.15.92 build 6535897932 of the long-", 296, blanks},
    };
    for (const auto &row : rows) {
        run::FreshWorld();
        run::Use1024By740();
        AddStep([&row] {
            if (row.Version) {
                strcpy(VersionText, row.Version);
            }
            headless::ClearDrawLog();
            InvalidateRect(run::Main(), nullptr, FALSE);
            run::PressKey('a');
        });
        AddStep([&row] {
            EXPECT_TRUE(
                run::Drawn(0, run::Shape("TextOutA", row.X, 54, 0, 0, 0, 0, run::TEAL, row.Line)))
                << row.Line;
            ASSERT_TRUE(headless::BoxOpen());
            EXPECT_EQ(TopBox().Text.substr(0, 35), row.About + "\n\n") << row.Line;
            AnswerBox(IDOK);
            run::PressKey('X');
        });
        run::Start();
    }
}

TEST_F(Feature, VersionLookupTakesTheFirstTranslationAndAtMost40Characters) {
    const std::string dir = TAPTALLY_TEST_RES_DIR;
    headless::AddVersionFile("none.exe", (dir + "/version_none.res").c_str());
    headless::AddVersionFile("big.exe", (dir + "/version_big.res").c_str());
    headless::AddVersionFile("two.exe", (dir + "/version_two_translations.res").c_str());
    headless::AddVersionFile("long.exe", (dir + "/version_long.res").c_str());
    headless::AddVersionFile("short.exe", (dir + "/version_short_translation.res").c_str());
    headless::AddVersionFile("mid.exe", (dir + "/version_mid.res").c_str());
    headless::AddVersionFile("edge.exe", (dir + "/version_edge.res").c_str());
    LoadVersionText("C:\\TapTally\\TapTally.exe");
    EXPECT_STREQ(VersionText, "1.90");
    // mid.exe's block is shorter than 2500 bytes, but the size asked for is not; edge.exe
    // asks for exactly 2500.
    for (const char *empty : {"none.exe", "big.exe", "mid.exe", "edge.exe", "two.exe", "short.exe",
                              "missing.exe", "TapTally"}) {
        LoadVersionText(empty);
        EXPECT_STREQ(VersionText, "") << empty;
    }
    LoadVersionText("long.exe");
    EXPECT_STREQ(VersionText, "3.14.15.92 build 6535897932 of the long-");
}

TEST_F(Feature, DriverReportKeepsTheButtonSwapAndHasNoOwner) {
    headless::SetButtonsSwapped(true);
    AddStep([] { run::PressKey('d'); });
    AddStep([] {
        ASSERT_TRUE(headless::BoxOpen());
        headless::BoxInfo box = TopBox();
        EXPECT_EQ(box.Caption, "Mouse Driver Info");
        EXPECT_EQ(box.Owner, nullptr);
        EXPECT_EQ(box.Text.rfind("Mouse Driver Information\n\nProgram Calibration = 0.00 ms.\n", 0),
                  0u);
        EXPECT_NE(box.Text.find("Speed = 1,\nThreshold #1 = 6 pixels,\nThreshold #2 = 10 pixels"
                                "\n\nButton Reverse = Reversed\n"),
                  std::string::npos);
        EXPECT_TRUE(headless::ButtonsSwapped());
        AnswerBox(IDOK);
    });
    AddStep([] {
        headless::SetButtonsSwapped(false);
        run::PressKey('D');
    });
    AddStep([] {
        EXPECT_NE(TopBox().Text.find("Button Reverse = Normal\n"), std::string::npos);
        EXPECT_FALSE(headless::ButtonsSwapped());
        AnswerBox(IDOK);
    });
    AddStep([] { run::PressKey('X'); });
    run::Start();
}

TEST_F(Feature, InformationPagesHaveTheirForm) {
    int pages = 0;
    while (InfoPageTable[pages][0] != '\0') {
        const std::string page = InfoPageTable[pages];
        EXPECT_EQ(page.front(), '\n');
        EXPECT_EQ(page.back(), '\n');
        int lines = 0;
        size_t start = 0;
        for (size_t end; (end = page.find('\n', start)) != std::string::npos; start = end + 1) {
            EXPECT_LE(end - start, 88u) << "page " << pages + 1;
            ++lines;
        }
        EXPECT_LE(lines, 21) << "page " << pages + 1;
        ++pages;
    }
    EXPECT_EQ(pages, 15);
    EXPECT_EQ(std::string(InfoPageTable[14]).substr(0, 7), "\n\n\n\n\n\n\t");
    EXPECT_EQ(std::string(InfoPageTable[10]).substr(0, 41),
              "\n\tTapTally Error Codes\n\n\nError Codes:\n#99");
}

TEST_F(Feature, InstallWritesTheScriptStartsTheHostAndExitDeletesIt) {
    headless::SetModulePath("C:\\Program Files\\TapTally\\TapTally.exe");
    const char *script = "C:\\Program Files\\TapTally\\TapTally.vbs";
    const std::string start = R"(Dim WSHShell, MyShortcut, MyDesktop, DesktopPath, folderspec, f
Set WSHShell=WScript.CreateObject("WScript.Shell")
Set FSO = CreateObject("Scripting.FileSystemObject")
DesktopPath=WSHShell.SpecialFolders("Desktop")
)";
    const auto shortcut = [](const std::string &folder) {
        return "Set MyShortcut=WSHShell.CreateShortcut(" + folder + R"( & "\TapTally.lnk")
MyShortcut.TargetPath="C:\Program Files\TapTally\TapTally.exe"
MyShortcut.WorkingDirectory="C:\Program Files\TapTally\"
MyShortcut.WindowStyle=4
MyShortcut.IconLocation = "C:\Program Files\TapTally\TapTally.exe, 0"
MyShortcut.Save
)";
    };
    const std::string programs = R"(folderspec=WSHShell.SpecialFolders("Programs")
folderspec=(folderspec & "\TapTally")
)";
    const std::string install = start + shortcut("DesktopPath") + programs +
                                R"(If Not FSO.FolderExists(folderspec) Then
FSO.CreateFolder(folderspec)
End If
)" + shortcut("folderspec");
    const std::string removal = start + R"(If FSO.FileExists(DesktopPath & "\TapTally.lnk") Then
FSO.DeleteFile(DesktopPath & "\TapTally.lnk")
End If
)" + programs + R"(If FSO.FileExists(folderspec & "\TapTally.lnk") Then
FSO.DeleteFile(folderspec & "\TapTally.lnk")
End If
If FSO.FolderExists(folderspec) Then
Set f=FSO.GetFolder(folderspec)
If f.size=0 Then
FSO.DeleteFolder(folderspec)
End If
End If
)";
    AddStep([] { PostMessageA(run::Main(), WM_COMMAND, CMD_INSTALL_SHORTCUTS, 0); });
    AddStep([] { AnswerBox(IDYES); });
    AddStep([&] {
        EXPECT_EQ(headless::ReadFile(script), install);
        ASSERT_EQ(headless::WinExecCalls().size(), 1u);
        EXPECT_EQ(headless::WinExecShowStates(), std::vector<UINT>{SW_SHOWNA});
        EXPECT_EQ(headless::WinExecCalls()[0],
                  "wscript.exe \"C:\\Program Files\\TapTally\\TapTally.vbs\"");
        PostMessageA(run::Main(), WM_COMMAND, CMD_UNINSTALL_SHORTCUTS, 0);
        PostMessageA(run::Main(), WM_COMMAND, CMD_UNINSTALL_SHORTCUTS, 0);
    });
    AddStep([&] {
        EXPECT_EQ(headless::WinExecCalls().size(), 3u);
        EXPECT_EQ(headless::ReadFile(script), removal);
        EXPECT_FALSE(headless::BoxOpen());
        run::PressKey('X');
    });
    run::Start();
    EXPECT_FALSE(headless::FileExists(script));
}

TEST_F(Feature, ScriptFailuresShowMessage25) {
    headless::SetProgramFolderWritable(false);
    AddStep([] { PostMessageA(run::Main(), WM_COMMAND, CMD_UNINSTALL_SHORTCUTS, 0); });
    AddStep([] {
        ASSERT_TRUE(headless::BoxOpen());
        EXPECT_EQ(TopBox().Caption, "ERROR!");
        EXPECT_EQ(TopBox().Owner, nullptr);
        AnswerBox(IDOK);
    });
    AddStep([] {
        EXPECT_TRUE(headless::WinExecCalls().empty());
        EXPECT_EQ(ScriptWritten, 0);
        headless::SetProgramFolderWritable(true);
        headless::SetWinExecResult(2);
        PostMessageA(run::Main(), WM_COMMAND, CMD_UNINSTALL_SHORTCUTS, 0);
    });
    AddStep([] {
        ASSERT_TRUE(headless::BoxOpen());
        EXPECT_EQ(TopBox().Caption, "ERROR!");
        AnswerBox(IDOK);
    });
    AddStep([] {
        EXPECT_EQ(ScriptWritten, 1);
        EXPECT_TRUE(headless::FileExists("C:\\TapTally\\TapTally.vbs"));
        run::PressKey('X');
    });
    run::Start();
    EXPECT_FALSE(headless::FileExists("C:\\TapTally\\TapTally.vbs"));
}

TEST_F(Feature, AScriptPathOf128CharactersOrAShortWriteIsAFailure) {
    // The script path, the folder and "TapTally.vbs": 127 characters open, 128 do not.
    // Beside TapTally.exe it is as long as the module path, beside T.exe 7 longer.
    const struct {
        size_t PathLength; // of the module path
        const char *File;
        size_t Space;
        bool Fails;
    } cases[] = {{127, "TapTally.exe", SIZE_MAX, false},
                 {128, "TapTally.exe", SIZE_MAX, true},
                 {120, "T.exe", SIZE_MAX, false},
                 {121, "T.exe", SIZE_MAX, true},
                 {24, "TapTally.exe", 100, true}};
    for (const auto &c : cases) {
        run::FreshWorld();
        std::string path =
            "C:\\" + std::string(c.PathLength - 4 - strlen(c.File), 'd') + "\\" + c.File;
        headless::SetModulePath(path.c_str());
        headless::SetFolderSpace(c.Space);
        AddStep([] { PostMessageA(run::Main(), WM_COMMAND, CMD_UNINSTALL_SHORTCUTS, 0); });
        AddStep([&c] {
            EXPECT_EQ(headless::BoxOpen() && TopBox().Caption == "ERROR!", c.Fails)
                << c.PathLength << " " << c.File;
            if (headless::BoxOpen()) {
                AnswerBox(IDOK);
            }
        });
        AddStep([&c] {
            EXPECT_EQ(headless::WinExecCalls().size(), c.Fails ? 0u : 1u);
            run::PressKey('X');
        });
        run::Start();
    }
}

TEST_F(Feature, AModulePathTooLongIsAFailureNotACutPath) {
    std::string path = "C:\\" + std::string(300, 'd') + "\\TapTally.exe";
    headless::SetModulePath(path.c_str());
    AddStep([] { PostMessageA(run::Main(), WM_COMMAND, CMD_UNINSTALL_SHORTCUTS, 0); });
    AddStep([] {
        ASSERT_TRUE(headless::BoxOpen());
        EXPECT_EQ(TopBox().Caption, "ERROR!");
        AnswerBox(IDOK);
    });
    AddStep([] {
        EXPECT_TRUE(headless::WinExecCalls().empty());
        run::PressKey('X');
    });
    run::Start();
}
