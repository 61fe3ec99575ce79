// The trigger entry conversion, the driver report and the shortcut script text.
#include <gtest/gtest.h>

#include <limits.h>
#include <string>

#include "dialogs/reports.h"
#include "dialogs/trigger_dialog.h"
#include "shortcuts/shortcut_script.h"

TEST(ConvertEntry, DecimalPrefixWithSignAndSpace) {
    EXPECT_EQ(ConvertEntry("10"), 10);
    EXPECT_EQ(ConvertEntry("200"), 200);
    EXPECT_EQ(ConvertEntry("+150"), 150);
    EXPECT_EQ(ConvertEntry(" \t150"), 150);
    EXPECT_EQ(ConvertEntry("\n\v\f\r150"), 150);
    EXPECT_EQ(ConvertEntry("85 ms"), 85);
    EXPECT_EQ(ConvertEntry("250ms"), 250);
    EXPECT_EQ(ConvertEntry("- 20"), 0);
    EXPECT_EQ(ConvertEntry("-20"), -20);
    EXPECT_EQ(ConvertEntry(""), 0);
    EXPECT_EQ(ConvertEntry("abc"), 0);
    EXPECT_EQ(ConvertEntry("+-5"), 0);
}

TEST(ConvertEntry, NumbersBeyond32BitsNeverWrapIntoRange) {
    EXPECT_EQ(ConvertEntry("4294967381"), INT_MAX); // would wrap to 85
    EXPECT_EQ(ConvertEntry("2147483647"), INT_MAX);
    EXPECT_EQ(ConvertEntry("-2147483648"), INT_MIN);
    EXPECT_EQ(ConvertEntry("-4294967381"), INT_MIN);
    EXPECT_EQ(ConvertEntry("99999999999999999999999999999100"), INT_MAX);
}

TEST(DriverReport, Lines) {
    char text[300];
    const int params[3] = {6, 10, 1};
    FormatDriverReport(text, sizeof text, 563, 500, params, 1);
    EXPECT_STREQ(text, "Program Calibration = 56.30 ms.\n\nDoubleClickTime = 500 ms.\n\n"
                       "Speed = 1,\nThreshold #1 = 6 pixels,\nThreshold #2 = 10 pixels\n\n"
                       "Button Reverse = Reversed\n");
    FormatDriverReport(text, sizeof text, 0, 500, params, 0);
    EXPECT_EQ(std::string(text).substr(0, 31), "Program Calibration = 0.00 ms.\n");
    EXPECT_NE(std::string(text).find("Button Reverse = Normal\n"), std::string::npos);
    FormatDriverReport(text, sizeof text, 309, 500, params, 0);
    EXPECT_EQ(std::string(text).substr(0, 32), "Program Calibration = 30.90 ms.\n");
    FormatDriverReport(text, sizeof text, 310, 500, params, 0);
    EXPECT_EQ(std::string(text).substr(0, 32), "Program Calibration = 31.00 ms.\n");
}

namespace {

std::string Script(int mode, const char *module, const char *directory) {
    std::string text;
    char line[500];
    for (int i = 0; i < ScriptLineCount(); ++i) {
        int length = FormatScriptLine(i, mode, module, directory, line, sizeof line);
        EXPECT_GE(length, 0);
        text.append(line, length > 0 ? (size_t)length : 0);
    }
    return text;
}

int Lines(const std::string &text) {
    int count = 0;
    for (char c : text) {
        count += c == '\n';
    }
    return count;
}

} // namespace

TEST(ShortcutScript, LinesOfEachMode) {
    const char *module = "C:\\Program Files\\TapTally\\TapTally.exe";
    const char *directory = "C:\\Program Files\\TapTally\\";
    EXPECT_EQ(ScriptLineCount(), 33);
    EXPECT_EQ(Lines(Script(SHORTCUT_REMOVE, module, directory)), 18);
    EXPECT_EQ(Lines(Script(SHORTCUT_DESKTOP, module, directory)), 10);
    EXPECT_EQ(Lines(Script(SHORTCUT_PROGRAMS, module, directory)), 15);
    EXPECT_EQ(Lines(Script(SHORTCUT_BOTH, module, directory)), 21);
    EXPECT_EQ(Script(SHORTCUT_CLEANUP, module, directory), "");
    // The desktop part is the start of the install script, which the run tests read whole.
    std::string desktop = Script(SHORTCUT_DESKTOP, module, directory);
    EXPECT_EQ(Script(SHORTCUT_BOTH, module, directory).substr(0, desktop.size()), desktop);
}

TEST(ShortcutScript, LineThatDoesNotFitIsRefused) {
    char line[40];
    EXPECT_EQ(FormatScriptLine(5, SHORTCUT_BOTH, "C:\\a\\very\\long\\path\\TapTally.exe", "C:\\",
                               line, sizeof line),
              -1);
    EXPECT_EQ(FormatScriptLine(7, SHORTCUT_BOTH, "x", "y", line, sizeof line), 25);
}
