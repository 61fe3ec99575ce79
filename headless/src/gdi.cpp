// Device contexts, graphics objects, the rasteriser and the drawing log.
#include "world.h"

#include "byte_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace headless::detail {

namespace {

// A new object of the kind in a slot of the table, its fields as a new GdiObject's but the
// face, which only CreateFontA sets and only fonts have (the slot's face text keeps its
// memory for the next font); the caller sets the rest. A free slot holds no icon image.
GdiObject &NewObject(ObjKind kind, bool stock, HGDIOBJ &handle) {
    World &world = W();
    uintptr_t value = 0;
    GdiObject &object = world.Objects.Claim(value);
    object.Kind = kind;
    object.Stock = stock;
    object.PenStyle = PS_SOLID;
    object.PenWidth = 1;
    object.Color = 0;
    object.NullBrush = false;
    object.FontHeight = 16;
    object.FontWidth = 8;
    handle = HandleOf<HGDIOBJ>(value);
    if (!stock) {
        ++world.LiveObjects;
    }
    return object;
}

HGDIOBJ MakeStock(int index);

// Every device context starts with three stock objects: made once, then taken from the table.
inline HGDIOBJ Stock(int index) {
    World &world = W();
    if (index >= 0 && index < STOCK_OBJECTS && world.StockObjects[index]) {
        return world.StockObjects[index];
    }
    return MakeStock(index);
}

HGDIOBJ MakeStock(int index) {
    World &world = W();
    GdiObject object;
    object.Stock = true;
    switch (index) {
    case WHITE_BRUSH:
    case LTGRAY_BRUSH:
    case GRAY_BRUSH:
    case DKGRAY_BRUSH:
    case BLACK_BRUSH:
    case NULL_BRUSH: {
        static const COLORREF colors[] = {RGB(255, 255, 255), RGB(192, 192, 192),
                                          RGB(128, 128, 128), RGB(64, 64, 64),
                                          RGB(0, 0, 0),       0};
        object.Kind = ObjKind::Brush;
        object.Color = colors[index];
        object.NullBrush = index == NULL_BRUSH;
        break;
    }
    case WHITE_PEN:
    case BLACK_PEN:
    case NULL_PEN:
        object.Kind = ObjKind::Pen;
        object.Color = index == WHITE_PEN ? RGB(255, 255, 255) : RGB(0, 0, 0);
        object.PenStyle = index == NULL_PEN ? PS_NULL : PS_SOLID;
        break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case SYSTEM_FIXED_FONT:
    case DEFAULT_GUI_FONT:
        object.Kind = ObjKind::Font;
        break;
    default:
        Unsupported("GetStockObject", "object " + std::to_string(index));
    }
    HGDIOBJ handle = nullptr;
    NewObject(object.Kind, true, handle) = std::move(object);
    world.StockObjects[index] = handle;
    return handle;
}

std::shared_ptr<Icon> SystemIconImage() {
    auto icon = std::make_shared<Icon>();
    icon->Color.assign(32 * 32, RGB(255, 255, 255));
    icon->Mask.assign(32 * 32, 0);
    for (int i = 0; i < 32; ++i) {
        icon->Color[(size_t)i] = icon->Color[(size_t)(31 * 32 + i)] = 0;
        icon->Color[(size_t)(i * 32)] = icon->Color[(size_t)(i * 32 + 31)] = 0;
    }
    return icon;
}

const GdiObject &Selected(const DeviceContext &, HGDIOBJ handle) {
    return W().Objects.Live(Key(handle)); // a DC holds only live objects
}

// Adds the call to the drawing log, when a test keeps one. The DC's pen, brush, colours and
// font are those of the moment of the call.
DrawCall *AddLogEntry(const char *name, HDC hdc, int x1, int y1, int x2, int y2) {
    World &world = W();
    DeviceContext &dc = LiveDC(name, hdc);
    const GdiObject &pen = Selected(dc, dc.Pen);
    const GdiObject &brush = Selected(dc, dc.Brush);
    const GdiObject &font = Selected(dc, dc.Font);
    DrawCall &call = world.Log.emplace_back();
    call.Name = name;
    call.Window = dc.Window;
    call.PaintDC = dc.Type == DcType::Paint;
    call.WindowDC = dc.Type == DcType::Window;
    call.X1 = x1, call.Y1 = y1, call.X2 = x2, call.Y2 = y2;
    call.PenColor = pen.Color;
    call.PenWidth = pen.PenWidth;
    call.PenStyle = pen.PenStyle;
    call.BrushColor = brush.Color;
    call.TextColor = dc.TextColor;
    call.BkColor = dc.BkColor;
    call.FontFace = font.FontFace;
    call.FontHeight = font.FontHeight;
    return &call;
}

inline DrawCall *LogCall(const char *name, HDC hdc, int x1, int y1, int x2, int y2) {
    return W().KeepLog ? AddLogEntry(name, hdc, x1, y1, x2, y2) : nullptr;
}

} // namespace

