// The version services of the headless platform over genuine VS_VERSIONINFO blocks
// compiled by windres, and over blocks that are cut short or malformed.
#include <gtest/gtest.h>

#include <headless/driver.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char *Res(const char *name) {
    static std::string path;
    path = std::string(TAPTALLY_TEST_RES_DIR) + "/" + name + ".res";
    return path.c_str();
}

std::vector<char> Block(const char *title) {
    DWORD handle = 1;
    DWORD size = GetFileVersionInfoSizeA(title, &handle);
    EXPECT_EQ(handle, 0u);
    std::vector<char> block(size);
    if (size) {
        EXPECT_TRUE(GetFileVersionInfoA(title, 0, size, block.data()));
    }
    return block;
}

// The text of a string value, or "(none)" when the query fails.
std::string Query(const void *block, const char *path, UINT *length = nullptr) {
    void *value = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(block, path, &value, &size)) {
        return "(none)";
    }
    if (length) {
        *length = size;
    }
    return std::string((const char *)value);
}

size_t OwnLength(const std::vector<char> &block) {
    return (size_t)(unsigned char)block[0] | ((unsigned char)block[1] << 8);
}

class HeadlessVersion : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::ResetWorld();
        headless::AddVersionFile("none.exe", Res("version_none"));
        headless::AddVersionFile("big.exe", Res("version_big"));
        headless::AddVersionFile("mid.exe", Res("version_mid"));
        headless::AddVersionFile("two.exe", Res("version_two_translations"));
        headless::AddVersionFile("long.exe", Res("version_long"));
        headless::AddVersionFile("bare.exe", nullptr);
    }
};

} // namespace

TEST_F(HeadlessVersion, TheProgramsOwnBlockIsFoundByItsTitle) {
    std::vector<char> block = Block("TapTally.exe");
    ASSERT_FALSE(block.empty());
    // The size asked for is twice the block's own length (its first word) and 4.
    EXPECT_EQ(block.size(), 2 * OwnLength(block) + 4);
    EXPECT_EQ(OwnLength(block), 780u);
    EXPECT_EQ(GetFileVersionInfoSizeA("taptally.EXE", nullptr), block.size());
    EXPECT_EQ(GetFileVersionInfoSizeA("C:\\TapTally\\TapTally.exe", nullptr), block.size());

    void *value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const VS_FIXEDFILEINFO *fixed = (const VS_FIXEDFILEINFO *)value;
    EXPECT_EQ(fixed->dwSignature, (DWORD)VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010009u);
    EXPECT_EQ(fixed->dwFileVersionLS, 2012u);

    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    DWORD translation;
    std::memcpy(&translation, value, 4);
    EXPECT_EQ(translation, 0x04E40409u);

    // Keys match without regard to case; the length counts the terminator.
    EXPECT_EQ(Query(block.data(), "\\StringFileInfo\\040904e4\\FileVersion", &length), "1.90");
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(Query(block.data(), "\\stringfileinfo\\040904E4\\fileversion"), "1.90");
    EXPECT_EQ(Query(block.data(), "\\StringFileInfo\\040904e4\\NoSuchValue"), "(none)");
    EXPECT_EQ(Query(block.data(), "\\StringFileInfo\\04090000\\FileVersion"), "(none)");
}

TEST_F(HeadlessVersion, FilesWithoutBlockBigBlocksAndUnknownTitles) {
    EXPECT_EQ(GetFileVersionInfoSizeA("none.exe", nullptr), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA("bare.exe", nullptr), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA("missing.exe", nullptr), 0u);
    char buffer[16];
    EXPECT_FALSE(GetFileVersionInfoA("missing.exe", 0, sizeof buffer, buffer));

    EXPECT_GE(GetFileVersionInfoSizeA("big.exe", nullptr), 2500u);
    // A block of 1380 bytes asks for 2764.
    EXPECT_EQ(GetFileVersionInfoSizeA("mid.exe", nullptr), 2764u);
    // A name without extension is a library's: "TapTally" is "TapTally.dll".
    EXPECT_EQ(GetFileVersionInfoSizeA("TapTally", nullptr), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA("C:\\TapTally\\TapTally", nullptr), 0u);
    std::vector<char> big = Block("big.exe");
    EXPECT_EQ(Query(big.data(), "\\StringFileInfo\\040904e4\\Comment29"),
              "padding text of the big version block, line 29");
}

