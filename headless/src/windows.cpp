// Windows, classes, the message queue and painting requests.
#include "world.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace headless::detail {

namespace {

// Dispatches of WM_PAINT that leave a window invalid before we call it a loop without end.
const int PAINT_STREAK_LIMIT = 1000;

int FrameX(const Window &window) {
    if (window.Style & WS_THICKFRAME) {
        return Metric(SM_CXFRAME);
    }
    if ((window.Style & WS_DLGFRAME) || (window.ExStyle & WS_EX_DLGMODALFRAME)) {
        return Metric(SM_CXDLGFRAME);
    }
    if (window.Style & WS_BORDER) {
        return Metric(SM_CXBORDER);
    }
    return 0;
}

int FrameY(const Window &window) {
    if (window.Style & WS_THICKFRAME) {
        return Metric(SM_CYFRAME);
    }
    if ((window.Style & WS_DLGFRAME) || (window.ExStyle & WS_EX_DLGMODALFRAME)) {
        return Metric(SM_CYDLGFRAME);
    }
    if (window.Style & WS_BORDER) {
        return Metric(SM_CYBORDER);
    }
    return 0;
}

int CaptionHeight(const Window &window) {
    return (window.Style & WS_CAPTION) == WS_CAPTION ? Metric(SM_CYCAPTION) : 0;
}

int MenuHeight(const Window &window) {
    return (!(window.Style & WS_CHILD) && window.Menu) ? Metric(SM_CYMENU) : 0;
}

RECT Intersect(const RECT &a, const RECT &b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) {
        return RECT{0, 0, 0, 0};
    }
    return r;
}

bool Empty(const RECT &r) {
    return r.left >= r.right || r.top >= r.bottom;
}

HWND TopLevelOf(HWND handle) {
    Window *window = FindWindow(handle);
    while (window && (window->Style & WS_CHILD) && window->Parent) {
        window = FindWindow(window->Parent);
    }
    return window ? window->Handle : nullptr;
}

bool AcceptsInput(HWND handle) {
    Window *window = FindWindow(handle);
    if (!window || !window->Visible || !window->Enabled) {
        return false;
    }
    Window *top = FindWindow(TopLevelOf(handle));
    return top && top->Enabled && top->Visible;
}

bool InRange(UINT message, UINT first, UINT last) {
    if (first == 0 && last == 0) {
        return true;
    }
    return message >= first && message <= last;
}

bool MatchesWindow(HWND target, HWND filter) {
    if (filter == nullptr) {
        return true;
    }
    if (filter == (HWND)(intptr_t)-1) {
        return target == nullptr;
    }
    return target == filter || IsChildOf(target, filter);
}

void SendSize(Window &window) {
    CallWindow(window.Handle, WM_SIZE, SIZE_RESTORED,
               MAKELPARAM(WindowWidth(window) - 2 * FrameX(window),
                          WindowHeight(window) - ClientOffset(window).y - FrameY(window)));
}

void ShowInternal(Window &window, bool activate) {
    window.Visible = true;
    if (!window.ShownOnce) {
        window.ShownOnce = true;
        if (!(window.Style & WS_CHILD)) {
            SendSize(window);
        }
    }
    PaintNonClient(window);
    if (activate && !(window.Style & WS_CHILD) && window.Kind == WindowKind::Normal) {
        W().Focus = window.Handle;
    }
}

} // namespace

// ---- Geometry ----------------------------------------------------------------------
int WindowWidth(const Window &window) {
    return window.Rect.right - window.Rect.left;
}
int WindowHeight(const Window &window) {
    return window.Rect.bottom - window.Rect.top;
}

static const Window::Geometry &Measure(const Window &window) {
    Window::Geometry &known = window.Measured;
    unsigned metrics = W().MetricChanges;
    if (!known.Known || known.Style != window.Style || known.ExStyle != window.ExStyle ||
        known.Menu != window.Menu || known.Metrics != metrics) {
        known.Known = true;
        known.Style = window.Style;
        known.ExStyle = window.ExStyle;
        known.Menu = window.Menu;
        known.Metrics = metrics;
        known.Frame = POINT{FrameX(window), FrameY(window)};
        known.Offset =
            POINT{known.Frame.x, known.Frame.y + CaptionHeight(window) + MenuHeight(window)};
    }
    return known;
}

POINT ClientOffset(const Window &window) {
    return Measure(window).Offset;
}

POINT ClientOrigin(const Window &window) {
    POINT offset = ClientOffset(window);
    return POINT{window.Rect.left + offset.x, window.Rect.top + offset.y};
}

