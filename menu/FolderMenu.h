#pragma once
// Live folders: a document whose path is a folder may show the folder's contents as its sub-menu, read from disk each
// time the sub-menu opens, on a worker: the opening waits for the read at most kReadBudget, and a read that takes
// longer shows "(reading...)" while it goes on; the next opening shows what it found. Its sub-folders are such
// sub-menus in turn. The entries of a live menu take no ids from the tree: they carry id 0, and their menus report a
// choice by menu and position (MNS_NOTIFYBYPOS, WM_MENUCOMMAND), so a choice there can never be taken for a tree
// entry's command. Each live menu carries its CFolderMenu as its owner.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "menu/BaseObj.h"
#include "menu/FolderReader.h"
#include "menu/MenuItemData.h"
#include "platform/Handles.h"

class CItem;
class CLauncher;

// What a live menu asks of the live folders that own it: the program's folder reads and launcher; none in a tree that
// reads and opens nothing (a copy staged by the store).
class CFolderMenuOwner {
public:
    virtual CFolderReaders* Readers() = 0;
    virtual CLauncher* Launcher() = 0;

protected:
    ~CFolderMenuOwner() = default;
};

class CFolderMenu : public CBaseObj {
public:
    static constexpr size_t kMaxEntries = 500;   // entries shown of one folder; "More..." opens the folder
    static constexpr DWORD kReadBudget = 150;     // ms an opening waits for its folder's read
    static constexpr size_t kRememberedFiles = 10000;   // names of files kept from the last read, for the find box

    // What one position of the menu is: its picture's entry (none for a text item), a sub-folder's own live menu, and
    // the path that choosing it opens (none for a sub-folder, which opens its own menu, and for the grayed notes).
    struct Entry {
        std::unique_ptr<CItem> item;
        std::unique_ptr<CFolderMenu> contents;
        std::wstring opens;
        std::unique_ptr<MenuItemData> note;   // a note's text as its item's data, for when the menu draws it
    };

    // The folder as stored ("\My Documents" resolved when read), and the live folders of the tree it belongs to.
    CFolderMenu(std::wstring folder, CFolderMenuOwner* owner);
    ~CFolderMenu() override;
    CFolderMenu(const CFolderMenu&) = delete;
    CFolderMenu& operator=(const CFolderMenu&) = delete;

    HMENU Menu() const { return menu_.get(); }
    const CFolderMenuOwner* Owner() const { return owner_; }
    const std::vector<Entry>& Entries() const { return entries_; }
    // The entries that show a picture, by position.
    std::vector<CItem*> Items() const;

    // The menu is opening: the folder is read again (or the read of it still going on, which an earlier opening of this
    // menu or of another of the folder left, is waited for) and shown, or "(reading...)" while the read takes longer
    // than kReadBudget; what it showed before is freed first. A tree without reads shows "(not available)".
    void Open();
    // Whether a read of the folder has been started and has not been shown yet.
    bool ReadPending() const { return reading_ != nullptr; }
    // Shows a listing sorted by SortListing: "Open Folder", the sub-folders, the files, and "More..." past
    // kMaxEntries; "(empty)" for an empty folder, only "(not available)" for one that could not be read.
    void Show(const FolderListing& listing);
    // The menu closed; what it shows stays until Release, so that a choice told after the close still finds it. A read
    // it asked for that has not started leaves the queue.
    void Close();
    bool IsOpen() const { return open_; }
    // Frees what the menu shows, the menus of its sub-folders with it.
    void Release();
    // Opens what the entry at pos opens, the way a document of the tree is opened.
    void Choose(int pos) const;

    // The folder as stored.
    const std::wstring& Folder() const { return folder_; }
    // The names of the files of the last read (none when it could not read the folder), at most kRememberedFiles of them in the order of the
    // listing; kept across openings, so that the find box finds them without the disk.
    const std::vector<std::wstring>& LastFiles() const { return lastFiles_; }
    bool WasRead() const { return wasRead_; }
    void Remember(FolderListing listing);
    // Whether the find box has asked for a read of the folder (LiveFolders.h); asked once.
    bool searchAsked = false;

private:
    void Add(std::unique_ptr<CItem> item, std::unique_ptr<CFolderMenu> contents, std::wstring opens);
    void AddNote(const wchar_t* text, UINT flags, std::wstring opens);

    std::wstring folder_;
    CFolderMenuOwner* owner_;
    std::shared_ptr<CFolderRead> reading_;   // shared with the worker that reads
    handles::unique_hmenu menu_;
    std::vector<Entry> entries_;   // by position in the menu
    std::vector<std::wstring> lastFiles_;
    bool wasRead_ = false;
    bool open_ = false;
};
