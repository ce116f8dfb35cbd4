#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "menu/BaseObj.h"
#include "menu/Item.h"
#include "menu/LiveFolders.h"
#include "menu/MenuPictures.h"
#include "menu/RecentMenu.h"

class CMenuServices;

// An entry to append to a list: its kind, its id (-1 for a fresh one), a document's path or a section's title, and a
// document's own caption (none: the one made from its path), whether it shows its folder's contents, and its
// properties (none: the defaults).
struct NewEntry {
    int type = ITEM_DOCUMENT;
    int id = -1;
    const std::wstring* text = nullptr;
    const std::wstring* caption = nullptr;
    bool showContents = false;
    const DocumentProperties* properties = nullptr;
};

// The menu that the notification icon pops up, and the entry tree behind it. Every operation changes
// the tree and the platform menus in one step, so that the i-th entry of a list is always the i-th
// item of that list's menu. The live menus of documents shown as their folder's contents are owned
// here too. What the menu does off the GUI thread (the looks at its documents' icons, the reads of its live folders
// and its launches) is the program's (menu/MenuServices.h), lent to the tree that shows; a tree without them reads,
// looks at and opens nothing and starts no thread. Its messages are handled by menu/MenuMessages.h.
class CTodayMenu : public CBaseObj {
public:
    CItemVector Root;

    // services: the program's, which outlive the tree; none for a tree that is only looked at (the store's copies).
    explicit CTodayMenu(CMenuServices* services = nullptr);
    ~CTodayMenu() override;
    CTodayMenu(const CTodayMenu&) = delete;
    CTodayMenu& operator=(const CTodayMenu&) = delete;

    HMENU GetRootMenu() const { return Root.Menu.get(); }

    // Each append returns the new entry's id, or -1 when nothing was added. Section id 0 is the top level.
    int AppendDocument(const std::wstring& path, int sectionId);
    int AppendDocumentWithID(const std::wstring& path, int id, int sectionId);
    int AppendSection(const std::wstring& title, int sectionId);
    int AppendSeparator(int sectionId);
    int AppendSeparatorWithID(int id, int sectionId);
    // Appends to a list of this tree that the caller holds, as a load does: no search of the tree, and the entry made
    // whole before its item joins the menu. The sections' states are left as they are until ShowAllSectionStates(); the
    // new entry, or null when nothing was added.
    CItem* Append(CItemVector& list, const NewEntry& entry);
    // Shows every section of the tree grayed or enabled by what it holds, in one pass.
    void ShowAllSectionStates();

    void RemoveEntry(int id);
    // Removes every entry, as a tree that takes the whole menu's place needs: the live menus of its folders go first,
    // then the entries with their pictures and sub-menus.
    void RemoveAll();
    // The entry a reference names, if it is still in the tree: found again after a modal dialog, during which the tree
    // may have been replaced. Null once it has gone, whatever entry now has its id.
    CItem* Find(const EntryRef& ref) const;
    void MoveEntry(int id, int newPos);
    void SwapDocuments(int idA, int idB);
    // Gives an entry the name that the user typed: a section its title; a document its own caption, or with an
    // empty text the caption made from its path again. The menu shows it at once; a separator has no name.
    void RenameEntry(int id, const std::wstring& text);

    // Gives a document of the user's another path and other properties; a caption made from the path follows it, the
    // picture is measured and made again, and a folder shown as its contents shows the new path's. Built-in entries stay
    // as they are.
    void ChangeDocument(int id, const std::wstring& path, const DocumentProperties& properties);

    // Opens the document behind a menu command, on a worker: a folder in the file explorer, anything else through
    // the shell as its properties ask; a tree without services opens nothing. A document counts the launch (Launches,
    // LastLaunch), and the recorder hears of it.
    void Launch(int id);
    // Told of each launch a document counted, to keep its two values where the tree is stored.
    void SetLaunchRecorder(std::function<void(const CItem& document)> recorder) { recorder_ = std::move(recorder); }

    // The "Recent" section at the top of the root menu (menu/RecentMenu.h), shown while on. RefreshRecent, as the menu
    // opens, fills it, or takes it away when it is off; the root list's Lead says whether it is there.
    void SetShowRecent(bool on) { showRecent_ = on; }
    bool ShowsRecent() const { return showRecent_; }
    void RefreshRecent();
    CRecentMenu& Recent() { return recent_; }
    // Opens the document at pos of the Recent menu: the tree's document it shows, counted, while it is still that
    // document, else what was shown. False when menu is not the Recent menu.
    bool ChooseRecent(HMENU menu, int pos);

    // A letter typed in the open menu that no entry of the shown level starts with: the menu closes, and whoever
    // tracked it opens the find box with that letter once the tracking has ended.
    void RequestFind(wchar_t letter) { findRequest_ = letter; }
    std::optional<wchar_t> TakeFindRequest();

    // Shows a document whose path is a folder as a live sub-menu of the folder's contents (on), or as a plain document
    // again (off); built-in entries stay as they are. True when the entry changed.
    bool ShowFolderContents(int id, bool on);
    // The live menu of the document with this id, or null.
    CFolderMenu* LiveFolder(int id) const;
    CLiveFolders& LiveFolders() { return live_; }

    // The list of this tree whose menu is menu, found in one step; null for any other menu.
    CItemVector* ListOf(HMENU menu);

    // The application's pictures, given once at start.
    void SetPictures(MenuPictures pictures) { pictures_ = std::move(pictures); }
    const MenuPictures& Pictures() const { return pictures_; }
    // The dark look draws every item of the menus itself, on a background of this colour (the margins included); the
    // other looks leave all but the documents to the system. Menus take it as they open (StyleMenu); the caller has the
    // menus on the screen styled again and drawn anew.
    void SetLook(bool ownerDrawn, COLORREF background);
    bool OwnerDrawn() const { return ownerDrawn_; }
    void StyleMenu(HMENU menu);
    // The density (DPI) of the monitor the menu opens on, which its pictures are measured and drawn for.
    int Density() const { return density_; }
    void SetDensity(int dpi) { density_ = dpi; }

    // The program's services that the tree uses, or null.
    CMenuServices* Services() const { return services_; }

private:
    MENUITEMINFOW DocumentItem(CItem* item) const;
    int AppendDocumentEntry(const std::wstring& path, int id, int sectionId);
    int AppendSeparatorEntry(int id, int sectionId);
    // The list of the section with this id (0: the top level), or null.
    CItemVector* SectionList(int sectionId);
    // Shows each section from the list's own up to the top level grayed or enabled by what it holds now.
    void ShowSectionStates(const CItemVector* list);

    void CountLaunch(CItem& document);
    void HideRecent();

    CMenuServices* services_;
    CLiveFolders live_{services_};
    CRecentMenu recent_;
    bool showRecent_ = false;
    std::optional<wchar_t> findRequest_;
    std::function<void(const CItem&)> recorder_;
    ULONGLONG lastLaunch_ = 0;   // the newest LastLaunch given in this run
    MenuPictures pictures_;
    int iconListener_ = 0;
    bool ownerDrawn_ = false;
    bool everStyled_ = false;          // a menu never drawn dark is left exactly as the system made it
    handles::unique_hbrush background_;
    int density_;
};

// Appends "Configuration" and "Exit" to the top level unless the tree holds them, as every load and import does:
// whatever was stored, the user can reach the settings and leave.
void EnsureCommandEntries(CTodayMenu* menu);
