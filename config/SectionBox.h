#pragma once
// The Documents page's choice of a level: the section box, "General" and every section of the tree, and its bold
// "Section:" label.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "config/PageLayout.h"

class CTodayMenu;

// Every section of the tree in pre-order (a section before the sections inside it): its id and title.
using SectionList = std::vector<std::pair<int, std::wstring>>;
SectionList SectionsOf(const CTodayMenu& menu);

// Empties the box and lists "General" (item data 0) and every section in pre-order (item data its id); selects
// "General". The sections listed, so that the box need be made anew only when they change.
SectionList FillSectionBox(HWND box, const CTodayMenu& menu);

// Places the box at x, 5 (at 96 DPI) with its closed size; its window also holds the room its drop-down list opens into.
void PlaceSectionBox(HWND box, int x, const PageRect& closed);

// Makes the label paint "Section:" itself, so that its text survives a repaint of the label alone (a closing
// drop-down list, a window passing over it).
void PaintSectionLabel(HWND label);
