#pragma once
// The menu pictures of document entries: made when a menu first needs them, measured and drawn by the main window.
#include <windows.h>

#include "platform/Shell.h"   // the density the pictures follow

class CItem;
class CItemVector;

// Where the parts of a document's menu picture go (pixels).
struct ItemImageLayout {
    int width = 0;          // whole picture
    int height = 0;
    RECT icon{};            // icon cell: left, top, right, bottom
    RECT caption{};         // caption rectangle
};

// The picture of an entry with a caption of captionSize, with small icons of cx x cy in a cell 4 pixels larger; the
// built-in entries ("Configuration", "Exit") use their own 12x12 icons. The 4 and the 12 are for 96 DPI and grow with
// the density dpi.
ItemImageLayout ComputeItemImageLayout(SIZE captionSize, int cx, int cy, bool builtinIcon, int dpi = 96);
bool HasBuiltinIcon(int id);

// Makes Image, Width and Height of a document entry (its shell icon and its caption); returns Image.
HBITMAP BuildImage(CItem* item);
// Makes the pictures of a list's documents that have none, as its menu is about to show; drops every picture of a
// list and the lists below it, so that they are made again at the screen's new density.
void BuildImages(const CItemVector& list);
void DropImages(CItemVector& list);

// The main window's answers to the menu's measure and draw requests of an owner-drawn item; a picture not yet made
// is made then. The entry under the selection is drawn on the highlight colour.
void MeasureMenuItem(MEASUREITEMSTRUCT* record);
void DrawMenuItem(const DRAWITEMSTRUCT* record);
