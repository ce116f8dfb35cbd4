#pragma once
// Finding documents by what the user types: every document of the tree at any depth, built-in ones too, and the files
// of the live folders from their last read. Plain logic over copies of what it shows, with no window: the find box
// (app/FindBox.h) shows what it finds. Texts are folded once, when they join the index, so that each keystroke only
// compares.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

class CItem;
class CItemVector;
class CLiveFolders;

// A text as matching sees it: lower case, without accents, and narrow ("Ｃａｆé" is "cafe").
std::wstring FoldForSearch(const std::wstring& text);

// How a result matches what was typed, the best first. Every word typed must match for a result to match at all.
enum SearchRank : int {
    kRankCaptionStart = 1,    // the caption starts with the text
    kRankWordStart = 2,       // a word of the caption starts with it
    kRankInitials = 3,        // the initials of the caption's words start with it ("br": "Budget report")
    kRankCaptionHolds = 4,    // the caption contains it
    kRankPathHolds = 5,       // where it sits, or its path, contains it
    kNoMatch = 6,
};

// Where a document of the top level sits, as the Documents page names the top level.
constexpr const wchar_t* kTopLevelPlace = L"General";
// Between the sections of a place: "Work \x203A Reports".
constexpr const wchar_t* kPlaceSeparator = L" \x203A ";

// One thing that can be found and opened: a document of the tree, or a file of a live folder.
struct SearchItem {
    std::wstring caption;   // as the menu shows it
    std::wstring place;     // where it sits: its sections ("Work > Reports"), or a live folder's path for its files
    std::wstring path;      // as stored
    int id = 0;             // the tree entry's id; 0 for a live folder's file
    std::optional<std::wstring> icon;   // a tree document's own icon ("file,index")
    bool folder = false;    // shown as a folder (a live folder itself)
    DWORD launches = 0;     // opened this often through the program
    size_t order = 0;       // its place in the tree's order
};

// The folder that holds the document at path (as stored, resolved here); empty when none does.
std::wstring HoldingFolder(const std::wstring& path);

class CSearchIndex {
public:
    // Every document of the tree below root in the tree's order, each live folder's files from its last read right
    // after the folder's own document.
    void AddTree(const CItemVector& root, const CLiveFolders& live);
    // The files of a live folder (the document) read since: they come after everything already in the index. The
    // index of the first one added.
    size_t AddFolderFiles(const CItem& document, const std::vector<std::wstring>& files);

    size_t Size() const { return items_.size(); }
    const SearchItem& operator[](size_t index) const { return items_[index].item; }

    // The indexes of the items from first on that match text, ranked: by rank, then the more launches, then the
    // tree's order. Empty text matches nothing.
    std::vector<size_t> Find(const std::wstring& text, size_t first = 0) const;

    // An item with its texts as matching sees them.
    struct Indexed {
        SearchItem item;
        std::wstring caption;   // folded
        std::wstring initials;  // the folded first letters of the caption's words
        std::wstring where;     // folded place and path
    };

private:
    void Add(SearchItem item);

    std::vector<Indexed> items_;
};
