#pragma once
// How an entry shows as an item of a menu: the item data that leads back to the entry, a document's owner-drawn item
// and a section's title.
#include <windows.h>

#include <string>

#include "menu/MenuItemData.h"

class CItem;

// What an entry's item carries as its data, and the entry that data leads back to. Every reader and writer of an
// item's data goes through these two, so that the data's layout can change in one place. The name is the caption at
// the time of the call: whoever changes a caption writes the item's data again.
ULONG_PTR ItemDataOf(CItem* entry);
CItem* EntryOfItemData(ULONG_PTR data);

// The item of a document: owner-drawn with its id and entry, and contents (the live menu of a folder shown as its
// contents, or null) as its sub-menu.
MENUITEMINFOW DocumentMenuItem(CItem* entry, HMENU contents);

// A section's title as its item shows it: as typed, with no mnemonic and no accelerator column.
std::wstring SectionMenuText(const std::wstring& title);
