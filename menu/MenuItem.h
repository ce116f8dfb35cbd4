#pragma once
// How an entry shows as an item of a menu: the item data that leads back to the entry, a document's owner-drawn item
// and a section's title.
#include <windows.h>

#include <string>

#include "menu/MenuItemData.h"

class CItem;
class CItemVector;

// What an entry's item carries as its data, and the entry that data leads back to. Every reader and writer of an
// item's data goes through these two, so that the data's layout can change in one place. The name is the caption at
// the time of the call: whoever changes a caption writes the item's data again.
ULONG_PTR ItemDataOf(CItem* entry);
CItem* EntryOfItemData(ULONG_PTR data);

// The item of a document: owner-drawn with its id and entry, and contents (the live menu of a folder shown as its
// contents, or null) as its sub-menu.
MENUITEMINFOW DocumentMenuItem(CItem* entry, HMENU contents);

// What an item's data says it shows: a document's picture, a section, a separator, or a note of a live folder
// ("(empty)", "More..."); Unknown for an item without such data.
enum class MenuItemKind { Unknown, Document, Section, Separator, Note };
MenuItemKind KindOfItemData(ULONG_PTR data);
// The text that an item's data carries (a note's, a section's title), or empty.
std::wstring TextOfItemData(ULONG_PTR data);

// Every item of a menu but the documents', which are always drawn by the program, drawn by it (owner-drawn, each with
// data that says what it is) or by the system; and the menu's background, the margins round its items (none: the
// system's). A menu of the tree gives its entries' data; any other its items' own.
void StyleMenuItems(HMENU menu, const CItemVector* list, bool ownerDrawn, HBRUSH background);

// A section's title as its item shows it: as typed, with no mnemonic and no accelerator column.
std::wstring SectionMenuText(const std::wstring& title);
