#include "dialogs/message_catalog.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "base/error_codes.h"
#include "base/maker_lines.h"
#include "base/test_state.h"

char ErrorText[200];

// The blank runs are the places where run-time texts are written.
const CatalogEntry MessageCatalog[] = {
    {MSG_ABOUT, "About TapTally",
     "                                 "
     "\n\n" MAKER_NOTICE_LINE "\n" MAKER_ADDRESS_LINE
     "\n\nPlease see INFORMATION for details.\n\n" MAKER_CONTACT_LINE},
    {MSG_DRIVER_INFO, "Mouse Driver Info",
     "Mouse Driver Information\n\n"
     "                                                            "
     "                                                            "
     "                                    "
     "\nPlease see INFORMATION for details."},
    {MSG_ENTRY_ERROR, "Entry Error",
     "Allowable values are 10-200.\n\nYou entered"
     "          "
     "\n\nPlease see INFORMATION for details."},
    {MSG_RESET_NOTICE, "Reset Test Values",
     "TapTally values have been RESET.\n\nUse this to RESET test values,\nOR simply press the "
     "'R' key.\n\nPlease see INFORMATION for details."},
    {MSG_ERROR_REPORT, "Error Message",
     "                                                            "
     "                                                            "
     "                                 "
     "\nPlease see INFORMATION for details."},
    {MSG_SCRIPT_NOTE, "Note:",
     "TapTally temporarily uses a script to install the icons.\n\nDepending on your security "
     "settings, a message may warn\nthat a script is being run.  This is normal and protects "
     "you\nfrom web pages making unexpected changes.\n\nSee Information for more "
     "details.\n\nContinue?"},
    {MSG_SCRIPT_FAILED, "ERROR!",
     "Unable to alter Icons!\n"
     "                               "
     "\nTry closing other applications,\n\nthen try again.\n"},
    {0, "", nullptr},
};

namespace {

struct ErrorDescription {
    ErrorNumber Code;
    const char *Text;
};

const ErrorDescription ErrorDescriptions[] = {
    {ERROR_LEFT_TOO_FAST,
     "The Left Button 'Least' value was too small.\n\nClick 'OK' and press 'R' for RESET\n"},
    {ERROR_LEFT_UP_BEFORE_DOWN,
     "The Left Button or Driver sent a\nButton UP before Button DOWN.\n"},
    {ERROR_LEFT_DOWN_BEFORE_UP,
     "The Left Button or Driver sent a\nButton DOWN before Button UP.\n"},
    {ERROR_MIDDLE_TOO_FAST,
     "The Middle Button 'Least' value was too small.\n\nClick 'OK' and press 'R' for RESET\n"},
    {ERROR_MIDDLE_UP_BEFORE_DOWN,
     "The Middle Button or Driver sent a\nButton UP before Button DOWN.\n"},
    {ERROR_MIDDLE_DOWN_BEFORE_UP,
     "The Middle Button or Driver sent a\nButton DOWN before Button UP.\n"},
    {ERROR_RIGHT_TOO_FAST,
     "The Right Button 'Least' value was too small.\n\nClick 'OK' and press 'R' for RESET\n"},
    {ERROR_RIGHT_UP_BEFORE_DOWN,
     "The Right Button or Driver sent a\nButton UP before Button DOWN.\n"},
    {ERROR_RIGHT_DOWN_BEFORE_UP,
     "The Right Button or Driver sent a\nButton DOWN before Button UP.\n"},
    {ERROR_SLOW_CALIBRATION, "The Calibration Value is TOO high (max 40).\nClick 'Driver Info'\n"},
    {ERROR_NO_MOUSE, "No mouse was found on this PC\nCheck Mouse Plug\n"},
};

const UINT INFO_BOX_STYLE = MB_OK | MB_ICONINFORMATION;
const UINT QUESTION_BOX_STYLE = MB_YESNOCANCEL | MB_ICONQUESTION;

} // namespace

const CatalogEntry *FindCatalogEntry(int number) {
    for (const CatalogEntry *entry = MessageCatalog; entry->Caption[0] != '\0'; ++entry) {
        if (entry->Number == number) {
            return entry;
        }
    }
    return nullptr;
}

int ShowCatalogMessage(int number) {
    const CatalogEntry *entry = FindCatalogEntry(number);
    if (entry == nullptr) {
        return 0;
    }
    MessageBoxA(nullptr, entry->Text, entry->Caption, INFO_BOX_STYLE);
    return 1;
}

int ShowFilledMessage(HWND owner, int number, const char *text, int kind) {
    const CatalogEntry *entry = FindCatalogEntry(number);
    if (entry == nullptr) {
        return 0;
    }
    size_t length = strlen(entry->Text);
    char *copy = (char *)malloc(length + 5);
    if (copy == nullptr) {
        return 0;
    }
    memcpy(copy, entry->Text, length + 1);
    FillLongestBlankRun(copy, text);

    int result = 0;
    switch (kind) {
    case BOX_QUESTION:
        result = MessageBoxA(owner, copy, entry->Caption, QUESTION_BOX_STYLE);
        break;
    case BOX_OWNED_INFO:
        result = MessageBoxA(owner, copy, entry->Caption, INFO_BOX_STYLE);
        break;
    case BOX_UNOWNED_INFO:
        result = MessageBoxA(nullptr, copy, entry->Caption, INFO_BOX_STYLE);
        break;
    default:
        break;
    }
    free(copy);
    return result;
}

int FillLongestBlankRun(char *templateText, const char *text) {
    size_t textLength = strlen(text);
    size_t templateLength = strlen(templateText);
    size_t bestStart = 0, bestLength = 0;
    size_t runStart = 0, runLength = 0;
    // The terminator counts as a non-blank, so a run at the very end is closed too.
    for (size_t i = 0; i <= templateLength; ++i) {
        if (templateText[i] == ' ') {
            if (runLength == 0) {
                runStart = i;
            }
            ++runLength;
            continue;
        }
        if (runLength > bestLength) {
            bestStart = runStart;
            bestLength = runLength;
        }
        runLength = 0;
    }
    if (bestLength < textLength) {
        return 0;
    }
    memcpy(templateText + bestStart, text, textLength);
    return 1;
}

const char *BuildErrorText() {
    snprintf(ErrorText, sizeof ErrorText, "Error # %d Occurred! - \n", State.ErrorCode);
    for (const ErrorDescription &description : ErrorDescriptions) {
        if (description.Code == State.ErrorCode) {
            strncat(ErrorText, description.Text, sizeof ErrorText - strlen(ErrorText) - 1);
            break;
        }
    }
    return ErrorText;
}
