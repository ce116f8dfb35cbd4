#pragma once
// The program's options, kept beside the stored tree (SOFTWARE\Tabula Options of the store's hive) and never inside
// it, so that a save of the tree, which replaces the tree's whole key, leaves them alone.
#include <windows.h>

#include <string>

namespace store {

constexpr const wchar_t* kOptionsName = L"Tabula Options";
constexpr const wchar_t* kHotkeyValue = L"Hotkey";

// A hotkey as a hotkey control reports it: the HOTKEYF_ modifiers in the high byte, the virtual key in the low byte;
// 0 for none.
constexpr WORD kDefaultHotkey = MAKEWORD('T', 0x02 | 0x04);   // Ctrl+Alt+T

// The stored hotkey; the default when none is stored (or what is stored is not a hotkey).
WORD LoadHotkey();
// Stores the hotkey (0 included); false when it could not.
bool SaveHotkey(WORD hotkey);

// The RegisterHotKey modifiers of a hotkey control's value.
UINT HotkeyModifiers(WORD hotkey);
// A hotkey as the user reads it, "Ctrl+Alt+T".
std::wstring HotkeyText(WORD hotkey);

}  // namespace store
