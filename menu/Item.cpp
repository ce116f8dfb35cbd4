#include "menu/Item.h"

#include <algorithm>
#include <new>

#include "app/ItemImage.h"

std::wstring CaptionFromPath(const std::wstring& path)
{
    // Only "\" separates folders; the extension is cut at the last dot of the file name alone.
    const size_t slash = path.rfind(L'\\');
    std::wstring caption = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = caption.rfind(L'.');
    if (dot != std::wstring::npos)
        caption.erase(dot);
    return caption;
}

CItem::CItem(int id, CItemVector* parent)
    : Type(ITEM_SEPARATOR), ID(id), Parent(parent)
{
}

CItem::CItem(const std::wstring& text, int type, int id, CItemVector* parent)
    : Type(type), ID(id), Parent(parent)
{
    if (type == ITEM_DOCUMENT) {
        Path = text;
        Caption = CaptionFromPath(text);
        BuildImage(this);
    } else {
        Caption = text;
        Children = new CItemVector(parent ? parent->Ids : nullptr, this);
    }
}

CItem::~CItem()
{
    delete Children;
    if (Image)
        DeleteObject(Image);
}

CItemVector::CItemVector()
    : Menu(CreatePopupMenu()), ownIds_(std::make_unique<CIdPool>())
{
    Ids = ownIds_.get();
}

CItemVector::CItemVector(CIdPool* treeIds, CItem* owner)
    : Menu(CreatePopupMenu()), Owner(owner), Ids(treeIds)
{
    if (!Ids) {
        ownIds_ = std::make_unique<CIdPool>();
        Ids = ownIds_.get();
    }
}

CItemVector::~CItemVector()
{
    Clear();
    if (Menu)
        DestroyMenu(Menu);
}

CItem* CItemVector::FindItem(int id) const
{
    for (CItem* item : Items) {
        if (item->Type == ITEM_DOCUMENT || item->Type == ITEM_SEPARATOR) {
            if (item->ID == id)
                return item;
        } else if (item->Type == ITEM_SECTION) {
            if (item->ID == id)
                return item;
            if (item->Children)
                if (CItem* found = item->Children->FindItem(id))
                    return found;
        }
    }
    return nullptr;
}

int CItemVector::IndexOf(int id) const
{
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i]->ID == id)
            return static_cast<int>(i);
    return -1;
}

int CItemVector::FindSectionPos(HMENU menu) const
{
    for (size_t i = 0; i < Items.size(); ++i) {
        const CItem* item = Items[i];
        if (item->Type != ITEM_SECTION || !item->Children)
            continue;
        if (item->Children->Menu == menu)
            return static_cast<int>(i);
        const int inner = item->Children->FindSectionPos(menu);
        if (inner >= 0)
            return inner;
    }
    return -1;
}

int CItemVector::NewID() const { return Ids->Smallest(); }

CItem* CItemVector::Append(std::unique_ptr<CItem> item)
{
    // Either both the list and the id pool take the entry or neither does: a failed add appends nothing.
    Items.push_back(item.get());
    try {
        Ids->Use(item->ID);
    } catch (...) {
        Items.pop_back();
        throw;
    }
    return item.release();
}

CItem* CItemVector::AddSeparator(int id)
{
    try {
        return Append(std::make_unique<CItem>(id, this));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

CItem* CItemVector::AddItem(const std::wstring& text, int type, int id)
{
    try {
        return Append(std::make_unique<CItem>(text, type, id, this));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

CItem* CItemVector::AddSeparatorToSection(int id, int sectionId)
{
    CItem* section = FindItem(sectionId);
    if (!section || !section->IsSection())
        return nullptr;
    return section->Children->AddSeparator(id);
}

CItem* CItemVector::AddItemToSection(const std::wstring& text, int type, int id, int sectionId)
{
    CItem* section = FindItem(sectionId);
    if (!section || !section->IsSection())
        return nullptr;
    return section->Children->AddItem(text, type, id);
}

void CItemVector::DeleteEntry(CItem* item)
{
    // A section's sub-menu that still hangs in this list's menu is taken out without being
    // destroyed, so that the section's own list destroys it, once.
    if (item->IsSection() && item->Children->Menu && Menu) {
        const HMENU sub = item->Children->Menu;
        const int count = GetMenuItemCount(Menu);
        const int hint = IndexOf(item->ID);
        if (hint >= 0 && hint < count && GetSubMenu(Menu, hint) == sub) {
            RemoveMenu(Menu, hint, MF_BYPOSITION);
        } else {
            for (int pos = 0; pos < count; ++pos)
                if (GetSubMenu(Menu, pos) == sub) {
                    RemoveMenu(Menu, pos, MF_BYPOSITION);
                    break;
                }
        }
    }
    Ids->Release(item->ID);
    delete item;
}

void CItemVector::RemoveItem(int id)
{
    CItem* item = FindItem(id);
    if (!item)
        return;
    CItemVector* parent = item->Parent;
    const int index = parent->IndexOf(item->ID);
    if (index < 0)
        return;
    // Unlinked before it is deleted, as the list's own menu still mirrors the old order.
    parent->DeleteEntry(item);
    parent->Items.erase(parent->Items.begin() + index);
}

void CItemVector::MoveItem(int id, int newPos)
{
    CItem* item = FindItem(id);
    if (!item)
        return;
    std::vector<CItem*>& items = item->Parent->Items;
    const int index = item->Parent->IndexOf(id);
    items.erase(items.begin() + index);
    newPos = std::clamp(newPos, 0, static_cast<int>(items.size()));
    items.insert(items.begin() + newPos, item);
}

void CItemVector::SwapItems(int idA, int idB)
{
    CItem* a = FindItem(idA);
    if (!a)
        return;
    CItemVector* list = a->Parent;
    const int i = list->IndexOf(idA);
    const int j = list->IndexOf(idB);
    if (i < 0 || j < 0)
        return;
    std::swap(list->Items[i], list->Items[j]);
}

void CItemVector::Clear()
{
    while (!Items.empty()) {
        CItem* last = Items.back();
        if (last)
            DeleteEntry(last);
        Items.pop_back();
    }
}

void CItemVector::ForgetMenus()
{
    Menu = nullptr;
    for (CItem* item : Items)
        if (item->IsSection())
            item->Children->ForgetMenus();
}
