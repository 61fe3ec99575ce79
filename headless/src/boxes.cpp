// Message boxes, modal dialogs from DIALOG templates, and their controls.
#include "world.h"

#include "byte_reader.h"

#include <algorithm>
#include <cstring>

namespace headless::detail {

namespace {

const int BUTTON_WIDTH = 75;
const int BUTTON_HEIGHT = 23;
const int BOX_MARGIN = 10;
const int BOX_ICON = 32;
const int LINE_HEIGHT = 16;
const int CHAR_WIDTH = 8;

struct DialogItem {
    DWORD Style = 0, ExStyle = 0;
    short X = 0, Y = 0, Cx = 0, Cy = 0;
    WORD Id = 0;
    std::string ClassName;
    std::string Text;
};

struct DialogTemplate {
    DWORD Style = 0, ExStyle = 0;
    short X = 0, Y = 0, Cx = 0, Cy = 0;
    std::string Title;
    std::vector<DialogItem> Items;
};

// A name field: 0x0000 (none), 0xFFFF and an ordinal, or a UTF-16 string.
std::string NameField(ByteReader &in, WORD *ordinal) {
    WORD value = 0;
    if (in.Ordinal(value)) {
        if (ordinal) {
            *ordinal = value;
        }
        return "";
    }
    return in.Utf16();
}

std::string ControlClass(WORD ordinal) {
    switch (ordinal) {
    case 0x0080:
        return "BUTTON";
    case 0x0081:
        return "EDIT";
    case 0x0082:
        return "STATIC";
    default:
        Unsupported("DialogBoxParamA", "control class ordinal " + std::to_string(ordinal));
    }
}

bool ParseDialog(const std::vector<uint8_t> &data, DialogTemplate &dialog) {
    ByteReader in(data);
    dialog.Style = in.U32();
    if (HIWORD(dialog.Style) == 0xFFFF) { // version 1 and signature 0xFFFF
        Unsupported("DialogBoxParamA", "DIALOGEX templates");
    }
    dialog.ExStyle = in.U32();
    WORD count = in.U16();
    dialog.X = (short)in.U16();
    dialog.Y = (short)in.U16();
    dialog.Cx = (short)in.U16();
    dialog.Cy = (short)in.U16();
    WORD menuOrdinal = 0;
    std::string menu = NameField(in, &menuOrdinal);
    if (!menu.empty() || menuOrdinal) {
        Unsupported("DialogBoxParamA", "a dialog with a menu");
    }
    WORD classOrdinal = 0;
    std::string windowClass = NameField(in, &classOrdinal);
    if (!windowClass.empty() || classOrdinal) {
        Unsupported("DialogBoxParamA", "a dialog with a window class of its own");
    }
    dialog.Title = NameField(in, nullptr);
    if (dialog.Style & DS_SETFONT) {
        in.U16(); // point size
        NameField(in, nullptr);
    }
    for (WORD i = 0; i < count; ++i) {
        in.Align4();
        DialogItem item;
        item.Style = in.U32();
        item.ExStyle = in.U32();
        item.X = (short)in.U16();
        item.Y = (short)in.U16();
        item.Cx = (short)in.U16();
        item.Cy = (short)in.U16();
        item.Id = in.U16();
        WORD ordinal = 0;
        std::string name = NameField(in, &ordinal);
        if (!in.Ok()) {
            return false;
        }
        item.ClassName = name.empty() ? ControlClass(ordinal) : Upper(name);
        item.Text = NameField(in, nullptr);
        in.Skip(in.U16()); // creation data
        dialog.Items.push_back(item);
    }
    return in.Ok();
}

std::vector<int> ButtonsOf(UINT style) {
    switch (style & MB_TYPEMASK) {
    case MB_OK:
        return {IDOK};
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        Unsupported("MessageBoxA", "box type " + std::to_string(style & MB_TYPEMASK));
    }
}

const char *ButtonLabel(int id) {
    static const char *const labels[] = {"",      "OK",     "Cancel", "Abort",
                                         "Retry", "Ignore", "Yes",    "No"};
    return id >= 1 && id <= 7 ? labels[id] : "";
}

// What Esc and the close box give: Cancel where there is one, OK on an OK box, else none.
int EscapeResult(const MessageBoxData &box) {
    if (std::find(box.Buttons.begin(), box.Buttons.end(), IDCANCEL) != box.Buttons.end()) {
        return IDCANCEL;
    }
    return box.Buttons.size() == 1 && box.Buttons[0] == IDOK ? IDOK : 0;
}

int DefaultResult(const MessageBoxData &box) {
    size_t index = (box.Style & MB_DEFMASK) >> 8;
    return box.Buttons[std::min(index, box.Buttons.size() - 1)];
}

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n') {
            lines.emplace_back();
        } else if (c != '\r') {
            lines.back() += c == '\t' ? ' ' : c;
        }
    }
    return lines;
}

