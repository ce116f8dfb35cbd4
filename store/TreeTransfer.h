#pragma once
// Whole trees out of the store: what export does with it.
#include <optional>
#include <string>

#include "store/TreeFile.h"

class CTreeStore;

namespace store {

// The stored tree and hotkey as a menu file's text; nothing when no tree is stored.
std::optional<std::string> ExportStoredTree(CTreeStore& store, bool profileAsVariable);

}  // namespace store
