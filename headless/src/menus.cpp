// Menus from MENU templates, and accelerator tables from ACCELERATORS resources.
#include "world.h"

#include "byte_reader.h"

#include <cstring>

namespace headless::detail {

namespace {

const WORD RESOURCE_MENU_END = 0x0080;

bool ParseItems(ByteReader &in, Menu &menu) {
    while (true) {
        WORD flags = in.U16();
        MenuItem item;
        if (!(flags & MF_POPUP)) {
            item.Id = in.U16();
        }
        item.Text = in.Utf16();
        if (!in.Ok()) {
            return false;
        }
        item.Flags = flags & ~(UINT)RESOURCE_MENU_END;
        if (flags & MF_POPUP) {
            Menu popup;
            if (!ParseItems(in, popup)) {
                return false;
            }
            HMENU handle = HandleOf<HMENU>(NewHandle());
            W().Menus[Key(handle)] = std::move(popup);
            item.Popup = handle;
        } else if (item.Id == 0 && item.Text.empty() && (flags & ~RESOURCE_MENU_END) == 0) {
            item.Flags |= MF_SEPARATOR;
        }
        menu.Items.push_back(item);
        if (flags & RESOURCE_MENU_END) {
            return true;
        }
    }
}

// The menu that holds the item with this command, and the item's position there.
bool FindByCommand(HMENU handle, UINT command, HMENU &owner, size_t &position) {
    Menu &menu = LiveMenu("menu search", handle);
    for (size_t i = 0; i < menu.Items.size(); ++i) {
        const MenuItem &item = menu.Items[i];
        if (item.Popup) {
            if (FindByCommand(item.Popup, command, owner, position)) {
                return true;
            }
            if (Key(item.Popup) == command) {
                owner = handle;
                position = i;
                return true;
            }
        } else if (!(item.Flags & MF_SEPARATOR) && item.Id == command) {
            owner = handle;
            position = i;
            return true;
        }
    }
    return false;
}

const MenuItem *FindItem(HMENU menu, UINT item, UINT flags) {
    if (flags & MF_BYPOSITION) {
        Menu &found = LiveMenu("menu item", menu);
        return item < found.Items.size() ? &found.Items[item] : nullptr;
    }
    HMENU owner = nullptr;
    size_t position = 0;
    if (!FindByCommand(menu, item, owner, position)) {
        return nullptr;
    }
    return &LiveMenu("menu item", owner).Items[position];
}

} // namespace

HMENU LoadMenuResource(const ResourceFile &file, const ResId &name) {
    const Resource *resource = file.Find(ResId::From(RT_MENU), name);
    if (!resource) {
        Unsupported("menu", "no menu resource " + name.Describe() + " in " + file.Path);
    }
    ByteReader in(resource->Data);
    WORD version = in.U16();
    WORD headerSize = in.U16();
    if (!in.Ok() || version != 0) {
        Unsupported("menu", "menu " + name.Describe() + " is not a standard MENU template");
    }
    in.Skip(headerSize);
    Menu menu;
    if (!ParseItems(in, menu)) {
        Unsupported("menu", "menu " + name.Describe() + " is malformed");
    }
    HMENU handle = HandleOf<HMENU>(NewHandle());
    W().Menus[Key(handle)] = std::move(menu);
    return handle;
}

Menu &LiveMenu(const char *call, HMENU handle) {
    auto found = W().Menus.find(Key(handle));
    if (found == W().Menus.end()) {
        Unsupported(call, "handle " + HandleText(handle) + " is no menu");
    }
    return found->second;
}

std::string MenuLabel(const std::string &text) {
    std::string label;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
        }
        label += text[i];
    }
    return label;
}

} // namespace headless::detail

using namespace headless;
using namespace headless::detail;

HMENU WINAPI GetMenu(HWND hWnd) {
    return LiveWindow("GetMenu", hWnd).Menu;
}

HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos) {
    Menu &menu = LiveMenu("GetSubMenu", hMenu);
    if (nPos < 0 || (size_t)nPos >= menu.Items.size()) {
        return nullptr;
    }
    return menu.Items[(size_t)nPos].Popup;
}

int WINAPI GetMenuItemCount(HMENU hMenu) {
    auto found = W().Menus.find(Key(hMenu));
    return found == W().Menus.end() ? -1 : (int)found->second.Items.size();
}

UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos) {
    Menu &menu = LiveMenu("GetMenuItemID", hMenu);
    if (nPos < 0 || (size_t)nPos >= menu.Items.size() || menu.Items[(size_t)nPos].Popup) {
        return (UINT)-1;
    }
    return menu.Items[(size_t)nPos].Id;
}

int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
    if (flags & ~(UINT)MF_BYPOSITION) {
        Unsupported("GetMenuStringA", "flags " + std::to_string(flags));
    }
    const MenuItem *item = FindItem(hMenu, uIDItem, flags);
    if (!item) {
        return 0;
    }
    if (!lpString || cchMax <= 0) {
        return (int)item->Text.size();
    }
    int count = std::min(cchMax - 1, (int)item->Text.size());
    std::memcpy(lpString, item->Text.data(), (size_t)count);
    lpString[count] = '\0';
    return count;
}

