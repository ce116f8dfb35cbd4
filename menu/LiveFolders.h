#pragma once
// The live menus of the documents of one tree that show their folder's contents (menu/FolderMenu.h). They are owned
// here, not by the entries, and each one, or a sub-folder's menu below it, is found from its menu in one step.
//
// What a live menu shows stays valid until the next tracking of the menu starts or a choice made in it has been
// handled, whichever comes first: a choice told by WM_MENUCOMMAND then finds its entry whether the command arrives
// before the menu's WM_UNINITMENUPOPUP or after it.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "menu/FolderMenu.h"

class CItem;
class CLauncher;
class CMenuServices;

class CLiveFolders : public CFolderMenuOwner {
public:
    // Folders are read, and choices opened, by the program's services, which outlive these; none: nothing is read or
    // opened (a tree staged by the store).
    explicit CLiveFolders(CMenuServices* services) : services_(services) {}
    CLiveFolders(const CLiveFolders&) = delete;
    CLiveFolders& operator=(const CLiveFolders&) = delete;

    // Gives the document a new live menu (live) or none; returns the one it had, to be destroyed once no item shows it.
    std::unique_ptr<CFolderMenu> Replace(const CItem& document, bool live);
    // Takes the live menus of an entry and of every entry below it out, to be destroyed once no item shows them.
    std::vector<std::unique_ptr<CFolderMenu>> TakeBelow(const CItem& entry);
    // Takes every live menu out, to be destroyed once no item shows them.
    std::vector<std::unique_ptr<CFolderMenu>> TakeAll();
    // The document's live menu, or null.
    CFolderMenu* Of(const CItem& document) const;
    // The live menu of this tree, a sub-folder's too, that is menu; null for any other menu.
    CFolderMenu* Find(HMENU menu) const;

    // A tracking of the menu starts: nothing of the last one is shown any more.
    void ReleaseAll();
    // A live menu closed.
    void Closed(HMENU menu);
    // Opens the entry at pos of a live menu; false when menu is not one of this tree's live menus.
    bool Choose(HMENU menu, int pos);

    // Reads, on the workers, every live folder of the tree that has never been read nor asked for: each listing comes
    // back to window's thread, becomes the folder's last read, and arrived is told of its document. A listing that
    // comes back after these live folders, or the document's live folder, went is dropped.
    void ReadUnread(HWND window, std::function<void(const CItem& document)> arrived);

    // What reads the folders, and what opens their entries.
    CFolderReaders* Readers() override;
    CLauncher* Launcher() override;

private:
    void ReleaseClosed();
    void Arrived(const CItem* document, const std::wstring& folder, FolderListing listing,
                 const std::function<void(const CItem&)>& arrived);

    std::map<const CItem*, std::unique_ptr<CFolderMenu>> folders_;
    bool chosen_ = false;   // a choice of the current tracking has been handled
    CMenuServices* services_;
    // What a listing on its way back holds of these live folders: nothing once they are gone.
    std::shared_ptr<CLiveFolders*> self_ = std::make_shared<CLiveFolders*>(this);
};
