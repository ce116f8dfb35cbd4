#pragma once
// The stored form of the menu tree, below SOFTWARE\Tabula of the store's hive (store/StoreKeys.h says how a new tree
// takes the old one's place):
//   one key per entry, named by the entry's id in decimal, below the key of the level that holds it: the tree's own
//   key for the top level, a section's entry key for the section's entries, at any depth;
//   in each entry key, the REG_DWORD values Type (1 document, 2 section, 3 separator), IsSpec (1 for the built-in
//   entries), ID and Pos (its place in its level), written in that order with the REG_SZ Name (a document's path, a
//   section's title; a separator has none) before Pos; then, for a document only, its optional values, each only when
//   set, in the order of store/PlainTree.h's list: the REG_SZ Caption (a name the user gave it), the REG_DWORD Expand
//   (1: a live folder), the REG_SZ Args and StartIn, the REG_DWORD Show (SW_SHOWNORMAL, SW_SHOWMINNOACTIVE or
//   SW_SHOWMAXIMIZED), and the REG_SZ Verb ("runas": as administrator) and Icon ("file,index").
// The load is lenient with a store damaged by hand (see TreeStore.cpp); the save writes exactly this layout, so that
// a tree that was loaded is stored again as it was, every level of it.
#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "menu/BaseObj.h"
#include "platform/Registry.h"
#include "store/PlainTree.h"

class CTodayMenu;
namespace store {
class CFileHome;
}

// The load and the save of the tree in that layout. Neither goes deeper into the machine stack with a deeper tree. What
// the writes of a running program remember (the backups) is the writer's (store/StoreWriter.h); the store remembers
// only the tree it last read or wrote, for as long as a watch on the registry says that nothing has changed it since,
// so that the backup before a save knows what is stored without reading it all again.
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

    // Where the menu lives: the registry (none), or a menu file (store/FileHome.h), which then also keeps the options.
    // The load, the reads and the writes below go to the home in force. Changed on the GUI thread, with nothing
    // pending in the writer.
    void UseHome(std::shared_ptr<store::CFileHome> home);
    std::shared_ptr<store::CFileHome> FileHome() const;
    // Where the menu lives, as /where prints it: the file's path, or the registry key.
    std::wstring Where() const;

    int LoadTree(CTodayMenu* menu);   // always 0
    int SaveTree(CTodayMenu* menu);   // 0 when stored; -1 when the stored tree stayed as it was
    unique_hkey CreateDefaults();

    // Stores a numbered tree (store/PlainTree.h) in place of the stored one; false when the stored tree stayed as it
    // was. ready, when given, is asked once the new tree is written and just before it
    // takes the old one's place: false there leaves the stored tree as it was.
    bool StoreTree(const store::PlainTree& tree, const std::function<bool()>& ready = {});
    // The stored tree as plain entries, numbered as a load numbers it, read without changing the store (another copy of
    // the program may be saving it at that moment); nothing when no tree is stored.
    std::optional<store::PlainTree> ReadStored();
    // Every entry stored below level, at every depth, in the order of the layout, unnumbered.
    store::PlainTree ReadLevels(HKEY level);
    // Writes a numbered tree below level; false at the first entry not written. written, when given, gets each entry
    // written, as a read of the level would give it before it is numbered.
    bool SaveLevels(HKEY level, const store::PlainTree& tree, store::PlainTree* written = nullptr);
    // Writes a document's launch counts alone into the stored key at the end of keys (names from the top level down),
    // when that key holds a document of this path; false when it does not, or they could not be written.
    bool WriteLaunch(const std::vector<std::wstring>& keys, const std::wstring& path, std::optional<DWORD> launches,
                     std::optional<ULONGLONG> lastLaunch);

private:
    // The stored tree as a read gives it, while its watch sees no change.
    struct Known {
        store::PlainTree tree;
        platform::reg::KeyWatch watch;
    };
    // Remembers a numbered tree as the stored one since watch began; forgets the one remembered when there is no watch.
    void Remember(std::optional<platform::reg::KeyWatch> watch, store::PlainTree tree);
    std::shared_ptr<const Known> Remembered() const;

    mutable std::mutex homeLock_;
    std::shared_ptr<store::CFileHome> home_;
    mutable std::mutex knownLock_;
    std::shared_ptr<const Known> known_;

    unique_hkey WriteEntry(HKEY parent, int id, int pos, DWORD type, DWORD isSpec, const wchar_t* name);
};
