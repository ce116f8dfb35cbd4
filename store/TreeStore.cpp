// Loading and saving the tree in its stored layout (TreeStore.h), with a work list of the levels on the way down in
// place of recursion: a stored tree of any depth loads whole and is stored again whole.
#include "store/TreeStore.h"

#include <cwchar>
#include <map>
#include <vector>

#include "menu/TodayMenu.h"
#include "store/StoreKeys.h"

namespace {

namespace reg = platform::reg;
using handles::unique_hkey;

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

// Reading one entry key. A record needs a "Type" that is a 4-byte REG_DWORD, or it is skipped (with
// the subtree of a section). The other values may be missing or unusable:
//   "IsSpec" -> 0, the entry is an ordinary one and gets a fresh id;
//   "ID"     -> the id that the key name spells, or none (a fresh id);
//   "Pos"    -> the record follows every record that has one, in enumeration order;
//   "Name"   -> empty;
//   "Caption" -> the caption made from the document's path;
//   "Args", "StartIn", "Show", "Verb", "Icon" -> the document is opened as it is without it;
//   "Launches", "LastLaunch" -> the document has not been opened through the program.
DocumentProperties ReadProperties(HKEY key)
{
    const std::optional<DWORD> show = reg::ReadDword(key, L"Show");
    return {reg::ReadString(key, L"Args"), reg::ReadString(key, L"StartIn"),
            show && IsDocumentShow(*show) ? show : std::nullopt, reg::ReadString(key, L"Verb"),
            reg::ReadString(key, L"Icon")};
}

std::optional<StoredEntry> ReadEntry(HKEY level, const std::wstring& keyName, ULONGLONG* order)
{
    const unique_hkey key = reg::OpenKey(level, keyName.c_str());
    const std::optional<DWORD> type = key ? reg::ReadDword(key.get(), L"Type") : std::nullopt;
    if (!type)
        return std::nullopt;
    const std::optional<DWORD> pos = reg::ReadDword(key.get(), L"Pos");
    *order = pos ? *pos : kNoPos;
    const std::optional<DWORD> isSpec = reg::ReadDword(key.get(), L"IsSpec"), id = reg::ReadDword(key.get(), L"ID");
    const std::optional<std::wstring> name = reg::ReadString(key.get(), L"Name");
    // Both optional: a document shown as the contents of its folder, and its own caption.
    const std::optional<DWORD> expand = reg::ReadDword(key.get(), L"Expand");
    StoredEntry entry{*type, isSpec.value_or(0), id.value_or(IdFromKeyName(keyName.c_str())), name.value_or(L""), keyName,
                      expand.value_or(0), reg::ReadString(key.get(), L"Caption"), {}, std::nullopt, std::nullopt};
    // Each value looked for costs the load a call of the registry, and most documents have no properties: they are
    // looked for only where the key holds more values than those read.
    const DWORD read = 1 + pos.has_value() + isSpec.has_value() + id.has_value() + name.has_value() + expand.has_value() +
                       entry.Caption.has_value();
    if (entry.Type == ITEM_DOCUMENT && reg::ValueCount(key.get()).value_or(MAXDWORD) > read) {
        entry.Properties = ReadProperties(key.get());
        // Launch counts.
        entry.Launches = reg::ReadDword(key.get(), L"Launches");
        entry.LastLaunch = reg::ReadQword(key.get(), L"LastLaunch");
    }
    return entry;
}

// Every entry key of a level, read and closed before the first entry is made, in Pos order.
std::vector<StoredEntry> ReadLevel(HKEY level)
{
    // Records of equal Pos all stay, in enumeration order, so that the next save keeps them all.
    std::multimap<ULONGLONG, StoredEntry> records;
    for (const std::wstring& name : reg::Subkeys(level)) {
        ULONGLONG order = 0;
        if (std::optional<StoredEntry> entry = ReadEntry(level, name, &order))
            records.emplace(order, std::move(*entry));
    }
    std::vector<StoredEntry> entries;
    for (auto& record : records)
        entries.push_back(std::move(record.second));
    return entries;
}

// Appends one record to the list; the new section's list when it is a section whose entries are to be loaded below
// it, else null.
CItemVector* AppendStored(const StoredEntry& entry, CTodayMenu* menu, CItemVector& list)
{
    const int id = KeepsStoredId(entry, *menu) ? static_cast<int>(entry.ID) : -1;
    CItem* item = nullptr;
    switch (entry.Type) {
    case ITEM_DOCUMENT:
        // The user's own caption goes with the entry, under whatever id it has in this run.
        item = menu->Append(list, {ITEM_DOCUMENT, id, &entry.Name, entry.Caption ? &*entry.Caption : nullptr,
                                   entry.Expand == 1, &entry.Properties});
        if (item) {
            // Launch counts.
            item->Launches = entry.Launches;
            item->LastLaunch = entry.LastLaunch;
        }
        break;
    case ITEM_SECTION: item = menu->Append(list, {ITEM_SECTION, -1, &entry.Name}); break;
    case ITEM_SEPARATOR: item = menu->Append(list, {ITEM_SEPARATOR, id}); break;
    default: return nullptr;
    }
    // Until the next save, the entry is stored under the key it came from, whatever id it has in this run.
    if (item)
        item->StoredKey = entry.Key;
    return item && item->IsSection() ? item->Children.get() : nullptr;
}

// Writes a document's properties that are set, in the layout's order; false when one could not be written.
bool WriteProperties(HKEY key, const DocumentProperties& properties)
{
    const auto text = [key](const wchar_t* name, const std::optional<std::wstring>& value) {
        return !value || reg::WriteString(key, name, value->c_str());
    };
    return text(L"Args", properties.Args) && text(L"StartIn", properties.StartIn) &&
           (!properties.Show || reg::WriteDword(key, L"Show", *properties.Show)) && text(L"Verb", properties.Verb) &&
           text(L"Icon", properties.Icon);
}

// Launch counts: a document's two values, when set; false when one could not be written.
bool WriteLaunches(HKEY key, const CItem& document)
{
    return (!document.Launches || reg::WriteDword(key, L"Launches", *document.Launches)) &&
           (!document.LastLaunch || reg::WriteQword(key, L"LastLaunch", *document.LastLaunch));
}

// A level on the way down: its records, the next one to append, and the key that its sections' entries are below.
struct LoadingLevel {
    unique_hkey key;   // none for the level the load starts at
    std::vector<StoredEntry> entries;
    size_t next;
    CItemVector* list;   // the list its entries go to
};

// A list on the way down while it is written: the key its entries go below.
struct SavingLevel {
    unique_hkey key;   // none for the level the save starts at
    const CItemVector* list;
    size_t next;
};

// The key that the next start would load the tree from (StoreKeys.h), found without settling anything.
unique_hkey OpenStoredTree()
{
    const unique_hkey parent = platform::reg::OpenKey(platform::reg::StoreHive(), store::kParentPath);
    if (!parent)
        return nullptr;
    if (unique_hkey tree = platform::reg::OpenKey(parent.get(), store::kStoreName))
        return tree;
    unique_hkey staging = platform::reg::OpenKey(parent.get(), store::kStagingName);
    if (staging && platform::reg::ReadDword(staging.get(), store::kCompleteValue) == 1u)
        return staging;
    return platform::reg::OpenKey(parent.get(), store::kRetiredName);
}

}  // namespace


