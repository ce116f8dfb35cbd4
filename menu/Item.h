#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "menu/BaseObj.h"
#include "menu/IdPool.h"

class CItemVector;

// Entry kinds, as stored in the registry too.
enum ItemType : int {
    ITEM_DOCUMENT = 1,
    ITEM_SECTION = 2,
    ITEM_SEPARATOR = 3,
};

// Ids of the built-in entries.
enum BuiltinId : int {
    ID_MY_DOCUMENTS = 1,
    ID_CONFIGURATION_ENTRY = 2,
    ID_EXIT_ENTRY = 3,
    ID_FIRST_SEPARATOR = 4,
};

// One menu entry: a document, a section (a sub-menu with a list of its own) or a separator.
class CItem : public CBaseObj {
public:
    std::wstring Caption;
    std::wstring Path;
    int Type = 0;
    int Width = 0;
    int Height = 0;
    CItemVector* Children = nullptr;   // owned; sections only
    int ID = 0;
    HBITMAP Image = nullptr;           // owned; documents only
    CItemVector* Parent = nullptr;     // the list that holds this entry

    // A separator.
    CItem(int id, CItemVector* parent);
    // A document (type 1, made from its path) or a section (type 2, titled by text).
    CItem(const std::wstring& text, int type, int id, CItemVector* parent);
    ~CItem() override;

    CItem(const CItem&) = delete;
    CItem& operator=(const CItem&) = delete;

    bool IsSection() const { return Type == ITEM_SECTION && Children != nullptr; }
};

// The caption a document shows for a path: the file name without folders and without its last extension.
std::wstring CaptionFromPath(const std::wstring& path);

// An ordered list of entries and the popup menu that shows them; the root list and each section's list.
class CItemVector : public CBaseObj {
public:
    std::vector<CItem*> Items;   // owned
    HMENU Menu = nullptr;        // owned; destroyed with the list unless the platform already destroyed it
    CItem* Owner = nullptr;      // the section whose list this is; null for the root list
    CIdPool* Ids = nullptr;      // the ids in use in the whole tree; shared by every list of one tree

    CItemVector();                                   // a root list with an id pool of its own
    CItemVector(CIdPool* treeIds, CItem* owner);     // a section's list
    ~CItemVector() override;

    CItemVector(const CItemVector&) = delete;
    CItemVector& operator=(const CItemVector&) = delete;

    CItem* FindItem(int id) const;
    int IndexOf(int id) const;
    int FindSectionPos(HMENU menu) const;
    int NewID() const;

    CItem* AddSeparator(int id);
    CItem* AddSeparatorToSection(int id, int sectionId);
    CItem* AddItem(const std::wstring& text, int type, int id);
    CItem* AddItemToSection(const std::wstring& text, int type, int id, int sectionId);

    void RemoveItem(int id);
    void MoveItem(int id, int newPos);
    void SwapItems(int idA, int idB);
    void Clear();

    // The platform destroyed this list's menu (and every sub-menu below it) together with the
    // item that showed it: forget the handles so that nothing destroys them a second time.
    void ForgetMenus();

private:
    CItem* Append(std::unique_ptr<CItem> item);
    void DeleteEntry(CItem* item);

    std::unique_ptr<CIdPool> ownIds_;
};
