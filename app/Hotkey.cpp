#include "app/Hotkey.h"

#include "store/Options.h"

bool ClaimHotkey(HWND window, WORD hotkey)
{
    if (!window)
        return true;
    ReleaseHotkey(window);
    return !hotkey || RegisterHotKey(window, kHotkeyId, store::HotkeyModifiers(hotkey), LOBYTE(hotkey));
}

void ReleaseHotkey(HWND window) { UnregisterHotKey(window, kHotkeyId); }
