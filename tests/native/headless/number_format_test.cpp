// snprintf as the program gets it from the stand-in's C runtime writes the same text and
// returns the same length as the C library's own formatter, whichever format and size.
#include <gtest/gtest.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

// The C library's own formatter (vsnprintf is the C library's in every build).
std::string Library(size_t size, int &length, const char *format, ...) {
    char text[128];
    va_list arguments;
    va_start(arguments, format);
    length = vsnprintf(text, size, format, arguments);
    va_end(arguments);
    return size ? std::string(text) : std::string();
}

} // namespace

TEST(NumberFormat, WholeNumbersAreWrittenAsTheCLibraryWritesThem) {
    // As the program's panels write them.
    char text[32];
    EXPECT_EQ(snprintf(text, sizeof text, " %4d, %4d  ", 5, -12), 13);
    EXPECT_STREQ(text, "    5,  -12  ");
    EXPECT_EQ(snprintf(text, sizeof text, " %ld  ", 1234567L), 10);
    EXPECT_STREQ(text, " 1234567  ");

    const int ints[] = {0, 7, -7, 99, 100, -100, 12345, INT_MAX, INT_MIN};
    const char *intFormats[] = {"%d", "%4d",  " %4d, %4d  ", "%-5d|", "%05d", "%-05d|",
                                "%x", "%04x", "%X",          "%u",    "%12i", "100%% %d"};
    for (const char *format : intFormats) {
        for (int value : ints) {
            for (size_t size : {(size_t)1, (size_t)4, (size_t)8, (size_t)32}) {
                char ours[32] = "unchanged";
                int length = snprintf(ours, size, format, value, value);
                int expected = 0;
                std::string theirs = Library(size, expected, format, value, value);
                EXPECT_EQ(std::string(ours), theirs) << format << " " << value << " " << size;
                EXPECT_EQ(length, expected) << format << " " << value << " " << size;
            }
        }
    }
    const long longs[] = {0L, -1L, LONG_MAX, LONG_MIN, 4294967296L};
    for (const char *format : {"%ld", "%8ld", "%-21ld|", "%lx", "%lld", "%020lld"}) {
        for (long value : longs) {
            char ours[64];
            int length = snprintf(ours, sizeof ours, format, value);
            int expected = 0;
            EXPECT_EQ(std::string(ours), Library(sizeof ours, expected, format, value)) << format;
            EXPECT_EQ(length, expected) << format << " " << value;
        }
    }
}

TEST(NumberFormat, OtherFormatsAndSizesAreTheCLibrarys) {
    struct Row {
        const char *Format;
        double Number;
        const char *Text;
    };
    const Row rows[] = {
        {"%.1f ms", 2.25, "2.2 ms"}, {"%5.2f", -0.125, "-0.12"}, {"%g", 1e-5, "1e-05"},
        {"%+d", 3.0, "+3"},          {"% d", 3.0, " 3"},         {"%#x", 255.0, "0xff"},
        {"%.3d", 7.0, "007"},        {"%*d", 4.0, "   4"},
    };
    for (const Row &row : rows) {
        char text[32];
        std::string format = row.Format;
        bool whole = format.find_first_of("fg") == std::string::npos;
        int length = format == "%*d" ? snprintf(text, sizeof text, row.Format, 4, 4)
                     : whole         ? snprintf(text, sizeof text, row.Format, (int)row.Number)
                                     : snprintf(text, sizeof text, row.Format, row.Number);
        EXPECT_STREQ(text, row.Text) << row.Format;
        EXPECT_EQ(length, (int)std::string(row.Text).size()) << row.Format;
    }
    char text[16] = "kept";
    EXPECT_EQ(snprintf(text, 0, "%d", 12345), 5); // nothing written, the length told
    EXPECT_STREQ(text, "kept");
    EXPECT_EQ(snprintf(text, sizeof text, "%s:%d", "left", 3), 6);
    EXPECT_STREQ(text, "left:3");
}
