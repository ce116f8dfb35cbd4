#pragma once
// Where the stored tree lives, and how a new tree takes its place without a moment at which the
// next start would find no complete tree.
//
// Below the SOFTWARE key of the store's hive:
//   Tabula      the stored tree, in exactly the layout that the load reads;
//   Tabula.new  a new tree being written; it holds the value "SaveComplete" once it is whole;
//   Tabula.old  the tree that a new one has just replaced, until it is deleted.
// A replacement writes Tabula.new, marks it complete, renames Tabula to Tabula.old, renames
// Tabula.new to Tabula, removes the mark and deletes Tabula.old. Wherever it stops, the tree to load
// is Tabula if it exists, else a complete Tabula.new, else Tabula.old.
#include <windows.h>

#include <functional>

#include "platform/Registry.h"

namespace store {

constexpr const wchar_t* kParentPath = L"SOFTWARE";
constexpr const wchar_t* kStoreName = L"Tabula";
constexpr const wchar_t* kStagingName = L"Tabula.new";
constexpr const wchar_t* kRetiredName = L"Tabula.old";
constexpr const wchar_t* kCompleteValue = L"SaveComplete";

// The SOFTWARE key of the store's hive, open for changes; null when it cannot be opened.
platform::reg::unique_hkey OpenStoreParent();

// Finishes or undoes a replacement that was cut short and deletes what it left behind. Returns the
// name of the key below parent that holds the tree to load (kStoreName unless a rename failed), or
// null when no tree is stored.
const wchar_t* SettleStore(HKEY parent);

// Puts the tree that write() makes below the key it is given in place of the stored tree. False when
// it could not, with the stored tree as it was (or, after a failed rename, the new one complete).
// ready, when given, is asked once the new tree is complete, just before it takes the old one's place;
// false there removes the new tree and leaves the stored one as it was. Call on a settled store.
bool ReplaceStore(HKEY parent, const std::function<bool(HKEY)>& write, const std::function<bool()>& ready = {});

// Holds the store for this thread while it exists: every process of the user that settles, reads or
// replaces the stored tree holds it meanwhile, so that no two replacements, nor a replacement and a
// read, ever run at once. It waits as long as another holder takes (a holder that died lets it go).
class StoreLock {
public:
    StoreLock();
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

private:
    handles::unique_kernel_object mutex_;
};

}  // namespace store
