#include "platform/FolderWatch.h"

#include <atomic>
#include <vector>

#include "platform/Handles.h"

namespace platform {

struct CFolderWatch::State {
    std::wstring folder;
    std::function<void()> changed;
    handles::unique_kernel_object stop{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> watching{false};
};

namespace {

constexpr DWORD kNotifications =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

// The folder opened for watching, or none where it cannot be.
handles::unique_kernel_object OpenForWatching(const std::wstring& folder)
{
    const HANDLE opened = CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    return handles::unique_kernel_object(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
}

DWORD WINAPI Watch(void* parameter)
{
    const std::shared_ptr<CFolderWatch::State> state(*static_cast<std::shared_ptr<CFolderWatch::State>*>(parameter));
    delete static_cast<std::shared_ptr<CFolderWatch::State>*>(parameter);
    handles::unique_kernel_object folder = OpenForWatching(state->folder);
    const handles::unique_kernel_object arrived(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::vector<DWORD> buffer(4096);
    for (;;) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = arrived.get();
        ResetEvent(arrived.get());
        const bool asked = folder && ReadDirectoryChangesW(folder.get(), buffer.data(),
                                                           static_cast<DWORD>(buffer.size() * sizeof(DWORD)), FALSE,
                                                           kNotifications, nullptr, &overlapped, nullptr);
        state->watching = asked;
        if (!asked)
            folder.reset();   // looks alone from now on
        const HANDLE events[] = {state->stop.get(), arrived.get()};
        const DWORD woke = WaitForMultipleObjects(asked ? 2 : 1, events, FALSE, CFolderWatch::kLookEveryMs);
        if (asked && woke != WAIT_OBJECT_0 + 1) {
            CancelIo(folder.get());
            DWORD ignored = 0;
            GetOverlappedResult(folder.get(), &overlapped, &ignored, TRUE);
        }
        if (woke == WAIT_OBJECT_0)
            return 0;
        // A change, or the time for a look: what came meanwhile settles first.
        if (WaitForSingleObject(state->stop.get(), woke == WAIT_TIMEOUT ? 0 : CFolderWatch::kSettleMs) == WAIT_OBJECT_0)
            return 0;
        state->changed();
    }
}

}  // namespace

CFolderWatch::CFolderWatch(const std::wstring& folder, std::function<void()> changed)
    : state_(std::make_shared<State>())
{
    state_->folder = folder;
    state_->changed = std::move(changed);
    auto* handedOver = new std::shared_ptr<State>(state_);
    thread_.reset(CreateThread(nullptr, 0, Watch, handedOver, 0, nullptr));
    if (!thread_)
        delete handedOver;
}

CFolderWatch::~CFolderWatch()
{
    SetEvent(state_->stop.get());
    if (thread_)
        WaitForSingleObject(thread_.get(), kEndWaitMs);
}

bool CFolderWatch::Watching() const { return state_->watching; }

}  // namespace platform
