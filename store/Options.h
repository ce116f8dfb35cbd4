#pragma once
// The program's options, kept beside the stored tree (SOFTWARE\Tabula Options of the store's hive) and never inside
// it, so that a save of the tree, which replaces the tree's whole key, leaves them alone.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "store/Hotkey.h"

#include "platform/Theme.h"

namespace store {

constexpr const wchar_t* kOptionsName = L"Tabula Options";
constexpr const wchar_t* kHotkeyValue = L"Hotkey";
constexpr const wchar_t* kFindHotkeyValue = L"FindHotkey";
constexpr const wchar_t* kShowRecentValue = L"ShowRecent";
constexpr const wchar_t* kThemeValue = L"Theme";
constexpr const wchar_t* kMenuFileValue = L"MenuFile";

class CFileHome;

// Where the options below are read and written: the menu's file when it is the menu's home, the registry otherwise.
// Decided by the tree store alone (CTreeStore::UseHome), with the menu's home.
void KeepOptionsIn(std::shared_ptr<CFileHome> home);

// The menu file that the user follows in place of the registry (REG_SZ MenuFile, always in the registry); nothing when
// it is empty or absent. Saving an empty path brings the menu back into the registry.
std::optional<std::wstring> LoadMenuFile();
bool SaveMenuFile(const std::wstring& path);

// The stored hotkey by Hotkey's rule; the default when nothing usable is stored (no 4-byte REG_DWORD).
Hotkey LoadHotkey();
// Stores the hotkey (none included); false when it could not.
bool SaveHotkey(Hotkey hotkey);
// The find box's hotkey, stored as FindHotkey by the same rule; Ctrl+Alt+F when nothing usable is stored.
Hotkey LoadFindHotkey();
bool SaveFindHotkey(Hotkey hotkey);

// Whether the menu shows the recent documents at its top (REG_DWORD ShowRecent, 1 on); off unless stored 1.
bool LoadShowRecent();
bool SaveShowRecent(bool on);

// The stored theme choice: a REG_DWORD of 0 (follow the system), 1 (light) or 2 (dark); anything else, or nothing,
// follows the system.
platform::ThemeChoice LoadTheme();
bool SaveTheme(platform::ThemeChoice choice);

}  // namespace store