// ---- Pixels ------------------------------------------------------------------------
bool InClip(const Window &window, int x, int y, const std::vector<RECT> *clip) {
    if (x < 0 || y < 0 || x >= WindowWidth(window) || y >= WindowHeight(window)) {
        return false;
    }
    if (!clip) {
        return true;
    }
    for (const RECT &rect : *clip) {
        if (x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom) {
            return true;
        }
    }
    return false;
}

COLORREF SystemColor(int index) {
    switch (index) {
    case COLOR_ACTIVECAPTION:
        return CaptionColor;
    case COLOR_MENU:
        return MenuBarColor;
    case COLOR_WINDOW:
    case COLOR_HIGHLIGHTTEXT:
    case COLOR_BTNHIGHLIGHT:
        return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_MENUTEXT:
    case COLOR_BTNTEXT:
    case COLOR_WINDOWFRAME:
        return RGB(0, 0, 0);
    case COLOR_BTNFACE:
        return DialogFaceColor;
    case COLOR_BTNSHADOW:
    case COLOR_GRAYTEXT:
        return RGB(128, 128, 128);
    case COLOR_ACTIVEBORDER:
    case COLOR_INACTIVEBORDER:
        return WindowFrameColor;
    case COLOR_APPWORKSPACE:
        return RGB(128, 128, 128);
    case COLOR_BACKGROUND:
        return RGB(0, 128, 128);
    case COLOR_HIGHLIGHT:
        return RGB(0, 0, 128);
    default:
        Unsupported("system colour", std::to_string(index));
    }
}

COLORREF BrushColor(const char *call, HBRUSH brush, bool *isNull) {
    *isNull = false;
    uintptr_t value = Key(brush);
    if (value >= 1 && value <= 31) {
        return SystemColor((int)value - 1); // a system colour index + 1
    }
    GdiObject &object = LiveObject(call, brush);
    if (object.Kind != ObjKind::Brush) {
        Unsupported(call, "handle " + HandleText(brush) + " is no brush");
    }
    *isNull = object.NullBrush;
    return object.Color;
}

void ChargeDraw() {
    W().TickCount += W().DrawCost;
}

// ---- Objects and device contexts ---------------------------------------------------
void NoObject(const char *call, HGDIOBJ handle) {
    Unsupported(call, "handle " + HandleText(handle) + " is no graphics object");
}

void NoDC(const char *call, HDC dc) {
    Unsupported(call, "handle " + HandleText(dc) + " is no device context in use");
}

HDC NewDC(HWND handle, DcType type) {
    Window &window = LiveWindow("GetDC", handle);
    HGDIOBJ pen = Stock(BLACK_PEN), brush = Stock(WHITE_BRUSH), font = Stock(SYSTEM_FONT);
    uintptr_t result = 0;
    DeviceContext &dc = W().DCs.Claim(result);
    dc.Window = handle;
    dc.Type = type;
    dc.Pen = pen;
    dc.Brush = brush;
    dc.Font = font;
    dc.Held = 0;
    dc.BkColor = RGB(255, 255, 255);
    dc.TextColor = RGB(0, 0, 0);
    dc.MapMode = MM_TEXT;
    dc.Position = POINT{0, 0};
    dc.Clip.resize(1);
    RECT &clip = dc.Clip[0];
    if (type == DcType::Window) {
        clip = RECT{0, 0, WindowWidth(window), WindowHeight(window)};
    } else {
        clip = ClientRectInWindow(window);
    }
    dc.Origin = POINT{clip.left, clip.top};
    return HandleOf<HDC>(result);
}

