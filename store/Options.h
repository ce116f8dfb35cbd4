#pragma once
// The program's options, kept beside the stored tree (SOFTWARE\Tabula Options of the store's hive) and never inside
// it, so that a save of the tree, which replaces the tree's whole key, leaves them alone.
#include <windows.h>

#include <string>

namespace store {

constexpr const wchar_t* kOptionsName = L"Tabula Options";
constexpr const wchar_t* kHotkeyValue = L"Hotkey";
constexpr const wchar_t* kFindHotkeyValue = L"FindHotkey";
constexpr const wchar_t* kShowRecentValue = L"ShowRecent";

// A hotkey as a hotkey control reports it: the HOTKEYF_ modifiers in the high byte, the virtual key in the low byte;
// 0 for none.
constexpr WORD kDefaultHotkey = MAKEWORD('T', 0x02 | 0x04);   // Ctrl+Alt+T
constexpr WORD kDefaultFindHotkey = MAKEWORD('F', 0x02 | 0x04);   // Ctrl+Alt+F: the find box

// The stored hotkey as the Options tab would have made it: Ctrl+Alt added to a key stored without Ctrl or Alt, and
// none for a value that no key gives (no key or a code that no keyboard sends in the low byte, or modifier bits that
// a hotkey control does not report). The default when nothing usable is stored (no 4-byte REG_DWORD).
WORD LoadHotkey();
// Stores the hotkey (0 included); false when it could not.
bool SaveHotkey(WORD hotkey);
// The find box's hotkey, stored as FindHotkey under the same rules; its default when nothing usable is stored.
WORD LoadFindHotkey();
bool SaveFindHotkey(WORD hotkey);

// Whether the menu shows the recent documents at its top (REG_DWORD ShowRecent, 1 on); off unless stored 1.
bool LoadShowRecent();
bool SaveShowRecent(bool on);

// The RegisterHotKey modifiers of a hotkey control's value.
UINT HotkeyModifiers(WORD hotkey);
// A hotkey as the user reads it, "Ctrl+Alt+T".
std::wstring HotkeyText(WORD hotkey);

}  // namespace store
