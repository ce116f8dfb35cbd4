#include "menu/Item.h"

#include "menu/MenuOwner.h"

#include <algorithm>
#include <new>

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

bool IsBuiltin(const CItem& item)
{
    return (item.Type == ITEM_DOCUMENT && item.ID >= ID_MY_DOCUMENTS && item.ID <= ID_EXIT) ||
           (item.Type == ITEM_SEPARATOR && item.ID == ID_FIRST_SEPARATOR);
}

bool DocumentProperties::operator==(const DocumentProperties& other) const
{
    return Args == other.Args && StartIn == other.StartIn && Show == other.Show && Verb == other.Verb &&
           Icon == other.Icon;
}

bool IsDocumentShow(DWORD show)
{
    return show == SW_SHOWNORMAL || show == SW_SHOWMINNOACTIVE || show == SW_SHOWMAXIMIZED;
}

namespace {

unsigned long long NextSerial()
{
    static unsigned long long last = 0;   // entries are made on the GUI thread alone
    return ++last;
}

}  // namespace

EntryRef RefOf(const CItem& item) { return {item.ID, item.Serial}; }

CItem::CItem(int id, CItemVector* parent)
    : Type(ITEM_SEPARATOR), ID(id), Parent(parent), Serial(NextSerial())
{
}

CItem::CItem(const std::wstring& text, int type, int id, CItemVector* parent)
    : Type(type), ID(id), Parent(parent), Serial(NextSerial())
{
    if (type == ITEM_DOCUMENT) {
        Path = text;
        Caption = CaptionFromPath(text);
    } else {
        Caption = text;
        Children = std::make_unique<CItemVector>(parent ? parent->Ids : nullptr, this);
    }
}

CItem::~CItem() = default;

CItemVector::CItemVector()
    : Menu(CreatePopupMenu()), ownIds_(std::make_unique<CIdPool>())
{
    Ids = ownIds_.get();
    SetMenuOwner(Menu.get(), this);
}

CItemVector::CItemVector(CIdPool* treeIds, CItem* owner)
    : Menu(CreatePopupMenu()), Owner(owner), Ids(treeIds)
{
    SetMenuOwner(Menu.get(), this);
    if (!Ids) {
        ownIds_ = std::make_unique<CIdPool>();
        Ids = ownIds_.get();
    }
}

CItemVector::~CItemVector() { Clear(); }

CItem* CItemVector::FindItem(int id) const
{
    for (const auto& item : Items) {
        if (item->Type == ITEM_DOCUMENT || item->Type == ITEM_SEPARATOR) {
            if (item->ID == id)
                return item.get();
        } else if (item->Type == ITEM_SECTION) {
            if (item->ID == id)
                return item.get();
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
    // The list's own sections first, then level by level below them, with a work list made only when the search goes
    // deeper: a section found in its own list costs no more than a look along that list.
    const auto ownIndex = [menu](const CItemVector& list) {
        for (size_t i = 0; i < list.Items.size(); ++i)
            if (list.Items[i]->IsSection() && list.Items[i]->Children->Menu.get() == menu)
                return static_cast<int>(i);
        return -1;
    };
    if (const int found = ownIndex(*this); found >= 0)
        return found;
    std::vector<const CItemVector*> lists{this};
    for (size_t next = 0; next < lists.size(); ++next) {
        if (next > 0)
            if (const int found = ownIndex(*lists[next]); found >= 0)
                return found;
        for (const auto& item : lists[next]->Items)
            if (item->IsSection())
                lists.push_back(item->Children.get());
    }
    return -1;
}

int CItemVector::NewID() const { return Ids->Smallest(); }

CItem* CItemVector::Append(std::unique_ptr<CItem> item)
{
    // Either both the list and the id pool take the entry or neither does: a failed add appends nothing.
    CItem* added = item.get();
    Items.push_back(std::move(item));
    try {
        Ids->Use(added->ID);
    } catch (...) {
        Items.pop_back();
        throw;
    }
    return added;
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

void CItemVector::RemoveItem(int id)
{
    CItem* item = FindItem(id);
    if (!item)
        return;
    CItemVector* parent = item->Parent;
    const int index = parent->IndexOf(item->ID);
    if (index < 0)
        return;
    // The entry's own id; those below it go with its list.
    Ids->Release(item->ID);
    parent->Items.erase(parent->Items.begin() + index);
}

void CItemVector::MoveItem(int id, int newPos)
{
    CItem* item = FindItem(id);
    if (!item)
        return;
    auto& items = item->Parent->Items;
    const int index = item->Parent->IndexOf(id);
    std::unique_ptr<CItem> moved = std::move(items[index]);
    items.erase(items.begin() + index);
    newPos = std::clamp(newPos, 0, static_cast<int>(items.size()));
    items.insert(items.begin() + newPos, std::move(moved));
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
    // The lists below are emptied here too, through one work list, before their sections go: no list's destructor
    // runs inside another's, so a tree of any depth is deleted in the same stack.
    std::vector<std::unique_ptr<CItem>> leaving;
    for (CItemVector* list = this; list;) {
        const size_t first = leaving.size();
        while (!list->Items.empty()) {
            // The item leaves the menu first: a section's sub-menu is its own list's to destroy.
            const int last = static_cast<int>(list->Items.size()) - 1;
            if (list->Menu)
                RemoveMenu(list->Menu.get(), list->MenuPos(last), MF_BYPOSITION);
            list->Ids->Release(list->Items.back()->ID);
            leaving.push_back(std::move(list->Items.back()));
            list->Items.pop_back();
        }
        std::reverse(leaving.begin() + static_cast<std::ptrdiff_t>(first), leaving.end());   // the last goes first
        for (list = nullptr; !leaving.empty() && !list;) {
            if (leaving.back()->Children && !leaving.back()->Children->Items.empty())
                list = leaving.back()->Children.get();
            else
                leaving.pop_back();
        }
    }
}

void ForEachEntry(const CItemVector& root, const std::function<void(const CItem& item, int level)>& visit)
{
    std::vector<std::pair<const CItemVector*, size_t>> path{{&root, 0}};
    while (!path.empty()) {
        auto& [list, next] = path.back();
        if (next == list->Items.size()) {
            path.pop_back();
            continue;
        }
        const CItem& item = *list->Items[next++];
        visit(item, static_cast<int>(path.size()) - 1);
        if (item.IsSection())
            path.push_back({item.Children.get(), 0});
    }
}