namespace {

void DropDC(World &world, HDC handle, const DeviceContext &dc) {
    world.HeldObjects -= (dc.Held & HELD_PEN ? 1 : 0) + (dc.Held & HELD_BRUSH ? 1 : 0) +
                         (dc.Held & HELD_FONT ? 1 : 0);
    world.DCs.RemoveFound(Key(handle));
}

} // namespace

void ReleaseDCInternal(HDC dc) {
    World &world = W();
    if (DeviceContext *found = world.DCs.Find(Key(dc))) {
        DropDC(world, dc, *found);
    }
}

std::shared_ptr<Icon> LoadIconResource(const ResourceFile &file, const ResId &name) {
    const Resource *group = file.Find(ResId::From(RT_GROUP_ICON), name);
    if (!group) {
        return nullptr;
    }
    // The group: reserved, type, count, and 14 bytes for each image.
    ByteReader dir(group->Data);
    dir.Skip(4);
    WORD count = dir.U16();
    ResId imageId;
    int bestScore = -1;
    for (WORD i = 0; i < count; ++i) {
        int width = dir.U8();
        dir.Skip(5); // height, colours, reserved, planes
        int bits = dir.U16();
        dir.Skip(4); // bytes in the image
        WORD id = dir.U16();
        int score = ((width ? width : 256) == 32 ? 1000 : 0) + bits;
        if (score > bestScore) {
            imageId.Ordinal = id;
            bestScore = score;
        }
    }
    if (!dir.Ok()) {
        Unsupported("LoadIconA", "icon group " + name.Describe() + " is malformed");
    }
    if (bestScore < 0) {
        return nullptr;
    }
    const Resource *image = file.Find(ResId::From(RT_ICON), imageId);
    if (!image) {
        Unsupported("LoadIconA", "icon image " + imageId.Describe() + " is missing");
    }
    // BITMAPINFOHEADER, palette, colour bits and mask bits, rows bottom first.
    ByteReader in(image->Data);
    DWORD headerSize = in.U32();
    int width = (int32_t)in.U32();
    int height = (int32_t)in.U32() / 2;
    in.Skip(2); // planes
    int bits = in.U16();
    DWORD compression = in.U32();
    in.Skip(12); // image size, resolution
    DWORD used = in.U32();
    in.Skip(4); // important colours
    if (!in.Ok() || headerSize < 40) {
        Unsupported("LoadIconA", "icon image " + imageId.Describe() +
                                     " is not a bitmap (PNG icons are not supported)");
    }
    if (width <= 0 || height <= 0 || width > 256 || height > 256 || compression != 0 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
        Unsupported("LoadIconA", "icon image format (" + std::to_string(bits) + " bits)");
    }
    size_t paletteSize = bits <= 8 ? (used ? used : (1u << bits)) : 0;
    size_t xorStride = (((size_t)width * bits + 31) / 32) * 4;
    size_t andStride = (((size_t)width + 31) / 32) * 4;
    in.Skip(headerSize - 40);
    const uint8_t *palette = in.Bytes(paletteSize * 4);
    const uint8_t *xorBits = in.Bytes(xorStride * (size_t)height);
    const uint8_t *andBits = in.Bytes(andStride * (size_t)height);
    if (!in.Ok()) {
        Unsupported("LoadIconA", "icon image " + imageId.Describe() + " is truncated");
    }
    auto icon = std::make_shared<Icon>();
    icon->Width = width;
    icon->Height = height;
    icon->Color.resize((size_t)width * height);
    icon->Mask.resize((size_t)width * height);
    bool hasAlpha = false;
    for (int y = 0; y < height; ++y) {
        const uint8_t *row = xorBits + xorStride * (size_t)(height - 1 - y);
        const uint8_t *maskRow = andBits + andStride * (size_t)(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            COLORREF color = 0;
            if (bits <= 8) {
                size_t bit = (size_t)x * bits;
                unsigned index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index < paletteSize) {
                    const uint8_t *p = palette + index * 4;
                    color = RGB(p[2], p[1], p[0]);
                }
            } else {
                const uint8_t *p = row + (size_t)x * (bits / 8);
                color = RGB(p[2], p[1], p[0]);
                if (bits == 32 && p[3]) {
                    hasAlpha = true;
                }
            }
            size_t i = (size_t)y * width + x;
            icon->Color[i] = color;
            icon->Mask[i] = (maskRow[x / 8] >> (7 - x % 8)) & 1;
        }
    }
    if (hasAlpha) {
        for (int y = 0; y < height; ++y) {
            const uint8_t *row = xorBits + xorStride * (size_t)(height - 1 - y);
            for (int x = 0; x < width; ++x) {
                icon->Mask[(size_t)y * width + x] = row[(size_t)x * 4 + 3] < 128;
            }
        }
    }
    return icon;
}

} // namespace headless::detail