RECT ClientRectInWindow(const Window &window) {
    const Window::Geometry &known = Measure(window);
    int width = std::max(0, WindowWidth(window) - 2 * known.Frame.x);
    int height = std::max(0, WindowHeight(window) - known.Offset.y - known.Frame.y);
    return RECT{known.Offset.x, known.Offset.y, known.Offset.x + width, known.Offset.y + height};
}

RECT ClientRectScreen(const Window &window) {
    return Shifted(ClientRectInWindow(window), window.Rect.left, window.Rect.top);
}

SIZE WindowSizeForClient(DWORD style, DWORD exStyle, bool hasMenu, int clientWidth,
                         int clientHeight) {
    Window probe;
    probe.Style = style;
    probe.ExStyle = exStyle;
    probe.Menu = hasMenu ? HandleOf<HMENU>(1) : nullptr;
    POINT offset = ClientOffset(probe);
    return SIZE{clientWidth + 2 * FrameX(probe), clientHeight + offset.y + FrameY(probe)};
}

void ResizePixels(Window &window) {
    if (window.Kind == WindowKind::Control) {
        return;
    }
    COLORREF back = RGB(255, 255, 255);
    if (window.Kind != WindowKind::Normal) {
        back = DialogFaceColor;
    } else if (window.Background) {
        bool isNull = false;
        COLORREF color = BrushColor("RegisterClassA", window.Background, &isNull);
        if (!isNull) {
            back = color;
        }
    }
    ResizeCanvas(window, back);
}

void PaintNonClient(Window &window) {
    if (window.Kind == WindowKind::Control || !HasPixels(window)) {
        return;
    }
    int width = WindowWidth(window), height = WindowHeight(window);
    int fx = FrameX(window), fy = FrameY(window);
    int caption = CaptionHeight(window), menu = MenuHeight(window);
    POINT offset = ClientOffset(window);
    RECT client = ClientRectInWindow(window);
    RECT frames[4] = {{0, 0, width, offset.y},
                      {0, client.bottom, width, height},
                      {0, offset.y, fx, client.bottom},
                      {client.right, offset.y, width, client.bottom}};
    for (const RECT &frame : frames) {
        FillPixels(window, frame, WindowFrameColor, nullptr);
    }
    if (caption) {
        RECT bar{fx, fy, width - fx, fy + caption};
        FillPixels(window, bar, CaptionColor, nullptr);
        std::vector<RECT> clip{bar};
        DrawTextPixels(window, fx + 4, fy + (caption - 12) / 2, window.Text, 12, 6,
                       RGB(255, 255, 255), &clip);
    }
    if (menu) {
        RECT bar{fx, fy + caption, width - fx, fy + caption + menu};
        FillPixels(window, bar, MenuBarColor, nullptr);
        std::vector<RECT> clip{bar};
        const std::vector<MenuItem> &items = W().Menus[Key(window.Menu)].Items;
        std::vector<RECT> places = MenuBarPlaces(window);
        for (size_t i = 0; i < items.size(); ++i) {
            DrawTextPixels(window, places[i].left + 6, bar.top + (menu - 12) / 2,
                           MenuLabel(items[i].Text), 12, 6, RGB(0, 0, 0), &clip);
        }
    }
}

bool IsChildOf(HWND child, HWND parent) {
    Window *window = FindWindow(child);
    while (window && (window->Style & WS_CHILD) && window->Parent) {
        if (window->Parent == parent) {
            return true;
        }
        window = FindWindow(window->Parent);
    }
    return false;
}

// ---- Handles -----------------------------------------------------------------------
// The window of a handle, destroyed or not; null for none. Drawing asks for the same
// window call after call, so the last one found is kept at hand.
static Window *Lookup(HWND handle) {
    World &world = W();
    uintptr_t key = Key(handle);
    if (key == world.LastWindowKey) {
        return world.LastWindow;
    }
    auto found = world.Windows.find(key);
    if (found == world.Windows.end()) {
        return nullptr;
    }
    world.LastWindowKey = key;
    world.LastWindow = found->second.get();
    return world.LastWindow;
}

Window *LookUpWindow(HWND handle) {
    if (!handle) {
        return nullptr;
    }
    Window *window = Lookup(handle);
    if (!window) {
        // A handle that was given out once may belong to a window destroyed and forgotten.
        if (Key(handle) > W().NextHandle) {
            Unsupported("window lookup", "handle " + HandleText(handle) + " is no window");
        }
        return nullptr;
    }
    return window->Destroyed ? nullptr : window;
}

