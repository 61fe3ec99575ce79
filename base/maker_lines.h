// The maker's lines: on the main screen, in the About box and on the credits page.
// None of them may hold a run of more than two blanks.
#pragma once

#define MAKER_NOTICE_LINE "Copyright (C) 2026 The TapTally Project - free to use and share"
#define MAKER_CREDIT_LINE "Written by the TapTally developers"
#define MAKER_ADDRESS_LINE_1 "The TapTally Project"
#define MAKER_ADDRESS_LINE_2 "No postal address: write to us on the web"
#define MAKER_ADDRESS_LINE MAKER_ADDRESS_LINE_1 " - " MAKER_ADDRESS_LINE_2
#define MAKER_CONTACT_LINE "https://taptally.example.org - taptally@example.org"
