#pragma once
// A whole tree in plain values, as the store holds it, a menu file carries it and a backup keeps it: no menus, no
// pictures, no threads. The entries are listed depth first, each section's entries right after the section, each with
// its level. The load and the import build the menu from one through the one builder below, the save and the files
// are written from one, and a snapshot of the running menu is one.
#include <windows.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "menu/Item.h"
#include "store/Hotkey.h"

class CTodayMenu;

namespace store {

// The longest name (a path, a title) and the longest of a document's arguments, start folder and icon that a menu file
// may hold.
constexpr size_t kLongestName = 255;
constexpr size_t kLongestText = kMaxArguments;

// A document's launches on one machine, as a menu file that several machines share keeps them, so that each machine's
// counts add up rather than overwrite the others'.
struct MachineLaunches {
    std::wstring machine;
    std::optional<DWORD> launches;
    std::optional<ULONGLONG> lastLaunch;
};

// A document's optional values, each kept only when set.
struct DocumentValues {
    std::optional<std::wstring> Caption;   // a name the user gave it
    bool Expand = false;                   // its folder shown as a live sub-menu
    DocumentProperties Properties;         // how it is opened, and its own icon
    std::optional<DWORD> Launches;         // how often it was opened through the program
    std::optional<ULONGLONG> LastLaunch;   // when last, a FILETIME in UTC
    std::vector<MachineLaunches> machines;   // a shared menu file's counts by machine, by name; none elsewhere
};

struct PlainEntry {
    int kind = 0;          // ITEM_DOCUMENT, ITEM_SECTION or ITEM_SEPARATOR
    int level = 0;         // 0 for the top level; a section's entries one more than the section
    std::wstring name;     // a document's path or a section's title; empty for a separator
    int keep = 0;          // the built-in id the entry asks to keep; 0 for a fresh one
    int id = 0;            // its id in the menu once numbered; 0 for an entry that gets none
    DocumentValues values;
    std::wstring key;      // the name of its key in the store it was read from; empty when it was not read from one
};
using PlainTree = std::vector<PlainEntry>;

// A document's optional value as the store and a file give it: a text, a number, or a number of 64 bits.
using EntryValue = std::variant<std::wstring, DWORD, ULONGLONG>;
enum class ValueKind { Text, Number, Wide };   // REG_SZ, REG_DWORD, REG_QWORD

// A document's optional values, listed once: the name of its registry value, which is its key in a menu file too; its
// kind; the longest text a file may give it; the numbers it takes (any other is left out as if absent); and where it
// lives. The load, the save, the files and the snapshot of the menu all go through this list, in its order, which is
// the order the values are written in.
struct DocumentValue {
    const wchar_t* name;
    const char* key;
    ValueKind kind;
    size_t longest;
    bool (*takes)(DWORD number);
    std::optional<EntryValue> (*get)(const DocumentValues& values);
    void (*set)(DocumentValues& values, const EntryValue& value);
};
struct DocumentValueList {
    const DocumentValue* first;
    size_t count;
    const DocumentValue* begin() const { return first; }
    const DocumentValue* end() const { return first + count; }
};
DocumentValueList DocumentValueTable();

// Whether an entry of this kind and id is one of the four that every tree has ("\My Documents", the first separator,
// "Configuration", "Exit"), as the store marks them.
bool IsBuiltinEntry(int kind, int id);

// The running menu's tree as plain entries, numbered with the ids it has.
PlainTree SnapshotOf(const CTodayMenu& menu);

// Numbers the entries as a load always has: depth first, an entry that asks for a built-in id keeps it while it is free
// (and "Configuration" and "Exit" only as documents), sections and every other entry get the smallest free id of 5 or
// more; an entry for which no id is left gets none and is left out, with what lies below it. "Configuration" and
// "Exit" are appended to the top level when the tree has neither, so that the user can always reach the settings and
// leave.
void NumberEntries(PlainTree& tree);
// The fresh ids that numbering the tree takes; a tree that takes more than FreshIdCount cannot be a menu.
size_t FreshIdsNeeded(const PlainTree& tree);
size_t FreshIdCount();

// A digest of what a menu file of the tree and the hotkey holds: the same for two trees that a file would hold alike
// (numbered or not, ids being no part of a file), different, but for a chance of one in 2^64, for any two others.
ULONGLONG ContentDigest(const PlainTree& tree, Hotkey hotkey);

// Makes the menu hold a numbered tree in place of its own: everything the old entries owned goes first (their live
// folders before them), then every entry is appended straight to the list that holds it, and each section shows
// grayed or enabled by what it holds. Linear in the tree's size.
void BuildMenu(CTodayMenu& menu, const PlainTree& tree);

}  // namespace store
