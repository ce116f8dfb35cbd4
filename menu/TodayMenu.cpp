#include "menu/TodayMenu.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "menu/FolderMenu.h"
#include "menu/Launcher.h"
#include "menu/MenuItem.h"
#include "menu/MenuOwner.h"
#include "menu/MenuServices.h"
#include "platform/Shell.h"

namespace {

// Whether a document sits anywhere below the list. The newest entries are looked at first, so that a
// document just appended is found at once.
bool HoldsDocument(const CItemVector& list)
{
    return std::any_of(list.Items.rbegin(), list.Items.rend(), [](const auto& item) {
        return item->Type == ITEM_DOCUMENT || (item->IsSection() && HoldsDocument(*item->Children));
    });
}

// A section can be opened exactly while a document sits somewhere below it.
UINT SectionState(const CItem* section) { return HoldsDocument(*section->Children) ? MF_ENABLED : MF_GRAYED; }

}  // namespace

CTodayMenu::CTodayMenu(CMenuServices* services) : services_(services), density_(platform::ScreenDpi())
{
    if (services_)
        iconListener_ = services_->Icons().Listen([this](const std::set<std::wstring>& paths) {
            if (pictures_.arrived)
                pictures_.arrived(paths);
        });
}

// The entries leave their menus before the live menus they show go, and "Recent" leaves the root before its menu goes.
CTodayMenu::~CTodayMenu()
{
    if (services_)
        services_->Icons().Forget(iconListener_);
    HideRecent();
    RemoveAll();
}

MENUITEMINFOW CTodayMenu::DocumentItem(CItem* item) const
{
    const CFolderMenu* contents = live_.Of(*item);
    return DocumentMenuItem(item, contents ? contents->Menu() : nullptr);
}

void CTodayMenu::ShowSectionStates(const CItemVector* list)
{
    // A change in one list can open or close every section above it, each shown in its parent's menu.
    bool holds = HoldsDocument(*list);
    for (const CItem* section = list->Owner; section && section->Parent; section = section->Parent->Owner) {
        holds = holds || HoldsDocument(*section->Children);
        const int pos = section->Parent->MenuPos(section->Parent->FindSectionPos(section->Children->Menu.get()));
        if (pos >= 0)
            EnableMenuItem(section->Parent->Menu.get(), pos, MF_BYPOSITION | (holds ? MF_ENABLED : MF_GRAYED));
    }
}

void CTodayMenu::ShowAllSectionStates()
{
    // Every list from the top down; walked backwards, each list comes after every list below it.
    std::vector<const CItemVector*> lists{&Root};
    for (size_t i = 0; i < lists.size(); ++i)
        for (const auto& item : lists[i]->Items)
            if (item->IsSection())
                lists.push_back(item->Children.get());
    std::unordered_map<const CItemVector*, bool> holds;
    for (auto list = lists.rbegin(); list != lists.rend(); ++list) {
        bool any = false;
        for (size_t pos = 0; pos < (*list)->Items.size(); ++pos) {
            const CItem& item = *(*list)->Items[pos];
            any = any || item.Type == ITEM_DOCUMENT;
            if (!item.IsSection())
                continue;
            const bool below = holds[item.Children.get()];
            any = any || below;
            EnableMenuItem((*list)->Menu.get(), static_cast<UINT>((*list)->MenuPos(static_cast<int>(pos))),
                           MF_BYPOSITION | (below ? MF_ENABLED : MF_GRAYED));
        }
        holds[*list] = any;
    }
}

CItemVector* CTodayMenu::SectionList(int sectionId)
{
    if (sectionId == 0)
        return &Root;
    CItem* section = Root.FindItem(sectionId);
    return section && section->IsSection() ? section->Children.get() : nullptr;
}

