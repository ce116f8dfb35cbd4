#pragma once
// The program's options, kept beside the stored tree (SOFTWARE\Tabula Options of the store's hive) and never inside
// it, so that a save of the tree, which replaces the tree's whole key, leaves them alone.
#include <windows.h>

#include "store/Hotkey.h"

#include "platform/Theme.h"

namespace store {

constexpr const wchar_t* kOptionsName = L"Tabula Options";
constexpr const wchar_t* kHotkeyValue = L"Hotkey";
constexpr const wchar_t* kFindHotkeyValue = L"FindHotkey";
constexpr const wchar_t* kShowRecentValue = L"ShowRecent";
constexpr const wchar_t* kThemeValue = L"Theme";

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