using namespace headless;
using namespace headless::detail;

// ---- Device contexts ---------------------------------------------------------------
HDC WINAPI GetDC(HWND hWnd) {
    if (!hWnd) {
        Unsupported("GetDC", "a null window (the screen)");
    }
    return NewDC(hWnd, DcType::Client);
}

HDC WINAPI GetWindowDC(HWND hWnd) {
    if (!hWnd) {
        Unsupported("GetWindowDC", "a null window (the screen)");
    }
    return NewDC(hWnd, DcType::Window);
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
    World &world = W();
    DeviceContext *found = world.DCs.Find(Key(hDC));
    if (!found || found->Window != hWnd || found->Type == DcType::Paint) {
        return 0;
    }
    DropDC(world, hDC, *found);
    return 1;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    Window &window = LiveWindow("BeginPaint", hWnd);
    HDC hdc = NewDC(hWnd, DcType::Paint);
    DeviceContext &dc = *W().DCs.Find(Key(hdc));
    RECT box{0, 0, 0, 0};
    dc.Clip.clear();
    for (RECT rect : window.Update) {
        UnionRect(&box, &box, &rect);
        OffsetRect(&rect, dc.Origin.x, dc.Origin.y);
        dc.Clip.push_back(rect);
    }
    bool erase = window.ErasePending;
    window.Update.clear();
    window.ErasePending = false;
    std::memset(lpPaint, 0, sizeof *lpPaint);
    lpPaint->hdc = hdc;
    lpPaint->rcPaint = box;
    if (erase && !dc.Clip.empty()) {
        lpPaint->fErase = CallWindow(hWnd, WM_ERASEBKGND, (WPARAM)hdc, 0) ? FALSE : TRUE;
    }
    return hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT *lpPaint) {
    World &world = W();
    DeviceContext *found = world.DCs.Find(Key(lpPaint->hdc));
    if (!found || found->Window != hWnd || found->Type != DcType::Paint) {
        Unsupported("EndPaint", "a paint structure that BeginPaint did not fill for this window");
    }
    DropDC(world, lpPaint->hdc, *found);
    Window &window = LiveWindow("EndPaint", hWnd);
    if (window.Kind == WindowKind::Dialog) {
        for (auto &entry : W().Windows) {
            Window &child = *entry.second;
            if (!child.Destroyed && child.Kind == WindowKind::Control && child.Parent == hWnd) {
                RenderControl(child);
            }
        }
    }
    return TRUE;
}

