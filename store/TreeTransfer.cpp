#include "store/TreeTransfer.h"

#include "store/Options.h"
#include "store/TreeStore.h"

namespace store {

std::optional<std::string> ExportStoredTree(CTreeStore& store, bool profileAsVariable)
{
    std::optional<PlainTree> tree = store.ReadStored();
    if (!tree)
        return std::nullopt;
    return FormatTreeFile(TreeFileOf(std::move(*tree), LoadHotkey(), profileAsVariable));
}

}  // namespace store
