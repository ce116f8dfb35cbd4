#pragma once
// The small icons of documents as the menu, the settings lists and the Properties dialog show them, given at once
// without the disk: the icon of a path's type first, then what a worker's look at the path found (its own icon, the
// type's, or none for a path that is not there), and for a document with an icon of its own ("file,index") that icon
// once a worker has read it from its file.
//
// Bounded: at most kMostIcons icons of paths and locations, the least recently shown dropped first, and kMostTypes icons
// of types, each shared by every path of its type. An icon is one USER object and at most three GDI bitmaps, so the
// cache holds at most 4 x (kMostIcons + kMostTypes) objects. Answers without an icon of their own are kept for
// kMostAnswers paths. A "no picture" answer (nothing there, a file without that icon, a medium given up on) expires
// after kNoPictureLife ms: the next ask looks again, and shows the old answer until the new one has come.
//
// Everything here belongs to the GUI thread; the workers get copies of the paths. An icon is lent: it stays valid until
// the cache is next asked or told, so it is drawn at once and never kept. A look that never ends leaves the type's
// icon in place.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "platform/Handles.h"
#include "platform/LruMap.h"
#include "platform/Worker.h"

namespace platform {

class CIconCache {
public:
    static constexpr size_t kMostIcons = 256;
    static constexpr size_t kMostTypes = 32;
    static constexpr size_t kMostAnswers = 8192;
    static constexpr DWORD kNoPictureLife = 1000;

    CIconCache();
    ~CIconCache();
    CIconCache(const CIconCache&) = delete;
    CIconCache& operator=(const CIconCache&) = delete;

    // The window whose thread hears of ended looks; its procedure hands the work-done message to RunPostedWork. Until
    // it has one, what the looks found joins the cache as it is next asked.
    void SetWindow(HWND window);
    // Has the shell make ready what its first icon costs (tens of ms under Wine), and the workers start, so that the
    // first opening of the menu pays neither.
    void Prepare();

    // The icon to show for a document as stored, lent: its own icon at location ("file,index"; empty for none) when its
    // file holds one there, otherwise its path's. Until the looks have ended, the type's icon (the plain folder's for a
    // folder, or a path ending in "\"). final: the answer lasts (no "no picture" answer, which is looked at again).
    // answer: tells the answers shown apart, 0 while there is none; a picture made with another answer is out of date.
    // Asks for the looks the first time, and again once an answer has expired.
    struct Shown {
        HICON icon = nullptr;
        bool final = false;
        unsigned long long answer = 0;
    };
    Shown Icon(const std::wstring& path, bool folder, const std::wstring& location = {});
    // Whether the look at the path has an answer (an expired one too).
    bool Known(const std::wstring& path);
    // Whether the path is a folder that is there, as the look at it said; nothing until it has (the look is asked for).
    std::optional<bool> IsFolder(const std::wstring& path);
    // The looks at the path and at the location that have not started yet leave the queue (their menu closed): they
    // are asked for again when next shown.
    void Withdraw(const std::wstring& path, const std::wstring& location = {});

    // Told on the window's thread of the paths and the locations whose looks ended since it was last told; a token to
    // Forget it by.
    using Listener = std::function<void(const std::set<std::wstring>& texts)>;
    int Listen(Listener listener);
    void Forget(int token);

    // What the cache holds now: icons of paths and locations, icons of types, answers without an icon of their own.
    struct Holding {
        size_t icons = 0, types = 0, plain = 0;
    };
    Holding Holds() const { return {withIcon_.Size(), types_.Size(), plain_.Size()}; }
    const CWorkerPool& Workers() const { return pool_; }

    struct Shared;   // what the workers share with the cache

private:
    // What a look found, as the cache keeps it.
    struct Answer {
        handles::unique_hicon icon;   // the path's or the location's own; none where the type's stands for it
        bool exists = false;
        bool folder = false;
        DWORD expires = 0;   // a "no picture" answer: when it is looked at again; 0 for one that lasts
        unsigned stamp = 0;
    };
    enum class Kind { Path, Location };
    using Key = std::pair<Kind, std::wstring>;

    // Joins what the looks found and tells the listeners of it: the work that a worker's post brings.
    void Tell();
    // The answer for a key, now the most recently shown, the look asked for when there is none or it has expired.
    const Answer* Look(const Key& key);
    void Ask(const Key& key);
    Shown PathIcon(const std::wstring& path, bool folder);
    HICON TypeIconOf(const std::wstring& extension, bool folder);
    // What the looks found joins the cache, unless a message that tells of it is on its way; the texts joined.
    std::set<std::wstring> Join();
    void JoinUnlessTold();

    std::shared_ptr<Shared> shared_;
    std::map<Key, CWorkerPool::Ticket> asked_;   // looks asked for that have not ended; 0: answered at once
    CLruMap<Key, Answer> withIcon_{kMostIcons};
    CLruMap<Key, Answer> plain_{kMostAnswers};
    CLruMap<std::wstring, handles::unique_hicon> types_{kMostTypes};   // lower-case extension ("\" a folder)
    std::map<int, Listener> listeners_;
    int nextToken_ = 1;
    unsigned lastStamp_ = 0;
    CWorkerPool pool_;
};

}  // namespace platform
