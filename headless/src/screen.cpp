// The screen as a person sees it: the visible windows composed into one picture, and
// what lies under a point of it (menu bar entries, windows, box buttons).
#include "world.h"

#include <algorithm>

namespace headless::detail {

std::vector<RECT> MenuBarPlaces(const Window &window) {
    std::vector<RECT> places;
    if (!window.Menu || (window.Style & WS_CHILD)) {
        return places;
    }
    POINT client = ClientOffset(window);
    int top = client.y - Metric(SM_CYMENU), x = client.x;
    for (const MenuItem &item : LiveMenu("menu bar", window.Menu).Items) {
        int width = (int)MenuLabel(item.Text).size() * 6 + 12;
        places.push_back(RECT{x, top, x + width, top + Metric(SM_CYMENU)});
        x += width;
    }
    return places;
}

namespace {

bool Contains(const RECT &rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

// The visible top-level windows, topmost first.
std::vector<Window *> VisibleTopLevel() {
    std::vector<Window *> windows;
    const std::vector<HWND> &order = W().ZOrder;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        Window *window = FindWindow(*it);
        if (window && window->Visible && !(window->Style & WS_CHILD)) {
            windows.push_back(window);
        }
    }
    return windows;
}

std::string UpToTab(const std::string &text, bool after) {
    size_t tab = text.find('\t');
    if (tab == std::string::npos) {
        return after ? "" : text;
    }
    return after ? text.substr(tab + 1) : text.substr(0, tab);
}

} // namespace

} // namespace headless::detail

namespace headless {

using namespace detail;

void ComposeScreen(COLORREF *pixels, int width, int height, COLORREF desktop) {
    std::fill(pixels, pixels + (size_t)width * (size_t)height, desktop);
    std::vector<Window *> windows = VisibleTopLevel();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        Window &window = **it;
        // Reading one pixel through the public call brings the window's pixels up to date.
        Pixel(window.Handle, 0, 0);
        int windowWidth = WindowWidth(window), windowHeight = WindowHeight(window);
        if (window.Pixels.size() < (size_t)windowWidth * (size_t)windowHeight) {
            continue;
        }
        int left = std::max(0, (int)window.Rect.left);
        int right = std::min(width, (int)window.Rect.left + windowWidth);
        int top = std::max(0, (int)window.Rect.top);
        int bottom = std::min(height, (int)window.Rect.top + windowHeight);
        for (int y = top; y < bottom; ++y) {
            const COLORREF *row = window.Pixels.data() +
                                  (size_t)(y - window.Rect.top) * (size_t)windowWidth +
                                  (size_t)(left - window.Rect.left);
            std::copy(row, row + std::max(0, right - left),
                      pixels + (size_t)y * (size_t)width + left);
        }
    }
}

std::vector<MenuBarEntry> MenuBarEntries(HWND window) {
    Window &target = LiveWindow("MenuBarEntries", window);
    std::vector<MenuBarEntry> entries;
    std::vector<RECT> places = MenuBarPlaces(target);
    for (size_t i = 0; i < places.size(); ++i) {
        const MenuItem &item = LiveMenu("MenuBarEntries", target.Menu).Items[i];
        MenuBarEntry entry;
        entry.Label = MenuLabel(item.Text);
        entry.Screen = places[i];
        OffsetRect(&entry.Screen, target.Rect.left, target.Rect.top);
        entry.Popup = item.Popup != nullptr;
        entry.Command = item.Popup ? 0 : item.Id;
        entry.Disabled = (item.Flags & (MF_GRAYED | MF_DISABLED)) != 0;
        entries.push_back(entry);
    }
    return entries;
}

std::vector<MenuPopupEntry> MenuPopupEntries(HWND window, size_t barIndex) {
    Window &target = LiveWindow("MenuPopupEntries", window);
    std::vector<MenuPopupEntry> entries;
    if (!target.Menu) {
        return entries;
    }
    const std::vector<MenuItem> &bar = LiveMenu("MenuPopupEntries", target.Menu).Items;
    if (barIndex >= bar.size() || !bar[barIndex].Popup) {
        return entries;
    }
    for (const MenuItem &item : LiveMenu("MenuPopupEntries", bar[barIndex].Popup).Items) {
        MenuPopupEntry entry;
        entry.Label = MenuLabel(UpToTab(item.Text, false));
        entry.Accelerator = UpToTab(item.Text, true);
        entry.Command = item.Id;
        entry.Separator = (item.Flags & MF_SEPARATOR) != 0;
        entry.Disabled = (item.Flags & (MF_GRAYED | MF_DISABLED)) != 0;
        entry.Checked = (item.Flags & MF_CHECKED) != 0;
        entries.push_back(entry);
    }
    return entries;
}

HWND WindowAtScreen(int x, int y) {
    for (Window *window : VisibleTopLevel()) {
        if (!Contains(window->Rect, x, y)) {
            continue;
        }
        for (auto &entry : W().Windows) {
            Window &child = *entry.second;
            if (!child.Destroyed && child.Visible && child.Parent == window->Handle &&
                (child.Style & WS_CHILD) && Contains(child.Rect, x, y)) {
                return child.Handle;
            }
        }
        return window->Handle;
    }
    return nullptr;
}

int BoxButtonAt(int x, int y) {
    if (W().Boxes.empty()) {
        return 0;
    }
    Window *box = FindWindow(W().Boxes.back().Window);
    if (!box) {
        return 0;
    }
    if (box->Kind == WindowKind::MessageBox) {
        std::vector<RECT> places = MessageBoxButtonPlaces(*box);
        for (size_t i = 0; i < places.size(); ++i) {
            OffsetRect(&places[i], box->Rect.left, box->Rect.top);
            if (Contains(places[i], x, y)) {
                return box->Box.Buttons[i];
            }
        }
        return 0;
    }
    HWND under = WindowAtScreen(x, y);
    Window *control = under ? FindWindow(under) : nullptr;
    if (control && control->Parent == box->Handle && control->Enabled &&
        control->ClassName == "BUTTON") {
        return control->ControlId;
    }
    return 0;
}

} // namespace headless
