#include "store/TreeTransfer.h"

#include "menu/TodayMenu.h"
#include "platform/Registry.h"
#include "store/Options.h"
#include "store/TreeStore.h"
#include "store/StoreKeys.h"

namespace store {

namespace {

using platform::reg::unique_hkey;

// The key that the next start would load the tree from (StoreKeys.h), found without settling anything.
unique_hkey OpenStoredTree()
{
    const unique_hkey parent = platform::reg::OpenKey(platform::reg::StoreHive(), kParentPath);
    if (!parent)
        return nullptr;
    if (unique_hkey tree = platform::reg::OpenKey(parent.get(), kStoreName))
        return tree;
    unique_hkey staging = platform::reg::OpenKey(parent.get(), kStagingName);
    if (staging && platform::reg::ReadDword(staging.get(), kCompleteValue) == 1u)
        return staging;
    return platform::reg::OpenKey(parent.get(), kRetiredName);
}

}  // namespace

bool ReadStoredTree(CTreeStore& store, CTodayMenu* menu)
{
    const unique_hkey tree = OpenStoredTree();
    if (!tree)
        return false;
    store.LoadLevel(tree.get(), menu, 0);
    EnsureCommandEntries(menu);
    return true;
}

std::optional<std::string> ExportStoredTree(CTreeStore& store, bool profileAsVariable)
{
    CTodayMenu menu;
    if (!ReadStoredTree(store, &menu))
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
    BuildTreeFrom(menu, file);
    SaveHotkey(file.hotkey);
    return true;
}

}  // namespace store