CItem* CTodayMenu::Append(CItemVector& list, const NewEntry& entry)
{
    if (entry.type != ITEM_DOCUMENT && entry.type != ITEM_SECTION && entry.type != ITEM_SEPARATOR)
        return nullptr;
    const int id = entry.id == -1 ? Root.NewID() : entry.id;
    if (id < 0)
        return nullptr;
    static const std::wstring none;
    CItem* item = entry.type == ITEM_SEPARATOR ? list.AddSeparator(id)
                                               : list.AddItem(entry.text ? *entry.text : none, entry.type, id);
    if (!item)
        return nullptr;
    const HMENU menu = list.Menu.get();
    if (entry.type == ITEM_SEPARATOR) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else if (entry.type == ITEM_SECTION) {
        AppendMenuW(menu, MF_POPUP | MF_GRAYED, reinterpret_cast<UINT_PTR>(item->Children->Menu.get()),
                    SectionMenuText(item->Caption).c_str());
    } else {
        // An empty own caption is the one made from the path.
        if (entry.caption && !entry.caption->empty()) {
            item->Caption = *entry.caption;
            item->OwnCaption = true;
        }
        if (entry.properties)
            item->Properties = *entry.properties;
        if (entry.showContents && !IsBuiltin(*item)) {
            live_.Replace(*item, true);
            item->ShowContents = true;
        }
        const MENUITEMINFOW info = DocumentItem(item);
        InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
    }
    return item;
}

int CTodayMenu::AppendDocumentEntry(const std::wstring& path, int id, int sectionId)
{
    CItemVector* list = SectionList(sectionId);
    CItem* item = list ? Append(*list, {ITEM_DOCUMENT, id, &path}) : nullptr;
    if (!item)
        return -1;
    ShowSectionStates(list);
    return item->ID;
}

int CTodayMenu::AppendDocument(const std::wstring& path, int sectionId)
{
    const int id = Root.NewID();
    return id < 0 ? -1 : AppendDocumentEntry(path, id, sectionId);
}

int CTodayMenu::AppendDocumentWithID(const std::wstring& path, int id, int sectionId)
{
    return AppendDocumentEntry(path, id, sectionId);
}

int CTodayMenu::AppendSection(const std::wstring& title, int sectionId)
{
    CItemVector* list = SectionList(sectionId);
    const CItem* item = list ? Append(*list, {ITEM_SECTION, -1, &title}) : nullptr;
    return item ? item->ID : -1;
}

int CTodayMenu::AppendSeparatorEntry(int id, int sectionId)
{
    CItemVector* list = SectionList(sectionId);
    const CItem* item = list ? Append(*list, {ITEM_SEPARATOR, id}) : nullptr;
    return item ? item->ID : -1;
}

int CTodayMenu::AppendSeparator(int sectionId)
{
    const int id = Root.NewID();
    return id < 0 ? -1 : AppendSeparatorEntry(id, sectionId);
}

int CTodayMenu::AppendSeparatorWithID(int id, int sectionId) { return AppendSeparatorEntry(id, sectionId); }

void CTodayMenu::RemoveEntry(int id)
{
    CItem* item = Root.FindItem(id);
    if (!item)
        return;
    CItemVector* list = item->Parent;
    // Taken out, not destroyed: a section's sub-menu goes with the section's own list, a live menu once no item shows it.
    RemoveMenu(list->Menu.get(), list->MenuPos(list->IndexOf(id)), MF_BYPOSITION);
    const std::vector<std::unique_ptr<CFolderMenu>> live = live_.TakeBelow(*item);
    Root.RemoveItem(id);
    ShowSectionStates(list);
}

void CTodayMenu::RemoveAll()
{
    const std::vector<std::unique_ptr<CFolderMenu>> live = live_.TakeAll();
    Root.Clear();
}

CItem* CTodayMenu::Find(const EntryRef& ref) const
{
    CItem* item = ref.id > 0 ? Root.FindItem(ref.id) : nullptr;
    return item && item->Serial == ref.serial ? item : nullptr;
}