Window &FindLiveWindow(const char *call, HWND handle) {
    if (handle == nullptr) {
        Unsupported(call, "a null window");
    }
    Window *window = Lookup(handle);
    if (!window) {
        Unsupported(call, "handle " + HandleText(handle) + " is no window");
    }
    if (window->Destroyed) {
        Unsupported(call, "window " + HandleText(handle) + " has been destroyed");
    }
    return *window;
}

// ---- Creation and destruction ------------------------------------------------------
HWND CreateWindowInternal(DWORD exStyle, const std::string &className, const std::string &text,
                          DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu,
                          WindowKind kind, LPVOID param) {
    World &world = W();
    const int localX = x, localY = y;
    auto window = std::make_unique<Window>();
    HWND handle = HandleOf<HWND>(NewHandle());
    window->Handle = handle;
    window->Kind = kind;
    window->ClassName = Upper(className);
    window->Text = text;
    window->Style = style;
    window->ExStyle = exStyle;
    if ((style & WS_CHILD) && parent) {
        window->Parent = parent;
        window->ControlId = (int)(intptr_t)menu;
        POINT origin = ClientOrigin(LiveWindow("CreateWindowExA", parent));
        x += origin.x;
        y += origin.y;
    } else {
        window->Owner = parent;
        window->Menu = menu;
    }
    window->Rect = RECT{x, y, x + width, y + height};
    window->Enabled = !(style & WS_DISABLED);

    if (kind == WindowKind::Normal) {
        const WindowClass *found = nullptr;
        for (auto &entry : world.Classes) {
            if (entry.second.Name == window->ClassName) {
                found = &entry.second;
            }
        }
        if (!found) {
            return nullptr;
        }
        window->Proc = found->Class.lpfnWndProc;
        window->ClassStyle = found->Class.style;
        window->Background = found->Class.hbrBackground;
        if (!(style & WS_CHILD) && !menu && (found->MenuIsOrdinal || !found->MenuName.empty())) {
            ResId name;
            name.IsOrdinal = found->MenuIsOrdinal;
            name.Ordinal = found->MenuOrdinal;
            name.Name = Upper(found->MenuName);
            window->Menu = LoadMenuResource(
                ResourcesOf("CreateWindowExA (class menu)", found->Class.hInstance), name);
        }
    }
    Window &created = *window;
    world.Windows[Key(handle)] = std::move(window);
    if (!(style & WS_CHILD)) {
        world.ZOrder.push_back(handle);
        if (!world.Main && kind == WindowKind::Normal) {
            world.Main = handle;
        }
    }
    ResizePixels(created);
    PaintNonClient(created);
    if (kind != WindowKind::Control) {
        InvalidateClient(created, nullptr, true); // a new window is invalid all over
    }

    if (kind == WindowKind::Normal || kind == WindowKind::Control) {
        std::string classText = className;
        CREATESTRUCTA create{};
        create.lpCreateParams = param;
        create.hInstance = ProgramInstance();
        create.hMenu = menu;
        create.hwndParent = parent;
        create.cx = width;
        create.cy = height;
        create.x = localX;
        create.y = localY;
        create.style = (LONG)style;
        create.lpszName = created.Text.c_str();
        create.lpszClass = classText.c_str();
        create.dwExStyle = exStyle;
        if (CallWindow(handle, WM_CREATE, 0, (LPARAM)&create) == -1) {
            DestroyWindowInternal(handle);
            return nullptr;
        }
        if (!FindWindow(handle)) {
            return nullptr;
        }
    }
    if (style & WS_CHILD) {
        created.ShownOnce = true;
        created.Visible = (style & WS_VISIBLE) != 0;
        CallWindow(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    } else if (style & WS_VISIBLE) {
        ShowInternal(created, true);
    }
    return handle;
}

void DestroyWindowInternal(HWND handle) {
    World &world = W();
    Window *window = FindWindow(handle);
    if (!window) {
        return;
    }
    // Owned windows go first, then the window itself, then its children.
    for (auto &entry : world.Windows) {
        Window &other = *entry.second;
        if (!other.Destroyed && other.Owner == handle && !(other.Style & WS_CHILD)) {
            DestroyWindowInternal(other.Handle);
        }
    }
    bool wasVisible = window->Visible;
    RECT area = window->Rect;
    window->Visible = false;
    if (world.Focus == handle || IsChildOf(world.Focus, handle)) {
        world.Focus = nullptr;
    }
    CallWindow(handle, WM_DESTROY, 0, 0);
    for (auto &entry : world.Windows) {
        Window &child = *entry.second;
        if (!child.Destroyed && (child.Style & WS_CHILD) && child.Parent == handle) {
            DestroyWindowInternal(child.Handle);
        }
    }
    window->Destroyed = true;
    ++world.DestroyedWindows;
    world.ZOrder.erase(std::remove(world.ZOrder.begin(), world.ZOrder.end(), handle),
                       world.ZOrder.end());
    auto posted = std::remove_if(world.Posted.begin(), world.Posted.end(),
                                 [&](const MSG &msg) { return msg.hwnd == handle; });
    world.Posted.erase(posted, world.Posted.end());
    auto input = std::remove_if(world.Input.begin(), world.Input.end(),
                                [&](const InputEvent &event) { return event.Window == handle; });
    world.Input.erase(input, world.Input.end());
    if (wasVisible && !(window->Style & WS_CHILD)) {
        UncoverArea(area, handle);
    }
}

void UncoverArea(const RECT &screen, HWND except) {
    World &world = W();
    std::vector<HWND> beneath = world.ZOrder;
    for (HWND handle : beneath) {
        Window *window = FindWindow(handle);
        if (!window || handle == except || !window->Visible) {
            continue;
        }
        RECT client = ClientRectScreen(*window);
        RECT covered = Intersect(screen, client);
        if (!Empty(covered)) {
            OffsetRect(&covered, -client.left, -client.top);
            InvalidateClient(*window, &covered, false);
        }
        if (!Empty(Intersect(screen, window->Rect))) {
            PaintNonClient(*window);
        }
    }
}

// ---- Painting requests -------------------------------------------------------------
void InvalidateClient(Window &window, const RECT *rect, bool erase) {
    RECT client = ClientRectScreen(window);
    RECT whole{0, 0, client.right - client.left, client.bottom - client.top};
    RECT area = rect ? Intersect(*rect, whole) : whole;
    if (Empty(area)) {
        return;
    }
    window.Update.push_back(area);
    if (erase) {
        window.ErasePending = true;
    }
}

LRESULT CallWindow(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, bool queued) {
    Window &window = LiveWindow("SendMessageA", handle);
    static const bool trace = std::getenv("HEADLESS_TRACE") != nullptr;
    if (trace) {
        std::fprintf(stderr, "[%u] %s %p msg 0x%x w 0x%lx l 0x%lx\n", (unsigned)W().TickCount,
                     window.ClassName.c_str(), (void *)handle, message, (unsigned long)wParam,
                     (unsigned long)lParam);
    }
    // The window may be destroyed inside its procedure; it is not touched after it.
    struct Depth {
        bool OuterQueued = W().RunningQueued;
        explicit Depth(bool queued) {
            ++W().CallDepth;
            W().RunningQueued = queued;
        }
        ~Depth() {
            --W().CallDepth;
            W().RunningQueued = OuterQueued;
        }
    } depth(queued);
    switch (window.Kind) {
    case WindowKind::Normal:
        return window.Proc(handle, message, wParam, lParam);
    case WindowKind::Dialog:
        return DialogWindowProc(handle, message, wParam, lParam);
    case WindowKind::MessageBox:
        return MessageBoxWindowProc(handle, message, wParam, lParam);
    case WindowKind::Control:
        return ControlWindowProc(handle, message, wParam, lParam);
    }
    return 0;
}

void SweepDestroyedWindows() {
    World &world = W();
    if (world.CallDepth > 0 || world.DestroyedWindows == 0) {
        return;
    }
    world.LastWindowKey = 0;
    world.LastWindow = nullptr;
    for (auto it = world.Windows.begin(); it != world.Windows.end();) {
        it = it->second->Destroyed ? world.Windows.erase(it) : std::next(it);
    }
    world.DestroyedWindows = 0;
}

// ---- The queue ---------------------------------------------------------------------
// A press that follows a press of the same button on a window whose class asks for double
// clicks, within the double-click time and the double-click rectangle, becomes the
// double-click message; a third press starts over.
static UINT DoubleClickOf(const MSG &down) {
    World &world = W();
    bool press = down.message == WM_LBUTTONDOWN || down.message == WM_RBUTTONDOWN ||
                 down.message == WM_MBUTTONDOWN;
    if (!press) {
        return down.message;
    }
    const MSG &last = world.LastButtonDown;
    Window *window = FindWindow(down.hwnd);
    bool dbl = window && (window->ClassStyle & CS_DBLCLKS) && last.hwnd == down.hwnd &&
               last.message == down.message && down.time - last.time < world.DoubleClickTime &&
               std::abs(down.pt.x - last.pt.x) < Metric(SM_CXDOUBLECLK) / 2 &&
               std::abs(down.pt.y - last.pt.y) < Metric(SM_CYDOUBLECLK) / 2;
    world.LastButtonDown = dbl ? MSG{} : down;
    return dbl ? down.message + 2 : down.message;
}

bool FetchMessage(MSG &out, HWND filter, UINT first, UINT last, bool remove) {
    World &world = W();
    for (auto it = world.Posted.begin(); it != world.Posted.end(); ++it) {
        if (MatchesWindow(it->hwnd, filter) && InRange(it->message, first, last)) {
            out = *it;
            if (remove) {
                world.MessagePos = it->pt; // where the cursor was when it was posted
                world.Posted.erase(it);
            }
            return true;
        }
    }
    if (world.QuitPosted && InRange(WM_QUIT, first, last) &&
        (filter == nullptr || filter == (HWND)(intptr_t)-1)) {
        out = MSG{};
        out.message = WM_QUIT;
        out.wParam = (WPARAM)world.QuitCode;
        out.time = world.TickCount;
        out.pt = world.MessagePos;
        if (remove) {
            world.QuitPosted = false;
        }
        return true;
    }
    for (auto it = world.Input.begin(); it != world.Input.end();) {
        HWND target = it->Key ? world.Focus : it->Window;
        if (!target || !AcceptsInput(target)) {
            it = world.Input.erase(it); // lost, as input to a disabled window is
            continue;
        }
        if (MatchesWindow(target, filter) && InRange(it->Message, first, last)) {
            out = MSG{target, it->Message, it->WParam, it->LParam, world.TickCount, it->Screen};
            if (!it->Key) {
                world.MessagePos = it->Screen;
            }
            if (remove) {
                out.message = DoubleClickOf(out);
                if (it == world.Input.begin()) {
                    world.Input.pop_front(); // nearly always: input is taken in order
                } else {
                    world.Input.erase(it);
                }
            }
            return true;
        }
        ++it;
    }
    if (InRange(WM_PAINT, first, last)) {
        // Each top-level window from the top down, then its child windows.
        auto paint = [&](const Window *window) {
            if (!window || !window->Visible || window->Update.empty() ||
                !MatchesWindow(window->Handle, filter)) {
                return false;
            }
            out = MSG{window->Handle, WM_PAINT, 0, 0, world.TickCount, world.MessagePos};
            return true;
        };
        for (auto it = world.ZOrder.rbegin(); it != world.ZOrder.rend(); ++it) {
            if (paint(FindWindow(*it))) {
                return true;
            }
            for (auto &entry : world.Windows) {
                const Window &child = *entry.second;
                if (!child.Destroyed && child.Kind != WindowKind::Control &&
                    (child.Style & WS_CHILD) && IsChildOf(child.Handle, *it) && paint(&child)) {
                    return true;
                }
            }
        }
    }
    return false;
}

void WaitMessage(MSG &out, HWND filter, UINT first, UINT last) {
    while (!FetchMessage(out, filter, first, last, true)) {
        RunNextStep();
    }
}

} // namespace headless::detail