void DrawButtonFace(Window &target, const RECT &rect, const std::string &label, bool isDefault) {
    FillPixels(target, rect, RGB(0, 0, 0), nullptr);
    int border = isDefault ? 2 : 1;
    RECT face{rect.left + border, rect.top + border, rect.right - border, rect.bottom - border};
    FillPixels(target, face, DialogFaceColor, nullptr);
    int width = (int)label.size() * CHAR_WIDTH;
    int x = (int)(rect.left + rect.right - width) / 2;
    int y = (int)(rect.top + rect.bottom - LINE_HEIGHT) / 2;
    std::vector<RECT> clip{face};
    DrawTextPixels(target, x, y, label, LINE_HEIGHT, CHAR_WIDTH, RGB(0, 0, 0), &clip);
}

} // namespace

std::vector<RECT> MessageBoxButtonPlaces(const Window &box) {
    POINT offset = ClientOffset(box);
    RECT client = ClientRectScreen(box);
    int width = client.right - client.left, height = client.bottom - client.top;
    int count = (int)box.Box.Buttons.size();
    int row = BUTTON_WIDTH * count + 6 * (count - 1);
    int x = offset.x + (width - row) / 2;
    int top = offset.y + height - BOX_MARGIN - BUTTON_HEIGHT;
    std::vector<RECT> places;
    for (int i = 0; i < count; ++i) {
        places.push_back(RECT{x, top, x + BUTTON_WIDTH, top + BUTTON_HEIGHT});
        x += BUTTON_WIDTH + 6;
    }
    return places;
}

