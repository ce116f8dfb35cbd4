#include "menu/LiveFolders.h"

#include "menu/Item.h"
#include "menu/MenuOwner.h"
#include "menu/MenuServices.h"

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
