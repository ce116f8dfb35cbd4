#pragma once
// The stored form of the menu tree, below SOFTWARE\Tabula of the store's hive (store/StoreKeys.h says how a new tree
// takes the old one's place):
//   one key per entry, named by the entry's id in decimal, below the key of the level that holds it: the tree's own
//   key for the top level, a section's entry key for the section's entries, at any depth;
//   in each entry key, the REG_DWORD values Type (1 document, 2 section, 3 separator), IsSpec (1 for the built-in
//   entries), ID and Pos (its place in its level), written in that order with the REG_SZ Name (a document's path, a
//   section's title; a separator has none) before Pos; then, for a document only, Expand (1: a live folder) and
//   Caption (a name the user gave it) where they apply, and after them how it is opened, each value only when set:
//   the REG_SZ Args and StartIn, the REG_DWORD Show (SW_SHOWNORMAL, SW_SHOWMINNOACTIVE or SW_SHOWMAXIMIZED), and
//   the REG_SZ Verb ("runas": as administrator) and Icon ("file,index"); last, the launch counts, each only when set:
//   the REG_DWORD Launches (how often it was opened through the program) and the REG_QWORD LastLaunch (when last, a
//   FILETIME in UTC). A launch writes these two alone (RecordLaunch), into the key the entry was stored under.
// The load is lenient with a store damaged by hand (see TreeStore.cpp); the save writes exactly this layout, so that
// a tree that was loaded is stored again as it was, every level of it.
#include <windows.h>

#include <optional>
#include <string>

#include "menu/BaseObj.h"
#include "menu/Item.h"
#include "platform/Registry.h"
#include "store/Backups.h"

class CTodayMenu;

// One entry key of a level, as read while that level is loaded.
struct StoredEntry {
    DWORD Type = 0;       // 0 when the key has no usable "Type"
    DWORD IsSpec = 0;
    DWORD ID = 0;         // 0 when neither "ID" nor the key name gives one
    std::wstring Name;    // empty when absent
    std::wstring Key;     // the entry key's own name: a section's children are below it
    DWORD Expand = 0;     // 1: a document shown as a live sub-menu of its folder's contents
    std::optional<std::wstring> Caption;   // a document's own caption ("Caption"); none: the one made from its path
    DocumentProperties Properties;         // a document's way of being opened, each value as found
    // Launch counts: a document's "Launches" and "LastLaunch", as found.
    std::optional<DWORD> Launches;
    std::optional<ULONGLONG> LastLaunch;
};

// The load and the save of the tree in that layout. Neither goes deeper into the machine stack with a deeper tree.
class CTreeStore : public CBaseObj {
public:
    using unique_hkey = platform::reg::unique_hkey;

    // Entry writers: the entry's key below parent, named by the id, with its values; none when the key or one of its
    // values could not be written.
    unique_hkey WriteDocument(HKEY parent, const std::wstring& path, int id, int pos);
    unique_hkey WriteSpecialDocument(HKEY parent, const std::wstring& path, int id, int pos);
    unique_hkey WriteSection(HKEY parent, const std::wstring& title, int id, int pos);
    unique_hkey WriteSeparator(HKEY parent, int id, int pos);
    unique_hkey WriteSpecialSeparator(HKEY parent, int id, int pos);

    int LoadTree(CTodayMenu* menu);   // always 0
    int SaveTree(CTodayMenu* menu);   // 0 when stored; -1 when the stored tree stayed as it was
    unique_hkey CreateDefaults();
    // Loads the stored tree into an empty menu as the load makes it, without changing the store (another copy of the
    // program may be saving it at that moment). False when no tree is stored.
    bool ReadStored(CTodayMenu* menu);
    // Appends every entry stored below level, at every depth, to the menu's section parentId (0: the top level).
    void LoadLevel(HKEY level, CTodayMenu* menu, int parentId);
    // Writes the list and every list below it below level; false at the first entry not written.
    bool SaveLevel(HKEY level, const CItemVector* list);

    // Writes the launch counts of a document, its Launches and LastLaunch alone, into the key it is stored under: found
    // through the entries' StoredKey and checked to be that document's. False, leaving them to the next save, when the
    // document is not stored yet or its key is not found.
    bool RecordLaunch(const CItem& document);
    // After this very tree was stored: each entry's key is named by its id.
    static void NameStoredKeysByIds(CItemVector& top);

    // Each save first backs up the tree it replaces (store/Backups.h).
    store::CBackups Backups;

private:
    unique_hkey WriteEntry(HKEY parent, int id, int pos, DWORD type, DWORD isSpec, const wchar_t* name);
};
