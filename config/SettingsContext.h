#pragma once
// What the settings window works on, handed to it by its caller: the menu tree, the store that keeps it, and the
// instance whose resources its windows are made from.
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

    // Stores the whole tree after a change.
    void StoreTree() const;

    // Each page and dialog of the settings window keeps, from its WM_INITDIALOG, the context it was made with.
    static void Keep(HWND window, LPARAM context) { SetWindowLongPtrW(window, GWLP_USERDATA, context); }
    static const SettingsContext& Of(HWND window)
    {
        return *reinterpret_cast<const SettingsContext*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
};
