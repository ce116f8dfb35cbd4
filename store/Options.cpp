#include "store/Options.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/Registry.h"
#include "store/StoreKeys.h"

namespace store {

namespace {

std::wstring OptionsPath() { return std::wstring(kParentPath) + L"\\" + kOptionsName; }

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

// What the Options tab would make of a stored value: a key without Ctrl or Alt gets both, as the tab's hotkey control
// adds them to a key typed alone or with Shift alone; a value that no key gives is none.
WORD AsHotkey(DWORD stored)
{
    const BYTE key = LOBYTE(stored), modifiers = HIBYTE(stored);
    if (stored > 0xFFFF || (modifiers & ~kHotkeyModifiers) || !IsKeyboardKey(key))
        return 0;
    const bool alone = !(modifiers & (HOTKEYF_CONTROL | HOTKEYF_ALT));
    return MAKEWORD(key, alone ? modifiers | HOTKEYF_CONTROL | HOTKEYF_ALT : modifiers);
}

std::optional<DWORD> LoadOption(const wchar_t* name)
{
    const platform::reg::unique_hkey key = platform::reg::OpenKey(platform::reg::StoreHive(), OptionsPath().c_str());
    return key ? platform::reg::ReadDword(key.get(), name) : std::nullopt;
}

bool SaveOption(const wchar_t* name, DWORD value)
{
    const platform::reg::unique_hkey key = platform::reg::CreateKey(platform::reg::StoreHive(), OptionsPath().c_str());
    return key && platform::reg::WriteDword(key.get(), name, value);
}

}  // namespace

WORD LoadHotkey()
{
    const std::optional<DWORD> stored = LoadOption(kHotkeyValue);
    return stored ? AsHotkey(*stored) : kDefaultHotkey;
}

bool SaveHotkey(WORD hotkey) { return SaveOption(kHotkeyValue, hotkey); }

WORD LoadFindHotkey()
{
    const std::optional<DWORD> stored = LoadOption(kFindHotkeyValue);
    return stored ? AsHotkey(*stored) : kDefaultFindHotkey;
}

bool SaveFindHotkey(WORD hotkey) { return SaveOption(kFindHotkeyValue, hotkey); }

bool LoadShowRecent() { return LoadOption(kShowRecentValue) == DWORD{1}; }

bool SaveShowRecent(bool on) { return SaveOption(kShowRecentValue, on ? 1 : 0); }

UINT HotkeyModifiers(WORD hotkey)
{
    const BYTE flags = HIBYTE(hotkey);
    return (flags & HOTKEYF_CONTROL ? MOD_CONTROL : 0) | (flags & HOTKEYF_ALT ? MOD_ALT : 0) |
           (flags & HOTKEYF_SHIFT ? MOD_SHIFT : 0);
}

std::wstring HotkeyText(WORD hotkey)
{
    const BYTE flags = HIBYTE(hotkey);
    std::wstring text = std::wstring(flags & HOTKEYF_CONTROL ? L"Ctrl+" : L"") + (flags & HOTKEYF_ALT ? L"Alt+" : L"") +
                        (flags & HOTKEYF_SHIFT ? L"Shift+" : L"");
    const LONG scanCode = static_cast<LONG>(MapVirtualKeyW(LOBYTE(hotkey), MAPVK_VK_TO_VSC));
    wchar_t name[64] = {};
    if (GetKeyNameTextW(scanCode << 16 | (flags & HOTKEYF_EXT ? 1 << 24 : 0), name, 64) > 0)
        return text + name;
    return text + static_cast<wchar_t>(LOBYTE(hotkey));
}

}  // namespace store
