#include "store/Options.h"

#include "platform/Registry.h"
#include "store/StoreKeys.h"

namespace store {

namespace {

std::wstring OptionsPath() { return std::wstring(kParentPath) + L"\\" + kOptionsName; }

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

Hotkey LoadHotkey()
{
    const std::optional<DWORD> stored = LoadOption(kHotkeyValue);
    return stored ? Hotkey::From(*stored) : Hotkey::Default();
}

bool SaveHotkey(Hotkey hotkey) { return SaveOption(kHotkeyValue, hotkey.Value()); }

Hotkey LoadFindHotkey()
{
    const std::optional<DWORD> stored = LoadOption(kFindHotkeyValue);
    return stored ? Hotkey::From(*stored) : Hotkey::DefaultFind();
}

bool SaveFindHotkey(Hotkey hotkey) { return SaveOption(kFindHotkeyValue, hotkey.Value()); }

bool LoadShowRecent() { return LoadOption(kShowRecentValue) == DWORD{1}; }

bool SaveShowRecent(bool on) { return SaveOption(kShowRecentValue, on ? 1 : 0); }

platform::ThemeChoice LoadTheme()
{
    const std::optional<DWORD> stored = LoadOption(kThemeValue);
    return stored && *stored <= static_cast<DWORD>(platform::ThemeChoice::Dark) ? static_cast<platform::ThemeChoice>(*stored)
                                                                                 : platform::ThemeChoice::System;
}

bool SaveTheme(platform::ThemeChoice choice) { return SaveOption(kThemeValue, static_cast<DWORD>(choice)); }

}  // namespace store
