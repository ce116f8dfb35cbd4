#include "menu/RecentMenu.h"

#include <algorithm>

#include "menu/Item.h"
#include "menu/MenuItem.h"
#include "menu/MenuOwner.h"

CRecentMenu::CRecentMenu() : menu_(CreatePositionalMenu(this)) {}

CRecentMenu::~CRecentMenu() { Release(); }

void CRecentMenu::Release()
{
    for (int pos = GetMenuItemCount(menu_.get()) - 1; pos >= 0; --pos)
        RemoveMenu(menu_.get(), pos, MF_BYPOSITION);
    entries_.clear();
}

std::vector<CItem*> CRecentMenu::Items() const
{
    std::vector<CItem*> items;
    for (const Entry& entry : entries_)
        items.push_back(entry.copy.get());
    return items;
}

void CRecentMenu::Fill(const CItemVector& root)
{
    Release();
    std::vector<const CItem*> launched;
    for (std::vector<const CItemVector*> lists{&root}; !lists.empty();) {
        const CItemVector* list = lists.back();
        lists.pop_back();
        for (const auto& item : list->Items) {
            if (item->IsSection())
                lists.push_back(item->Children.get());
            else if (item->Type == ITEM_DOCUMENT && item->LastLaunch)
                launched.push_back(item.get());
        }
    }
    const size_t shown = std::min(kMost, launched.size());
    std::partial_sort(launched.begin(), launched.begin() + static_cast<std::ptrdiff_t>(shown), launched.end(),
                      [](const CItem* a, const CItem* b) { return *a->LastLaunch > *b->LastLaunch; });
    for (size_t i = 0; i < shown; ++i) {
        const CItem& document = *launched[i];
        // A copy without an id: its item sends no command, and its picture is its own.
        auto copy = std::make_unique<CItem>(document.Path, ITEM_DOCUMENT, 0, nullptr);
        copy->Caption = document.Caption;
        copy->OwnCaption = document.OwnCaption;
        copy->Properties = document.Properties;
        const MENUITEMINFOW info = DocumentMenuItem(copy.get(), nullptr);
        entries_.push_back({std::move(copy), document.ID});
        InsertMenuItemW(menu_.get(), GetMenuItemCount(menu_.get()), TRUE, &info);
    }
}
