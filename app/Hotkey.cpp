#include "app/Hotkey.h"

bool ClaimHotkey(HWND window, store::Hotkey hotkey)
{
    if (!window)
        return true;
    ReleaseHotkey(window);
    return hotkey.IsNone() || RegisterHotKey(window, kHotkeyId, hotkey.Modifiers(), hotkey.Key());
}

void ReleaseHotkey(HWND window) { UnregisterHotKey(window, kHotkeyId); }
