#include "store/Hotkey.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace store {

namespace {

constexpr BYTE kHotkeyModifiers = HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT;

// Virtual key codes that no keyboard sends: none, the mouse buttons, the codes left undefined or reserved, the
// navigation and gamepad buttons, and the packets that carry typed characters.
constexpr std::pair<BYTE, BYTE> kNoKeyboardKey[] = {{0x00, 0x02}, {0x04, 0x07}, {0x0A, 0x0B}, {0x0E, 0x0F},
                                                    {0x3A, 0x40}, {0x5E, 0x5E}, {0x88, 0x8F}, {0x97, 0x9F},
                                                    {0xB8, 0xB9}, {0xC1, 0xDA}, {0xE0, 0xE0}, {0xE7, 0xE8},
                                                    {0xFF, 0xFF}};

bool IsKeyboardKey(BYTE key)
{
    return std::none_of(std::begin(kNoKeyboardKey), std::end(kNoKeyboardKey),
                        [key](const auto& codes) { return key >= codes.first && key <= codes.second; });
}

}  // namespace

Hotkey Hotkey::From(DWORD value)
{
    const BYTE key = LOBYTE(value), modifiers = HIBYTE(value);
    if (value > 0xFFFF || (modifiers & ~kHotkeyModifiers) || !IsKeyboardKey(key))
        return Hotkey();
    const bool alone = !(modifiers & (HOTKEYF_CONTROL | HOTKEYF_ALT));
    return Hotkey(MAKEWORD(key, alone ? modifiers | HOTKEYF_CONTROL | HOTKEYF_ALT : modifiers));
}

Hotkey Hotkey::Default() { return Hotkey(MAKEWORD('T', HOTKEYF_CONTROL | HOTKEYF_ALT)); }

Hotkey Hotkey::DefaultFind() { return Hotkey(MAKEWORD('F', HOTKEYF_CONTROL | HOTKEYF_ALT)); }

UINT Hotkey::Modifiers() const
{
    const BYTE flags = HIBYTE(value_);
    return (flags & HOTKEYF_CONTROL ? MOD_CONTROL : 0) | (flags & HOTKEYF_ALT ? MOD_ALT : 0) |
           (flags & HOTKEYF_SHIFT ? MOD_SHIFT : 0);
}

std::wstring Hotkey::Text() const
{
    const BYTE flags = HIBYTE(value_);
    std::wstring text = std::wstring(flags & HOTKEYF_CONTROL ? L"Ctrl+" : L"") + (flags & HOTKEYF_ALT ? L"Alt+" : L"") +
                        (flags & HOTKEYF_SHIFT ? L"Shift+" : L"");
    const LONG scanCode = static_cast<LONG>(MapVirtualKeyW(Key(), MAPVK_VK_TO_VSC));
    wchar_t name[64] = {};
    if (GetKeyNameTextW(scanCode << 16 | (flags & HOTKEYF_EXT ? 1 << 24 : 0), name, 64) > 0)
        return text + name;
    return text + static_cast<wchar_t>(Key());
}

}  // namespace store