using namespace headless;
using namespace headless::detail;

// ---- Classes and windows -----------------------------------------------------------
ATOM WINAPI RegisterClassA(const WNDCLASSA *lpWndClass) {
    World &world = W();
    if (!lpWndClass || !lpWndClass->lpszClassName || !lpWndClass->lpfnWndProc) {
        return 0;
    }
    if (IS_INTRESOURCE(lpWndClass->lpszClassName)) {
        Unsupported("RegisterClassA", "a class name given as an atom");
    }
    std::string name = Upper(lpWndClass->lpszClassName);
    for (auto &entry : world.Classes) {
        if (entry.second.Name == name) {
            return 0;
        }
    }
    if (lpWndClass->cbClsExtra || lpWndClass->cbWndExtra) {
        Unsupported("RegisterClassA", "class or window extra bytes");
    }
    WindowClass cls;
    cls.Class = *lpWndClass;
    cls.Name = name;
    if (lpWndClass->lpszMenuName) {
        if (IS_INTRESOURCE(lpWndClass->lpszMenuName)) {
            cls.MenuIsOrdinal = true;
            cls.MenuOrdinal = (WORD)(uintptr_t)lpWndClass->lpszMenuName;
        } else {
            cls.MenuName = lpWndClass->lpszMenuName;
        }
    }
    // The class icon belongs to the class from now on, as the system keeps it until the
    // class goes away; it is no longer the program's to destroy.
    GdiObject *icon = world.Objects.Find(Key(lpWndClass->hIcon));
    if (icon && icon->Kind == ObjKind::Icon && !icon->Stock) {
        icon->Stock = true;
        --world.LiveObjects;
    }
    cls.Class.lpszClassName = nullptr;
    cls.Class.lpszMenuName = nullptr;
    uintptr_t atom = 0xC000 + world.Classes.size();
    world.Classes[atom] = cls;
    return (ATOM)atom;
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                            HINSTANCE hInstance, LPVOID lpParam) {
    (void)hInstance;
    if (!lpClassName || IS_INTRESOURCE(lpClassName)) {
        Unsupported("CreateWindowExA", "a class given as an atom");
    }
    if (X == CW_USEDEFAULT || nWidth == CW_USEDEFAULT) {
        Unsupported("CreateWindowExA", "CW_USEDEFAULT");
    }
    if ((dwStyle & WS_CHILD) && !hWndParent) {
        Unsupported("CreateWindowExA", "a child window without parent");
    }
    std::string name = Upper(lpClassName);
    WindowKind kind = WindowKind::Normal;
    if (name == "BUTTON" || name == "EDIT" || name == "STATIC") {
        if (!(dwStyle & WS_CHILD)) {
            Unsupported("CreateWindowExA", "a top-level " + name);
        }
        kind = WindowKind::Control;
    }
    return CreateWindowInternal(dwExStyle, lpClassName, lpWindowName ? lpWindowName : "", dwStyle,
                                X, Y, nWidth, nHeight, hWndParent, hMenu, kind, lpParam);
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    if (!FindWindow(hWnd)) {
        return FALSE;
    }
    DestroyWindowInternal(hWnd);
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    Window &window = LiveWindow("ShowWindow", hWnd);
    BOOL wasVisible = window.Visible;
    switch (nCmdShow) {
    case SW_HIDE:
        if (window.Visible) {
            window.Visible = false;
            if (W().Focus == hWnd || IsChildOf(W().Focus, hWnd)) {
                W().Focus = nullptr;
            }
            if (!(window.Style & WS_CHILD)) {
                UncoverArea(window.Rect, hWnd);
            }
        }
        break;
    case SW_SHOWNORMAL:
    case SW_SHOW:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
        ShowInternal(window, true);
        break;
    case SW_SHOWNOACTIVATE:
    case SW_SHOWNA:
        ShowInternal(window, false);
        break;
    default:
        Unsupported("ShowWindow", "show state " + std::to_string(nCmdShow));
    }
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    Window &window = LiveWindow("UpdateWindow", hWnd);
    if (window.Visible && !window.Update.empty()) {
        CallWindow(hWnd, WM_PAINT, 0, 0);
    }
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
    if (!hWnd) {
        return FALSE;
    }
    auto found = W().Windows.find(Key(hWnd));
    return found != W().Windows.end() && !found->second->Destroyed;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    return LiveWindow("IsWindowEnabled", hWnd).Enabled;
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    Window &window = LiveWindow("EnableWindow", hWnd);
    BOOL wasDisabled = !window.Enabled;
    window.Enabled = bEnable != FALSE;
    if (!window.Enabled && (W().Focus == hWnd || IsChildOf(W().Focus, hWnd))) {
        W().Focus = nullptr;
    }
    return wasDisabled;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    return (int)SendMessageA(hWnd, WM_GETTEXT, (WPARAM)nMaxCount, (LPARAM)lpString);
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    Window &window = LiveWindow("GetClientRect", hWnd);
    RECT client = ClientRectScreen(window);
    *lpRect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    *lpRect = LiveWindow("GetWindowRect", hWnd).Rect;
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                         UINT uFlags) {
    Window &window = LiveWindow("SetWindowPos", hWnd);
    const UINT known = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (uFlags & ~known) {
        Unsupported("SetWindowPos", "flags " + std::to_string(uFlags));
    }
    if (!(uFlags & SWP_NOZORDER) && hWndInsertAfter != HWND_TOP) {
        Unsupported("SetWindowPos", "an insert-after window other than HWND_TOP");
    }
    RECT old = window.Rect;
    if (!(uFlags & SWP_NOMOVE)) {
        if (window.Style & WS_CHILD) {
            POINT origin = ClientOrigin(LiveWindow("SetWindowPos", window.Parent));
            X += origin.x;
            Y += origin.y;
        }
        OffsetRect(&window.Rect, X - window.Rect.left, Y - window.Rect.top);
        // Child windows keep their place in the parent: they move with it.
        for (auto &entry : W().Windows) {
            Window &child = *entry.second;
            if (!child.Destroyed && IsChildOf(child.Handle, hWnd)) {
                OffsetRect(&child.Rect, window.Rect.left - old.left, window.Rect.top - old.top);
            }
        }
    }
    bool resized = false;
    if (!(uFlags & SWP_NOSIZE) && (cx != WindowWidth(window) || cy != WindowHeight(window))) {
        window.Rect.right = window.Rect.left + cx;
        window.Rect.bottom = window.Rect.top + cy;
        resized = true;
    }
    if (resized) {
        ResizePixels(window);
        PaintNonClient(window);
        InvalidateClient(window, nullptr, true);
        RECT client = ClientRectScreen(window);
        CallWindow(hWnd, WM_SIZE, SIZE_RESTORED,
                   MAKELPARAM(client.right - client.left, client.bottom - client.top));
    }
    if (window.Visible && !(window.Style & WS_CHILD) &&
        (old.left != window.Rect.left || old.top != window.Rect.top || resized)) {
        UncoverArea(old, hWnd);
    }
    return TRUE;
}

