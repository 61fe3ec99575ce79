// Pictures of windows as PNG files.
#include "world.h"

#include <png.h>

#include <cstdio>

namespace headless {

using namespace detail;

bool SavePng(HWND window, const char *path) {
    Window &target = LiveWindow("SavePng", window);
    int width = WindowWidth(target), height = WindowHeight(target);
    if (!HasPixels(target) || width <= 0 || height <= 0) {
        return false;
    }
    FILE *file = std::fopen(path, "wb");
    if (!file) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const std::vector<COLORREF> &pixels = PixelsOf(target);
    std::vector<png_byte> row((size_t)width * 3);
    bool ok = png && info;
    if (ok && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                COLORREF color = pixels[(size_t)y * (size_t)width + (size_t)x];
                row[(size_t)x * 3] = GetRValue(color);
                row[(size_t)x * 3 + 1] = GetGValue(color);
                row[(size_t)x * 3 + 2] = GetBValue(color);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    } else {
        ok = false;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}

} // namespace headless
