#include "menu/LiveFolders.h"

#include "menu/Item.h"
#include "menu/MenuOwner.h"
#include "menu/MenuServices.h"
#include "platform/Media.h"
#include "platform/Shell.h"

CFolderReaders* CLiveFolders::Readers() { return services_ ? &services_->Readers() : nullptr; }

CLauncher* CLiveFolders::Launcher() { return services_ ? &services_->Launcher() : nullptr; }

std::unique_ptr<CFolderMenu> CLiveFolders::Replace(const CItem& document, bool live)
{
    std::unique_ptr<CFolderMenu> old;
    if (const auto found = folders_.find(&document); found != folders_.end()) {
        old = std::move(found->second);
        folders_.erase(found);
    }
    if (live)
        folders_[&document] = std::make_unique<CFolderMenu>(document.Path, this);
    return old;
}

std::vector<std::unique_ptr<CFolderMenu>> CLiveFolders::TakeBelow(const CItem& entry)
{
    std::vector<std::unique_ptr<CFolderMenu>> taken;
    if (std::unique_ptr<CFolderMenu> own = Replace(entry, false))
        taken.push_back(std::move(own));
    if (entry.IsSection())
        for (const auto& child : entry.Children->Items)
            for (auto& below : TakeBelow(*child))
                taken.push_back(std::move(below));
    return taken;
}

std::vector<std::unique_ptr<CFolderMenu>> CLiveFolders::TakeAll()
{
    std::vector<std::unique_ptr<CFolderMenu>> taken;
    for (auto& [document, folder] : folders_)
        taken.push_back(std::move(folder));
    folders_.clear();
    return taken;
}

CFolderMenu* CLiveFolders::Of(const CItem& document) const
{
    const auto found = folders_.find(&document);
    return found == folders_.end() ? nullptr : found->second.get();
}

CFolderMenu* CLiveFolders::Find(HMENU menu) const
{
    CFolderMenu* folder = MenuOwnerAs<CFolderMenu>(menu);
    return folder && folder->Owner() == this ? folder : nullptr;
}

void CLiveFolders::ReleaseAll()
{
    for (auto& [document, folder] : folders_) {
        folder->Close();
        folder->Release();
    }
    chosen_ = false;
}

void CLiveFolders::ReleaseClosed()
{
    // A closed folder's sub-folders are closed too: they go with it.
    for (auto& [document, folder] : folders_)
        if (!folder->IsOpen())
            folder->Release();
}

void CLiveFolders::Closed(HMENU menu)
{
    CFolderMenu* folder = Find(menu);
    if (!folder)
        return;
    folder->Close();
    // A choice told before the close has been handled: nothing is left to find here.
    if (chosen_)
        ReleaseClosed();
}

bool CLiveFolders::Choose(HMENU menu, int pos)
{
    const CFolderMenu* folder = Find(menu);
    if (!folder)
        return false;
    folder->Choose(pos);
    chosen_ = true;
    ReleaseClosed();
    return true;
}

void CLiveFolders::ReadUnread(HWND window, std::function<void(const CItem& document)> arrived)
{
    CFolderReaders* readers = Readers();
    if (!readers)
        return;
    for (auto& [document, folder] : folders_) {
        if (folder->WasRead() || folder->ReadPending() || folder->searchAsked)
            continue;
        folder->searchAsked = true;
        const std::wstring resolved = platform::ResolveDevicePath(folder->Folder());
        // The listing goes back to the window's thread; a medium given up on has nothing to give.
        const auto back = [self = std::weak_ptr<CLiveFolders*>(self_), window, document = document,
                           path = folder->Folder(), arrived](FolderListing listing) {
            platform::PostToWindow(window, [self, document, path, arrived, listing = std::move(listing)]() mutable {
                if (const std::shared_ptr<CLiveFolders*> live = self.lock())
                    (*live)->Arrived(document, path, std::move(listing), arrived);
            });
        };
        platform::Job job{platform::media::MediumOf(resolved), nullptr, nullptr};
        job.work = [back, resolved] {
            FolderListing listing = ReadFolder(resolved);
            SortListing(listing, CFolderMenu::kMaxEntries);
            back(std::move(listing));
        };
        job.unavailable = [back, resolved] { back({false, resolved, {}, {}}); };
        readers->Workers().Run(std::move(job));
    }
}

void CLiveFolders::Arrived(const CItem* document, const std::wstring& folder, FolderListing listing,
                           const std::function<void(const CItem&)>& arrived)
{
    // The document may have gone, or show another folder now: its listing is then of no use.
    const auto found = folders_.find(document);
    if (found == folders_.end() || found->second->Folder() != folder || found->second->WasRead())
        return;
    found->second->Remember(std::move(listing));
    if (arrived)
        arrived(*document);
}
