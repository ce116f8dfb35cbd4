#include "platform/IconCache.h"

#include <mutex>

#include "platform/Environment.h"
#include "platform/Shell.h"
#include "platform/ShellIcons.h"

namespace platform {

namespace {

// Paths are looked at side by side, so that a medium that never answers holds up few of the others.
constexpr int kLookers = 4;

}  // namespace

struct CIconCache::Shared {
    std::mutex lock;
    std::map<std::wstring, FileLook> found;   // by path as stored; never taken out, so what it lends stays
    std::map<std::wstring, bool> sharedTypes;   // lower-case extension -> whether its files share its icon
    std::set<std::wstring> fresh;             // found since the window's thread was last told
    HWND window = nullptr;
    bool telling = false;                     // a message that tells of fresh is on its way
    std::map<int, Listener> listeners;        // the GUI thread's alone
    int nextToken = 1;
};

namespace {

// On the window's thread: the listeners hear of the paths found since they last heard.
void Tell(CIconCache::Shared& shared)
{
    std::set<std::wstring> paths;
    {
        std::lock_guard<std::mutex> held(shared.lock);
        paths.swap(shared.fresh);
        shared.telling = false;
    }
    // A listener may forget itself or another while it is told.
    const std::map<int, CIconCache::Listener> listeners = shared.listeners;
    for (const auto& [token, listener] : listeners)
        if (shared.listeners.count(token))
            listener(paths);
}

// On a worker: whether the files of a type share its icon, read from the registry once per type.
bool TypeIsShared(CIconCache::Shared& shared, const std::wstring& extension)
{
    {
        std::lock_guard<std::mutex> held(shared.lock);
        if (const auto known = shared.sharedTypes.find(extension); known != shared.sharedTypes.end())
            return known->second;
    }
    const bool isShared = IconOfTypeIsShared(extension);
    std::lock_guard<std::mutex> held(shared.lock);
    shared.sharedTypes.emplace(extension, isShared);
    return isShared;
}

// On a worker: what a look found joins the cache, and the window's thread is told unless a message is on its way.
void Found(const std::shared_ptr<CIconCache::Shared>& shared, const std::wstring& path, FileLook look)
{
    HWND window = nullptr;
    {
        std::lock_guard<std::mutex> held(shared->lock);
        shared->found.emplace(path, std::move(look));
        if (!shared->window)
            return;
        shared->fresh.insert(path);
        if (shared->telling)
            return;
        shared->telling = true;
        window = shared->window;
    }
    const std::weak_ptr<CIconCache::Shared> weak = shared;
    if (PostToWindow(window, [weak] {
            if (const std::shared_ptr<CIconCache::Shared> alive = weak.lock())
                Tell(*alive);
        }))
        return;
    // No one hears of them; the next opening finds them in the cache all the same.
    std::lock_guard<std::mutex> held(shared->lock);
    shared->telling = false;
    shared->fresh.clear();
}

}  // namespace

CIconCache::CIconCache() : shared_(std::make_shared<Shared>()), pool_(kLookers) {}

// Looks still going on end in the shared part, which they keep; nobody hears of them.
CIconCache::~CIconCache() { shared_->listeners.clear(); }

void CIconCache::SetWindow(HWND window)
{
    std::lock_guard<std::mutex> held(shared_->lock);
    shared_->window = window;
}

void CIconCache::Prepare()
{
    // Its threads are started now too, each with the apartment it needs.
    pool_.Run([] { TypeIcon(L".txt", false); });
    for (int thread = 1; thread < kLookers; ++thread)
        pool_.Run([] {});
}

CIconCache::Shown CIconCache::Icon(const std::wstring& path, bool folder)
{
    const std::wstring extension = LowerExtension(ExpandVariables(path));
    HICON own = nullptr;
    bool known = false, exists = false, isFolder = false;
    {
        std::lock_guard<std::mutex> held(shared_->lock);
        if (const auto found = shared_->found.find(path); found != shared_->found.end()) {
            known = true, own = found->second.own.get();
            exists = found->second.exists, isFolder = found->second.folder;
        }
    }
    if (known)
        return {own ? own : exists ? TypeIconOf(extension, isFolder) : nullptr, true};
    if (asked_.insert(path).second)
        pool_.Run([shared = shared_, path] {
            const std::wstring resolved = ResolveDevicePath(path);
            Found(shared, path, LookAtFile(resolved, TypeIsShared(*shared, LowerExtension(resolved))));
        });
    return {TypeIconOf(extension, folder || (!path.empty() && path.back() == L'\\')), false};
}

bool CIconCache::Known(const std::wstring& path) const
{
    std::lock_guard<std::mutex> held(shared_->lock);
    return shared_->found.count(path) != 0;
}

int CIconCache::Listen(Listener listener)
{
    const int token = shared_->nextToken++;
    shared_->listeners.emplace(token, std::move(listener));
    return token;
}

void CIconCache::Forget(int token) { shared_->listeners.erase(token); }

HICON CIconCache::TypeIconOf(const std::wstring& extension, bool folder)
{
    const std::wstring key = folder ? L"\\" : extension;
    auto known = types_.find(key);
    if (known == types_.end())
        known = types_.emplace(key, TypeIcon(extension, folder)).first;
    return known->second.get();
}

}  // namespace platform
