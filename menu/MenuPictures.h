#pragma once
// The pictures of the menu's documents are the application's: it makes, measures and draws them. The menu asks for
// them through this, which the application gives it at start, as a menu is about to show.
#include <functional>
#include <set>
#include <string>
#include <vector>

class CItem;
class CItemVector;

struct MenuPictures {
    // A list of the tree: its documents get their pictures now.
    std::function<void(const CItemVector& list)> prepare;
    // A live folder's entries: sized now, each made when it is first drawn, so that a long folder costs only the
    // pictures of the entries on the screen.
    std::function<void(const std::vector<CItem*>& entries)> measure;
    // The own icons of these paths (as stored) are known now: pictures made with their type's icon are made again.
    std::function<void(const std::set<std::wstring>& paths)> arrived;
};