void CTreeStore::LoadLevel(HKEY level, CTodayMenu* menu, int parentId)
{
    CItem* parent = parentId == 0 ? nullptr : menu->Root.FindItem(parentId);
    CItemVector* top = parentId == 0 ? &menu->Root : parent && parent->IsSection() ? parent->Children.get() : nullptr;
    if (!top)
        return;
    // Depth-first, each level in Pos order, as the fresh ids have always been handed out; each entry goes straight to
    // its list, and the sections show what they hold once all are in.
    std::vector<LoadingLevel> path;
    path.push_back({nullptr, ReadLevel(level), 0, top});
    while (!path.empty()) {
        LoadingLevel& current = path.back();
        if (current.next == current.entries.size()) {
            path.pop_back();
            continue;
        }
        const StoredEntry& entry = current.entries[current.next++];
        CItemVector* list = AppendStored(entry, menu, *current.list);
        // The children are below the key that the record came from.
        const HKEY parent = current.key ? current.key.get() : level;
        unique_hkey children = list ? reg::OpenKey(parent, entry.Key.c_str()) : nullptr;
        if (children) {
            std::vector<StoredEntry> entries = ReadLevel(children.get());
            path.push_back({std::move(children), std::move(entries), 0, list});
        }
    }
    menu->ShowAllSectionStates();
}