void CTodayMenu::MoveEntry(int id, int newPos)
{
    CItem* item = Root.FindItem(id);
    if (!item)
        return;
    CItemVector* list = item->Parent;
    const HMENU menu = list->Menu.get();
    RemoveMenu(menu, list->MenuPos(list->IndexOf(id)), MF_BYPOSITION);
    const int pos = list->MenuPos(newPos);
    switch (item->Type) {
    case ITEM_SEPARATOR:
        InsertMenuW(menu, pos, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        break;
    case ITEM_DOCUMENT: {
        const MENUITEMINFOW info = DocumentItem(item);
        InsertMenuItemW(menu, pos, TRUE, &info);
        break;
    }
    case ITEM_SECTION:
        InsertMenuW(menu, pos, MF_BYPOSITION | MF_POPUP | SectionState(item),
                    reinterpret_cast<UINT_PTR>(item->Children->Menu.get()), SectionMenuText(item->Caption).c_str());
        break;
    }
    Root.MoveItem(id, newPos);
}

void CTodayMenu::SwapDocuments(int idA, int idB)
{
    CItem* a = Root.FindItem(idA);
    CItem* b = Root.FindItem(idB);
    if (!a || !b || a->Type != ITEM_DOCUMENT || b->Type != ITEM_DOCUMENT || a->Parent != b->Parent)
        return;
    CItemVector* list = a->Parent;
    const int i = list->MenuPos(list->IndexOf(idA));
    const int j = list->MenuPos(list->IndexOf(idB));

    // Each item takes the other's id and entry, and a live folder's sub-menu with it.
    const MENUITEMINFOW first = DocumentItem(b), second = DocumentItem(a);
    SetMenuItemInfoW(list->Menu.get(), i, TRUE, &first);
    SetMenuItemInfoW(list->Menu.get(), j, TRUE, &second);

    Root.SwapItems(idA, idB);
}

void CTodayMenu::RenameEntry(int id, const std::wstring& text)
{
    CItem* item = Root.FindItem(id);
    if (!item || (item->Type != ITEM_DOCUMENT && !item->IsSection()))
        return;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    std::wstring shown;
    if (item->Type == ITEM_DOCUMENT) {
        item->OwnCaption = !text.empty();
        item->Caption = item->OwnCaption ? text : CaptionFromPath(item->Path);
        // Its picture shows the caption: it is measured and made again when the menu opens.
        item->Image.reset();
        item->Width = item->Height = 0;
        info.fMask = MIIM_DATA;
        info.dwItemData = ItemDataOf(item);
    } else {
        item->Caption = text;
        shown = SectionMenuText(text);
        info.fMask = MIIM_STRING;
        info.dwTypeData = shown.data();
    }
    SetMenuItemInfoW(item->Parent->Menu.get(), item->Parent->MenuPos(item->Parent->IndexOf(id)), TRUE, &info);
}

void CTodayMenu::ChangeDocument(int id, const std::wstring& path, const DocumentProperties& properties)
{
    CItem* item = Root.FindItem(id);
    if (!item || item->Type != ITEM_DOCUMENT || IsBuiltin(*item))
        return;
    const bool moved = item->Path != path;
    item->Path = path;
    item->Properties = properties;
    if (!item->OwnCaption)
        item->Caption = CaptionFromPath(path);
    // Its picture shows the icon and the caption: it is measured and made again when the menu opens.
    item->Image.reset();
    item->Width = item->Height = 0;
    if (moved && item->ShowContents) {
        ShowFolderContents(id, true);   // a live menu of the new folder, read when it opens
        return;
    }
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    info.dwItemData = ItemDataOf(item);
    SetMenuItemInfoW(item->Parent->Menu.get(), item->Parent->MenuPos(item->Parent->IndexOf(id)), TRUE, &info);
}

void CTodayMenu::Launch(int id)
{
    CItem* item = Root.FindItem(id);
    if (!item || !services_)
        return;
    services_->Launcher().Launch(LaunchRequestOf(*item));
    if (item->Type == ITEM_DOCUMENT)
        CountLaunch(*item);
}

void CTodayMenu::CountLaunch(CItem& document)
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    // Each launch is newer than the one before, so that the newest is told apart whatever the clock's steps.
    const ULONGLONG time = static_cast<ULONGLONG>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    lastLaunch_ = std::max(time, lastLaunch_ + 1);
    document.LastLaunch = lastLaunch_;
    const DWORD launches = document.Launches.value_or(0);
    document.Launches = launches == MAXDWORD ? launches : launches + 1;
    if (recorder_)
        recorder_(document);
}

