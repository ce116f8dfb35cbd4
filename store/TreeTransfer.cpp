#include "store/TreeTransfer.h"

#include "menu/TodayMenu.h"
#include "store/Options.h"
#include "store/TreeStore.h"

namespace store {

std::optional<std::string> ExportStoredTree(CTreeStore& store, bool profileAsVariable)
{
    CTodayMenu menu;
    if (!store.ReadStored(&menu))
        return std::nullopt;
    return FormatTreeFile(TreeFileOf(menu, LoadHotkey(), profileAsVariable));
}

bool ImportTree(CTreeStore& store, CTodayMenu& menu, const TreeFile& file)
{
    // Made and stored apart first, so that a tree that cannot be stored leaves the running menu as it was.
    CTodayMenu staged;
    BuildTreeFrom(staged, file);
    if (store.SaveTree(&staged) != 0)
        return false;
    // Numbered as the staged tree was: stored under the keys that its ids name.
    BuildTreeFrom(menu, file);
    CTreeStore::NameStoredKeysByIds(menu.Root);
    SaveHotkey(file.hotkey);
    return true;
}

}  // namespace store
