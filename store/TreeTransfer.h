#pragma once
// Whole trees into and out of the store: what export, import, restore and the backups do with it.
#include <optional>
#include <string>

#include "store/TreeFile.h"

class CTreeStore;
class CTodayMenu;

namespace store {

// The stored tree and hotkey as a menu file's text; nothing when no tree is stored.
std::optional<std::string> ExportStoredTree(CTreeStore& store, bool profileAsVariable);

// Stores the file's tree through the safe save (the stored tree backed up first) and its hotkey, then makes menu show
// it. False, with the store and the menu as they were, when the tree could not be stored. The caller claims the hotkey.
bool ImportTree(CTreeStore& store, CTodayMenu& menu, const TreeFile& file);

}  // namespace store
