#pragma once
// The one file of a whole menu, for export, import and backups: UTF-8 JSON that holds the format's version, the hotkey
// and the tree, every level in order (README.md, "Menu files"). Ids and places are not part of it: an import numbers
// the entries as a load does.
#include <windows.h>

#include <optional>
#include <string>

#include "store/Hotkey.h"
#include "store/PlainTree.h"

class CTodayMenu;

namespace store {

constexpr int kTreeFileVersion = 1;
// What a file may hold: sections nested this many levels deep, names (paths, titles, text values) this many
// characters long (a document's arguments, start folder and icon as long as its longest arguments), and this many
// bytes in all.
constexpr int kMaxTreeFileDepth = 500;
constexpr size_t kMaxTreeFileName = kLongestName;
constexpr size_t kMaxTreeFileLongText = kLongestText;
constexpr size_t kMaxTreeFileBytes = 16 * 1024 * 1024;

// What a file may hold besides: options (a file that is the menu's home keeps the program's options in it), and the
// machines whose launches one document counts; each name this long at most.
constexpr size_t kMaxTreeFileOptions = 64;
constexpr size_t kMaxTreeFileMachines = 64;
constexpr size_t kMaxTreeFileKey = 255;

struct TreeFile {
    Hotkey hotkey;
    PlainTree tree;   // unnumbered as read from a file; the built-in entries ask to keep their ids
    // The options besides the hotkey, by name, as the registry's options key holds them: written only by a file that is
    // the menu's home, and absent from every other file.
    std::vector<std::pair<std::wstring, DWORD>> options;
};

// The file's text; the tree's names as they are.
std::string FormatTreeFile(const TreeFile& file);
// A file's text read and checked whole, in one pass and in time and memory linear in its size: the tree it holds, or
// nothing and *error saying in one line what is wrong and where (a line of the text, or the place in the tree such as
// "tree[3].children[0].name"). No input ends the program.
std::optional<TreeFile> ParseTreeFile(const std::string& text, std::wstring* error);
// A file read from disk and checked whole; *unreadable tells a file that could not be read from one that is not a
// menu file.
std::optional<TreeFile> ReadTreeFile(const std::wstring& path, std::wstring* error, bool* unreadable = nullptr);

// A tree as a file holds it; with profileAsVariable, paths under the user's profile are written %USERPROFILE%\...
TreeFile TreeFileOf(PlainTree tree, Hotkey hotkey, bool profileAsVariable);

}  // namespace store