BOOL WINAPI InsertMenuA(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem,
                        LPCSTR lpNewItem) {
    const UINT known = MF_BYPOSITION | MF_SEPARATOR | MF_POPUP | MF_GRAYED | MF_DISABLED |
                       MF_CHECKED | MF_MENUBARBREAK | MF_MENUBREAK;
    if (uFlags & ~known) {
        Unsupported("InsertMenuA", "flags " + std::to_string(uFlags));
    }
    MenuItem item;
    item.Flags = uFlags & ~(UINT)MF_BYPOSITION;
    if (uFlags & MF_SEPARATOR) {
        item.Flags = MF_SEPARATOR;
    } else {
        if (!lpNewItem) {
            Unsupported("InsertMenuA", "a string item without text");
        }
        item.Text = lpNewItem;
        if (uFlags & MF_POPUP) {
            item.Popup = HandleOf<HMENU>(uIDNewItem);
            LiveMenu("InsertMenuA", item.Popup);
        } else {
            item.Id = (UINT)uIDNewItem;
        }
    }
    HMENU owner = hMenu;
    size_t position = 0;
    if (uFlags & MF_BYPOSITION) {
        Menu &menu = LiveMenu("InsertMenuA", hMenu);
        position = uPosition >= menu.Items.size() ? menu.Items.size() : uPosition;
    } else if (!FindByCommand(hMenu, uPosition, owner, position)) {
        return FALSE;
    }
    Menu &menu = LiveMenu("InsertMenuA", owner);
    menu.Items.insert(menu.Items.begin() + (ptrdiff_t)position, item);
    return TRUE;
}

// ---- Accelerators ------------------------------------------------------------------
HACCEL WINAPI LoadAcceleratorsA(HINSTANCE hInstance, LPCSTR lpTableName) {
    const ResourceFile &file = ResourcesOf("LoadAcceleratorsA", hInstance);
    const Resource *resource = file.Find(ResId::From(RT_ACCELERATOR), ResId::From(lpTableName));
    if (!resource) {
        return nullptr;
    }
    std::vector<Accelerator> table;
    ByteReader in(resource->Data);
    while (in.Left() >= 8) {
        Accelerator entry;
        entry.Flags = in.U16();
        entry.Key = in.U16();
        entry.Command = in.U16();
        in.Skip(2); // padding
        table.push_back(entry);
        if (entry.Flags & 0x80) {
            break;
        }
    }
    HACCEL handle = HandleOf<HACCEL>(NewHandle());
    W().Accelerators[Key(handle)] = std::move(table);
    return handle;
}

int WINAPI TranslateAcceleratorA(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg) {
    if (!hAccTable || !lpMsg) {
        return 0;
    }
    World &world = W();
    if (Key(hAccTable) != world.LastAcceleratorsKey) {
        auto found = world.Accelerators.find(Key(hAccTable));
        if (found == world.Accelerators.end()) {
            Unsupported("TranslateAcceleratorA", "a handle that is no accelerator table");
        }
        world.LastAcceleratorsKey = Key(hAccTable);
        world.LastAccelerators = &found->second;
    }
    bool virtualKey;
    if (lpMsg->message == WM_KEYDOWN || lpMsg->message == WM_SYSKEYDOWN) {
        virtualKey = true;
    } else if (lpMsg->message == WM_CHAR || lpMsg->message == WM_SYSCHAR) {
        virtualKey = false;
    } else {
        return 0;
    }
    for (const Accelerator &entry : *world.LastAccelerators) {
        bool isVirtual = (entry.Flags & FVIRTKEY) != 0;
        // No modifier key is ever held down in the headless world.
        bool needsModifier = (entry.Flags & (FSHIFT | FCONTROL | FALT)) != 0;
        if (isVirtual != virtualKey || needsModifier || entry.Key != (WORD)lpMsg->wParam) {
            continue;
        }
        Window &window = LiveWindow("TranslateAcceleratorA", hWnd);
        if (!window.Enabled) {
            return 1; // the key is taken, but a disabled window gets no command
        }
        if (window.Menu) {
            HMENU owner = nullptr;
            size_t position = 0;
            if (FindByCommand(window.Menu, entry.Command, owner, position) &&
                (LiveMenu("TranslateAcceleratorA", owner).Items[position].Flags &
                 (MF_GRAYED | MF_DISABLED))) {
                return 1;
            }
        }
        SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(entry.Command, 1), 0);
        return 1;
    }
    return 0;
}

namespace headless {

void QueueMenuCommand(HWND window, UINT command) {
    Window &target = LiveWindow("QueueMenuCommand", window);
    HMENU owner = nullptr;
    size_t position = 0;
    if (!target.Menu || !FindByCommand(target.Menu, command, owner, position)) {
        throw std::logic_error("QueueMenuCommand: the menu has no entry " +
                               std::to_string(command));
    }
    if (LiveMenu("QueueMenuCommand", owner).Items[position].Flags & (MF_GRAYED | MF_DISABLED)) {
        throw std::logic_error("QueueMenuCommand: entry " + std::to_string(command) +
                               " is disabled");
    }
    // A click on a disabled window is lost, and so is the menu choice it would make.
    if (target.Enabled) {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
}

} // namespace headless
