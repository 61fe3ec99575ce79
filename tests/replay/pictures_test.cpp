// Pictures the replay writes with --png, compared by a hash of their pixels. The hashes were
// taken from pictures checked by eye; a change of one pixel of them shows here.
#include "recordings.h"

#include <png.h>

#include <cstdint>
#include <memory>

using namespace recordings;

namespace {

// FNV-1a over the picture's width, height and red, green and blue of every pixel; "" when
// the file is no PNG picture.
std::string PixelHash(const std::string &path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return "";
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        return "";
    }
    uint64_t hash = 14695981039346656037ull;
    auto add = [&hash](uint8_t byte) { hash = (hash ^ byte) * 1099511628211ull; };
    for (uint32_t size : {image.width, image.height}) {
        add((uint8_t)size), add((uint8_t)(size >> 8));
    }
    for (uint8_t byte : pixels) {
        add(byte);
    }
    char text[20];
    snprintf(text, sizeof text, "%016llx", (unsigned long long)hash);
    return text;
}

Rows ClicksAndAnError() {
    Rows rows;
    Move(rows, 0, 40, -30);
    Click(rows, 1000, LEFT, 4);
    Click(rows, 1010, LEFT);
    Move(rows, 1200, -5, 7);
    return rows;
}

Rows EveryButtonAndLongMovement() {
    Rows rows;
    for (long ms = 0; ms < 3000; ++ms) {
        Move(rows, 10 + ms, (int)(ms % 7) - 3, (int)(ms % 5) - 2);
    }
    Click(rows, 3100, LEFT, 60);
    Click(rows, 3400, MIDDLE, 80);
    Click(rows, 3700, RIGHT, 100);
    Click(rows, 4000, RIGHT, 50);
    Click(rows, 4300, LEFT, 70);
    Move(rows, 4500, 250, -120);
    Move(rows, 4501, -3, 1);
    return rows;
}

} // namespace

TEST(ReplayPictures, PngOfBothFormatsIsTheSamePictureAsBefore) {
    const struct {
        const char *Name;
        Rows Events;
        std::string Hash;
    } tests[] = {
        {"clicks and an error", ClicksAndAnError(), "e477bfd9d0b9601c"},
        {"every button and long movement", EveryButtonAndLongMovement(), "bd1287f7543f5f4e"},
    };
    for (const auto &test : tests) {
        for (bool yaml : {true, false}) {
            std::string name = std::string(test.Name) + (yaml ? ".yml" : ".evemu");
            std::string png = Folder() + name + ".png";
            std::string recording = Write(name, yaml ? Yaml(test.Events) : Evemu(test.Events));
            Outcome outcome = RunTool({"--png", png, recording});
            EXPECT_LE(outcome.Status, 1) << name << ": " << outcome.Err;
            EXPECT_EQ(PixelHash(png), test.Hash) << name;
        }
    }
}
