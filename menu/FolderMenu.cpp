#include "menu/FolderMenu.h"

#include <algorithm>

#include "menu/Item.h"
#include "menu/Launcher.h"
#include "menu/MenuItem.h"
#include "menu/MenuOwner.h"
#include "platform/Worker.h"

namespace {

// A live entry: a document without an id, captioned with its whole name.
std::unique_ptr<CItem> LiveEntry(const std::wstring& path, const std::wstring& caption)
{
    auto item = std::make_unique<CItem>(path, ITEM_DOCUMENT, 0, nullptr);
    item->Caption = caption;
    return item;
}

}  // namespace

CFolderMenu::CFolderMenu(std::wstring folder, CFolderMenuOwner* owner)
    : folder_(std::move(folder)), owner_(owner), menu_(CreatePositionalMenu(this))
{
}

CFolderMenu::~CFolderMenu() { Release(); }

std::vector<CItem*> CFolderMenu::Items() const
{
    std::vector<CItem*> items;
    for (const Entry& entry : entries_)
        if (entry.item)
            items.push_back(entry.item.get());
    return items;
}

void CFolderMenu::Release()
{
    // The items leave the menu first: each sub-folder's menu is destroyed once, by its own CFolderMenu.
    for (int pos = GetMenuItemCount(menu_.get()) - 1; pos >= 0; --pos)
        RemoveMenu(menu_.get(), pos, MF_BYPOSITION);
    entries_.clear();
}

void CFolderMenu::Add(std::unique_ptr<CItem> item, std::unique_ptr<CFolderMenu> contents, std::wstring opens)
{
    const MENUITEMINFOW info = DocumentMenuItem(item.get(), contents ? contents->Menu() : nullptr);
    entries_.push_back({std::move(item), std::move(contents), std::move(opens), nullptr});
    InsertMenuItemW(menu_.get(), GetMenuItemCount(menu_.get()), TRUE, &info);
}

void CFolderMenu::AddNote(const wchar_t* text, UINT flags, std::wstring opens)
{
    auto note = std::make_unique<MenuItemData>();
    note->text = text;
    note->name.cchWText = static_cast<DWORD>(note->text.size());
    note->name.pszWText = note->text.data();
    const ULONG_PTR data = reinterpret_cast<ULONG_PTR>(note.get());
    entries_.push_back({nullptr, nullptr, std::move(opens), std::move(note)});
    AppendMenuW(menu_.get(), MF_STRING | flags, 0, text);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    info.dwItemData = data;
    SetMenuItemInfoW(menu_.get(), GetMenuItemCount(menu_.get()) - 1, TRUE, &info);
}

void CFolderMenu::Open()
{
    open_ = true;
    CFolderReaders* readers = owner_->Readers();
    if (!readers) {
        Show({false, folder_, {}, {}});
        return;
    }
    if (!reading_ || reading_->Withdrawn())
        reading_ = readers->Read(folder_, kMaxEntries);
    if (!reading_->Wait(kReadBudget)) {
        Release();
        AddNote(L"(reading...)", MF_GRAYED, {});
        return;
    }
    const std::shared_ptr<CFolderRead> read = std::move(reading_);
    Show(read->Listing());
    Remember(read->Listing());
}

void CFolderMenu::Remember(FolderListing listing)
{
    // A folder that could not be read holds nothing to find.
    if (!listing.readable)
        listing.files.clear();
    listing.files.resize(std::min(listing.files.size(), kRememberedFiles));
    lastFiles_ = std::move(listing.files);
    wasRead_ = true;
}

void CFolderMenu::Close()
{
    open_ = false;
    CFolderReaders* readers = owner_->Readers();
    if (reading_ && readers && readers->Withdraw(reading_))
        reading_.reset();
}

void CFolderMenu::Show(const FolderListing& listing)
{
    Release();
    const std::wstring& folder = listing.folder;
    if (!listing.readable) {
        AddNote(L"(not available)", MF_GRAYED, {});
        return;
    }
    // Its picture path ends like a folder: the folder's icon shows before the folder's own look is known.
    Add(LiveEntry(JoinPath(folder, L""), L"Open Folder"), nullptr, folder);
    const size_t total = listing.folders.size() + listing.files.size();
    if (total == 0)
        AddNote(L"(empty)", MF_GRAYED, {});
    for (size_t i = 0; i < std::min(total, kMaxEntries); ++i) {
        const bool isFolder = i < listing.folders.size();
        const std::wstring& name = isFolder ? listing.folders[i] : listing.files[i - listing.folders.size()];
        auto item = LiveEntry(JoinPath(folder, name), name);
        item->ShowContents = isFolder;
        auto contents = isFolder ? std::make_unique<CFolderMenu>(item->Path, owner_) : nullptr;
        std::wstring opens = isFolder ? std::wstring() : item->Path;
        Add(std::move(item), std::move(contents), std::move(opens));
    }
    if (total > kMaxEntries)
        AddNote(L"More...", 0, folder);
}

void CFolderMenu::Choose(int pos) const
{
    if (pos < 0 || static_cast<size_t>(pos) >= entries_.size())
        return;
    // A copy: opening may let messages run that free what the menu shows.
    const std::wstring path = entries_[pos].opens;
    if (!path.empty() && owner_->Launcher())
        owner_->Launcher()->Launch({path, L"", L"", L"", SW_SHOW});
}
