#pragma once
// The registry as the program uses it, the one layer through which it is reached. The device opens every key with
// access 0; desktop Windows and Wine ask for the rights that each use needs. Opened keys are owned by their holder,
// reads say in their type when a value is absent or unusable, and every call that changes the registry is counted,
// so that the tests can stop the changes, or end the process, after any one.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/Handles.h"

namespace platform {
namespace reg {

using handles::unique_hkey;

// Rights for reading a key, and for changing it and what lies below it.
constexpr REGSAM kReadRights = KEY_READ;
constexpr REGSAM kWriteRights = KEY_READ | KEY_WRITE | DELETE;

// The hive that holds the store: HKEY_LOCAL_MACHINE where its SOFTWARE key accepts new keys (the device, Wine, an
// administrator), HKEY_CURRENT_USER otherwise. Decided once per process.
HKEY StoreHive();

// The key, or none when it cannot be opened.
unique_hkey OpenKey(HKEY parent, const wchar_t* path, REGSAM rights = kReadRights);

// Reads. A DWORD is a REG_DWORD of exactly 4 bytes; a text is a REG_SZ or REG_EXPAND_SZ up to its first NUL, or to
// its last whole character when it has none. Anything else is no value.
std::optional<DWORD> ReadDword(HKEY key, const wchar_t* name);
// A REG_QWORD of exactly 8 bytes.
std::optional<ULONGLONG> ReadQword(HKEY key, const wchar_t* name);
std::optional<std::wstring> ReadString(HKEY key, const wchar_t* name);
bool HasValue(HKEY key, const wchar_t* name);   // of any type
// How many values the key holds, of any type; nothing when that cannot be read.
std::optional<DWORD> ValueCount(HKEY key);
// The name of the subkey at index, and the enumeration's status (ERROR_NO_MORE_ITEMS past the last one).
LONG EnumSubkey(HKEY key, DWORD index, wchar_t* name, DWORD* length);

// The names of a key's subkeys in the registry's order, as a range: for (const std::wstring& name : Subkeys(key)).
// The walk ends after the last name or at the first failure; Status() then says which (ERROR_NO_MORE_ITEMS after the
// last name). A range read while its key changes sees the names that are at each index when it gets there.
class Subkeys {
public:
    class iterator {
    public:
        const std::wstring& operator*() const { return range_->name_; }
        const std::wstring* operator->() const { return &range_->name_; }
        iterator& operator++();
        bool operator==(const iterator& other) const { return range_ == other.range_; }
        bool operator!=(const iterator& other) const { return range_ != other.range_; }

    private:
        friend class Subkeys;
        iterator(Subkeys* range, DWORD index) : range_(range), index_(index) {}
        Subkeys* range_;   // null at the end
        DWORD index_;
    };

    explicit Subkeys(HKEY key) : key_(key) {}
    iterator begin() { return iterator(Read(0) ? this : nullptr, 0); }
    iterator end() { return iterator(nullptr, 0); }
    LONG Status() const { return status_; }

private:
    bool Read(DWORD index);   // the name at index into name_; false at the end or on failure
    HKEY key_;
    std::wstring name_;
    LONG status_ = ERROR_NO_MORE_ITEMS;
};

// Whether anything may have changed a subtree since the watch began: a value or a key at any depth below the key name
// of parent, or the keys beside it (the subtree renamed, removed, or another put in its place). A watch that could not
// begin says so from the start, so that nothing unwatched is trusted. On Windows before 8 a watch also ends, as changed,
// when the thread that began it ends.
class KeyWatch {
public:
    KeyWatch(HKEY parent, const wchar_t* name);
    bool Changed() const;

private:
    unique_hkey parent_, key_;   // the watch lasts while they are open
    handles::unique_kernel_object besideChanged_, belowChanged_;
    bool watching_ = false;
};

// Changes, each one counted.
unique_hkey CreateKey(HKEY parent, const wchar_t* path);   // opened for changes; none on failure
LONG SetValue(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size);
// A REG_DWORD, and a REG_SZ with its terminator: false when not written.
bool WriteDword(HKEY key, const wchar_t* name, DWORD value);
bool WriteQword(HKEY key, const wchar_t* name, ULONGLONG value);
bool WriteString(HKEY key, const wchar_t* name, const wchar_t* text);
LONG DeleteValue(HKEY key, const wchar_t* name);
// Removes a key with everything below it, one key at a time (each removal is one change).
LONG DeleteTree(HKEY parent, const wchar_t* path);
// Gives a subkey of parent a new name in one step; the subkey keeps its values and subkeys.
LONG RenameKey(HKEY parent, const wchar_t* path, const wchar_t* newName);

// Asks for what was written below key to reach persistent storage.
LONG Flush(HKEY key);

// Fault injection for the tests. Every call above that would change the registry counts as one
// change, whether it succeeds, fails or is refused; the count starts again at Reset.
namespace faults {
void Reset();                     // count from 0, no fault, no recording
long Changes();                   // changes tried since the last Reset
// Every change after the first `changes` ones fails with ERROR_WRITE_FAULT and changes nothing.
void RefuseAfter(long changes);
// Only the change with this number (1 for the first) fails with ERROR_WRITE_FAULT.
void RefuseOne(long number);
// The process ends, with no clean-up, when it tries one change more than `changes`.
void TerminateAfter(long changes, UINT exitCode);

// The kinds of the changes tried since the last Reset, kept only while recording is on.
enum class Change { CreateKey, SetValue, DeleteValue, DeleteKey, RenameKey };
void Record(bool on);
const std::vector<Change>& Journal();
}  // namespace faults

}  // namespace reg
}  // namespace platform
