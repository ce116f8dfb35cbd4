#pragma once
// What the settings window works on, handed to it by its caller: the menu tree, the store that keeps it, and the
// instance whose resources its windows are made from.
#include <windows.h>

class CTodayMenu;
class CRegHelper;

struct SettingsContext {
    HINSTANCE instance = nullptr;
    CTodayMenu* menu = nullptr;
    CRegHelper* store = nullptr;
    HWND hotkeyWindow = nullptr;   // the window that holds the program's hotkey; none in a settings window of its own

    // Stores the whole tree after a change.
    void StoreTree() const;
};
