#include "store/StoreKeys.h"

#include "platform/Registry.h"

namespace store {

namespace {

using platform::reg::unique_hkey;

bool Exists(HKEY parent, const wchar_t* name) { return static_cast<bool>(platform::reg::OpenKey(parent, name)); }

bool IsComplete(HKEY parent, const wchar_t* name)
{
    const unique_hkey key = platform::reg::OpenKey(parent, name);
    return key && platform::reg::ReadDword(key.get(), kCompleteValue) == 1u;
}

// The stored tree holds no values of its own: a mark that came with the rename goes.
void RemoveMark(HKEY parent)
{
    const unique_hkey key = platform::reg::OpenKey(parent, kStoreName, platform::reg::kWriteRights);
    if (key && platform::reg::HasValue(key.get(), kCompleteValue))
        platform::reg::DeleteValue(key.get(), kCompleteValue);
}

void DeleteIfPresent(HKEY parent, const wchar_t* name)
{
    if (Exists(parent, name))
        platform::reg::DeleteTree(parent, name);
}

// Writes the new tree below Tabula.new and marks it complete; on failure removes what it wrote.
bool WriteStaging(HKEY parent, const std::function<bool(HKEY)>& write)
{
    // Nothing of an earlier tree may end up in the new one.
    DeleteIfPresent(parent, kStagingName);
    if (Exists(parent, kStagingName))
        return false;
    unique_hkey staging = platform::reg::CreateKey(parent, kStagingName);
    bool written = staging && write(staging.get());
    if (written) {
        // The content reaches the disk before the mark that vouches for it.
        platform::reg::Flush(staging.get());
        written = platform::reg::WriteDword(staging.get(), kCompleteValue, 1);
        platform::reg::Flush(staging.get());
    }
    staging.reset();
    if (!written)
        DeleteIfPresent(parent, kStagingName);
    return written;
}

}  // namespace

platform::reg::unique_hkey OpenStoreParent()
{
    return platform::reg::OpenKey(platform::reg::StoreHive(), kParentPath, platform::reg::kWriteRights);
}

const wchar_t* SettleStore(HKEY parent)
{
    if (!Exists(parent, kStoreName)) {
        const wchar_t* found = IsComplete(parent, kStagingName) ? kStagingName
                               : Exists(parent, kRetiredName)   ? kRetiredName
                                                                : nullptr;
        if (!found) {
            DeleteIfPresent(parent, kStagingName);   // never marked complete: not a tree
            return nullptr;
        }
        if (platform::reg::RenameKey(parent, found, kStoreName) != ERROR_SUCCESS)
            return found;
    }
    RemoveMark(parent);
    DeleteIfPresent(parent, kStagingName);
    DeleteIfPresent(parent, kRetiredName);
    platform::reg::Flush(parent);
    return kStoreName;
}

bool ReplaceStore(HKEY parent, const std::function<bool(HKEY)>& write, const std::function<bool()>& ready)
{
    if (!WriteStaging(parent, write))
        return false;
    if (ready && !ready()) {
        DeleteIfPresent(parent, kStagingName);
        return false;
    }
    const bool hadTree = Exists(parent, kStoreName);
    if (hadTree && platform::reg::RenameKey(parent, kStoreName, kRetiredName) != ERROR_SUCCESS) {
        DeleteIfPresent(parent, kStagingName);
        return false;
    }
    if (platform::reg::RenameKey(parent, kStagingName, kStoreName) != ERROR_SUCCESS) {
        // Put the old tree back; if even that fails, the complete Tabula.new is what the next load takes.
        if (hadTree && platform::reg::RenameKey(parent, kRetiredName, kStoreName) == ERROR_SUCCESS)
            DeleteIfPresent(parent, kStagingName);
        return false;
    }
    RemoveMark(parent);
    platform::reg::Flush(parent);
    if (hadTree)
        platform::reg::DeleteTree(parent, kRetiredName);
    return true;
}

StoreLock::StoreLock() : mutex_(CreateMutexW(nullptr, FALSE, L"Tabula.Store"))
{
    // A holder that ended without letting go (WAIT_ABANDONED) hands the store over whole: every step of a replacement
    // leaves a tree that the next settling finishes or undoes.
    if (mutex_)
        WaitForSingleObject(mutex_.get(), INFINITE);
}

StoreLock::~StoreLock()
{
    if (mutex_)
        ReleaseMutex(mutex_.get());
}

}  // namespace store
