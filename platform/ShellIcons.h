#pragma once
// The shell's small icons of files and folders, and small-icon-sized pictures made of them: what the menu's
// pictures and the settings lists show beside a document.
#include <windows.h>

#include <string>

#include "platform/Handles.h"

namespace platform {

// What the disk says of a path for its small icon: whether it is there, whether it is a folder, and its own icon
// where the shell draws this one file or folder apart from its type (a program, a shortcut, a customised folder, a
// type without a shared icon); none where its type's icon (TypeIcon) stands for it.
struct FileLook {
    bool exists = false;
    bool folder = false;
    handles::unique_hicon own;
};
// Looks at the path through platform/Media, so it waits as long as the medium takes: off the GUI thread. typeShared
// tells whether the files of the path's type all show the type's icon (IconOfTypeIsShared). A path whose attributes
// cannot be read for another reason than its absence (a share, a shell name) is the shell's to draw.
FileLook LookAtFile(const std::wstring& path, bool typeShared);

// The lower-case extension of a path's file name, with its dot; empty when it has none.
std::wstring LowerExtension(const std::wstring& path);
// Whether the files of a type all show the type's icon, as the registry's file classes say: no disk is read.
bool IconOfTypeIsShared(const std::wstring& extension);
// The shell's small icon of a type (of a plain folder for folder), found from the name alone without the disk; the
// caller destroys it.
handles::unique_hicon TypeIcon(const std::wstring& extension, bool folder);

// The shell's small icon for a path (the device's "\My Documents" standing for the documents folder), or none for a
// path that is not there. It waits on the disk.
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
// or none when the file holds no icon there. It reads the file through platform/Media: off the GUI thread.
handles::unique_hicon SmallIconAt(const std::wstring& location);

// A picture of the small-icon size at the window's density with the icon drawn on the menu colour, or the window
// colour of the dark look (plain without an icon), or none.
handles::unique_hbitmap IconToBitmap(HWND window, HICON icon);

}  // namespace platform