int CTreeStore::LoadTree(CTodayMenu* menu)
{
    const unique_hkey parent = store::OpenStoreParent();
    unique_hkey root;
    if (parent) {
        const wchar_t* source = store::SettleStore(parent.get());
        // Defaults only where no tree is stored: a stored tree that cannot be read is not replaced.
        root = source ? reg::OpenKey(parent.get(), source) : CreateDefaults();
    } else {
        const std::wstring path = std::wstring(store::kParentPath) + L"\\" + store::kStoreName;
        root = reg::OpenKey(reg::StoreHive(), path.c_str());
    }
    if (root)
        LoadLevel(root.get(), menu, 0);
    EnsureCommandEntries(menu);
    // The tree just loaded is the stored one, as a read for a backup would find it: the backup before the first save
    // needs no second read of the store.
    if (root)
        Backups.AfterSave(menu);
    return 0;
}

CTreeStore::unique_hkey CTreeStore::CreateDefaults()
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
    return reg::OpenKey(parent.get(), store::kStoreName);
}

CTreeStore::unique_hkey CTreeStore::WriteEntry(HKEY parent, int id, int pos, DWORD type, DWORD isSpec,
                                               const wchar_t* name)
{
    unique_hkey key = reg::CreateKey(parent, std::to_wstring(id).c_str());
    // The order of the values is part of the layout.
    const bool written = key && reg::WriteDword(key.get(), L"Type", type) &&
                         reg::WriteDword(key.get(), L"IsSpec", isSpec) &&
                         reg::WriteDword(key.get(), L"ID", static_cast<DWORD>(id)) &&
                         (!name || reg::WriteString(key.get(), L"Name", name)) &&
                         reg::WriteDword(key.get(), L"Pos", static_cast<DWORD>(pos));
    return written ? std::move(key) : nullptr;
}

CTreeStore::unique_hkey CTreeStore::WriteDocument(HKEY parent, const std::wstring& path, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_DOCUMENT, 0, path.c_str());
}

CTreeStore::unique_hkey CTreeStore::WriteSpecialDocument(HKEY parent, const std::wstring& path, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_DOCUMENT, 1, path.c_str());
}

CTreeStore::unique_hkey CTreeStore::WriteSection(HKEY parent, const std::wstring& title, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_SECTION, 0, title.c_str());
}

CTreeStore::unique_hkey CTreeStore::WriteSeparator(HKEY parent, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_SEPARATOR, 0, nullptr);
}

CTreeStore::unique_hkey CTreeStore::WriteSpecialSeparator(HKEY parent, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_SEPARATOR, 1, nullptr);
}