// ---- Objects -----------------------------------------------------------------------
HGDIOBJ WINAPI GetStockObject(int i) {
    return Stock(i);
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    DeviceContext &dc = LiveDC("SelectObject", hdc);
    GdiObject &object = LiveObject("SelectObject", h);
    HGDIOBJ previous = nullptr;
    uint8_t bit = 0;
    switch (object.Kind) {
    case ObjKind::Pen:
        previous = dc.Pen;
        dc.Pen = h;
        bit = HELD_PEN;
        break;
    case ObjKind::Brush:
        previous = dc.Brush;
        dc.Brush = h;
        bit = HELD_BRUSH;
        break;
    case ObjKind::Font:
        previous = dc.Font;
        dc.Font = h;
        bit = HELD_FONT;
        break;
    default:
        Unsupported("SelectObject", "an object that is no pen, brush or font");
    }
    W().HeldObjects += (object.Stock ? 0 : 1) - ((dc.Held & bit) ? 1 : 0);
    dc.Held = object.Stock ? dc.Held & ~bit : dc.Held | bit;
    return previous;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    World &world = W();
    GdiObject *found = world.Objects.Find(Key(ho));
    if (!found || found->Kind == ObjKind::Icon || found->Kind == ObjKind::Cursor) {
        return FALSE;
    }
    if (found->Stock) {
        return TRUE;
    }
    // Windows refuses to delete an object that a device context still holds; none does
    // while they hold only stock objects.
    bool selected = false;
    if (world.HeldObjects > 0) {
        world.DCs.ForEach([&](const DeviceContext &dc) {
            selected = selected || dc.Pen == ho || dc.Brush == ho || dc.Font == ho;
        });
    }
    if (selected) {
        ++world.SelectedDeleted;
        return FALSE;
    }
    world.Objects.RemoveFound(Key(ho)); // a later use of the handle stops the run
    --world.LiveObjects;
    return TRUE;
}

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
    if (iStyle != PS_SOLID && iStyle != PS_INSIDEFRAME && iStyle != PS_NULL) {
        Unsupported("CreatePen", "pen style " + std::to_string(iStyle));
    }
    if (cWidth < 0) {
        Unsupported("CreatePen", "a negative width");
    }
    HGDIOBJ handle = nullptr;
    GdiObject &pen = NewObject(ObjKind::Pen, false, handle);
    pen.PenStyle = iStyle;
    pen.PenWidth = cWidth == 0 ? 1 : cWidth;
    pen.Color = color & 0xFFFFFF;
    return (HPEN)handle;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    HGDIOBJ handle = nullptr;
    NewObject(ObjKind::Brush, false, handle).Color = color & 0xFFFFFF;
    return (HBRUSH)handle;
}

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                         DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                         DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality,
                         DWORD iPitchAndFamily, LPCSTR pszFaceName) {
    (void)cWeight, (void)bItalic, (void)bUnderline, (void)bStrikeOut, (void)iCharSet;
    (void)iOutPrecision, (void)iClipPrecision, (void)iQuality, (void)iPitchAndFamily;
    if (cEscapement || cOrientation) {
        Unsupported("CreateFontA", "rotated text");
    }
    HGDIOBJ handle = nullptr;
    GdiObject &font = NewObject(ObjKind::Font, false, handle);
    font.FontHeight = cHeight == 0 ? 16 : std::abs(cHeight);
    font.FontWidth = cWidth == 0 ? font.FontHeight / 2 : std::abs(cWidth);
    // Most likely the face of the font the slot held before.
    const char *face = pszFaceName ? pszFaceName : "";
    const std::string &former = font.FontFace;
    size_t same = 0;
    while (same < former.size() && former[same] == face[same]) {
        ++same;
    }
    if (same != former.size() || face[same] != '\0') {
        font.FontFace.assign(face);
    }
    return (HFONT)handle;
}

// ---- Attributes --------------------------------------------------------------------
COLORREF WINAPI GetNearestColor(HDC hdc, COLORREF color) {
    LiveDC("GetNearestColor", hdc);
    return color & 0xFFFFFF; // a true-colour display
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
    DeviceContext &dc = LiveDC("SetBkColor", hdc);
    COLORREF previous = dc.BkColor;
    dc.BkColor = color & 0xFFFFFF;
    return previous;
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
    DeviceContext &dc = LiveDC("SetTextColor", hdc);
    COLORREF previous = dc.TextColor;
    dc.TextColor = color & 0xFFFFFF;
    return previous;
}

