#include "menu/FolderMenu.h"

#include <shlwapi.h>

#include <algorithm>

#include "menu/Item.h"
#include "menu/TodayMenu.h"
#include "platform/Shell.h"

namespace {

constexpr DWORD kLeftOut = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::wstring Join(const std::wstring& folder, const std::wstring& name)
{
    return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

// The first count names in the shell's order, found without sorting the whole folder.
void SortFirst(std::vector<std::wstring>& names, size_t count)
{
    const auto before = [](const std::wstring& a, const std::wstring& b) {
        return StrCmpLogicalW(a.c_str(), b.c_str()) < 0;
    };
    count = std::min(count, names.size());
    if (count < names.size())
        std::nth_element(names.begin(), names.begin() + count, names.end(), before);
    std::sort(names.begin(), names.begin() + count, before);
}

// A live entry: a document without an id, captioned with its whole name.
std::unique_ptr<CItem> LiveEntry(const std::wstring& path, const std::wstring& caption)
{
    auto item = std::make_unique<CItem>(path, ITEM_DOCUMENT, 0, nullptr);
    item->Caption = caption;
    return item;
}

}  // namespace

FolderListing ReadFolder(const std::wstring& folder)
{
    FolderListing listing;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW(Join(folder, L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return listing;
    listing.readable = true;
    do {
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & kLeftOut) || name == L"." || name == L"..")
            continue;
        (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? listing.folders : listing.files).push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return listing;
}

void SortListing(FolderListing& listing, size_t count)
{
    SortFirst(listing.folders, count);
    SortFirst(listing.files, count - std::min(count, listing.folders.size()));
}

CFolderMenu::CFolderMenu(std::wstring folder) : folder_(std::move(folder)), menu_(CreatePopupMenu())
{
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_STYLE;
    info.dwStyle = MNS_NOTIFYBYPOS;
    SetMenuInfo(menu_.get(), &info);
}

CFolderMenu::~CFolderMenu() { Empty(); }

void CFolderMenu::Empty()
{
    // The items leave the menu first: each sub-folder's menu is destroyed once, by its own entry.
    for (int pos = GetMenuItemCount(menu_.get()) - 1; pos >= 0; --pos)
        RemoveMenu(menu_.get(), pos, MF_BYPOSITION);
    entries_.clear();
}

void CFolderMenu::Add(std::unique_ptr<CItem> item, std::wstring opens)
{
    const MENUITEMINFOW info = DocumentMenuItem(item.get());
    entries_.push_back({std::move(item), std::move(opens)});
    InsertMenuItemW(menu_.get(), GetMenuItemCount(menu_.get()), TRUE, &info);
}

void CFolderMenu::AddNote(const wchar_t* text, UINT flags, std::wstring opens)
{
    entries_.push_back({nullptr, std::move(opens)});
    AppendMenuW(menu_.get(), MF_STRING | flags, 0, text);
}

void CFolderMenu::Open()
{
    open_ = true;
    FolderListing listing = ReadFolder(platform::ResolveDevicePath(folder_));
    SortListing(listing, kMaxEntries);
    Show(listing);
}

void CFolderMenu::Show(const FolderListing& listing)
{
    Empty();
    const std::wstring folder = platform::ResolveDevicePath(folder_);
    if (!listing.readable) {
        AddNote(L"(not available)", MF_GRAYED, {});
        return;
    }
    Add(LiveEntry(folder, L"Open Folder"), folder);
    const size_t total = listing.folders.size() + listing.files.size();
    if (total == 0)
        AddNote(L"(empty)", MF_GRAYED, {});
    for (size_t i = 0; i < std::min(total, kMaxEntries); ++i) {
        const bool isFolder = i < listing.folders.size();
        const std::wstring& name = isFolder ? listing.folders[i] : listing.files[i - listing.folders.size()];
        auto item = LiveEntry(Join(folder, name), name);
        if (isFolder)
            item->Folder = std::make_unique<CFolderMenu>(item->Path), item->ShowContents = true;
        std::wstring opens = isFolder ? std::wstring() : item->Path;
        Add(std::move(item), std::move(opens));
    }
    if (total > kMaxEntries)
        AddNote(L"More...", 0, folder);
}

void CFolderMenu::Release()
{
    if (!open_)
        Empty();
}

void CFolderMenu::Choose(int pos) const
{
    if (pos >= 0 && static_cast<size_t>(pos) < entries_.size() && !entries_[pos].opens.empty())
        OpenDocument(entries_[pos].opens);
}

CFolderMenu* CFolderMenu::Find(HMENU menu)
{
    if (menu_.get() == menu)
        return this;
    for (const Entry& entry : entries_)
        if (CFolderMenu* found = entry.item && entry.item->Folder ? entry.item->Folder->Find(menu) : nullptr)
            return found;
    return nullptr;
}

CFolderMenu* FindFolderMenu(const CItemVector& list, HMENU menu)
{
    for (const auto& item : list.Items) {
        CFolderMenu* found = item->Folder ? item->Folder->Find(menu)
                             : item->IsSection() ? FindFolderMenu(*item->Children, menu)
                                                 : nullptr;
        if (found)
            return found;
    }
    return nullptr;
}

MENUITEMINFOW DocumentMenuItem(CItem* item)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
    info.fType = MFT_OWNERDRAW;
    info.wID = static_cast<UINT>(item->ID);
    info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    info.hSubMenu = item->Folder ? item->Folder->Menu() : nullptr;
    return info;
}
