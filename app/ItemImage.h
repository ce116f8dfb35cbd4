#pragma once
// The menu pictures of document entries: made when a menu first needs them, measured and drawn by the main window.
#include <windows.h>

class CItem;

// Where the parts of a document's menu picture go (pixels).
struct ItemImageLayout {
    int width = 0;          // whole picture
    int height = 0;
    RECT icon{};            // icon cell: left, top, right, bottom
    RECT caption{};         // caption rectangle
};

// The picture of an entry with a caption of captionSize, with small icons of cx x cy; the built-in entries
// ("Configuration", "Exit") use their own 12x12 icons.
ItemImageLayout ComputeItemImageLayout(SIZE captionSize, int cx, int cy, bool builtinIcon);
bool HasBuiltinIcon(int id);

// Makes Image, Width and Height of a document entry (its shell icon and its caption); returns Image.
HBITMAP BuildImage(CItem* item);

// The main window's answers to the menu's measure and draw requests of an owner-drawn item; a picture not yet
// made is made when it is first measured.
void MeasureMenuItem(MEASUREITEMSTRUCT* record);
void DrawMenuItem(const DRAWITEMSTRUCT* record);