int WINAPI SetMapMode(HDC hdc, int iMode) {
    DeviceContext &dc = LiveDC("SetMapMode", hdc);
    if (iMode != MM_TEXT) {
        Unsupported("SetMapMode", "mapping mode " + std::to_string(iMode));
    }
    int previous = dc.MapMode;
    dc.MapMode = iMode;
    return previous;
}

// ---- Drawing -----------------------------------------------------------------------
BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
    DeviceContext &dc = LiveDC("MoveToEx", hdc);
    if (lppt) {
        *lppt = dc.Position;
    }
    LogCall("MoveToEx", hdc, x, y, 0, 0);
    dc.Position = POINT{x, y};
    return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    DeviceContext &dc = LiveDC("LineTo", hdc);
    LogCall("LineTo", hdc, dc.Position.x, dc.Position.y, x, y);
    const GdiObject &pen = Selected(dc, dc.Pen);
    if (pen.PenStyle != PS_NULL) {
        Window &window = LiveWindow("LineTo", dc.Window);
        DrawLinePixels(window, dc.Position.x + dc.Origin.x, dc.Position.y + dc.Origin.y,
                       x + dc.Origin.x, y + dc.Origin.y, pen.PenWidth, pen.Color, &dc.Clip);
    }
    dc.Position = POINT{x, y};
    ChargeDraw();
    return TRUE;
}

int WINAPI FillRect(HDC hDC, const RECT *lprc, HBRUSH hbr) {
    DeviceContext &dc = LiveDC("FillRect", hDC);
    bool isNull = false;
    COLORREF color = BrushColor("FillRect", hbr, &isNull);
    if (DrawCall *call =
            LogCall("FillRect", hDC, lprc->left, lprc->top, lprc->right, lprc->bottom)) {
        call->BrushColor = color;
    }
    if (!isNull) {
        FillPixels(LiveWindow("FillRect", dc.Window), Shifted(*lprc, dc.Origin.x, dc.Origin.y),
                   color, &dc.Clip);
    }
    ChargeDraw();
    return 1;
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
    DeviceContext &dc = LiveDC("TextOutA", hdc);
    if (c < 0) {
        Unsupported("TextOutA", "a negative length");
    }
    const GdiObject &font = Selected(dc, dc.Font);
    if (DrawCall *call =
            LogCall("TextOutA", hdc, x, y, x + c * font.FontWidth, y + font.FontHeight)) {
        call->Text.assign(lpString, (size_t)c);
    }
    Window &window = LiveWindow("TextOutA", dc.Window);
    DrawTextBox(window, x + dc.Origin.x, y + dc.Origin.y, lpString, (size_t)c, font.FontHeight,
                font.FontWidth, dc.TextColor, dc.BkColor, &dc.Clip);
    ChargeDraw();
    return TRUE;
}

BOOL WINAPI GetTextExtentPointA(HDC hdc, LPCSTR lpString, int c, LPSIZE lpsz) {
    (void)lpString;
    DeviceContext &dc = LiveDC("GetTextExtentPointA", hdc);
    const GdiObject &font = Selected(dc, dc.Font);
    lpsz->cx = c * font.FontWidth;
    lpsz->cy = font.FontHeight;
    return TRUE;
}

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
    DeviceContext &dc = LiveDC("GetTextMetricsA", hdc);
    const GdiObject &font = Selected(dc, dc.Font);
    std::memset(lptm, 0, sizeof *lptm);
    lptm->tmHeight = font.FontHeight;
    lptm->tmAscent = font.FontHeight - font.FontHeight / 4;
    lptm->tmDescent = font.FontHeight / 4;
    lptm->tmAveCharWidth = font.FontWidth;
    lptm->tmMaxCharWidth = font.FontWidth;
    lptm->tmWeight = FW_NORMAL;
    lptm->tmDigitizedAspectX = 96;
    lptm->tmDigitizedAspectY = 96;
    lptm->tmFirstChar = 32;
    lptm->tmLastChar = 255;
    lptm->tmDefaultChar = '?';
    lptm->tmBreakChar = ' ';
    lptm->tmPitchAndFamily = FF_MODERN; // fixed pitch: TMPF_FIXED_PITCH is clear
    lptm->tmCharSet = ANSI_CHARSET;
    return TRUE;
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    DeviceContext &dc = LiveDC("GetPixel", hdc);
    Window &window = LiveWindow("GetPixel", dc.Window);
    int px = x + dc.Origin.x, py = y + dc.Origin.y;
    if (!HasPixels(window) || !InClip(window, px, py, &dc.Clip)) {
        return CLR_INVALID;
    }
    return PixelsOf(window)[(size_t)py * (size_t)WindowWidth(window) + (size_t)px];
}