void CTodayMenu::RefreshRecent()
{
    const HMENU root = Root.Menu.get();
    if (!showRecent_) {
        HideRecent();
        return;
    }
    recent_.Fill(Root);
    const UINT state = recent_.Entries().empty() ? MF_GRAYED : MF_ENABLED;
    if (Root.Lead == 0) {
        InsertMenuW(root, 0, MF_BYPOSITION | MF_POPUP | state, reinterpret_cast<UINT_PTR>(recent_.Menu()),
                    CRecentMenu::kTitle);
        Root.Lead = 1;
    } else {
        EnableMenuItem(root, 0, MF_BYPOSITION | state);
    }
}

void CTodayMenu::HideRecent()
{
    // Taken out, not destroyed: the Recent menu is its own.
    if (Root.Lead == 0)
        return;
    RemoveMenu(Root.Menu.get(), 0, MF_BYPOSITION);
    Root.Lead = 0;
    recent_.Release();
}

bool CTodayMenu::ChooseRecent(HMENU menu, int pos)
{
    if (menu != recent_.Menu())
        return false;
    const auto& entries = recent_.Entries();
    if (pos < 0 || static_cast<size_t>(pos) >= entries.size())
        return true;
    const CRecentMenu::Entry& entry = entries[pos];
    const CItem* document = Root.FindItem(entry.id);
    if (document && document->Type == ITEM_DOCUMENT && document->Path == entry.copy->Path)
        Launch(entry.id);
    else if (services_)
        services_->Launcher().Launch(LaunchRequestOf(*entry.copy));
    return true;
}

std::optional<wchar_t> CTodayMenu::TakeFindRequest()
{
    const std::optional<wchar_t> letter = findRequest_;
    findRequest_.reset();
    return letter;
}

bool CTodayMenu::ShowFolderContents(int id, bool on)
{
    CItem* item = Root.FindItem(id);
    if (!item || item->Type != ITEM_DOCUMENT || IsBuiltin(*item))
        return false;
    // The old live menu goes only once the item no longer shows it; a new one is read afresh when it opens.
    const std::unique_ptr<CFolderMenu> old = live_.Replace(*item, on);
    item->ShowContents = on;
    const MENUITEMINFOW info = DocumentItem(item);
    SetMenuItemInfoW(item->Parent->Menu.get(), item->Parent->MenuPos(item->Parent->IndexOf(id)), TRUE, &info);
    return on || old;
}

CFolderMenu* CTodayMenu::LiveFolder(int id) const
{
    const CItem* item = Root.FindItem(id);
    return item ? live_.Of(*item) : nullptr;
}

CItemVector* CTodayMenu::ListOf(HMENU menu)
{
    // A list of another tree has another id pool.
    CItemVector* list = MenuOwnerAs<CItemVector>(menu);
    return list && list->Ids == Root.Ids ? list : nullptr;
}

void CTodayMenu::SetLook(bool ownerDrawn, COLORREF background)
{
    ownerDrawn_ = ownerDrawn;
    everStyled_ = everStyled_ || ownerDrawn;
    background_.reset(ownerDrawn ? CreateSolidBrush(background) : nullptr);
}

void CTodayMenu::StyleMenu(HMENU menu)
{
    if (!everStyled_)
        return;
    if (ListOf(menu) || live_.Find(menu))
        StyleMenuItems(menu, ListOf(menu), ownerDrawn_, background_.get());
}

void EnsureCommandEntries(CTodayMenu* menu)
{
    if (!menu->Root.Ids->InUse(ID_CONFIGURATION))
        menu->AppendDocumentWithID(L"Configuration", ID_CONFIGURATION, 0);
    if (!menu->Root.Ids->InUse(ID_EXIT))
        menu->AppendDocumentWithID(L"Exit", ID_EXIT, 0);
}
