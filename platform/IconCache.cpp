#include "platform/IconCache.h"

#include <mutex>
#include <vector>

#include "platform/Environment.h"
#include "platform/Media.h"
#include "platform/Shell.h"
#include "platform/ShellIcons.h"

namespace platform {

namespace {

// Paths are looked at side by side, so that a medium that never answers holds up few of the others; a look that takes
// five seconds, longer than a sleeping drive takes to wake, gives its thread up.
constexpr CWorkerPool::Limits kLookers{4, 5000, 8};
// Types whose sharing of their icon is remembered; past that the memory starts again.
constexpr size_t kMostSharedTypes = 1024;

bool Expired(DWORD expires) { return expires && static_cast<LONG>(GetTickCount() - expires) >= 0; }

}  // namespace

struct CIconCache::Shared {
    std::mutex lock;
    std::vector<std::pair<Key, Answer>> arrived;   // found since the cache last joined them
    std::map<std::wstring, bool> sharedTypes;      // lower-case extension -> whether its files share its icon
    HWND window = nullptr;
    bool telling = false;                          // a message that tells of arrived is on its way
    CIconCache* cache = nullptr;                   // the GUI thread's alone; null once the cache has gone

    // On a worker: whether the files of a type share its icon, read from the registry once per type.
    bool TypeIsShared(const std::wstring& extension)
    {
        {
            std::lock_guard<std::mutex> held(lock);
            if (const auto known = sharedTypes.find(extension); known != sharedTypes.end())
                return known->second;
        }
        const bool isShared = IconOfTypeIsShared(extension);
        std::lock_guard<std::mutex> held(lock);
        if (sharedTypes.size() >= kMostSharedTypes)
            sharedTypes.clear();
        sharedTypes.emplace(extension, isShared);
        return isShared;
    }

    // On a worker, or on the GUI thread for a medium given up on: what a look found waits for the cache.
    static void Arrive(const std::shared_ptr<Shared>& shared, Key key, Answer answer)
    {
        {
            std::lock_guard<std::mutex> held(shared->lock);
            shared->arrived.emplace_back(std::move(key), std::move(answer));
        }
        PostTell(shared);
    }

