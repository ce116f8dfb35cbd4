// The stored form of the menu tree: one key per entry, named by its id, below the key of the level
// that holds it, with the values Type, IsSpec, ID, Name and Pos, and a document's own "Caption".
#include <cwchar>
#include <map>

#include "menu/TodayMenu.h"
#include "platform/Registry.h"
#include "store/RegHelper.h"
#include "store/StoreKeys.h"

namespace {

using handles::unique_hkey;

// Sections below this many levels are loaded empty: well within the registry's 512 levels of keys,
// so that whatever was loaded can be stored again.
constexpr int kMaxLevels = 256;
// A menu command id is 16 bits wide: a kept id must fit in one.
constexpr DWORD kLargestCommandId = 0xFFFF;
// Records without a usable "Pos" come after every stored Pos.
constexpr ULONGLONG kNoPos = 0x100000000ULL;

// The id a key name spells: decimal digits only, no sign, no leading zero; 0 when it spells none.
DWORD IdFromKeyName(const wchar_t* name)
{
    if (name[0] < L'1' || name[0] > L'9')
        return 0;
    ULONGLONG id = 0;
    for (const wchar_t* c = name; *c; ++c) {
        if (*c < L'0' || *c > L'9')
            return 0;
        id = id * 10 + static_cast<ULONGLONG>(*c - L'0');
        if (id > MAXDWORD)
            return 0;
    }
    return static_cast<DWORD>(id);
}

// Whether a built-in-flagged record may keep its stored id: it must be free in the tree and usable as
// a command, and "Configuration" and "Exit" keep their ids only as documents.
bool KeepsStoredId(const StoredEntry& entry, const CTodayMenu& menu)
{
    if (entry.IsSpec == 0 || entry.ID == 0 || entry.ID > kLargestCommandId)
        return false;
    const int id = static_cast<int>(entry.ID);
    if ((id == ID_CONFIGURATION || id == ID_EXIT) && entry.Type != ITEM_DOCUMENT)
        return false;
    return !menu.Root.Ids->InUse(id);
}

}  // namespace

void EnsureCommandEntries(CTodayMenu* menu)
{
    if (!menu->Root.Ids->InUse(ID_CONFIGURATION))
        menu->AppendDocumentWithID(L"Configuration", ID_CONFIGURATION, 0);
    if (!menu->Root.Ids->InUse(ID_EXIT))
        menu->AppendDocumentWithID(L"Exit", ID_EXIT, 0);
}

// Reading one entry key. A record needs a "Type" that is a 4-byte REG_DWORD, or it is skipped (with
// the subtree of a section). The other values may be missing or unusable:
//   "IsSpec" -> 0, the entry is an ordinary one and gets a fresh id;
//   "ID"     -> the id that the key name spells, or none (a fresh id);
//   "Pos"    -> the record follows every record that has one, in enumeration order;
//   "Name"   -> empty;
//   "Caption" -> the caption made from the document's path.
std::optional<StoredEntry> CRegHelper::ReadEntry(HKEY level, const wchar_t* keyName, ULONGLONG* order)
{
    const unique_hkey key = OpenKey(level, keyName);
    const std::optional<DWORD> type = key ? GetDword(key.get(), L"Type") : std::nullopt;
    if (!type)
        return std::nullopt;
    const std::optional<DWORD> pos = GetDword(key.get(), L"Pos");
    *order = pos ? *pos : kNoPos;
    StoredEntry entry{*type, GetDword(key.get(), L"IsSpec").value_or(0),
                      GetDword(key.get(), L"ID").value_or(IdFromKeyName(keyName)),
                      GetString(key.get(), L"Name").value_or(L""), keyName,
                      // Both optional: a document shown as the contents of its folder, and its own caption.
                      GetDword(key.get(), L"Expand").value_or(0), GetString(key.get(), L"Caption")};
    return entry;
}

void CRegHelper::LoadLevel(HKEY level, CTodayMenu* menu, int parentId) { LoadLevelAt(level, menu, parentId, 0); }

std::multimap<ULONGLONG, StoredEntry> CRegHelper::ReadLevel(HKEY level)
{
    // Records of equal Pos all stay, in enumeration order, so that the next save keeps them all.
    std::multimap<ULONGLONG, StoredEntry> records;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        const LONG status = EnumSubkey(level, index, name, &length);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS)
            break;
        ULONGLONG order = 0;
        if (std::optional<StoredEntry> entry = ReadEntry(level, name, &order))
            records.emplace(order, std::move(*entry));
    }
    return records;
}

void CRegHelper::LoadLevelAt(HKEY level, CTodayMenu* menu, int parentId, int depth)
{
    // Every entry key of the level is read and closed before the first entry is made.
    const std::multimap<ULONGLONG, StoredEntry> records = ReadLevel(level);
    for (const auto& record : records)
        AppendStored(level, record.second, menu, parentId, depth);
}

