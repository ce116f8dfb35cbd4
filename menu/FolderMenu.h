#pragma once
// Live folders: a document whose path is a folder may show the folder's contents as its sub-menu, read from disk each
// time the sub-menu opens; its sub-folders are such sub-menus in turn. The entries of a live menu take no ids from the
// tree: they carry id 0, and their menus report a choice by menu and position (MNS_NOTIFYBYPOS, WM_MENUCOMMAND), so a
// choice there can never be taken for a tree entry's command. What a live menu shows is freed when it closes or is
// read again.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Handles.h"

class CItem;
class CItemVector;

// One folder's contents: the names of its sub-folders and of its files, hidden and system ones left out.
struct FolderListing {
    bool readable = false;   // false when the folder is missing or cannot be read
    std::vector<std::wstring> folders;
    std::vector<std::wstring> files;
};
FolderListing ReadFolder(const std::wstring& folder);
// Brings the first `count` entries (sub-folders before files) into the order of the shell's file lists; the others
// stay behind them in no order.
void SortListing(FolderListing& listing, size_t count);

class CFolderMenu {
public:
    static constexpr size_t kMaxEntries = 500;   // entries shown of one folder; "More..." opens the folder

    // What one position of the menu is: its picture's entry (none for a text item) and the path that choosing it
    // opens (none for a sub-folder, which opens its own menu, and for the grayed notes).
    struct Entry {
        std::unique_ptr<CItem> item;
        std::wstring opens;
    };

    explicit CFolderMenu(std::wstring folder);   // the folder as stored ("\My Documents" resolved when read)
    ~CFolderMenu();
    CFolderMenu(const CFolderMenu&) = delete;
    CFolderMenu& operator=(const CFolderMenu&) = delete;

    HMENU Menu() const { return menu_.get(); }
    const std::vector<Entry>& Entries() const { return entries_; }

    // The menu is opening: the folder is read again and shown; what it showed before is freed first.
    void Open();
    // Shows a listing sorted by SortListing: "Open Folder", the sub-folders, the files, and "More..." past
    // kMaxEntries; "(empty)" for an empty folder, only "(not available)" for one that could not be read.
    void Show(const FolderListing& listing);
    // The menu closed; Release then frees what it shows, unless it was opened again meanwhile.
    void Close() { open_ = false; }
    void Release();
    // Opens what the entry at pos opens, the way a document of the tree is opened.
    void Choose(int pos) const;
    // This menu or the menu of a sub-folder shown below it, or null.
    CFolderMenu* Find(HMENU menu);

private:
    void Empty();
    void Add(std::unique_ptr<CItem> item, std::wstring opens);
    void AddNote(const wchar_t* text, UINT flags, std::wstring opens);

    std::wstring folder_;
    handles::unique_hmenu menu_;
    std::vector<Entry> entries_;   // by position in the menu
    bool open_ = false;
};

// The live menu anywhere below a tree list that is menu, or null.
CFolderMenu* FindFolderMenu(const CItemVector& list, HMENU menu);

// The menu item of a document: owner-drawn with its id and entry, and the live menu of a folder shown as contents.
MENUITEMINFOW DocumentMenuItem(CItem* item);
