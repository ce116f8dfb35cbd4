#include "app/Hotkey.h"

bool ClaimHotkey(HWND window, store::Hotkey hotkey, int id)
{
    if (!window)
        return true;
    UnregisterHotKey(window, id);
    return hotkey.IsNone() || RegisterHotKey(window, id, hotkey.Modifiers(), hotkey.Key());
}

void ReleaseHotkey(HWND window)
{
    UnregisterHotKey(window, kHotkeyId);
    UnregisterHotKey(window, kFindHotkeyId);
}
