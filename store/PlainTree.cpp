#include "store/PlainTree.h"

#include <iterator>

#include "menu/IdPool.h"
#include "menu/TodayMenu.h"

namespace store {

namespace {

// A menu command id is 16 bits wide: a kept id must fit in one.
constexpr int kLargestCommandId = 0xFFFF;

bool AnyNumber(DWORD) { return true; }
bool TakesExpand(DWORD number) { return number == 1; }

template <std::optional<std::wstring> DocumentProperties::*text>
std::optional<EntryValue> GetProperty(const DocumentValues& values)
{
    const std::optional<std::wstring>& value = values.Properties.*text;
    return value ? std::optional<EntryValue>(*value) : std::nullopt;
}

template <std::optional<std::wstring> DocumentProperties::*text>
void SetProperty(DocumentValues& values, const EntryValue& value)
{
    values.Properties.*text = std::get<std::wstring>(value);
}

const DocumentValue kDocumentValues[] = {
    {L"Caption", "Caption", ValueKind::Text, kLongestName, AnyNumber,
     [](const DocumentValues& v) { return v.Caption ? std::optional<EntryValue>(*v.Caption) : std::nullopt; },
     [](DocumentValues& v, const EntryValue& value) { v.Caption = std::get<std::wstring>(value); }},
    {L"Expand", "Expand", ValueKind::Number, 0, TakesExpand,
     [](const DocumentValues& v) { return v.Expand ? std::optional<EntryValue>(DWORD{1}) : std::nullopt; },
     [](DocumentValues& v, const EntryValue&) { v.Expand = true; }},
    {L"Args", "Args", ValueKind::Text, kLongestText, AnyNumber, GetProperty<&DocumentProperties::Args>,
     SetProperty<&DocumentProperties::Args>},
    {L"StartIn", "StartIn", ValueKind::Text, kLongestText, AnyNumber, GetProperty<&DocumentProperties::StartIn>,
     SetProperty<&DocumentProperties::StartIn>},
    {L"Show", "Show", ValueKind::Number, 0, IsDocumentShow,
     [](const DocumentValues& v) {
         return v.Properties.Show ? std::optional<EntryValue>(*v.Properties.Show) : std::nullopt;
     },
     [](DocumentValues& v, const EntryValue& value) { v.Properties.Show = std::get<DWORD>(value); }},
    {L"Verb", "Verb", ValueKind::Text, kLongestName, AnyNumber, GetProperty<&DocumentProperties::Verb>,
     SetProperty<&DocumentProperties::Verb>},
    {L"Icon", "Icon", ValueKind::Text, kLongestText, AnyNumber, GetProperty<&DocumentProperties::Icon>,
     SetProperty<&DocumentProperties::Icon>},
    // Launch counts: carried with the document, shown nowhere.
    {L"Launches", "Launches", ValueKind::Number, 0, AnyNumber,
     [](const DocumentValues& v) { return v.Launches ? std::optional<EntryValue>(*v.Launches) : std::nullopt; },
     [](DocumentValues& v, const EntryValue& value) { v.Launches = std::get<DWORD>(value); }},
    {L"LastLaunch", "LastLaunch", ValueKind::Wide, 0, AnyNumber,
     [](const DocumentValues& v) { return v.LastLaunch ? std::optional<EntryValue>(*v.LastLaunch) : std::nullopt; },
     [](DocumentValues& v, const EntryValue& value) { v.LastLaunch = std::get<ULONGLONG>(value); }},
};

// The id an entry keeps, or -1 for a fresh one.
int KeptId(const PlainEntry& entry, const CIdPool& ids)
{
    if (entry.keep <= 0 || entry.keep > kLargestCommandId || entry.kind == ITEM_SECTION)
        return -1;
    if ((entry.keep == ID_CONFIGURATION || entry.keep == ID_EXIT) && entry.kind != ITEM_DOCUMENT)
        return -1;
    return ids.InUse(entry.keep) ? -1 : entry.keep;
}

}  // namespace

DocumentValueList DocumentValueTable() { return {kDocumentValues, std::size(kDocumentValues)}; }

bool IsBuiltinEntry(int kind, int id)
{
    return (kind == ITEM_DOCUMENT && id >= ID_MY_DOCUMENTS && id <= ID_EXIT) ||
           (kind == ITEM_SEPARATOR && id == ID_FIRST_SEPARATOR);
}

PlainTree SnapshotOf(const CTodayMenu& menu)
{
    PlainTree tree;
    tree.reserve(menu.Root.Ids->Count());
    ForEachEntry(menu.Root, [&tree](const CItem& item, int level) {
        if (item.Type != ITEM_DOCUMENT && item.Type != ITEM_SECTION && item.Type != ITEM_SEPARATOR)
            return;   // not an entry kind: never stored
        PlainEntry entry;
        entry.kind = item.Type;
        entry.level = level;
        entry.id = item.ID;
        entry.keep = IsBuiltin(item) ? item.ID : 0;
        if (item.Type == ITEM_DOCUMENT) {
            entry.name = item.Path;
            if (item.OwnCaption)
                entry.values.Caption = item.Caption;
            entry.values.Expand = item.ShowContents;
            entry.values.Properties = item.Properties;
            entry.values.Launches = item.Launches;
            entry.values.LastLaunch = item.LastLaunch;
        } else if (item.Type == ITEM_SECTION) {
            entry.name = item.Caption;
        }
        tree.push_back(std::move(entry));
    });
    return tree;
}

void NumberEntries(PlainTree& tree)
{
    CIdPool ids;
    // Below an entry that got no id, nothing is numbered: it has no list to go to.
    int without = -1;   // the level of the entry left out, or -1
    for (PlainEntry& entry : tree) {
        if (without >= 0 && entry.level > without) {
            entry.id = 0;
            continue;
        }
        without = -1;
        const int kept = KeptId(entry, ids);
        entry.id = kept > 0 ? kept : ids.Smallest();
        if (entry.id > 0)
            ids.Use(entry.id);
        else
            entry.id = 0, without = entry.level;
    }
    for (const auto& [id, name] : {std::pair{ID_CONFIGURATION, L"Configuration"}, std::pair{ID_EXIT, L"Exit"}})
        if (!ids.InUse(id)) {
            PlainEntry command;
            command.kind = ITEM_DOCUMENT, command.name = name, command.keep = id, command.id = id;
            ids.Use(id);
            tree.push_back(std::move(command));
        }
}

size_t FreshIdCount() { return CIdPool::LastFreeId - CIdPool::FirstFreeId + 1; }

size_t FreshIdsNeeded(const PlainTree& tree)
{
    CIdPool ids;
    size_t fresh = 0;
    for (const PlainEntry& entry : tree) {
        const int kept = KeptId(entry, ids);
        if (kept > 0)
            ids.Use(kept);
        else
            ++fresh;
    }
    return fresh;
}

ULONGLONG ContentDigest(const PlainTree& tree, Hotkey hotkey)
{
    // FNV-1a over each fact of the file in turn, each text ended by a character no text holds.
    ULONGLONG digest = 14695981039346656037ULL;
    const auto add = [&digest](ULONGLONG value) {
        for (int byte = 0; byte < 8; ++byte, value >>= 8)
            digest = (digest ^ (value & 0xFF)) * 1099511628211ULL;
    };
    const auto addText = [&add](const std::wstring& text) {
        for (const wchar_t c : text)
            add(c);
        add(0x10000);
    };
    add(hotkey.Value());
    for (const PlainEntry& entry : tree) {
        add(static_cast<ULONGLONG>(entry.kind));
        add(static_cast<ULONGLONG>(entry.level));
        add(IsBuiltinEntry(entry.kind, entry.id ? entry.id : entry.keep));
        if (entry.kind == ITEM_SEPARATOR)
            continue;
        addText(entry.name);
        if (entry.kind != ITEM_DOCUMENT)
            continue;
        for (const DocumentValue& kind : DocumentValueTable()) {
            const std::optional<EntryValue> value = kind.get(entry.values);
            add(value.has_value());
            if (!value)
                continue;
            if (const auto* text = std::get_if<std::wstring>(&*value))
                addText(*text);
            else
                add(kind.kind == ValueKind::Wide ? std::get<ULONGLONG>(*value) : std::get<DWORD>(*value));
        }
    }
    return digest;
}

void BuildMenu(CTodayMenu& menu, const PlainTree& tree)
{
    menu.RemoveAll();
    // The list of each level on the way down; an entry without an id, or below one, has none.
    std::vector<CItemVector*> lists{&menu.Root};
    for (const PlainEntry& entry : tree) {
        if (entry.id <= 0 || entry.level < 0 || static_cast<size_t>(entry.level) >= lists.size())
            continue;
        lists.resize(static_cast<size_t>(entry.level) + 1);
        const DocumentValues& values = entry.values;
        CItem* item = menu.Append(*lists.back(), {entry.kind, entry.id, &entry.name,
                                                  values.Caption ? &*values.Caption : nullptr, values.Expand,
                                                  &values.Properties});
        if (!item)
            continue;
        item->Launches = values.Launches;
        item->LastLaunch = values.LastLaunch;
        // Until the next write names every key by its entry's id, the entry is stored under the key it was read from.
        item->StoredKey = entry.key;
        if (item->IsSection())
            lists.push_back(item->Children.get());
    }
    menu.ShowAllSectionStates();
}

}  // namespace store