bool CTreeStore::SaveLevel(HKEY level, const CItemVector* list)
{
    // Depth-first, a section's entries right after the section's own key, as before the work list took the place of
    // recursion; the keys of the sections on the way down stay open until their entries are written.
    std::vector<SavingLevel> path;
    path.push_back({nullptr, list, 0});
    while (!path.empty()) {
        SavingLevel& current = path.back();
        if (current.next == current.list->Items.size()) {
            path.pop_back();
            continue;
        }
        const HKEY parent = current.key ? current.key.get() : level;
        const int pos = static_cast<int>(current.next);
        const CItem* item = current.list->Items[current.next++].get();
        unique_hkey key;
        switch (item->Type) {
        case ITEM_DOCUMENT:
            key = IsBuiltin(*item) ? WriteSpecialDocument(parent, item->Path, item->ID, pos)
                                   : WriteDocument(parent, item->Path, item->ID, pos);
            // A live folder keeps its mark, and a caption of the user's own follows the values of the layout.
            if (key && item->ShowContents && !reg::WriteDword(key.get(), L"Expand", 1))
                return false;
            if (key && item->OwnCaption && !reg::WriteString(key.get(), L"Caption", item->Caption.c_str()))
                return false;
            if (key && !WriteProperties(key.get(), item->Properties))
                return false;
            if (key && !WriteLaunches(key.get(), *item))
                return false;
            break;
        case ITEM_SECTION:
            key = WriteSection(parent, item->Caption, item->ID, pos);
            break;
        case ITEM_SEPARATOR:
            key = IsBuiltin(*item) ? WriteSpecialSeparator(parent, item->ID, pos)
                                   : WriteSeparator(parent, item->ID, pos);
            break;
        default:
            continue;   // not an entry kind: nothing written, a gap in Pos
        }
        if (!key)
            return false;
        if (item->Type == ITEM_SECTION && item->Children)
            path.push_back({std::move(key), item->Children.get(), 0});
    }
    return true;
}

bool CTreeStore::ReadStored(CTodayMenu* menu)
{
    const unique_hkey tree = OpenStoredTree();
    if (!tree)
        return false;
    LoadLevel(tree.get(), menu, 0);
    EnsureCommandEntries(menu);
    return true;
}

int CTreeStore::SaveTree(CTodayMenu* menu)
{
    const unique_hkey parent = store::OpenStoreParent();
    if (!parent)
        return -1;
    // A replacement cut short is finished first; if it cannot be, the tree it left is not touched.
    const wchar_t* stored = store::SettleStore(parent.get());
    if (stored && wcscmp(stored, store::kStoreName) != 0)
        return -1;
    if (stored)
        Backups.BeforeSave([this](CTodayMenu* stored) { return ReadStored(stored); });
    const bool replaced =
        store::ReplaceStore(parent.get(), [this, menu](HKEY root) { return SaveLevel(root, &menu->Root); });
    Backups.AfterSave(replaced ? menu : nullptr);
    if (replaced)
        NameStoredKeysByIds(menu->Root);
    return replaced ? 0 : -1;
}

void CTreeStore::NameStoredKeysByIds(CItemVector& top)
{
    for (std::vector<CItemVector*> lists{&top}; !lists.empty();) {
        CItemVector* list = lists.back();
        lists.pop_back();
        for (const auto& item : list->Items) {
            item->StoredKey = std::to_wstring(item->ID);
            if (item->IsSection())
                lists.push_back(item->Children.get());
        }
    }
}

bool CTreeStore::RecordLaunch(const CItem& document)
{
    // The key's path below the tree's, from the entries' stored keys up to the top level.
    std::wstring path;
    for (const CItem* entry = &document; entry; entry = entry->Parent ? entry->Parent->Owner : nullptr) {
        if (entry->StoredKey.empty())
            return false;
        path = path.empty() ? entry->StoredKey : entry->StoredKey + L"\\" + path;
    }
    path = std::wstring(store::kParentPath) + L"\\" + store::kStoreName + L"\\" + path;
    const unique_hkey key = reg::OpenKey(reg::StoreHive(), path.c_str(), reg::kWriteRights);
    // Only the document's own key: one of its kind and path.
    if (!key || reg::ReadDword(key.get(), L"Type") != DWORD{ITEM_DOCUMENT} ||
        reg::ReadString(key.get(), L"Name") != document.Path || !WriteLaunches(key.get(), document))
        return false;
    // The stored tree is no longer the one the last save left: the next backup reads it.
    Backups.StoreChanged();
    return true;
}
