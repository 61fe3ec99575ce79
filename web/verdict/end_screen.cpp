// TapTally's screen at the end of a run, handed to the page as pixels.
#include "web/verdict/end_screen.h"

#include <windows.h>

#include <headless/driver.h>

#include <emscripten.h>

#include <cstdint>
#include <vector>

namespace {

EM_JS(void, GiveScreen, (int width, int height, const uint8_t *rgba),
      { Module.deliverScreen(width, height, HEAPU8.slice(rgba, rgba + width * height * 4)); });

} // namespace

bool GiveEndScreen() {
    HWND window = headless::MainWindow();
    RECT frame;
    POINT client = {0, 0};
    if (!GetWindowRect(window, &frame) || !ClientToScreen(window, &client)) {
        return false;
    }
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    // Pixel takes client coordinates; the frame lies at negative ones.
    int left = frame.left - client.x, top = frame.top - client.y;
    std::vector<uint8_t> rgba((size_t)width * (size_t)height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            COLORREF color = headless::Pixel(window, left + x, top + y);
            uint8_t *at = &rgba[((size_t)y * (size_t)width + (size_t)x) * 4];
            at[0] = GetRValue(color);
            at[1] = GetGValue(color);
            at[2] = GetBValue(color);
            at[3] = 255;
        }
    }
    GiveScreen(width, height, rgba.data());
    return true;
}
