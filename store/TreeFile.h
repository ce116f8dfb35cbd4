#pragma once
// The one file of a whole menu, for export, import and backups: UTF-8 JSON that holds the format's version, the hotkey
// and the tree, every level in order (README.md, "Menu files"). Ids and places are not part of it: an import numbers
// the entries as a load does.
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "menu/Item.h"

class CTodayMenu;

namespace store {

constexpr int kTreeFileVersion = 1;
// What a file may hold: sections nested this many levels deep, names (paths, titles, text values) this many
// characters long, and this many bytes in all.
constexpr int kMaxTreeFileDepth = 500;
constexpr size_t kMaxTreeFileName = 255;
// A document's arguments, start folder and icon may be longer: as long as its longest arguments.
constexpr size_t kMaxTreeFileLongText = kMaxArguments;
constexpr size_t kMaxTreeFileBytes = 16 * 1024 * 1024;

// A document's optional value: a text or a number (a 64-bit one for a time).
using EntryValue = std::variant<std::wstring, DWORD, ULONGLONG>;

struct TreeFileEntry {
    int kind = 0;                               // ITEM_DOCUMENT, ITEM_SECTION or ITEM_SEPARATOR
    std::wstring name;                          // a document's path or a section's title
    bool builtin = false;                       // one of the four entries every tree has
    std::map<std::string, EntryValue> values;   // a document's optional values, by their names in the file
    std::vector<TreeFileEntry> children;        // a section's entries
};

struct TreeFile {
    WORD hotkey = 0;   // as store/Options.h keeps it
    std::vector<TreeFileEntry> tree;
};

// The file's text.
std::string FormatTreeFile(const TreeFile& file);
// A file's text read and checked whole: the tree it holds, or nothing and *error saying in one line what is wrong and
// where (a line of the text, or the place in the tree such as "tree[3].children[0].name").
std::optional<TreeFile> ParseTreeFile(const std::string& text, std::wstring* error);
// A file read from disk and checked whole; *unreadable tells a file that could not be read from one that is not a
// menu file.
std::optional<TreeFile> ReadTreeFile(const std::wstring& path, std::wstring* error, bool* unreadable = nullptr);

// The menu as a file holds it; with profileAsVariable, paths under the user's profile are written %USERPROFILE%\...
TreeFile TreeFileOf(const CTodayMenu& menu, WORD hotkey, bool profileAsVariable);
// Makes the menu hold the file's tree, numbered as a load numbers a stored tree: the built-in entries keep ids 1-4,
// the others get fresh ones in file order, and "Configuration" and "Exit" are there whatever the file held.
void BuildTreeFrom(CTodayMenu& menu, const TreeFile& file);
// The number of entries of a level and all the levels below it.
size_t CountEntries(const std::vector<TreeFileEntry>& level);

}  // namespace store