namespace {

void RenderMessageBox(Window &box) {
    POINT offset = ClientOffset(box);
    RECT client = ClientRectScreen(box);
    int width = client.right - client.left, height = client.bottom - client.top;
    RECT area{offset.x, offset.y, offset.x + width, offset.y + height};
    FillPixels(box, area, DialogFaceColor, nullptr);
    int textLeft = offset.x + BOX_MARGIN;
    if (box.Box.Style & MB_ICONMASK) {
        RECT icon{textLeft, offset.y + BOX_MARGIN, textLeft + BOX_ICON,
                  offset.y + BOX_MARGIN + BOX_ICON};
        FillPixels(box, icon, RGB(0, 0, 255), nullptr);
        const char *mark = (box.Box.Style & MB_ICONMASK) == MB_ICONQUESTION ? "?" : "i";
        DrawTextPixels(box, icon.left + 12, icon.top + 8, mark, 16, 8, RGB(255, 255, 255), nullptr);
        textLeft += BOX_ICON + BOX_MARGIN;
    }
    int y = offset.y + BOX_MARGIN;
    for (const std::string &line : Lines(box.Box.Text)) {
        DrawTextPixels(box, textLeft, y, line, LINE_HEIGHT, CHAR_WIDTH, RGB(0, 0, 0), nullptr);
        y += LINE_HEIGHT;
    }
    std::vector<RECT> places = MessageBoxButtonPlaces(box);
    for (size_t i = 0; i < places.size(); ++i) {
        int id = box.Box.Buttons[i];
        DrawButtonFace(box, places[i], ButtonLabel(id), id == DefaultResult(box.Box));
    }
}

void NotifyParent(Window &control, WORD code) {
    if (control.Parent) {
        SendMessageA(control.Parent, WM_COMMAND, MAKEWPARAM(control.ControlId, code),
                     (LPARAM)control.Handle);
    }
}

void NotifyEditChange(Window &edit) {
    NotifyParent(edit, EN_UPDATE);
    NotifyParent(edit, EN_CHANGE);
}

bool IsPushButton(const Window &window) {
    DWORD type = window.Style & BS_TYPEMASK;
    return window.ClassName == "BUTTON" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

std::vector<Window *> ControlsOf(HWND dialog) {
    std::vector<Window *> controls;
    for (auto &entry : W().Windows) {
        Window &child = *entry.second;
        if (!child.Destroyed && child.Kind == WindowKind::Control && child.Parent == dialog) {
            controls.push_back(&child);
        }
    }
    return controls; // in creation order: handles only grow
}

Window *ControlById(HWND dialog, int id) {
    for (Window *control : ControlsOf(dialog)) {
        if (control->ControlId == id) {
            return control;
        }
    }
    return nullptr;
}

void ClickDialogButton(HWND dialog, int id) {
    Window *control = ControlById(dialog, id);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 (LPARAM)(control ? control->Handle : nullptr));
}

void MoveFocusToNextTabStop(HWND dialog) {
    std::vector<Window *> stops;
    for (Window *control : ControlsOf(dialog)) {
        if ((control->Style & WS_TABSTOP) && control->Enabled && control->Visible) {
            stops.push_back(control);
        }
    }
    if (stops.empty()) {
        return;
    }
    size_t next = 0;
    for (size_t i = 0; i < stops.size(); ++i) {
        if (stops[i]->Handle == W().Focus) {
            next = (i + 1) % stops.size();
        }
    }
    W().Focus = stops[next]->Handle;
}

// Enter, Esc and Tab as the dialog manager and the message box handle them. True when
// the message was used up.
bool HandleBoxKey(Window &box, const MSG &msg) {
    if (msg.message != WM_KEYDOWN || (msg.hwnd != box.Handle && !IsChildOf(msg.hwnd, box.Handle))) {
        return false;
    }
    if (box.Kind == WindowKind::MessageBox) {
        if (msg.wParam == VK_RETURN) {
            box.Box.Result = DefaultResult(box.Box);
        } else if (msg.wParam == VK_ESCAPE && EscapeResult(box.Box)) {
            box.Box.Result = EscapeResult(box.Box);
        }
        return true;
    }
    switch (msg.wParam) {
    case VK_RETURN: {
        Window *focus = W().Focus ? FindWindow(W().Focus) : nullptr;
        if (focus && focus->Parent == box.Handle && IsPushButton(*focus)) {
            ClickDialogButton(box.Handle, focus->ControlId);
            return true;
        }
        for (Window *control : ControlsOf(box.Handle)) {
            if (control->ClassName == "BUTTON" &&
                (control->Style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && control->Enabled) {
                ClickDialogButton(box.Handle, control->ControlId);
                return true;
            }
        }
        ClickDialogButton(box.Handle, IDOK);
        return true;
    }
    case VK_ESCAPE:
        ClickDialogButton(box.Handle, IDCANCEL);
        return true;
    case VK_TAB:
        MoveFocusToNextTabStop(box.Handle);
        return true;
    default:
        return false;
    }
}

bool BoxEnded(HWND handle) {
    Window *box = FindWindow(handle);
    if (!box) {
        return true;
    }
    return box->Kind == WindowKind::MessageBox ? box->Box.Result != 0 : box->DialogEnded;
}

void RunModalLoop(HWND handle) {
    while (!BoxEnded(handle)) {
        MSG msg;
        if (!FetchMessage(msg, nullptr, 0, 0, true)) {
            RunNextStep(); // then look again whether the step ended the box
            continue;
        }
        if (msg.message == WM_QUIT) {
            // The box ends, and the quit goes on to the loop beneath.
            PostQuitMessage((int)msg.wParam);
            Window *box = FindWindow(handle);
            if (box) {
                box->DialogEnded = true;
                box->Box.Result = box->Kind == WindowKind::MessageBox ? -1 : 0;
            }
            break;
        }
        Window *box = FindWindow(handle);
        if (box && HandleBoxKey(*box, msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND OpenBoxWindow(HWND owner, WindowKind kind, const std::string &caption, DWORD style,
                   DWORD exStyle, const RECT &rect) {
    return CreateWindowInternal(exStyle, "#32770", caption, style & ~(DWORD)WS_VISIBLE, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top, owner,
                                nullptr, kind, nullptr);
}

void RecordShown(HWND handle, HWND owner, const std::string &templateName) {
    World &world = W();
    Window &box = LiveWindow("box", handle);
    BoxInfo info;
    info.Window = handle;
    info.Owner = owner;
    info.IsDialog = box.Kind == WindowKind::Dialog;
    info.Template = templateName;
    info.Caption = box.Text;
    info.Text = box.Box.Text;
    info.Style = box.Box.Style;
    info.Rect = box.Rect;
    world.Shown.push_back(info);
    world.Boxes.push_back(OpenBox{handle, world.Shown.size() - 1});
    if (world.OnShown) {
        world.OnShown(info);
    }
}

void CloseBoxWindow(HWND handle, HWND disabledOwner, HWND savedFocus) {
    World &world = W();
    if (disabledOwner && FindWindow(disabledOwner)) {
        EnableWindow(disabledOwner, TRUE);
    }
    DestroyWindowInternal(handle);
    auto open = std::find_if(world.Boxes.begin(), world.Boxes.end(),
                             [&](const OpenBox &box) { return box.Window == handle; });
    if (open != world.Boxes.end()) {
        world.Boxes.erase(open);
    }
    if (savedFocus && IsWindow(savedFocus)) {
        world.Focus = savedFocus;
    } else if (disabledOwner && IsWindow(disabledOwner)) {
        world.Focus = disabledOwner;
    }
}

HWND DisableOwner(HWND owner) {
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        return owner;
    }
    return nullptr;
}

const OpenBox &TopOpenBox(const char *call) {
    if (W().Boxes.empty()) {
        throw std::logic_error(std::string(call) + ": no box or dialog is open");
    }
    return W().Boxes.back();
}

Window &TopDialog(const char *call) {
    Window &box = LiveWindow(call, TopOpenBox(call).Window);
    if (box.Kind != WindowKind::Dialog) {
        throw std::logic_error(std::string(call) + ": the top box \"" + box.Text +
                               "\" is a message box, not a dialog");
    }
    return box;
}

Window &DialogControl(const char *call, HWND dialog, int id) {
    Window *control = ControlById(dialog, id);
    if (!control) {
        throw std::logic_error(std::string(call) + ": the dialog has no control " +
                               std::to_string(id));
    }
    return *control;
}

} // namespace

// ---- Window procedures of the system's windows -------------------------------------
LRESULT DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window &dialog = LiveWindow("dialog", window);
    INT_PTR handled = dialog.DialogProc ? dialog.DialogProc(window, message, wParam, lParam) : 0;
    if (handled) {
        return handled;
    }
    switch (message) {
    case WM_CLOSE: {
        Window *cancel = ControlById(window, IDCANCEL);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     (LPARAM)(cancel ? cancel->Handle : nullptr));
        return 0;
    }
    case WM_ERASEBKGND: {
        DeviceContext &dc = LiveDC("dialog (WM_ERASEBKGND)", (HDC)wParam);
        Window &target = LiveWindow("dialog", window);
        FillPixels(target, RECT{0, 0, WindowWidth(target), WindowHeight(target)}, DialogFaceColor,
                   &dc.Clip);
        return 1;
    }
    case WM_INITDIALOG:
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT MessageBoxWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window &box = LiveWindow("message box", window);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        RenderMessageBox(box);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_CLOSE:
        if (EscapeResult(box.Box)) {
            box.Box.Result = EscapeResult(box.Box);
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window &control = LiveWindow("control", window);
    bool isEdit = control.ClassName == "EDIT";
    switch (message) {
    case WM_CREATE:
    case WM_SIZE:
    case WM_DESTROY:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_MOUSEMOVE:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT:
        control.Text = lParam ? (const char *)lParam : "";
        RenderControl(control);
        if (isEdit) {
            NotifyEditChange(control);
        }
        return TRUE;
    case WM_CHAR: {
        if (!isEdit) {
            return 0;
        }
        char c = (char)wParam;
        std::string text = control.Text;
        if (c == '\b') {
            if (text.empty()) {
                return 0;
            }
            text.pop_back();
        } else if ((unsigned char)c >= 32) {
            text += c;
        } else {
            return 0;
        }
        control.Text = text;
        RenderControl(control);
        NotifyEditChange(control);
        return 0;
    }
    case WM_LBUTTONDOWN:
        W().Focus = window;
        return 0;
    case WM_LBUTTONUP:
        if (IsPushButton(control)) {
            NotifyParent(control, BN_CLICKED);
        }
        return 0;
    default:
        if (message >= WM_USER) {
            Unsupported("SendMessageA", "message " + std::to_string(message) + " to a " +
                                            control.ClassName + " control");
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void RenderControl(Window &control) {
    Window *parent = control.Parent ? FindWindow(control.Parent) : nullptr;
    if (!parent || !control.Visible || parent->Pixels.empty()) {
        return;
    }
    RECT rect = control.Rect;
    OffsetRect(&rect, -parent->Rect.left, -parent->Rect.top);
    if (control.ClassName == "BUTTON") {
        DrawButtonFace(*parent, rect, MenuLabel(control.Text),
                       (control.Style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
        return;
    }
    COLORREF face = control.ClassName == "EDIT" ? RGB(255, 255, 255) : DialogFaceColor;
    RECT inner = rect;
    if (control.Style & WS_BORDER) {
        FillPixels(*parent, rect, RGB(0, 0, 0), nullptr);
        inner = RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    }
    FillPixels(*parent, inner, face, nullptr);
    std::vector<RECT> clip{inner};
    DrawTextPixels(*parent, inner.left + 1, inner.top + (inner.bottom - inner.top - 16) / 2,
                   control.Text, LINE_HEIGHT, CHAR_WIDTH, RGB(0, 0, 0), &clip);
}

std::string TopBoxCaption() {
    if (W().Boxes.empty()) {
        return "";
    }
    Window *box = FindWindow(W().Boxes.back().Window);
    return box ? box->Text : "";
}

} // namespace headless::detail

using namespace headless;
using namespace headless::detail;

// ---- Message boxes -----------------------------------------------------------------
int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    const UINT known = MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK | MB_SYSTEMMODAL;
    if (uType & ~known) {
        Unsupported("MessageBoxA", "style " + std::to_string(uType));
    }
    if (hWnd && !IsWindow(hWnd)) {
        return 0;
    }
    MessageBoxData data;
    data.Text = lpText ? lpText : "";
    data.Style = uType;
    data.Buttons = ButtonsOf(uType);

    std::vector<std::string> lines = Lines(data.Text);
    int textWidth = 0;
    for (const std::string &line : lines) {
        textWidth = std::max(textWidth, (int)line.size() * CHAR_WIDTH);
    }
    bool icon = (uType & MB_ICONMASK) != 0;
    int count = (int)data.Buttons.size();
    int clientWidth = std::max(2 * BOX_MARGIN + (icon ? BOX_ICON + BOX_MARGIN : 0) + textWidth,
                               2 * BOX_MARGIN + count * BUTTON_WIDTH + (count - 1) * 6);
    int textHeight = std::max((int)lines.size() * LINE_HEIGHT, icon ? BOX_ICON : 0);
    int clientHeight = 3 * BOX_MARGIN + textHeight + BUTTON_HEIGHT;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    SIZE size = WindowSizeForClient(style, WS_EX_DLGMODALFRAME, false, clientWidth, clientHeight);
    int left = (Metric(SM_CXSCREEN) - size.cx) / 2;
    int top = (Metric(SM_CYSCREEN) - size.cy) / 2;
    RECT rect{left, top, left + size.cx, top + size.cy};

    HWND handle = OpenBoxWindow(hWnd, WindowKind::MessageBox, lpCaption ? lpCaption : "Error",
                                style, WS_EX_DLGMODALFRAME, rect);
    Window &box = LiveWindow("MessageBoxA", handle);
    box.Box = data;
    HWND savedFocus = W().Focus;
    HWND disabled = DisableOwner(hWnd);
    box.Visible = true;
    box.ShownOnce = true;
    PaintNonClient(box);
    RenderMessageBox(box);
    W().Focus = handle;
    RecordShown(handle, hWnd, "");
    RunModalLoop(handle);
    int result = FindWindow(handle) ? box.Box.Result : 0;
    CloseBoxWindow(handle, disabled, savedFocus);
    return result;
}

// ---- Dialogs -----------------------------------------------------------------------
INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    const ResourceFile &file = ResourcesOf("DialogBoxParamA", hInstance);
    ResId name = ResId::From(lpTemplateName);
    const Resource *resource = file.Find(ResId::From(RT_DIALOG), name);
    if (!resource || (hWndParent && !IsWindow(hWndParent))) {
        return -1;
    }
    DialogTemplate dialog;
    if (!ParseDialog(resource->Data, dialog)) {
        Unsupported("DialogBoxParamA", "template " + name.Describe() + " is malformed");
    }
    DWORD exStyle = dialog.ExStyle | ((dialog.Style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0);
    SIZE size = WindowSizeForClient(dialog.Style, exStyle, false, dialog.Cx * 2, dialog.Cy * 2);
    POINT origin{0, 0};
    if (hWndParent && !(dialog.Style & DS_ABSALIGN)) {
        origin = ClientOrigin(LiveWindow("DialogBoxParamA", hWndParent));
    }
    int left = origin.x + dialog.X * 2, top = origin.y + dialog.Y * 2;
    if (dialog.Style & DS_CENTER) {
        left = (Metric(SM_CXSCREEN) - size.cx) / 2;
        top = (Metric(SM_CYSCREEN) - size.cy) / 2;
    }
    HWND handle = OpenBoxWindow(hWndParent, WindowKind::Dialog, dialog.Title, dialog.Style, exStyle,
                                RECT{left, top, left + size.cx, top + size.cy});
    Window &window = LiveWindow("DialogBoxParamA", handle);
    if (!(dialog.Style & DS_CENTER)) {
        // The template places the client area, as Windows does; the frame and caption
        // lie above and left of it.
        POINT offset = ClientOffset(window);
        OffsetRect(&window.Rect, -offset.x, -offset.y);
    }
    HWND firstStop = nullptr;
    for (const DialogItem &item : dialog.Items) {
        HWND control =
            CreateWindowInternal(item.ExStyle, item.ClassName, item.Text, item.Style | WS_CHILD,
                                 item.X * 2, item.Y * 2, item.Cx * 2, item.Cy * 2, handle,
                                 HandleOf<HMENU>(item.Id), WindowKind::Control, nullptr);
        if (!firstStop && (item.Style & WS_TABSTOP) && !(item.Style & WS_DISABLED)) {
            firstStop = control;
        }
    }
    window.DialogProc = lpDialogFunc;
    HWND savedFocus = W().Focus;
    HWND disabled = DisableOwner(hWndParent);
    RecordShown(handle, hWndParent,
                IS_INTRESOURCE(lpTemplateName) ? "#" + std::to_string((uintptr_t)lpTemplateName)
                                               : std::string(lpTemplateName));
    if (SendMessageA(handle, WM_INITDIALOG, (WPARAM)firstStop, dwInitParam) && firstStop) {
        W().Focus = firstStop;
    }
    if (FindWindow(handle) && !window.DialogEnded) {
        window.Visible = true;
        window.ShownOnce = true;
        for (Window *control : ControlsOf(handle)) {
            RenderControl(*control);
        }
        PaintNonClient(window);
        InvalidateClient(window, nullptr, true);
        W().Shown[W().Boxes.back().ShownIndex].Rect = window.Rect;
        RunModalLoop(handle);
    }
    INT_PTR result = FindWindow(handle) ? window.DialogResult : 0;
    CloseBoxWindow(handle, disabled, savedFocus);
    return result;
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    Window &dialog = LiveWindow("EndDialog", hDlg);
    if (dialog.Kind != WindowKind::Dialog) {
        Unsupported("EndDialog", "a window that is no dialog");
    }
    dialog.DialogEnded = true;
    dialog.DialogResult = nResult;
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    LiveWindow("GetDlgItem", hDlg);
    Window *control = ControlById(hDlg, nIDDlgItem);
    return control ? control->Handle : nullptr;
}

BOOL WINAPI SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    return control ? (BOOL)SendMessageA(control, WM_SETTEXT, 0, (LPARAM)lpString) : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    if (!control) {
        if (cchMax > 0) {
            lpString[0] = '\0';
        }
        return 0;
    }
    return (UINT)SendMessageA(control, WM_GETTEXT, (WPARAM)cchMax, (LPARAM)lpString);
}

// ---- Driver: boxes -----------------------------------------------------------------
namespace headless {

bool BoxOpen() {
    return !W().Boxes.empty();
}

BoxInfo TopBox() {
    const OpenBox &open = TopOpenBox("TopBox");
    BoxInfo info = W().Shown[open.ShownIndex];
    info.Rect = LiveWindow("TopBox", open.Window).Rect;
    return info;
}

const std::vector<BoxInfo> &BoxesShown() {
    return W().Shown;
}

void OnBoxShown(std::function<void(const BoxInfo &)> hook) {
    W().OnShown = std::move(hook);
}

void AnswerBox(int id) {
    Window &box = LiveWindow("AnswerBox", TopOpenBox("AnswerBox").Window);
    if (box.Kind == WindowKind::MessageBox) {
        const std::vector<int> &buttons = box.Box.Buttons;
        if (std::find(buttons.begin(), buttons.end(), id) == buttons.end()) {
            throw std::logic_error("AnswerBox: the box \"" + box.Text + "\" has no button " +
                                   std::to_string(id));
        }
        box.Box.Result = id;
        return;
    }
    Window *control = ControlById(box.Handle, id);
    if (control && IsPushButton(*control)) {
        if (!control->Enabled) {
            throw std::logic_error("AnswerBox: button " + std::to_string(id) + " is disabled");
        }
        W().Focus = control->Handle; // a click moves the focus to the button
        ClickDialogButton(box.Handle, id);
        return;
    }
    if (id == IDCANCEL) {
        ClickDialogButton(box.Handle, IDCANCEL);
        return;
    }
    throw std::logic_error("AnswerBox: the dialog \"" + box.Text + "\" has no button " +
                           std::to_string(id));
}

void SetDialogItemText(int controlId, const char *text) {
    Window &dialog = TopDialog("SetDialogItemText");
    Window &control = DialogControl("SetDialogItemText", dialog.Handle, controlId);
    if (control.ClassName != "EDIT") {
        throw std::logic_error("SetDialogItemText: control " + std::to_string(controlId) +
                               " is no edit control");
    }
    std::string typed = text;
    // A box that does not scroll takes only what fits its width, less border and margin.
    if (!(control.Style & ES_AUTOHSCROLL)) {
        RECT client;
        GetClientRect(control.Handle, &client);
        typed = typed.substr(0, (size_t)std::max(0, (int)(client.right - 2) / 8));
    }
    W().Focus = control.Handle; // the user clicks into the box, then types
    control.Text = typed;
    RenderControl(control);
    NotifyEditChange(control);
}

std::string DialogItemText(int controlId) {
    Window &dialog = TopDialog("DialogItemText");
    return DialogControl("DialogItemText", dialog.Handle, controlId).Text;
}

HWND FocusWindow() {
    return W().Focus;
}

int DialogControlId(HWND control) {
    Window *window = control ? FindWindow(control) : nullptr;
    return window && window->Kind == WindowKind::Control ? window->ControlId : 0;
}

} // namespace headless
