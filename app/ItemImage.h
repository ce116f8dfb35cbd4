#pragma once
#include <windows.h>

class CItem;

// Where the parts of a document's menu picture go (pixels).
struct ItemImageLayout {
    int width = 0;          // whole picture
    int height = 0;
    RECT icon{};            // icon cell: left, top, right, bottom
    RECT caption{};         // caption rectangle
};

// The picture of an entry with a caption of captionSize, with small icons of cx x cy; the built-in
// entries ("Configuration", "Exit") use their own 12x12 icons.
ItemImageLayout ComputeItemImageLayout(SIZE captionSize, int cx, int cy, bool builtinIcon);
bool HasBuiltinIcon(int id);

// Prepares Image, Width and Height of a document entry; returns Image.
HBITMAP BuildImage(CItem* item);
// The shell's small icon for a path, or null; the caller destroys it.
HICON GetSmallFileIcon(const wchar_t* path);
// A small-icon-sized bitmap with the icon drawn on the menu colour, or null; the caller deletes it.
HBITMAP IconToBitmap(HWND window, HICON icon);

void MeasureMenuItem(MEASUREITEMSTRUCT* record);
void DrawMenuItem(const DRAWITEMSTRUCT* record);
