// The pixels of a window. Drawings are kept as they come and drawn only when someone reads
// the pixels: a long run draws the same values into the same boxes thousands of times a
// second, and a drawing that a later one covers wholly never needs its pixels. The pixels
// read are exactly those of drawing everything in order.
#include "world.h"

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <cstring>

namespace headless::detail {

namespace {

// Drawings kept before they are compacted: those covered by later ones are dropped.
const size_t FIRST_COMPACTION = 1024;
// Drawings still kept after a compaction that are drawn at once, so that memory stays
// bounded whatever is drawn.
const size_t MOST_KEPT = 1 << 16;

bool Empty(const RECT &rect) {
    return rect.left >= rect.right || rect.top >= rect.bottom;
}

RECT Intersection(const RECT &a, const RECT &b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

bool Inside(const RECT &inner, const RECT &outer) {
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool SameRect(const RECT &a, const RECT &b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Whether two drawings of the canvas write exactly the same pixels (in colours of their
// own): the same shape within the same area.
bool SameFootprint(const Canvas &canvas, const PixelOp &a, const PixelOp &b) {
    if (a.Kind != b.Kind || !SameRect(a.Area, b.Area) || a.X != b.X || a.Y != b.Y ||
        a.Width != b.Width || a.Height != b.Height) {
        return false;
    }
    switch (a.Kind) {
    case PixelOp::Shape::Line:
        return a.X2 == b.X2 && a.Y2 == b.Y2;
    case PixelOp::Shape::Text:
        return a.HasBack == b.HasBack && a.TextLength == b.TextLength &&
               std::memcmp(canvas.Texts.data() + a.TextAt, canvas.Texts.data() + b.TextAt,
                           a.TextLength) == 0;
    case PixelOp::Shape::Icon:
        return canvas.Images[a.Image] == canvas.Images[b.Image];
    default:
        return true;
    }
}

void Fill(Canvas &canvas, const RECT &area, COLORREF color) {
    for (int y = area.top; y < area.bottom; ++y) {
        COLORREF *row = &canvas.Pixels[(size_t)y * (size_t)canvas.Width];
        std::fill(row + area.left, row + area.right, color & 0xFFFFFF);
    }
}

void Stamp(Canvas &canvas, const RECT &clip, int x, int y, int width, COLORREF color) {
    int low = width <= 1 ? 0 : -(width / 2);
    int size = width <= 1 ? 1 : width;
    RECT square = Intersection(RECT{x + low, y + low, x + low + size, y + low + size}, clip);
    if (!Empty(square)) {
        Fill(canvas, square, color);
    }
}

// The stamps of a line all lie within the rectangle its Area was cut from, so clipping
// them to Area clips them to the window and clip list.
void DrawLine(Canvas &canvas, const PixelOp &op) {
    int x0 = op.X, y0 = op.Y, x1 = op.X2, y1 = op.Y2;
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    while (x0 != x1 || y0 != y1) {
        Stamp(canvas, op.Area, x0, y0, op.Width, op.Color);
        int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

void DrawIcon(Canvas &canvas, const PixelOp &op) {
    const Icon &icon = *canvas.Images[op.Image];
    for (int y = op.Area.top; y < op.Area.bottom; ++y) {
        int iconRow = (y - op.Y) * icon.Height / op.Height;
        COLORREF *row = &canvas.Pixels[(size_t)y * (size_t)canvas.Width];
        for (int x = op.Area.left; x < op.Area.right; ++x) {
            size_t i =
                (size_t)iconRow * (size_t)icon.Width + (size_t)((x - op.X) * icon.Width / op.Width);
            if (!icon.Mask[i]) {
                row[x] = icon.Color[i] & 0xFFFFFF;
            }
        }
    }
}

void Draw(Canvas &canvas, const PixelOp &op) {
    switch (op.Kind) {
    case PixelOp::Shape::Fill:
        Fill(canvas, op.Area, op.Color);
        break;
    case PixelOp::Shape::Text:
        if (op.HasBack) {
            Fill(canvas, op.Area, op.Back);
        }
        DrawGlyphs(canvas, op.Area, op.X, op.Y, canvas.Texts.data() + op.TextAt, op.TextLength,
                   op.Height, op.Width, op.Color);
        break;
    case PixelOp::Shape::Line:
        DrawLine(canvas, op);
        break;
    case PixelOp::Shape::Icon:
        DrawIcon(canvas, op);
        break;
    }
}

void DrawPending(Canvas &canvas) {
    for (const PixelOp &op : canvas.Pending) {
        Draw(canvas, op);
    }
    canvas.Pending.clear();
    canvas.Texts.clear();
    canvas.Images.clear();
}

// Keeps in the canvas's store only the texts and images of the pending drawings.
void DropUnusedStore(Canvas &canvas) {
    std::string texts;
    std::vector<std::shared_ptr<const Icon>> images;
    for (PixelOp &op : canvas.Pending) {
        if (op.Kind == PixelOp::Shape::Text) {
            uint32_t at = (uint32_t)texts.size();
            texts.append(canvas.Texts, op.TextAt, op.TextLength);
            op.TextAt = at;
        } else if (op.Kind == PixelOp::Shape::Icon) {
            const std::shared_ptr<const Icon> &image = canvas.Images[op.Image];
            if (images.empty() || images.back() != image) {
                images.push_back(image);
            }
            op.Image = (uint32_t)images.size() - 1;
        }
    }
    canvas.Texts.swap(texts);
    canvas.Images.swap(images);
}

// Adds an area that later drawings fill to those known. Where it and a known one together
// fill a rectangle (one holds the other, or they are in line and meet), that rectangle
// stands for both: a bar drawn on and cleared back in pieces is one area, and the list
// stays short.
void AddFilled(std::vector<RECT> &filled, const RECT &area) {
    for (RECT &known : filled) {
        bool column = known.left == area.left && known.right == area.right &&
                      area.top <= known.bottom && known.top <= area.bottom;
        bool row = known.top == area.top && known.bottom == area.bottom &&
                   area.left <= known.right && known.left <= area.right;
        if (column || row || Inside(known, area)) {
            known = RECT{std::min(known.left, area.left), std::min(known.top, area.top),
                         std::max(known.right, area.right), std::max(known.bottom, area.bottom)};
            return;
        }
    }
    filled.push_back(area);
}

// Drops every drawing whose pixels later ones write over: one inside an area that later
// drawings fill, or one that touches exactly the same pixels as a later one. Newest
// first, keeping the areas that later drawings fill and the shapes they touch.
void Compact(Canvas &canvas) {
    std::vector<PixelOp> &pending = canvas.Pending;
    std::vector<RECT> filled;
    std::vector<size_t> shapes; // kept drawings that do not fill their area
    size_t kept = pending.size();
    for (size_t i = pending.size(); i-- > 0;) {
        PixelOp &op = pending[i];
        bool covered = std::any_of(filled.begin(), filled.end(),
                                   [&op](const RECT &area) { return Inside(op.Area, area); });
        if (!covered && !op.Opaque) {
            covered = std::any_of(shapes.begin(), shapes.end(), [&](size_t later) {
                return SameFootprint(canvas, op, pending[later]);
            });
        }
        if (covered) {
            continue;
        }
        --kept;
        if (kept != i) {
            pending[kept] = op;
        }
        if (pending[kept].Opaque) {
            AddFilled(filled, pending[kept].Area);
        } else {
            shapes.push_back(kept);
        }
    }
    pending.erase(pending.begin(), pending.begin() + (std::ptrdiff_t)kept);
    // What two compactions kept is mostly what stays on the screen: drawn now, once, it
    // need not be compared again. Those come first, so the order of drawing is kept.
    size_t old = 0;
    while (old < pending.size() && pending[old].Survived) {
        Draw(canvas, pending[old++]);
    }
    pending.erase(pending.begin(), pending.begin() + (std::ptrdiff_t)old);
    for (PixelOp &op : pending) {
        op.Survived = true;
    }
    if (pending.size() > MOST_KEPT) {
        DrawPending(canvas);
    } else {
        DropUnusedStore(canvas);
    }
    canvas.CompactAt = std::max(FIRST_COMPACTION, 2 * pending.size());
}

// Keeps the drawing once for every rectangle of the clip list (or the whole window), with
// Area the pixels it may write there, inside area; make sets its shape. A pixel inside two
// rectangles is drawn twice alike. A text's characters and an icon's image go to the
// canvas's store once.
template <typename Make>
void Keep(Window &window, const RECT &area, const std::vector<RECT> *clip, Make make,
          const char *text = nullptr, size_t length = 0,
          const std::shared_ptr<Icon> *image = nullptr) {
    Canvas &canvas = window.Picture;
    if (canvas.Pixels.empty()) {
        return;
    }
    RECT bounds{0, 0, canvas.Width, canvas.Height};
    size_t first = SIZE_MAX;
    auto keepIn = [&](const RECT &rect) {
        RECT touched = Intersection(area, Intersection(rect, bounds));
        if (Empty(touched)) {
            return;
        }
        if (first != SIZE_MAX) {
            PixelOp again = canvas.Pending[first];
            again.Area = touched;
            canvas.Pending.push_back(again);
            return;
        }
        // Made in its place: a copy of fields just written would wait on the writes.
        first = canvas.Pending.size();
        PixelOp &op = canvas.Pending.emplace_back();
        make(op);
        op.Area = touched;
        if (text) {
            op.TextAt = (uint32_t)canvas.Texts.size();
            op.TextLength = (uint32_t)length;
            canvas.Texts.append(text, length);
        }
        if (image) {
            if (canvas.Images.empty() || canvas.Images.back() != *image) {
                canvas.Images.push_back(*image);
            }
            op.Image = (uint32_t)canvas.Images.size() - 1;
        }
    };
    if (!clip) {
        keepIn(bounds);
    } else {
        for (const RECT &rect : *clip) {
            keepIn(rect);
        }
    }
    if (canvas.Pending.size() >= canvas.CompactAt) {
        Compact(canvas);
    }
}

} // namespace

void ResizeCanvas(Window &window, COLORREF background) {
    Canvas &canvas = window.Picture;
    canvas.Width = std::max(0, WindowWidth(window));
    canvas.Height = std::max(0, WindowHeight(window));
    canvas.Pixels.assign((size_t)canvas.Width * (size_t)canvas.Height, background);
    canvas.Pending.clear();
    canvas.Texts.clear();
    canvas.Images.clear();
    canvas.CompactAt = FIRST_COMPACTION;
}

bool HasPixels(const Window &window) {
    return !window.Picture.Pixels.empty();
}

const std::vector<COLORREF> &PixelsOf(Window &window) {
    DrawPending(window.Picture);
    return window.Picture.Pixels;
}

void FillPixels(Window &window, const RECT &windowRect, COLORREF color,
                const std::vector<RECT> *clip) {
    Keep(window, windowRect, clip, [color](PixelOp &op) {
        op.Opaque = true;
        op.Color = color;
    });
}

void DrawTextPixels(Window &window, int x, int y, const std::string &text, int height, int width,
                    COLORREF color, const std::vector<RECT> *clip) {
    if (height <= 0 || width <= 0) {
        return;
    }
    RECT box{x, y, x + (int)text.size() * width, y + height};
    Keep(
        window, box, clip,
        [&](PixelOp &op) {
            op.Kind = PixelOp::Shape::Text;
            op.Color = color;
            op.X = x, op.Y = y, op.Width = width, op.Height = height;
        },
        text.data(), text.size());
}

void DrawTextBox(Window &window, int x, int y, const char *text, size_t length, int height,
                 int width, COLORREF color, COLORREF back, const std::vector<RECT> *clip) {
    RECT box{x, y, x + (int)length * width, y + height};
    Keep(
        window, box, clip,
        [&](PixelOp &op) {
            op.Kind = PixelOp::Shape::Text;
            op.Opaque = true;
            op.Color = color;
            op.HasBack = true;
            op.Back = back;
            op.X = x, op.Y = y, op.Width = width, op.Height = height;
        },
        text, length);
}

void DrawLinePixels(Window &window, int x0, int y0, int x1, int y1, int width, COLORREF color,
                    const std::vector<RECT> *clip) {
    int low = width <= 1 ? 0 : -(width / 2);
    int size = width <= 1 ? 1 : width;
    if ((x0 == x1) != (y0 == y1)) {
        // A straight line covers exactly the rectangle of its stamps, from its first
        // point to the one before its last.
        int firstX = x0, lastX = x0, firstY = y0, lastY = y0;
        if (x0 != x1) {
            firstX = x0 < x1 ? x0 : x1 + 1;
            lastX = x0 < x1 ? x1 - 1 : x0;
        } else {
            firstY = y0 < y1 ? y0 : y1 + 1;
            lastY = y0 < y1 ? y1 - 1 : y0;
        }
        FillPixels(window, RECT{firstX + low, firstY + low, lastX + low + size, lastY + low + size},
                   color, clip);
        return;
    }
    if (x0 == x1) {
        return; // no point but the last
    }
    RECT reach{std::min(x0, x1) + low, std::min(y0, y1) + low, std::max(x0, x1) + low + size,
               std::max(y0, y1) + low + size};
    Keep(window, reach, clip, [&](PixelOp &op) {
        op.Kind = PixelOp::Shape::Line;
        op.Color = color;
        op.X = x0, op.Y = y0, op.X2 = x1, op.Y2 = y1, op.Width = width;
    });
}

void DrawIconPixels(Window &window, int x, int y, int width, int height,
                    const std::shared_ptr<Icon> &image, const std::vector<RECT> *clip) {
    Keep(
        window, RECT{x, y, x + width, y + height}, clip,
        [&](PixelOp &op) {
            op.Kind = PixelOp::Shape::Icon;
            op.X = x, op.Y = y, op.Width = width, op.Height = height;
        },
        nullptr, 0, &image);
}

} // namespace headless::detail