HWND WINAPI SetFocus(HWND hWnd) {
    HWND previous = W().Focus;
    if (hWnd) {
        LiveWindow("SetFocus", hWnd);
    }
    W().Focus = hWnd;
    return previous;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    POINT origin = ClientOrigin(LiveWindow("ClientToScreen", hWnd));
    lpPoint->x += origin.x;
    lpPoint->y += origin.y;
    return TRUE;
}

// ---- Messages ----------------------------------------------------------------------
LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window &window = LiveWindow("DefWindowProcA", hWnd);
    switch (Msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            SendMessageA(hWnd, WM_CLOSE, 0, 0);
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(hWnd, &paint);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_ERASEBKGND: {
        if (!window.Background) {
            return 0;
        }
        bool isNull = false;
        COLORREF color = BrushColor("DefWindowProcA", window.Background, &isNull);
        if (isNull) {
            return 0;
        }
        DeviceContext &dc = LiveDC("DefWindowProcA (WM_ERASEBKGND)", (HDC)wParam);
        RECT client = ClientRectScreen(window);
        RECT area{0, 0, client.right - client.left, client.bottom - client.top};
        OffsetRect(&area, dc.Origin.x, dc.Origin.y);
        FillPixels(window, area, color, &dc.Clip);
        return 1;
    }
    case WM_SETTEXT:
        window.Text = lParam ? (const char *)lParam : "";
        if (!(window.Style & WS_CHILD)) {
            PaintNonClient(window);
        }
        return TRUE;
    case WM_GETTEXT: {
        int room = (int)wParam;
        if (room <= 0) {
            return 0;
        }
        int count = std::min(room - 1, (int)window.Text.size());
        std::memcpy((char *)lParam, window.Text.data(), (size_t)count);
        ((char *)lParam)[count] = '\0';
        return count;
    }
    case WM_GETTEXTLENGTH:
        return (LRESULT)window.Text.size();
    default:
        return 0;
    }
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!FindWindow(hWnd)) {
        return 0;
    }
    return CallWindow(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    World &world = W();
    if (hWnd && !FindWindow(hWnd)) {
        return FALSE;
    }
    if (hWnd == (HWND)0xFFFF) {
        Unsupported("PostMessageA", "HWND_BROADCAST");
    }
    world.Posted.push_back(MSG{hWnd, Msg, wParam, lParam, world.TickCount, world.Cursor});
    return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
    W().QuitPosted = true;
    W().QuitCode = nExitCode;
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (hWnd && hWnd != (HWND)(intptr_t)-1) {
        LiveWindow("GetMessageA", hWnd);
    }
    SweepDestroyedWindows();
    WaitMessage(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax);
    return lpMsg->message != WM_QUIT;
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
    if (wRemoveMsg & ~(UINT)(PM_REMOVE | PM_NOYIELD)) {
        Unsupported("PeekMessageA", "options " + std::to_string(wRemoveMsg));
    }
    if (hWnd && hWnd != (HWND)(intptr_t)-1) {
        LiveWindow("PeekMessageA", hWnd);
    }
    SweepDestroyedWindows();
    return FetchMessage(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0);
}

