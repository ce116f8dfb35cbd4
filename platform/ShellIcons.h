#pragma once
// The shell's small icons of files and folders, and small-icon-sized pictures made of them: what the menu's
// pictures and the settings lists show beside a document.
#include <windows.h>

#include <string>

#include "platform/Handles.h"

namespace platform {

// The shell's small icon of a path, looked up once per ordinary file type: asking the shell costs about a
// millisecond a file, which a menu of a thousand documents would pay at every start, and most files share the icon
// of their type. An icon of that cache is lent (owned false), not copied, as a copy costs as much as the lookup.
// Folders and the types whose icon depends on the file itself (programs, icons, shortcuts, and any type whose icon
// names the file) are asked for anew, and the caller destroys what it gets. A file that is not there has no icon.
struct SmallIcon {
    HICON icon = nullptr;
    bool owned = false;
};
SmallIcon SmallFileIcon(const std::wstring& path);

// The small icon of a folder inside a folder being browsed: a folder that cannot carry a look of its own (neither
// read-only nor system, the marks of a customised folder) shows the shell's plain folder icon, asked for once and lent;
// any other is asked for as SmallFileIcon does. Asking the shell for a folder costs some 20 ms under Wine.
SmallIcon SmallFolderIcon(const std::wstring& path);

// The shell's small icon for a path (the device's "\My Documents" standing for the documents folder), or none.
handles::unique_hicon GetSmallFileIcon(const std::wstring& path);

// An icon's place as the shell's icon picker names it, "file,index" (a negative index is a resource id). A text without
// a number after its last comma is a file, and its first icon.
struct IconLocation {
    std::wstring file;
    int index = 0;
};
IconLocation ParseIconLocation(const std::wstring& text);
std::wstring FormatIconLocation(const IconLocation& location);

// The icon at a location (its file resolved as ResolveDevicePath does) at the small-icon size of the screen's density,
// or none when the file holds no icon there.
handles::unique_hicon SmallIconAt(const std::wstring& location);

// A picture of the small-icon size with the icon drawn on the menu colour (plain without an icon), or none.
handles::unique_hbitmap IconToBitmap(HWND window, HICON icon);

}  // namespace platform
