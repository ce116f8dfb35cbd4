#include "store/Options.h"

#include "platform/Registry.h"
#include "store/StoreKeys.h"

namespace store {

namespace {

std::wstring OptionsPath() { return std::wstring(kParentPath) + L"\\" + kOptionsName; }

}  // namespace

Hotkey LoadHotkey()
{
    const platform::reg::unique_hkey key = platform::reg::OpenKey(platform::reg::StoreHive(), OptionsPath().c_str());
    const auto stored = key ? platform::reg::ReadDword(key.get(), kHotkeyValue) : std::nullopt;
    return stored ? Hotkey::From(*stored) : Hotkey::Default();
}

bool SaveHotkey(Hotkey hotkey)
{
    const platform::reg::unique_hkey key = platform::reg::CreateKey(platform::reg::StoreHive(), OptionsPath().c_str());
    return key && platform::reg::WriteDword(key.get(), kHotkeyValue, hotkey.Value());
}

platform::ThemeChoice LoadTheme()
{
    const platform::reg::unique_hkey key = platform::reg::OpenKey(platform::reg::StoreHive(), OptionsPath().c_str());
    const auto stored = key ? platform::reg::ReadDword(key.get(), kThemeValue) : std::nullopt;
    return stored && *stored <= static_cast<DWORD>(platform::ThemeChoice::Dark) ? static_cast<platform::ThemeChoice>(*stored)
                                                                                 : platform::ThemeChoice::System;
}

bool SaveTheme(platform::ThemeChoice choice)
{
    const platform::reg::unique_hkey key = platform::reg::CreateKey(platform::reg::StoreHive(), OptionsPath().c_str());
    return key && platform::reg::WriteDword(key.get(), kThemeValue, static_cast<DWORD>(choice));
}

}  // namespace store
