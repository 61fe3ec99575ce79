// Resources of the headless platform that are cut short or malformed: each stops the run
// naming what is wrong, and none is read beyond its end (the sanitizer build checks that).
#include <gtest/gtest.h>

#include <windows.h>

#include <headless/driver.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Bytes = std::vector<uint8_t>;

// Little-endian words and zero-terminated UTF-16 texts, as the resource compiler writes them.
Bytes Words(std::initializer_list<unsigned> words) {
    Bytes bytes;
    for (unsigned word : words) {
        bytes.push_back((uint8_t)word);
        bytes.push_back((uint8_t)(word >> 8));
    }
    return bytes;
}
Bytes Text(const std::string &text) {
    Bytes bytes;
    for (char c : text + '\0') {
        bytes.insert(bytes.end(), {(uint8_t)c, 0});
    }
    return bytes;
}
Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes &part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// One .res entry named by ordinals: sizes, type, name, 16 bytes of version and flags, data.
Bytes Entry(unsigned type, unsigned name, const Bytes &data) {
    Bytes entry = Join(
        {Words({(unsigned)data.size(), 0, 32, 0, 0xFFFF, type, 0xFFFF, name}), Bytes(16, 0), data});
    entry.resize((entry.size() + 3) & ~(size_t)3);
    return entry;
}

// A menu "Go" (id 101); a dialog "D" with one push button "O"; an icon group #7 of one
// 1 x 1 image #1, one bit a pixel.
const Bytes MENU = Join({Words({0, 0, 0x80, 101}), Text("Go")});
const Bytes DIALOG =
    Join({Words({0x0080, 0x00C0, 0, 0, 1, 0, 0, 40, 20, 0, 0}), Text("D"),
          Words({0, 0, 0x5000, 0, 0, 0, 0, 30, 10, 1, 0xFFFF, 0x80}), Text("O"), Words({0})});
const Bytes GROUP = Words({0, 1, 1, 0x0101, 0, 1, 1, 56, 0, 1});
const Bytes IMAGE = Join({Words({40, 0, 1, 0, 2, 0, 1, 1}), Bytes(32, 0), Bytes(8, 0xFF)});

INT_PTR CALLBACK EndAtOnce(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) {
        EndDialog(dialog, (INT_PTR)wParam);
    }
    return FALSE;
}

// A folder of this test process for the .res files it writes.
std::filesystem::path Folder() {
    return std::filesystem::temp_directory_path() /
           ("headless_resources_" + std::to_string(getpid()));
}

std::string Written(const Bytes &res) {
    std::filesystem::create_directories(Folder());
    std::string path = (Folder() / "cut.res").string();
    std::ofstream(path, std::ios::binary).write((const char *)res.data(), (long)res.size());
    return path;
}

// What the program does with its resources: a window with the class menu, its icon, and
// a dialog that ends at once.
void LoadAndUse(const std::string &path) {
    headless::ResetWorld();
    headless::LoadProgramResources(path.c_str());
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = headless::ProgramInstance();
    windowClass.lpszMenuName = MAKEINTRESOURCEA(2);
    windowClass.lpszClassName = "Cut";
    RegisterClassA(&windowClass);
    CreateWindowExA(0, "Cut", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                    headless::ProgramInstance(), nullptr);
    LoadIconA(headless::ProgramInstance(), MAKEINTRESOURCEA(7));
    headless::AddStep([] { headless::AnswerBox(IDCANCEL); });
    DialogBoxParamA(headless::ProgramInstance(), MAKEINTRESOURCEA(3), nullptr, EndAtOnce, 0);
    std::fprintf(stderr, "every resource read\n");
    std::exit(0);
}

Bytes Cut(Bytes bytes, size_t length) {
    bytes.resize(length);
    return bytes;
}

} // namespace

TEST(HeadlessResourcesDeathTest, ATemplateCutShortStopsTheRunNamingIt) {
    struct Row {
        Bytes Menu, Group, Image, Dialog;
        const char *Expected;
    };
    auto res = [](const Bytes &menu, const Bytes &group, const Bytes &image, const Bytes &dialog) {
        return Written(Join(
            {Entry(4, 2, menu), Entry(14, 7, group), Entry(3, 1, image), Entry(5, 3, dialog)}));
    };
    EXPECT_EXIT(LoadAndUse(res(MENU, GROUP, IMAGE, DIALOG)), testing::ExitedWithCode(0),
                "every resource read");
    const Row rows[] = {
        {Cut(MENU, 3), GROUP, IMAGE, DIALOG, "menu #2 is not a standard MENU template"},
        {Cut(MENU, 7), GROUP, IMAGE, DIALOG, "menu #2 is malformed"},        // in the id
        {Cut(MENU, 12), GROUP, IMAGE, DIALOG, "menu #2 is malformed"},       // no terminator
        {MENU, Cut(GROUP, 5), IMAGE, DIALOG, "icon group #7 is malformed"},  // in the count
        {MENU, Cut(GROUP, 19), IMAGE, DIALOG, "icon group #7 is malformed"}, // in the image id
        {MENU, GROUP, Cut(IMAGE, 39), DIALOG, "icon image #1 is not a bitmap"},
        {MENU, GROUP, Cut(IMAGE, 55), DIALOG, "icon image #1 is truncated"}, // in the mask
        {MENU, GROUP, IMAGE, Cut(DIALOG, 10), "template #3 is malformed"},   // in the header
        {MENU, GROUP, IMAGE, Cut(DIALOG, 24), "template #3 is malformed"},   // in the title
        {MENU, GROUP, IMAGE, Cut(DIALOG, 48), "template #3 is malformed"},   // in the class
        {MENU, GROUP, IMAGE, Cut(DIALOG, 55), "template #3 is malformed"},   // in the data size
    };
    for (const Row &row : rows) {
        EXPECT_DEATH(LoadAndUse(res(row.Menu, row.Group, row.Image, row.Dialog)), row.Expected);
    }
    std::filesystem::remove_all(Folder());
}

TEST(HeadlessResourcesDeathTest, AResourceFileCutShortStopsTheRunNamingIt) {
    const Bytes whole = Entry(4, 2, MENU);
    const struct {
        size_t Length;
        const char *Expected;
    } rows[] = {
        {12, "malformed resource header"}, // the header runs past the end
        {40, "malformed resource header"}, // the data runs past the end
    };
    for (const auto &row : rows) {
        EXPECT_DEATH(LoadAndUse(Written(Cut(whole, row.Length))), row.Expected);
    }
    Bytes unnamed = whole; // a name without terminator in the rest of its header
    std::fill(unnamed.begin() + 12, unnamed.begin() + 32, 'N');
    EXPECT_DEATH(LoadAndUse(Written(unnamed)), "malformed resource name");
    std::filesystem::remove_all(Folder());
}
