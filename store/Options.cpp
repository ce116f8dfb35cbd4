#include "store/Options.h"

#include <mutex>

#include "platform/Registry.h"
#include "store/FileHome.h"
#include "store/StoreKeys.h"

namespace store {

namespace {

std::wstring OptionsPath() { return std::wstring(kParentPath) + L"\\" + kOptionsName; }

// The file home in force, if any: set on the GUI thread, read on any.
struct OptionsHome {
    std::mutex lock;
    std::shared_ptr<CFileHome> home;
};
OptionsHome& TheOptionsHome()
{
    static OptionsHome home;
    return home;
}
std::shared_ptr<CFileHome> FileHomeInForce()
{
    std::lock_guard<std::mutex> held(TheOptionsHome().lock);
    return TheOptionsHome().home;
}

std::optional<DWORD> LoadOption(const wchar_t* name)
{
    if (const std::shared_ptr<CFileHome> home = FileHomeInForce())
        return home->Option(name);
    const platform::reg::unique_hkey key = platform::reg::OpenKey(platform::reg::StoreHive(), OptionsPath().c_str());
    return key ? platform::reg::ReadDword(key.get(), name) : std::nullopt;
}

bool SaveOption(const wchar_t* name, DWORD value)
{
    if (const std::shared_ptr<CFileHome> home = FileHomeInForce())
        return home->SetOption(name, value);
    const platform::reg::unique_hkey key = platform::reg::CreateKey(platform::reg::StoreHive(), OptionsPath().c_str());
    return key && platform::reg::WriteDword(key.get(), name, value);
}

}  // namespace

void KeepOptionsIn(std::shared_ptr<CFileHome> home)
{
    std::lock_guard<std::mutex> held(TheOptionsHome().lock);
    TheOptionsHome().home = std::move(home);
}

std::optional<std::wstring> LoadMenuFile()
{
    const platform::reg::unique_hkey key = platform::reg::OpenKey(platform::reg::StoreHive(), OptionsPath().c_str());
    std::optional<std::wstring> path = key ? platform::reg::ReadString(key.get(), kMenuFileValue) : std::nullopt;
    return path && !path->empty() ? path : std::nullopt;
}

bool SaveMenuFile(const std::wstring& path)
{
    const platform::reg::unique_hkey key = platform::reg::CreateKey(platform::reg::StoreHive(), OptionsPath().c_str());
    return key && platform::reg::WriteString(key.get(), kMenuFileValue, path.c_str());
}

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
