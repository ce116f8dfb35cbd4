#pragma once
// What the settings window works on, handed to it by its caller: the menu tree, the store that keeps it, and the
// instance whose resources its windows are made from. It outlives the window.
#include <windows.h>

#include <functional>

class CTodayMenu;
class CRegHelper;

struct SettingsContext {
    HINSTANCE instance = nullptr;
    CTodayMenu* menu = nullptr;
    CRegHelper* store = nullptr;
    // Asks the program to take a new hotkey (0: none); false when another program holds it. Empty in a settings window
    // of its own, which holds no hotkey.
    std::function<bool(WORD)> changeHotkey;
    // The same for the find box's hotkey.
    std::function<bool(WORD)> changeFindHotkey;
};
