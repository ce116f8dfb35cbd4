#include "app/Hotkey.h"

#include "store/Options.h"

bool ClaimHotkey(HWND window, WORD hotkey, int id)
{
    if (!window)
        return true;
    UnregisterHotKey(window, id);
    return !hotkey || RegisterHotKey(window, id, store::HotkeyModifiers(hotkey), LOBYTE(hotkey));
}

void ReleaseHotkey(HWND window)
{
    UnregisterHotKey(window, kHotkeyId);
    UnregisterHotKey(window, kFindHotkeyId);
}
