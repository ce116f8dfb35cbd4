#pragma once
// The menu pictures of document entries: made when a menu first needs them, measured and drawn by the main window.
#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

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

// Makes Image, Width and Height of a document entry (its icon and its caption); returns Image. Its icon is the icon
// cache's (platform/IconCache.h): what the disk gave for its path, or for an icon of the user's choice, when that is
// known, the icon of its type until then (ImageFinal and ImageAnswer tell which), so that making it never waits.
HBITMAP BuildImage(CItem* item);
// Makes the pictures of a list's documents that have none.
void BuildImages(const CItemVector& list);
// A list's menu is about to show: its documents without a size are measured, and a picture made with an answer the
// icon cache has since replaced (its type's icon, a "no picture" answer looked at again) is dropped; each is made
// when it is first drawn, so that a long list costs only the pictures on the screen.
void PrepareImages(const CItemVector& list);
// The own icons of these paths and icon locations (as stored) are known: on the menus on the screen, pictures made
// with an answer that was not final are dropped, to be made again as the menus are drawn again.
void RefreshImages(const std::set<std::wstring>& paths);
// Drops every picture of a list and the lists below it, so that they are made again at the screen's new density.
void DropImages(CItemVector& list);
// The menu is to open at a point of the screen: at another monitor's density than its pictures', they are made again
// at that one.
void FollowMenuDensity(POINT where);
// The look in force changed (app/Globals' g_Theme): the menus, the open ones too, take it, and every picture is made
// again in its colours.
void FollowLook();
// Sizes the pictures of entries without making them: a long menu is measured whole but shows few of its entries at
// once, and each picture is made when it is first drawn.
void MeasureImages(const std::vector<CItem*>& items);

// What a document's icon is made from: its id (the built-in ones have their own), its path as stored, its own icon
// ("file,index") if any, and whether it shows as a folder.
struct DocumentLook {
    int id = 0;
    std::wstring path;
    std::optional<std::wstring> icon;
    bool folder = false;
};
// Draws the icon that the document shows in the menu in a small icon's cell at (x, y): the program's own icons in ink
// under a high-contrast scheme, a path's from the icon cache (its type's until the disk is known).
void DrawDocumentIcon(HDC dc, int x, int y, const DocumentLook& look, COLORREF ink);

// The main window's answers to the menu's measure and draw requests of an owner-drawn item; a picture not yet made
// is made then (a picture sized ahead is made when drawn). The entry under the selection is drawn on the highlight colour.
// In the dark look the sections, separators and notes are drawn here too.
void MeasureMenuItem(MEASUREITEMSTRUCT* record);
void DrawMenuItem(const DRAWITEMSTRUCT* record);