TEST_F(HeadlessVersion, OnlyTheFirstTranslationIsListedFirst) {
    std::vector<char> block = Block("two.exe");
    void *value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 8u);
    DWORD translations[2];
    std::memcpy(translations, value, 8);
    EXPECT_EQ(translations[0], 0x04E40409u);
    EXPECT_EQ(translations[1], 0x04E40407u);
    EXPECT_EQ(Query(block.data(), "\\StringFileInfo\\040904e4\\FileVersion"), "(none)");
    EXPECT_EQ(Query(block.data(), "\\StringFileInfo\\040704e4\\FileVersion"), "2.00");
}

TEST_F(HeadlessVersion, LongAndEmptyValuesKeepTheirWholeText) {
    std::vector<char> block = Block("long.exe");
    UINT length = 0;
    std::string text = Query(block.data(), "\\StringFileInfo\\040904E4\\FileVersion", &length);
    EXPECT_EQ(text, "3.14.15.92 build 6535897932 of the long-version line");
    EXPECT_EQ(length, text.size() + 1);
    EXPECT_EQ(Query(block.data(), "\\StringFileInfo\\040904E4\\Empty", &length), "");
    EXPECT_EQ(length, 1u);
}

TEST_F(HeadlessVersion, CutOrBrokenBlocksFailWithoutReadingBeyondThem) {
    std::vector<char> whole = Block("TapTally.exe");
    ASSERT_FALSE(whole.empty());
    const char *path = "\\StringFileInfo\\040904e4\\ProductVersion";
    ASSERT_EQ(Query(whole.data(), path), "1.90");

    // A copy cut short by GetFileVersionInfoA holds less than its root claims, so every
    // query fails; none reads past what was copied (the sanitizer build checks that).
    for (size_t cut = 0; cut < OwnLength(whole); cut += 7) {
        std::vector<char> part(cut ? cut : 1);
        ASSERT_TRUE(GetFileVersionInfoA("TapTally.exe", 0, (DWORD)cut, part.data()));
        EXPECT_EQ(Query(part.data(), path), "(none)") << cut;
        EXPECT_EQ(Query(part.data(), "\\"), "(none)") << cut;
    }

    // Broken lengths inside the block.
    std::vector<char> broken = whole;
    broken[0] = 2; // a root shorter than its own header
    broken[1] = 0;
    headless::SetVersionBlockBounds(broken.data(), broken.size());
    EXPECT_EQ(Query(broken.data(), "\\"), "(none)");
    broken = whole;
    size_t at = 0;
    for (size_t i = 0; i + 1 < broken.size(); ++i) {
        if (std::memcmp(&broken[i], "S\0t\0r\0i\0n\0g\0F", 13) == 0) {
            at = i - 6;
            break;
        }
    }
    ASSERT_NE(at, 0u);
    broken[at] = (char)0xFF; // StringFileInfo claims more than the block holds
    broken[at + 1] = 0x7F;
    headless::SetVersionBlockBounds(broken.data(), broken.size());
    EXPECT_EQ(Query(broken.data(), path), "(none)");
    broken[at] = 4; // and now less than a header
    broken[at + 1] = 0;
    EXPECT_EQ(Query(broken.data(), path), "(none)");
}

TEST_F(HeadlessVersion, EveryByteOfABlockMayBeWrongWithoutAQueryGoingAstray) {
    std::vector<char> whole = Block("two.exe");
    ASSERT_FALSE(whole.empty());
    const char *paths[] = {"\\", "\\VarFileInfo\\Translation",
                           "\\StringFileInfo\\040704e4\\FileVersion",
                           "\\StringFileInfo\\040704e4\\ProductName"};
    const unsigned char values[] = {0x00, 0x01, 0x05, 0x7F, 0xFF};
    for (size_t at = 0; at < whole.size(); ++at) {
        for (unsigned char value : values) {
            // Each variant in a buffer of exactly its size, so that the sanitizer build
            // catches any read beyond it.
            std::vector<char> broken(whole);
            broken[at] = (char)value;
            headless::SetVersionBlockBounds(broken.data(), broken.size());
            for (const char *path : paths) {
                void *found = nullptr;
                UINT length = 0;
                if (VerQueryValueA(broken.data(), path, &found, &length) && length &&
                    path[1] == 'S') {
                    EXPECT_LT(std::strlen((const char *)found), length) << at;
                }
            }
        }
    }
}