void CRegHelper::AppendStored(HKEY level, const StoredEntry& entry, CTodayMenu* menu, int parentId, int depth)
{
    const bool keepId = KeepsStoredId(entry, *menu);
    const int id = static_cast<int>(entry.ID);
    switch (entry.Type) {
    case ITEM_DOCUMENT: {
        const int added = keepId ? menu->AppendDocumentWithID(entry.Name, id, parentId)
                                 : menu->AppendDocument(entry.Name, parentId);
        // The user's own caption goes with the entry, under whatever id it has in this run.
        if (added != -1 && entry.Caption)
            menu->RenameEntry(added, *entry.Caption);
        if (entry.Expand == 1 && added != -1)
            menu->ShowFolderContents(added, true);
        break;
    }
    case ITEM_SECTION: {
        const int sectionId = menu->AppendSection(entry.Name, parentId);
        if (sectionId == -1 || depth + 1 >= kMaxLevels)
            break;
        // The children are below the key that the record came from.
        const unique_hkey children = OpenKey(level, entry.Key.c_str());
        if (children)
            LoadLevelAt(children.get(), menu, sectionId, depth + 1);
        break;
    }
    case ITEM_SEPARATOR:
        if (keepId)
            menu->AppendSeparatorWithID(id, parentId);
        else
            menu->AppendSeparator(parentId);
        break;
    default:
        break;
    }
}

int CRegHelper::LoadTree(CTodayMenu* menu)
{
    const unique_hkey parent = store::OpenStoreParent();
    unique_hkey root;
    if (parent) {
        const wchar_t* source = store::SettleStore(parent.get());
        // Defaults only where no tree is stored: a stored tree that cannot be read is not replaced.
        root = source ? OpenKey(parent.get(), source) : CreateDefaults();
    } else {
        const std::wstring path = std::wstring(store::kParentPath) + L"\\" + store::kStoreName;
        root = OpenKey(platform::reg::StoreHive(), path.c_str());
    }
    if (root)
        LoadLevel(root.get(), menu, 0);
    EnsureCommandEntries(menu);
    return 0;
}

CRegHelper::unique_hkey CRegHelper::CreateDefaults()
{
    const unique_hkey parent = store::OpenStoreParent();
    if (!parent)
        return nullptr;
    const auto writeDefaults = [this](HKEY root) {
        return WriteSpecialDocument(root, L"\\My Documents", ID_MY_DOCUMENTS, 0) &&
               WriteSpecialSeparator(root, ID_FIRST_SEPARATOR, 1) &&
               WriteSpecialDocument(root, L"Configuration", ID_CONFIGURATION, 2) &&
               WriteSpecialDocument(root, L"Exit", ID_EXIT, 3);
    };
    if (!store::ReplaceStore(parent.get(), writeDefaults))
        return nullptr;
    return OpenKey(parent.get(), store::kStoreName);
}

bool CRegHelper::SaveLevel(HKEY level, const CItemVector* list)
{
    for (size_t i = 0; i < list->Items.size(); ++i) {
        const CItem* item = list->Items[i].get();
        const int pos = static_cast<int>(i);
        unique_hkey key;
        switch (item->Type) {
        case ITEM_DOCUMENT:
            key = IsBuiltin(*item) ? WriteSpecialDocument(level, item->Path, item->ID, pos)
                                   : WriteDocument(level, item->Path, item->ID, pos);
            // A live folder keeps its mark, and a caption of the user's own follows the values of the layout.
            if (key && item->ShowContents && !SetDword(key.get(), L"Expand", 1))
                return false;
            if (key && item->OwnCaption && !SetString(key.get(), L"Caption", item->Caption.c_str()))
                return false;
            break;
        case ITEM_SECTION:
            key = WriteSection(level, item->Caption, item->ID, pos);
            if (key && item->Children && !SaveLevel(key.get(), item->Children.get()))
                return false;
            break;
        case ITEM_SEPARATOR:
            key = IsBuiltin(*item) ? WriteSpecialSeparator(level, item->ID, pos) : WriteSeparator(level, item->ID, pos);
            break;
        default:
            continue;   // not an entry kind: nothing written, a gap in Pos
        }
        if (!key)
            return false;
    }
    return true;
}

int CRegHelper::SaveTree(CTodayMenu* menu)
{
    const unique_hkey parent = store::OpenStoreParent();
    if (!parent)
        return -1;
    // A replacement cut short is finished first; if it cannot be, the tree it left is not touched.
    const wchar_t* stored = store::SettleStore(parent.get());
    if (stored && wcscmp(stored, store::kStoreName) != 0)
        return -1;
    if (stored)
        Backups.BeforeSave(*this);
    const bool replaced =
        store::ReplaceStore(parent.get(), [this, menu](HKEY root) { return SaveLevel(root, &menu->Root); });
    Backups.AfterSave(replaced ? menu : nullptr);
    return replaced ? 0 : -1;
}
