#pragma once
// The data an owner-drawn menu item of an entry carries (menu/MenuItem.h reads and writes it).
#include <windows.h>
#include <oleacc.h>

#include <string>

class CItem;

// What an entry's item carries as its data, owned by the entry. It begins with the item's name as screen readers read
// an owner-drawn item (MSAAMENUINFO: the caption shown), and leads back to the entry.
struct MenuItemData {
    MSAAMENUINFO name{MSAA_MENU_SIG, 0, nullptr};
    std::wstring text;   // what name points to
    CItem* entry = nullptr;
};
