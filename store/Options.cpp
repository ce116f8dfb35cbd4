#include "store/Options.h"

#include <commctrl.h>

#include "platform/Registry.h"
#include "store/StoreKeys.h"

namespace store {

namespace {

std::wstring OptionsPath() { return std::wstring(kParentPath) + L"\\" + kOptionsName; }

}  // namespace

WORD LoadHotkey()
{
    const platform::reg::unique_hkey key = platform::reg::OpenKey(platform::reg::StoreHive(), OptionsPath().c_str());
    const auto stored = key ? platform::reg::ReadDword(key.get(), kHotkeyValue) : std::nullopt;
    return stored && *stored <= 0xFFFF ? static_cast<WORD>(*stored) : kDefaultHotkey;
}

bool SaveHotkey(WORD hotkey)
{
    const platform::reg::unique_hkey key = platform::reg::CreateKey(platform::reg::StoreHive(), OptionsPath().c_str());
    const DWORD value = hotkey;
    return key && platform::reg::SetValue(key.get(), kHotkeyValue, REG_DWORD, &value, sizeof(value)) == ERROR_SUCCESS;
}

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