BOOL WINAPI TranslateMessage(const MSG *lpMsg) {
    if (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_KEYUP) {
        return FALSE;
    }
    // The character of a key press rides in the scan-code bits of lParam.
    char character = (char)((lpMsg->lParam >> 16) & 0xFF);
    if (lpMsg->message == WM_KEYDOWN && character) {
        PostMessageA(lpMsg->hwnd, WM_CHAR, (WPARAM)(unsigned char)character, lpMsg->lParam);
    }
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG *lpMsg) {
    if (!lpMsg->hwnd) {
        return 0;
    }
    Window *window = FindWindow(lpMsg->hwnd);
    if (!window) {
        return 0;
    }
    LRESULT result = CallWindow(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam, true);
    if (lpMsg->message == WM_PAINT && FindWindow(lpMsg->hwnd)) {
        if (window->Update.empty()) {
            window->PaintStreak = 0;
        } else if (++window->PaintStreak > PAINT_STREAK_LIMIT) {
            Unsupported("DispatchMessageA",
                        "a window procedure that never validates on WM_PAINT (class " +
                            window->ClassName + ")");
        }
    }
    return result;
}

DWORD WINAPI GetMessagePos(void) {
    POINT pos = W().MessagePos;
    return (DWORD)MAKELONG((SHORT)pos.x, (SHORT)pos.y);
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
    *lpPoint = W().Cursor;
    return TRUE;
}

