#pragma once
// A hotkey as a hotkey control gives it: the HOTKEYF_ modifiers in the high byte, the virtual key in the low byte; 0
// for none. Whatever its source (the store, a menu file, a hand-over, the Options tab), a value becomes a Hotkey by one
// rule, so that no source can set a key that the Options tab would not.
#include <windows.h>

#include <string>

namespace store {

class Hotkey {
public:
    Hotkey() = default;   // none

    // The rule: a key without Ctrl or Alt gets both, as the Options tab's control adds them to a key typed alone or with
    // Shift alone (a bare key would be taken from every program); a value that no key gives is none: no key or a code
    // that no keyboard sends in the low byte, modifier bits that a hotkey control does not report, or more than 16 bits.
    static Hotkey From(DWORD value);
    // Ctrl+Alt+T, the hotkey of a store that holds none; Ctrl+Alt+F, the find box's.
    static Hotkey Default();
    static Hotkey DefaultFind();

    WORD Value() const { return value_; }   // as stored and filed
    bool IsNone() const { return value_ == 0; }
    BYTE Key() const { return LOBYTE(value_); }
    UINT Modifiers() const;   // RegisterHotKey's MOD_ flags
    std::wstring Text() const;   // as the user reads it, "Ctrl+Alt+T"

    bool operator==(const Hotkey& other) const { return value_ == other.value_; }
    bool operator!=(const Hotkey& other) const { return value_ != other.value_; }

private:
    explicit Hotkey(WORD value) : value_(value) {}
    WORD value_ = 0;
};

}  // namespace store
