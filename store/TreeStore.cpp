// Loading and saving the tree in its stored layout (TreeStore.h), with a work list of the levels on the way down in
// place of recursion: a stored tree of any depth loads whole and is stored again whole.
#include "store/TreeStore.h"

#include <map>
#include <vector>

#include "menu/TodayMenu.h"
#include "store/FileHome.h"
#include "store/Options.h"
#include "store/StoreKeys.h"

namespace {

namespace reg = platform::reg;
using handles::unique_hkey;

// A menu command id is 16 bits wide: a kept id must fit in one.
constexpr DWORD kLargestCommandId = 0xFFFF;
// Records without a usable "Pos" come after every stored Pos.
constexpr ULONGLONG kNoPos = 0x100000000ULL;
// The values every entry key has: Type, IsSpec, ID, Pos and (but a separator) Name.
constexpr DWORD kLayoutValues = 5;

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

// One entry key of a level, as read while that level is loaded.
struct StoredEntry {
    store::PlainEntry entry;
    std::wstring key;    // the entry key's own name: a section's entries are below it
    ULONGLONG order;     // its Pos, or kNoPos
};

// A document's optional values, as the list of store/PlainTree.h names them; one of another type, or a number the value
// does not take, is left out.
void ReadValues(HKEY key, store::DocumentValues& values)
{
    for (const store::DocumentValue& kind : store::DocumentValueTable()) {
        if (kind.kind == store::ValueKind::Number) {
            const std::optional<DWORD> number = reg::ReadDword(key, kind.name);
            if (number && kind.takes(*number))
                kind.set(values, *number);
        } else if (kind.kind == store::ValueKind::Wide) {
            if (const std::optional<ULONGLONG> number = reg::ReadQword(key, kind.name))
                kind.set(values, *number);
        } else if (std::optional<std::wstring> text = reg::ReadString(key, kind.name)) {
            kind.set(values, std::move(*text));
        }
    }
}

// Reading one entry key. A record needs a "Type" that is a 4-byte REG_DWORD of an entry kind, or it is skipped
// (with the subtree of a section). The other values may be missing or unusable:
//   "IsSpec" -> 0, the entry is an ordinary one and gets a fresh id;
//   "ID"     -> the id that the key name spells, or none (a fresh id);
//   "Pos"    -> the record follows every record that has one, in enumeration order;
//   "Name"   -> empty;
//   a document's optional values -> it shows and opens as it does without them.
std::optional<StoredEntry> ReadEntry(HKEY level, const std::wstring& keyName, int depth)
{
    const unique_hkey key = reg::OpenKey(level, keyName.c_str());
    const std::optional<DWORD> type = key ? reg::ReadDword(key.get(), L"Type") : std::nullopt;
    // A kind that no entry has is passed over, as an entry without a Type is.
    if (!type || (*type != ITEM_DOCUMENT && *type != ITEM_SECTION && *type != ITEM_SEPARATOR))
        return std::nullopt;
    const std::optional<DWORD> pos = reg::ReadDword(key.get(), L"Pos");
    const std::optional<DWORD> isSpec = reg::ReadDword(key.get(), L"IsSpec"), id = reg::ReadDword(key.get(), L"ID");
    const std::optional<std::wstring> name = reg::ReadString(key.get(), L"Name");
    StoredEntry stored{{}, keyName, pos ? *pos : kNoPos};
    store::PlainEntry& entry = stored.entry;
    entry.kind = static_cast<int>(*type);
    entry.level = depth;
    entry.name = name.value_or(L"");
    entry.key = keyName;
    const DWORD storedId = id.value_or(IdFromKeyName(keyName.c_str()));
    entry.keep = isSpec.value_or(0) != 0 && storedId <= kLargestCommandId ? static_cast<int>(storedId) : 0;
    // Each value looked for costs the load a call of the registry, and most documents have none of their optional
    // values: they are looked for only where the key holds more values than those read.
    const DWORD read = 1 + pos.has_value() + isSpec.has_value() + id.has_value() + name.has_value();
    if (*type == ITEM_DOCUMENT && reg::ValueCount(key.get()).value_or(MAXDWORD) > read)
        ReadValues(key.get(), entry.values);
    return stored;
}

// Every entry key of a level, read and closed before the next level is read, in Pos order.
std::vector<StoredEntry> ReadLevel(HKEY level, int depth)
{
    // Records of equal Pos all stay, in enumeration order, so that the next save keeps them all.
    std::multimap<ULONGLONG, StoredEntry> records;
    for (const std::wstring& name : reg::Subkeys(level))
        if (std::optional<StoredEntry> entry = ReadEntry(level, name, depth))
            records.emplace(entry->order, std::move(*entry));
    std::vector<StoredEntry> entries;
    entries.reserve(records.size());
    for (auto& record : records)
        entries.push_back(std::move(record.second));
    return entries;
}

bool WriteValue(HKEY key, const store::DocumentValue& kind, const store::EntryValue& value)
{
    switch (kind.kind) {
    case store::ValueKind::Number: return reg::WriteDword(key, kind.name, std::get<DWORD>(value));
    case store::ValueKind::Wide: return reg::WriteQword(key, kind.name, std::get<ULONGLONG>(value));
    default: return reg::WriteString(key, kind.name, std::get<std::wstring>(value).c_str());
    }
}

// Writes a document's optional values that are set, in the list's order; false when one could not be written.
bool WriteValues(HKEY key, const store::DocumentValues& values)
{
    for (const store::DocumentValue& kind : store::DocumentValueTable()) {
        const std::optional<store::EntryValue> value = kind.get(values);
        if (!value)
            continue;
        if (!WriteValue(key, kind, *value))
            return false;
    }
    return true;
}

// A level on the way down while it is read: its records, the next one to take, and the key its sections' entries are
// below.
struct LoadingLevel {
    unique_hkey key;   // none for the level the load starts at
    std::vector<StoredEntry> entries;
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


store::PlainTree CTreeStore::ReadLevels(HKEY level)
{
    // Depth first, each level in Pos order, as the fresh ids have always been handed out.
    store::PlainTree tree;
    std::vector<LoadingLevel> path;
    path.push_back({nullptr, ReadLevel(level, 0), 0});
    while (!path.empty()) {
        LoadingLevel& current = path.back();
        if (current.next == current.entries.size()) {
            path.pop_back();
            continue;
        }
        StoredEntry& stored = current.entries[current.next++];
        const bool section = stored.entry.kind == ITEM_SECTION;
        const int depth = stored.entry.level;
        // The entries of a section are below the key that the section's record came from.
        const HKEY parent = current.key ? current.key.get() : level;
        unique_hkey children = section ? reg::OpenKey(parent, stored.key.c_str()) : nullptr;
        tree.push_back(std::move(stored.entry));
        if (children) {
            std::vector<StoredEntry> entries = ReadLevel(children.get(), depth + 1);
            path.push_back({std::move(children), std::move(entries), 0});
        }
    }
    return tree;
}

void CTreeStore::UseHome(std::shared_ptr<store::CFileHome> home)
{
    store::KeepOptionsIn(home);
    Remember(std::nullopt, {});
    std::lock_guard<std::mutex> held(homeLock_);
    home_ = std::move(home);
}

std::shared_ptr<store::CFileHome> CTreeStore::FileHome() const
{
    std::lock_guard<std::mutex> held(homeLock_);
    return home_;
}

std::wstring CTreeStore::Where() const
{
    if (const std::shared_ptr<store::CFileHome> home = FileHome())
        return home->Path();
    return std::wstring(reg::StoreHive() == HKEY_LOCAL_MACHINE ? L"HKEY_LOCAL_MACHINE\\" : L"HKEY_CURRENT_USER\\") +
           store::kParentPath + L"\\" + store::kStoreName;
}

int CTreeStore::LoadTree(CTodayMenu* menu)
{
    if (const std::shared_ptr<store::CFileHome> home = FileHome()) {
        store::BuildMenu(*menu, home->Load());
        return 0;
    }
    store::PlainTree tree;
    std::optional<reg::KeyWatch> watch;
    {
        const store::StoreLock lock;
        const unique_hkey parent = store::OpenStoreParent();
        unique_hkey root;
        if (parent) {
            const wchar_t* source = store::SettleStore(parent.get());
            // Defaults only where no tree is stored: a stored tree that cannot be read is not replaced.
            root = source ? reg::OpenKey(parent.get(), source) : CreateDefaults();
            // Watched from before it is read: a change while it is read is one since.
            if (root && (!source || wcscmp(source, store::kStoreName) == 0))
                watch.emplace(parent.get(), store::kStoreName);
        } else {
            const std::wstring path = std::wstring(store::kParentPath) + L"\\" + store::kStoreName;
            root = reg::OpenKey(reg::StoreHive(), path.c_str());
        }
        if (root)
            tree = ReadLevels(root.get());
    }
    store::NumberEntries(tree);
    store::BuildMenu(*menu, tree);
    Remember(std::move(watch), std::move(tree));
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

bool CTreeStore::SaveLevels(HKEY level, const store::PlainTree& tree, store::PlainTree* written)
{
    // The keys of the sections on the way down stay open until their entries are written; each level counts its own
    // places.
    struct SavingLevel {
        unique_hkey key;   // none for the level the save starts at
        int next;          // the place of the level's next entry
    };
    std::vector<SavingLevel> path;
    path.push_back({nullptr, 0});
    for (const store::PlainEntry& entry : tree) {
        if (entry.id <= 0 || entry.level < 0 || static_cast<size_t>(entry.level) >= path.size())
            continue;   // no id, or below an entry that has none: not part of the menu
        path.resize(static_cast<size_t>(entry.level) + 1);
        SavingLevel& current = path.back();
        const HKEY parent = current.key ? current.key.get() : level;
        const int pos = current.next++;
        const bool builtin = store::IsBuiltinEntry(entry.kind, entry.id);
        unique_hkey key;
        switch (entry.kind) {
        case ITEM_DOCUMENT:
            key = builtin ? WriteSpecialDocument(parent, entry.name, entry.id, pos)
                          : WriteDocument(parent, entry.name, entry.id, pos);
            if (key && !WriteValues(key.get(), entry.values))
                return false;
            break;
        case ITEM_SECTION:
            key = WriteSection(parent, entry.name, entry.id, pos);
            break;
        case ITEM_SEPARATOR:
            key = builtin ? WriteSpecialSeparator(parent, entry.id, pos) : WriteSeparator(parent, entry.id, pos);
            break;
        default:
            --current.next;   // not an entry kind: nothing written
            continue;
        }
        if (!key)
            return false;
        if (written) {
            written->push_back(entry);
            written->back().key = std::to_wstring(entry.id);
            written->back().keep = builtin ? entry.id : 0;
            written->back().id = 0;
        }
        if (entry.kind == ITEM_SECTION)
            path.push_back({std::move(key), 0});
    }
    return true;
}

std::optional<store::PlainTree> CTreeStore::ReadStored()
{
    if (const std::shared_ptr<store::CFileHome> home = FileHome())
        return home->ReadStored();
    if (const std::shared_ptr<const Known> known = Remembered())
        return known->tree;
    const store::StoreLock lock;
    const unique_hkey tree = OpenStoredTree();
    if (!tree)
        return std::nullopt;
    store::PlainTree read = ReadLevels(tree.get());
    store::NumberEntries(read);
    return read;
}

bool CTreeStore::WriteLaunch(const std::vector<std::wstring>& keys, const std::wstring& path,
                             std::optional<DWORD> launches, std::optional<ULONGLONG> lastLaunch)
{
    if (const std::shared_ptr<store::CFileHome> home = FileHome()) {
        // A file home names each key by its entry's id.
        std::vector<int> ids;
        for (const std::wstring& key : keys)
            ids.push_back(static_cast<int>(IdFromKeyName(key.c_str())));
        return home->WriteLaunch(ids, path, launches, lastLaunch);
    }
    const store::StoreLock lock;
    std::wstring where = std::wstring(store::kParentPath) + L"\\" + store::kStoreName;
    for (const std::wstring& key : keys)
        where += L"\\" + key;
    const unique_hkey key = reg::OpenKey(reg::StoreHive(), where.c_str(), reg::kWriteRights);
    // Only the document's own key: one of its kind and path.
    if (!key || reg::ReadDword(key.get(), L"Type") != DWORD{ITEM_DOCUMENT} || reg::ReadString(key.get(), L"Name") != path)
        return false;
    return (!launches || reg::WriteDword(key.get(), L"Launches", *launches)) &&
           (!lastLaunch || reg::WriteQword(key.get(), L"LastLaunch", *lastLaunch));
}

int CTreeStore::SaveTree(CTodayMenu* menu) { return StoreTree(store::SnapshotOf(*menu)) ? 0 : -1; }

bool CTreeStore::StoreTree(const store::PlainTree& tree, const std::function<bool()>& ready)
{
    if (const std::shared_ptr<store::CFileHome> home = FileHome())
        return home->Store(tree, ready);
    const store::StoreLock lock;
    const unique_hkey parent = store::OpenStoreParent();
    if (!parent)
        return false;
    // A replacement cut short is finished first; if it cannot be, the tree it left is not touched.
    const wchar_t* stored = store::SettleStore(parent.get());
    if (stored && wcscmp(stored, store::kStoreName) != 0)
        return false;
    store::PlainTree written;
    const bool replaced = store::ReplaceStore(
        parent.get(), [&](HKEY root) { return written.clear(), SaveLevels(root, tree, &written); }, ready);
    // Watched from the moment it is in place, with the store still held, so that no other copy of the program comes
    // between; another program could, in that moment or while the tree is written, and its change would go unseen.
    std::optional<reg::KeyWatch> watch;
    if (replaced) {
        watch.emplace(parent.get(), store::kStoreName);
        store::NumberEntries(written);
    }
    Remember(std::move(watch), std::move(written));
    return replaced;
}

void CTreeStore::Remember(std::optional<platform::reg::KeyWatch> watch, store::PlainTree tree)
{
    std::shared_ptr<const Known> known;
    if (watch && !watch->Changed())
        known = std::make_shared<const Known>(Known{std::move(tree), std::move(*watch)});
    std::lock_guard<std::mutex> held(knownLock_);
    known_ = std::move(known);
}

std::shared_ptr<const CTreeStore::Known> CTreeStore::Remembered() const
{
    std::lock_guard<std::mutex> held(knownLock_);
    return known_ && !known_->watch.Changed() ? known_ : nullptr;
}
