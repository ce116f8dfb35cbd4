#pragma once
// The registry as the store uses it. The device opens every key with access 0; desktop Windows and
// Wine ask for the rights that each use needs. Every call that changes the registry goes through
// here and is counted, so that the tests can stop the changes, or end the process, after any one.
#include <windows.h>

#include <vector>

namespace platform {
namespace reg {

// Rights for reading a key, and for changing it and what lies below it.
constexpr REGSAM kReadRights = KEY_READ;
constexpr REGSAM kWriteRights = KEY_READ | KEY_WRITE | DELETE;

// The hive that holds the store: HKEY_LOCAL_MACHINE where its SOFTWARE key accepts new keys (the
// device, Wine, an administrator), HKEY_CURRENT_USER otherwise. Decided once per process.
HKEY StoreHive();

LONG OpenKey(HKEY parent, const wchar_t* path, REGSAM rights, HKEY* key);

// Changes, each one counted.
LONG CreateKey(HKEY parent, const wchar_t* path, HKEY* key);
LONG SetValue(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size);
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
