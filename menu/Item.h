#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "menu/BaseObj.h"
#include "menu/IdPool.h"
#include "menu/MenuItemData.h"
#include "platform/Handles.h"

class CItemVector;

// Entry kinds, as stored in the registry too.
enum ItemType : int {
    ITEM_DOCUMENT = 1,
    ITEM_SECTION = 2,
    ITEM_SEPARATOR = 3,
};

// Ids of the built-in entries; "Configuration" and "Exit" are also the commands their menu items send.
enum BuiltinId : int {
    ID_MY_DOCUMENTS = 1,
    ID_CONFIGURATION = 2,
    ID_EXIT = 3,
    ID_FIRST_SEPARATOR = 4,
};

// How a document of the user's is opened and shown, each value optional and kept only when set: the arguments it is
// given, the folder it starts in, the state of its window, the shell's verb ("runas": as administrator) and an icon of
// its own ("file,index"). Environment variables in them are expanded when the document is opened.
struct DocumentProperties {
    std::optional<std::wstring> Args;
    std::optional<std::wstring> StartIn;
    std::optional<DWORD> Show;   // SW_SHOWNORMAL, SW_SHOWMINNOACTIVE or SW_SHOWMAXIMIZED
    std::optional<std::wstring> Verb;
    std::optional<std::wstring> Icon;

    bool operator==(const DocumentProperties& other) const;
    bool operator!=(const DocumentProperties& other) const { return !(*this == other); }
};

// The window states a document may be opened in; any other stored one is none.
bool IsDocumentShow(DWORD show);

// The longest arguments a document is given.
constexpr size_t kMaxArguments = 2048;

// One menu entry: a document, a section (a sub-menu with a list of its own) or a separator.
class CItem : public CBaseObj {
public:
    std::wstring Caption;
    std::wstring Path;
    int Type = 0;
    int Width = 0;                           // documents: the size of their menu picture, once it is made
    int Height = 0;
    std::unique_ptr<CItemVector> Children;   // sections only
    int ID = 0;
    handles::unique_hbitmap Image;           // documents only: their menu picture, made by the drawing code
    bool ImageFinal = false;                 // made with a lasting answer of the icon cache, not its type's icon alone
    unsigned long long ImageAnswer = 0;      // the icon cache's answer it was made with; 0 for none yet
    CItemVector* Parent = nullptr;           // the list that holds this entry

    // Documents: true while the entry shows its folder's contents as a live sub-menu ("Expand" in the store). The live
    // menu itself belongs to the popup menu (CTodayMenu), not to the entry.
    bool ShowContents = false;

    // Documents: true while Caption is a name the user gave it, false while it is the one made from Path.
    bool OwnCaption = false;

    // Documents: how the user wants it opened, and its own icon.
    DocumentProperties Properties;
    // Documents: what their owner-drawn menu item carries as its data (menu/MenuItem.h).
    MenuItemData ItemData;
    // Never the same for two entries of one run, even when an id or an address comes back: what names this entry
    // across a modal dialog (EntryRef).
    const unsigned long long Serial;

    // Launch counts (stored values "Launches" and "LastLaunch"). Documents: how often they were opened through the
    // program, and when last (a FILETIME in UTC); none until the first launch.
    std::optional<DWORD> Launches;
    std::optional<ULONGLONG> LastLaunch;
    // The name of the entry's key in its level of the stored tree, kept by the store: the load's key name, the id after
    // a save; empty while the entry is not stored. A launch finds the entry's stored values through it.
    std::wstring StoredKey;

    // A separator.
    CItem(int id, CItemVector* parent);
    // A document (type 1, made from its path) or a section (type 2, titled by text).
    CItem(const std::wstring& text, int type, int id, CItemVector* parent);
    ~CItem() override;

    CItem(const CItem&) = delete;
    CItem& operator=(const CItem&) = delete;

    bool IsSection() const { return Type == ITEM_SECTION && Children != nullptr; }
};

// An entry as a command that waits on a modal dialog names it: its id, and its serial, which tells it from an entry
// that later takes the same id (CTodayMenu::Find).
struct EntryRef {
    int id = 0;
    unsigned long long serial = 0;
};
EntryRef RefOf(const CItem& item);

// The caption a document shows for a path: the file name without folders and without its last extension.
std::wstring CaptionFromPath(const std::wstring& path);

// The fixed entries of the default tree: "My Documents", "Configuration" and "Exit" as documents, the first separator.
// They keep their ids from run to run and cannot be removed.
bool IsBuiltin(const CItem& item);

// An ordered list of entries and the popup menu that shows them; the root list and each section's list. The list
// owns its entries and its menu; a section's menu leaves its parent's menu before the section goes, so that every
// menu is destroyed once, by its own list. The menu carries the list as its owner (menu/MenuOwner.h).
class CItemVector : public CBaseObj {
public:
    std::vector<std::unique_ptr<CItem>> Items;
    handles::unique_hmenu Menu;
    // Items at the top of the menu that are no entries of the list (the root's "Recent"): the i-th entry is the item at
    // Lead + i. Every operation by position goes through MenuPos.
    int Lead = 0;
    CItem* Owner = nullptr;      // the section whose list this is; null for the root list
    CIdPool* Ids = nullptr;      // the ids in use in the whole tree; shared by every list of one tree

    CItemVector();                                   // a root list with an id pool of its own
    CItemVector(CIdPool* treeIds, CItem* owner);     // a section's list
    ~CItemVector() override;

    CItemVector(const CItemVector&) = delete;
    CItemVector& operator=(const CItemVector&) = delete;

    CItem* FindItem(int id) const;
    int IndexOf(int id) const;
    // The index, within the list that holds it, of the section whose own list shows menu; -1 when no section of this
    // list or below it does (the list's own menu included).
    int FindSectionPos(HMENU menu) const;
    // The menu position of the entry at index; -1 for none (index -1).
    int MenuPos(int index) const { return index < 0 ? -1 : index + Lead; }
    int NewID() const;

    CItem* AddSeparator(int id);
    CItem* AddSeparatorToSection(int id, int sectionId);
    CItem* AddItem(const std::wstring& text, int type, int id);
    CItem* AddItemToSection(const std::wstring& text, int type, int id, int sectionId);

    void RemoveItem(int id);
    void MoveItem(int id, int newPos);
    void SwapItems(int idA, int idB);
    // Deletes every entry, the last first, taking their items out of this list's menu.
    void Clear();

private:
    CItem* Append(std::unique_ptr<CItem> item);
    std::unique_ptr<CIdPool> ownIds_;
};

// Visits every entry of the tree below root, depth first and each list in its order, a section before its entries;
// level is 0 for root's own entries. A work list, not recursion: a tree of any depth.
void ForEachEntry(const CItemVector& root, const std::function<void(const CItem& item, int level)>& visit);
