#pragma once
// Finding documents by what the user types: every document of the tree at any depth, built-in ones too, and the files
// of the live folders from their last read. Plain logic over copies of what it shows, with no window: the find box
// (app/FindBox.h) shows what it finds. Texts are folded once, when they join the index, so that each keystroke only
// compares.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
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

// One thing that can be found and opened: a document of the tree, or a file of a live folder. Its caption and place are
// views into the index, valid until something is added to it.
struct SearchItem {
    std::wstring_view caption;   // as the menu shows it
    std::wstring_view place;     // where it sits: its sections ("Work > Reports"), or a live folder's path for its files
    std::wstring path;           // as stored
    int id = 0;                  // the tree entry's id; 0 for a live folder's file
    const std::optional<std::wstring>* icon = nullptr;   // a tree document's own icon ("file,index"), if any
    bool folder = false;         // shown as a folder (a live folder itself)
    DWORD launches = 0;          // opened this often through the program
};

// The folder that holds the document at path (as stored, resolved here); empty when none does.
std::wstring HoldingFolder(const std::wstring& path);

// What can be found, copied from the tree and the live folders when the find box opens, with its texts folded then,
// all kept in one buffer so that ten thousands of them take a few allocations.
class CSearchIndex {
public:
    // Every document of the tree below root in the tree's order, each live folder's files from its last read right
    // after the folder's own document.
    void AddTree(const CItemVector& root, const CLiveFolders& live);
    // The files of a live folder (the document) read since: they come after everything already in the index. The
    // index of the first one added.
    size_t AddFolderFiles(const CItem& document, const std::vector<std::wstring>& files);

    size_t Size() const { return items_.size(); }
    SearchItem operator[](size_t index) const;

    // The indexes of the items from first on that match text, ranked: by rank, then the more launches, then the
    // tree's order (the order they were added in). Empty text matches nothing.
    std::vector<size_t> Find(const std::wstring& text, size_t first = 0) const;

    // A text of the buffer.
    struct Span {
        UINT32 at = 0, size = 0;
    };
    // An item as the index keeps it; its place is one of the places, shared by everything that sits there.
    struct Indexed {
        // folded: the caption as matching sees it. A live folder's file has no path of its own: its place is its
        // folder, and its caption its name.
        Span caption, path, folded, initials, foldedPath;
        UINT32 place = 0;
        int id = 0;
        std::optional<std::wstring> icon;
        bool folder = false;
        DWORD launches = 0;
    };
    struct Place {
        Span shown, folded;
    };
    std::wstring_view Text(Span span) const { return std::wstring_view(text_).substr(span.at, span.size); }

private:
    Span Keep(std::wstring_view text);
    UINT32 AddPlace(const std::wstring& place);
    // A document of the tree, or (document null) a file of the live folder at place.
    void Add(const std::wstring& caption, UINT32 place, const CItem* document);

    std::wstring text_;
    std::vector<Place> places_;
    std::vector<Indexed> items_;
};
