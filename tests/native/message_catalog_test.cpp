// The message catalog, the blank-run insertion and the error texts.
#include <gtest/gtest.h>

#include <string.h>
#include <string>

#include "dialogs/message_catalog.h"
#include "base/test_state.h"

namespace {

std::string Filled(const char *templateText, const char *text, int *result = nullptr) {
    std::string copy = templateText;
    int written = FillLongestBlankRun(&copy[0], text);
    if (result) {
        *result = written;
    }
    return copy;
}

} // namespace

// Every stored text and caption is checked in full where its box is shown (the run tests).
TEST(MessageCatalog, NumbersWithoutAnEntryShowNothing) {
    for (int missing : {0, 17, 23, 26, -1}) {
        EXPECT_EQ(FindCatalogEntry(missing), nullptr) << missing;
        EXPECT_EQ(ShowCatalogMessage(missing), 0);
        EXPECT_EQ(ShowFilledMessage(nullptr, missing, "x", BOX_OWNED_INFO), 0);
    }
}

TEST(FillLongestBlankRun, WritesIntoTheFirstLongestRunOnly) {
    int result = -1;
    EXPECT_EQ(Filled("a  b  c", "xy", &result), "axyb  c");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Filled("a b   ", "xyz", &result), "a bxyz"); // run closed by the end
    EXPECT_EQ(Filled("a b   ", "wxyz", &result), "a b   ");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Filled("no-blanks", "", &result), "no-blanks");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Filled("no-blanks", "x", &result), "no-blanks");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Filled("a\t\t  b", "xy", &result), "a\t\txyb"); // tabs are no blanks
    EXPECT_EQ(Filled("    ", "ab"), "ab  ");
}

TEST(FillLongestBlankRun, EntryErrorLine) {
    const char *stored = FindCatalogEntry(MSG_ENTRY_ERROR)->Text;
    std::string text = Filled(stored, " 250");
    EXPECT_NE(text.find("You entered 250      \n"), std::string::npos);
    EXPECT_EQ(text.size(), strlen(stored));
    EXPECT_EQ(Filled(stored, " 123456789"), std::string(stored).replace(41, 10, " 123456789"));
    EXPECT_EQ(Filled(stored, " 1234567890"), stored);
    EXPECT_EQ(Filled(stored, " -123456789"), stored);
}

TEST(BuildErrorText, HeaderAndDescription) {
    State.ErrorCode = 10;
    EXPECT_STREQ(BuildErrorText(),
                 "Error # 10 Occurred! - \nThe Left Button 'Least' value was too small.\n\n"
                 "Click 'OK' and press 'R' for RESET\n");
    State.ErrorCode = 80;
    EXPECT_STREQ(BuildErrorText(), "Error # 80 Occurred! - \nThe Calibration Value is TOO high "
                                   "(max 40).\nClick 'Driver Info'\n");
    State.ErrorCode = 99;
    EXPECT_STREQ(BuildErrorText(),
                 "Error # 99 Occurred! - \nNo mouse was found on this PC\nCheck Mouse Plug\n");
    for (int code : {0, 5, -7, 13, 2147483647, (int)0x80000000}) {
        State.ErrorCode = code;
        std::string expected = "Error # " + std::to_string(code) + " Occurred! - \n";
        EXPECT_EQ(BuildErrorText(), expected) << code;
        EXPECT_LE(expected.size(), 33u);
    }
}

TEST(BuildErrorText, EveryReportFitsItsTemplate) {
    const char *stored = FindCatalogEntry(MSG_ERROR_REPORT)->Text;
    for (int code : {10, 11, 12, 20, 21, 22, 30, 31, 32, 80, 99}) {
        State.ErrorCode = code;
        std::string report = BuildErrorText();
        std::string text = Filled(stored, report.c_str());
        EXPECT_EQ(text.substr(0, report.size()), report) << code;
        EXPECT_EQ(text.substr(text.size() - 36), "\nPlease see INFORMATION for details.");
    }
    State.ErrorCode = 10;
    std::string text = Filled(stored, BuildErrorText());
    // header 24, description 81, then the rest of the 153-blank run
    EXPECT_EQ(text.substr(105, 48), std::string(48, ' '));
}
