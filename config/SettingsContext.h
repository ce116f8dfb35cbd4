#pragma once
// What the settings window works on, handed to it by its caller: the menu tree, the store that keeps it, and the
// instance whose resources its windows are made from. It outlives the window.
#include <windows.h>

#include <functional>
#include <string>

#include "store/Hotkey.h"
#include "platform/Theme.h"

class CTodayMenu;
class CRegHelper;
namespace store {
class CStoreWriter;
}

struct SettingsContext {
    HINSTANCE instance = nullptr;
    CTodayMenu* menu = nullptr;
    CRegHelper* store = nullptr;
    // Asks the program to take a new hotkey (none included); false when another program holds it. Empty in a settings
    // window of its own, which holds no hotkey.
    std::function<bool(store::Hotkey)> changeHotkey;
    // The look in force, which the window and its dialogs follow (none: the light look as the system draws it), and how
    // the program takes a new theme choice (empty in a settings window of its own: the window alone follows it).
    platform::CTheme* theme = nullptr;
    std::function<void(platform::ThemeChoice)> changeTheme;
    // The one writer of the store, through which every change is stored.
    store::CStoreWriter* writer = nullptr;
    // As changeHotkey, for the find box's hotkey.
    std::function<bool(store::Hotkey)> changeFindHotkey;
    // Moves the menu into a menu file it follows, or back into the registry for an empty path; false with the reason
    // when it stays where it was. Empty where the menu cannot move (a settings window of its own, a portable copy).
    std::function<bool(const std::wstring& path, std::wstring* error)> moveHome;
};