// ---- Painting requests -------------------------------------------------------------
BOOL WINAPI InvalidateRect(HWND hWnd, const RECT *lpRect, BOOL bErase) {
    if (!hWnd) {
        Unsupported("InvalidateRect", "a null window (the whole screen)");
    }
    Window *window = FindWindow(hWnd);
    if (!window) {
        return FALSE;
    }
    InvalidateClient(*window, lpRect, bErase != FALSE);
    return TRUE;
}

BOOL WINAPI InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
    if (hRgn) {
        Unsupported("InvalidateRgn", "a region other than null (regions are not modelled)");
    }
    return InvalidateRect(hWnd, nullptr, bErase);
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
    Window &window = LiveWindow("GetUpdateRect", hWnd);
    RECT box{0, 0, 0, 0};
    for (const RECT &rect : window.Update) {
        UnionRect(&box, &box, &rect);
    }
    if (lpRect) {
        *lpRect = box;
    }
    if (bErase && window.ErasePending && !window.Update.empty()) {
        // The background is erased now, in a DC clipped like a paint's; the area stays
        // invalid.
        HDC dc = NewDC(hWnd, DcType::Paint);
        DeviceContext &context = LiveDC("GetUpdateRect", dc);
        context.Clip.clear();
        for (RECT rect : window.Update) {
            OffsetRect(&rect, context.Origin.x, context.Origin.y);
            context.Clip.push_back(rect);
        }
        window.ErasePending = false;
        CallWindow(hWnd, WM_ERASEBKGND, (WPARAM)dc, 0);
        ReleaseDCInternal(dc);
    }
    return !Empty(box);
}