    // The window's thread is told of what arrived, unless a message that tells of it is on its way.
    static void PostTell(const std::shared_ptr<Shared>& shared)
    {
        HWND window = nullptr;
        {
            std::lock_guard<std::mutex> held(shared->lock);
            if (!shared->window || shared->telling || shared->arrived.empty())
                return;
            shared->telling = true;
            window = shared->window;
        }
        const std::weak_ptr<Shared> weak = shared;
        if (PostToWindow(window, [weak] {
                if (const std::shared_ptr<Shared> alive = weak.lock(); alive && alive->cache)
                    alive->cache->Tell();
            }))
            return;
        // No one hears of them: they join the cache as it is next asked.
        std::lock_guard<std::mutex> held(shared->lock);
        shared->telling = false;
    }
};

CIconCache::CIconCache() : shared_(std::make_shared<Shared>()), pool_(kLookers) { shared_->cache = this; }

// Looks still going on end in the shared part, which they keep; nobody hears of them.
CIconCache::~CIconCache() { shared_->cache = nullptr; }

void CIconCache::SetWindow(HWND window)
{
    {
        std::lock_guard<std::mutex> held(shared_->lock);
        shared_->window = window;
        shared_->telling = false;   // a message to an earlier window may have gone with it
    }
    Shared::PostTell(shared_);
}

void CIconCache::Prepare()
{
    // Its threads are started now too, each with the apartment it needs.
    pool_.Run({L"", [] { TypeIcon(L".txt", false); }, {}});
    for (int thread = 1; thread < kLookers.workers; ++thread)
        pool_.Run({L"", [] {}, {}});
}

CIconCache::Shown CIconCache::Icon(const std::wstring& path, bool folder, const std::wstring& location)
{
    JoinUnlessTold();
    if (location.empty())
        return PathIcon(path, folder);
    const Answer* own = Look({Kind::Location, location});
    if (own && own->icon)
        return {own->icon.get(), true, own->stamp};
    // The file's icon stands in: while the location's look goes on, and for as long as its file holds no icon there.
    const Shown file = PathIcon(path, folder);
    return {file.icon, false, own ? (static_cast<unsigned long long>(own->stamp) << 32) | (file.answer & 0xFFFFFFFFu) : 0};
}

bool CIconCache::Known(const std::wstring& path)
{
    JoinUnlessTold();
    const Key key{Kind::Path, path};
    return withIcon_.Peek(key) || plain_.Peek(key);
}

std::optional<bool> CIconCache::IsFolder(const std::wstring& path)
{
    JoinUnlessTold();
    const Answer* look = Look({Kind::Path, path});
    return look ? std::optional<bool>(look->exists && look->folder) : std::nullopt;
}

void CIconCache::Withdraw(const std::wstring& path, const std::wstring& location)
{
    for (const Key& key : {Key{Kind::Path, path}, Key{Kind::Location, location}}) {
        const auto asked = asked_.find(key);
        if (asked != asked_.end() && asked->second && pool_.Withdraw(asked->second))
            asked_.erase(asked);
    }
}

int CIconCache::Listen(Listener listener)
{
    const int token = nextToken_++;
    listeners_.emplace(token, std::move(listener));
    return token;
}

void CIconCache::Forget(int token) { listeners_.erase(token); }

void CIconCache::Tell()
{
    const std::set<std::wstring> texts = Join();
    if (texts.empty())
        return;
    // A listener may forget itself or another while it is told.
    const std::map<int, Listener> listeners = listeners_;
    for (const auto& [token, listener] : listeners)
        if (listeners_.count(token))
            listener(texts);
}

const CIconCache::Answer* CIconCache::Look(const Key& key)
{
    const Answer* answer = withIcon_.Use(key);
    answer = answer ? answer : plain_.Use(key);
    if (!answer || Expired(answer->expires))
        Ask(key);
    return answer;
}

void CIconCache::Ask(const Key& key)
{
    if (!asked_.emplace(key, 0).second)
        return;
    const bool location = key.first == Kind::Location;
    const std::wstring text = key.second;
    const std::wstring resolved = ResolveDevicePath(location ? ParseIconLocation(text).file : text);
    Job job{media::MediumOf(resolved), nullptr, nullptr};
    job.work = [shared = shared_, key, location, text, resolved] {
        Answer answer;
        if (location) {
            answer.icon = SmallIconAt(text);
        } else {
            FileLook look = LookAtFile(resolved, shared->TypeIsShared(LowerExtension(resolved)));
            answer.icon = std::move(look.own);
            answer.exists = look.exists, answer.folder = look.folder;
        }
        answer.exists = answer.exists || answer.icon;
        Shared::Arrive(shared, key, std::move(answer));
    };
    // Nothing to show from a medium given up on: no picture, looked at again once that answer expires.
    job.unavailable = [shared = shared_, key] { Shared::Arrive(shared, key, Answer{}); };
    const CWorkerPool::Ticket ticket = pool_.Run(std::move(job));
    if (const auto asked = asked_.find(key); asked != asked_.end())
        asked->second = ticket;
}

CIconCache::Shown CIconCache::PathIcon(const std::wstring& path, bool folder)
{
    const Answer* look = Look({Kind::Path, path});
    const std::wstring extension = LowerExtension(ExpandVariables(path));
    if (!look)
        return {TypeIconOf(extension, folder || (!path.empty() && path.back() == L'\\')), false, 0};
    const HICON icon = look->icon ? look->icon.get() : look->exists ? TypeIconOf(extension, look->folder) : nullptr;
    return {icon, look->expires == 0, look->stamp};
}

HICON CIconCache::TypeIconOf(const std::wstring& extension, bool folder)
{
    const std::wstring key = folder ? L"\\" : extension;
    if (const handles::unique_hicon* known = types_.Use(key))
        return known->get();
    types_.Put(key, TypeIcon(extension, folder));
    return types_.Use(key)->get();
}

std::set<std::wstring> CIconCache::Join()
{
    std::vector<std::pair<Key, Answer>> arrived;
    {
        std::lock_guard<std::mutex> held(shared_->lock);
        arrived.swap(shared_->arrived);
        shared_->telling = false;
    }
    std::set<std::wstring> texts;
    for (auto& [key, answer] : arrived) {
        asked_.erase(key);
        answer.stamp = ++lastStamp_;
        // Nothing to show: asked again once this has expired (never 0, which lasts).
        if (!answer.icon && !answer.exists)
            answer.expires = (GetTickCount() + kNoPictureLife) | 1;
        withIcon_.Erase(key);
        plain_.Erase(key);
        texts.insert(key.second);
        (answer.icon ? withIcon_ : plain_).Put(key, std::move(answer));
    }
    return texts;
}

void CIconCache::JoinUnlessTold()
{
    bool told = false;
    {
        std::lock_guard<std::mutex> held(shared_->lock);
        told = shared_->telling || shared_->arrived.empty();
    }
    if (!told)
        Join();
}

}  // namespace platform
