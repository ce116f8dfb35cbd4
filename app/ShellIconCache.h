#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "platform/Handles.h"

// The shell's small icons of ordinary file types, looked up once per type. Asking the shell costs about a
// millisecond per file, which a menu of a thousand documents would pay at every start; most files share
// the icon of their type. Icons of the cache are lent, not copied: a copy costs as much as the lookup. Folders and the types whose icon depends on the file itself (programs, icons,
// shortcuts, and any type whose icon names the file) are always asked for anew.
class CShellIconCache {
public:
    // The small icon of a path, or a null icon when the shell has none. An icon of the cache is lent to
    // the caller (owned false); any other is the caller's to destroy.
    struct Icon {
        HICON icon = nullptr;
        bool owned = false;
    };
    Icon SmallIcon(const std::wstring& path);

private:
    bool IconOfTypeIsShared(const std::wstring& extension);

    std::map<std::wstring, handles::unique_hicon> icons_;   // lower-case extension -> its icon
    std::map<std::wstring, bool> shared_;                   // lower-case extension -> icon shared by the type
};
