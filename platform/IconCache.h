#pragma once
// The small icons of documents as the menu and the settings lists show them, given at once without the disk: the icon
// of a path's type first, its own (or none for a path that is not there) once a worker has looked at the path. What a
// look finds is kept for the life of the cache, so a path is looked at once; a look that never ends leaves the type's
// icon in place. The cache, its icons and its listeners belong to the GUI thread; the workers get copies of the paths.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/Handles.h"
#include "platform/Worker.h"

namespace platform {

class CIconCache {
public:
    CIconCache();
    ~CIconCache();
    CIconCache(const CIconCache&) = delete;
    CIconCache& operator=(const CIconCache&) = delete;

    // The window whose thread hears of ended looks; its procedure hands the work-done message to RunPostedWork.
    void SetWindow(HWND window);
    // Has the shell make ready what its first icon costs (tens of ms under Wine), and the workers start, so that the
    // first opening of the menu pays neither.
    void Prepare();

    // The icon to show for a path as stored, lent (not to be destroyed), and whether it is final: what the look at the
    // path found, or, until then, the type's icon (the plain folder's for a folder). Asks for the look the first time.
    struct Shown {
        HICON icon = nullptr;
        bool final = false;
    };
    Shown Icon(const std::wstring& path, bool folder);
    // Whether the look at the path has ended.
    bool Known(const std::wstring& path) const;

    // Told on the window's thread of the paths whose looks ended since it was last told; a token to Forget it by.
    using Listener = std::function<void(const std::set<std::wstring>& paths)>;
    int Listen(Listener listener);
    void Forget(int token);

    struct Shared;   // what the workers share with the cache

private:
    HICON TypeIconOf(const std::wstring& extension, bool folder);

    std::shared_ptr<Shared> shared_;
    std::set<std::wstring> asked_;                          // paths whose look has been asked for
    std::map<std::wstring, handles::unique_hicon> types_;   // lower-case extension ("\" a folder) -> its icon
    CWorkerPool pool_;
};

}  // namespace platform