// ---- Rectangles --------------------------------------------------------------------
BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
    if (!lprc) {
        return FALSE;
    }
    *lprc = RECT{xLeft, yTop, xRight, yBottom};
    return TRUE;
}

BOOL WINAPI PtInRect(const RECT *lprc, POINT pt) {
    return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top &&
           pt.y < lprc->bottom;
}

BOOL WINAPI UnionRect(LPRECT lprcDst, const RECT *lprcSrc1, const RECT *lprcSrc2) {
    if (Empty(*lprcSrc1)) {
        *lprcDst = Empty(*lprcSrc2) ? RECT{0, 0, 0, 0} : *lprcSrc2;
    } else if (Empty(*lprcSrc2)) {
        *lprcDst = *lprcSrc1;
    } else {
        *lprcDst =
            RECT{std::min(lprcSrc1->left, lprcSrc2->left), std::min(lprcSrc1->top, lprcSrc2->top),
                 std::max(lprcSrc1->right, lprcSrc2->right),
                 std::max(lprcSrc1->bottom, lprcSrc2->bottom)};
    }
    return !Empty(*lprcDst);
}

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
    lprc->left += dx;
    lprc->right += dx;
    lprc->top += dy;
    lprc->bottom += dy;
    return TRUE;
}

// ---- System settings ---------------------------------------------------------------
int WINAPI GetSystemMetrics(int nIndex) {
    return Metric(nIndex);
}

BOOL WINAPI SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) {
    (void)uiParam;
    if (uiAction != SPI_GETMOUSE) {
        Unsupported("SystemParametersInfoA", "action " + std::to_string(uiAction));
    }
    if (fWinIni != 0) {
        Unsupported("SystemParametersInfoA", "update flags with SPI_GETMOUSE");
    }
    std::memcpy(pvParam, W().MouseParams, sizeof W().MouseParams);
    return TRUE;
}

BOOL WINAPI SwapMouseButton(BOOL fSwap) {
    BOOL previous = W().Swapped;
    W().Swapped = fSwap != FALSE;
    return previous;
}

UINT WINAPI GetDoubleClickTime(void) {
    return W().DoubleClickTime;
}

BOOL WINAPI MessageBeep(UINT uType) {
    W().Beeps.push_back(uType);
    return TRUE;
}