// ---- Icons and cursors -------------------------------------------------------------
HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    if (!hInstance) {
        WORD id = IS_INTRESOURCE(lpIconName) ? (WORD)(uintptr_t)lpIconName : 0;
        if (id < 32512 || id > 32516) {
            Unsupported("LoadIconA", "a system icon other than IDI_APPLICATION to IDI_ASTERISK");
        }
        HGDIOBJ handle = nullptr;
        NewObject(ObjKind::Icon, true, handle).IconImage = SystemIconImage();
        return (HICON)handle;
    }
    const ResourceFile &file = ResourcesOf("LoadIconA", hInstance);
    std::shared_ptr<Icon> image = LoadIconResource(file, ResId::From(lpIconName));
    if (!image) {
        return nullptr;
    }
    HGDIOBJ handle = nullptr;
    NewObject(ObjKind::Icon, false, handle).IconImage = std::move(image);
    return (HICON)handle;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
    WORD id = IS_INTRESOURCE(lpCursorName) ? (WORD)(uintptr_t)lpCursorName : 0;
    if (hInstance || id < 32512 || id > 32515) {
        Unsupported("LoadCursorA", "a cursor other than the system's arrow, beam, wait, cross");
    }
    HGDIOBJ handle = nullptr;
    NewObject(ObjKind::Cursor, true, handle);
    return (HCURSOR)handle;
}

BOOL WINAPI DestroyIcon(HICON hIcon) {
    GdiObject *found = W().Objects.Find(Key(hIcon));
    if (!found || found->Kind != ObjKind::Icon) {
        return FALSE;
    }
    if (!found->Stock) {
        found->IconImage.reset();
        W().Objects.RemoveFound(Key(hIcon));
        --W().LiveObjects;
    }
    return TRUE;
}

BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
    DeviceContext &dc = LiveDC("DrawIcon", hDC);
    GdiObject &object = LiveObject("DrawIcon", hIcon);
    if (object.Kind != ObjKind::Icon) {
        Unsupported("DrawIcon", "a handle that is no icon");
    }
    int width = Metric(SM_CXICON), height = Metric(SM_CYICON);
    LogCall("DrawIcon", hDC, X, Y, X + width, Y + height);
    DrawIconPixels(LiveWindow("DrawIcon", dc.Window), X + dc.Origin.x, Y + dc.Origin.y, width,
                   height, object.IconImage, &dc.Clip);
    ChargeDraw();
    return TRUE;
}

// ---- Driver: what was drawn --------------------------------------------------------
namespace headless {

void KeepDrawLog(bool keep) {
    W().KeepLog = keep;
    if (!keep) {
        W().Log.clear();
    }
}
const std::vector<DrawCall> &DrawLog() {
    return W().Log;
}
void ClearDrawLog() {
    W().Log.clear();
}
int LiveGdiObjects() {
    return W().LiveObjects;
}
int LiveDCs() {
    return (int)W().DCs.Size();
}
int SelectedObjectsDeleted() {
    return W().SelectedDeleted;
}
const std::vector<UINT> &Beeps() {
    return W().Beeps;
}

COLORREF Pixel(HWND window, int clientX, int clientY) {
    Window &target = LiveWindow("Pixel", window);
    POINT offset = ClientOffset(target);
    int x = clientX + offset.x, y = clientY + offset.y;
    if (!HasPixels(target) || !InClip(target, x, y, nullptr)) {
        return CLR_INVALID;
    }
    return PixelsOf(target)[(size_t)y * (size_t)WindowWidth(target) + (size_t)x];
}

} // namespace headless
