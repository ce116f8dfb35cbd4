#include "store/TreeFile.h"

#include <nlohmann/json.hpp>

#include "menu/TodayMenu.h"
#include "platform/Environment.h"
#include "platform/Files.h"

namespace store {

namespace {

// Objects keep their keys in the order written, so that a file reads kind, name, values, children.
using Json = nlohmann::ordered_json;

const char kNotAMenuFile[] = "Not a Tabula menu file: ";

std::string Utf8(const std::wstring& text)
{
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::wstring Utf16(const std::string& bytes)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(size > 0 ? size : 0, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    return text;
}

std::wstring TooLargeMessage()
{
    return Utf16(kNotAMenuFile + std::string("larger than ") + std::to_string(kMaxTreeFileBytes >> 20) + " MB");
}

// A document's optional values as the file names them: how each is read from an entry and given to one. A value
// added later is one row more.
struct DocumentValue {
    const char* name;
    bool number;   // a number, or else a text
    std::optional<EntryValue> (*read)(const CItem& item);
    void (*apply)(CTodayMenu& menu, int id, const EntryValue& value);
    size_t longest = kMaxTreeFileName;   // of a text
    bool wide = false;                   // a number of 64 bits
};

using Found = std::optional<EntryValue>;
using TextProperty = std::optional<std::wstring> DocumentProperties::*;

template <TextProperty property>
Found ReadProperty(const CItem& item)
{
    const std::optional<std::wstring>& text = item.Properties.*property;
    return text ? Found(*text) : std::nullopt;
}

template <TextProperty property>
void ApplyProperty(CTodayMenu& menu, int id, const EntryValue& value)
{
    if (const CItem* item = menu.Root.FindItem(id)) {
        DocumentProperties properties = item->Properties;
        properties.*property = std::get<std::wstring>(value);
        menu.ChangeDocument(id, item->Path, properties);
    }
}

// A window state that no document may have is left out, as a load leaves it out.
void ApplyShow(CTodayMenu& menu, int id, const EntryValue& value)
{
    const CItem* item = menu.Root.FindItem(id);
    if (!item || !IsDocumentShow(std::get<DWORD>(value)))
        return;
    DocumentProperties properties = item->Properties;
    properties.Show = std::get<DWORD>(value);
    menu.ChangeDocument(id, item->Path, properties);
}

const DocumentValue kDocumentValues[] = {
    {"Caption", false, [](const CItem& item) { return item.OwnCaption ? Found(item.Caption) : std::nullopt; },
     [](CTodayMenu& menu, int id, const EntryValue& value) { menu.RenameEntry(id, std::get<std::wstring>(value)); }},
    {"Expand", true, [](const CItem& item) { return item.ShowContents ? Found(DWORD{1}) : std::nullopt; },
     [](CTodayMenu& menu, int id, const EntryValue& value) { menu.ShowFolderContents(id, std::get<DWORD>(value) == 1); }},
    {"Args", false, ReadProperty<&DocumentProperties::Args>, ApplyProperty<&DocumentProperties::Args>,
     kMaxTreeFileLongText},
    {"StartIn", false, ReadProperty<&DocumentProperties::StartIn>, ApplyProperty<&DocumentProperties::StartIn>,
     kMaxTreeFileLongText},
    {"Show", true, [](const CItem& item) { return item.Properties.Show ? Found(*item.Properties.Show) : std::nullopt; },
     ApplyShow},
    {"Verb", false, ReadProperty<&DocumentProperties::Verb>, ApplyProperty<&DocumentProperties::Verb>},
    {"Icon", false, ReadProperty<&DocumentProperties::Icon>, ApplyProperty<&DocumentProperties::Icon>,
     kMaxTreeFileLongText},
    // Launch counts: carried with the document, shown nowhere.
    {"Launches", true, [](const CItem& item) { return item.Launches ? Found(*item.Launches) : std::nullopt; },
     [](CTodayMenu& menu, int id, const EntryValue& value) {
         if (CItem* item = menu.Root.FindItem(id))
             item->Launches = std::get<DWORD>(value);
     }},
    {"LastLaunch", true, [](const CItem& item) { return item.LastLaunch ? Found(*item.LastLaunch) : std::nullopt; },
     [](CTodayMenu& menu, int id, const EntryValue& value) {
         if (CItem* item = menu.Root.FindItem(id))
             item->LastLaunch = std::get<ULONGLONG>(value);
     },
     kMaxTreeFileName, true},
};

const struct {
    int kind;
    const char* name;
} kKinds[] = {{ITEM_DOCUMENT, "document"}, {ITEM_SECTION, "section"}, {ITEM_SEPARATOR, "separator"}};

// The id that a built-in entry keeps, told by its kind and its name; 0 for none.
int BuiltinId(const TreeFileEntry& entry)
{
    if (!entry.builtin)
        return 0;
    if (entry.kind == ITEM_SEPARATOR)
        return ID_FIRST_SEPARATOR;
    const std::pair<int, const wchar_t*> documents[] = {
        {ID_MY_DOCUMENTS, L"\\My Documents"}, {ID_CONFIGURATION, L"Configuration"}, {ID_EXIT, L"Exit"}};
    for (const auto& [id, name] : documents)
        if (entry.kind == ITEM_DOCUMENT && entry.name == name)
            return id;
    return 0;
}

Json EntryJson(const TreeFileEntry& entry)
{
    Json json = Json::object();
    for (const auto& kind : kKinds)
        if (kind.kind == entry.kind)
            json["kind"] = kind.name;
    if (entry.kind != ITEM_SEPARATOR)
        json["name"] = Utf8(entry.name);
    if (entry.builtin)
        json["builtin"] = true;
    for (const DocumentValue& value : kDocumentValues) {
        const auto found = entry.values.find(value.name);
        if (found == entry.values.end())
            continue;
        if (const auto* text = std::get_if<std::wstring>(&found->second))
            json[value.name] = Utf8(*text);
        else if (const auto* wide = std::get_if<ULONGLONG>(&found->second))
            json[value.name] = *wide;
        else
            json[value.name] = std::get<DWORD>(found->second);
    }
    if (entry.kind == ITEM_SECTION) {
        json["children"] = Json::array();
        for (const TreeFileEntry& child : entry.children)
            json["children"].push_back(EntryJson(child));
    }
    return json;
}

// Checks a parsed file whole and reads it; the first fault found is the one reported.
class Checker {
public:
    explicit Checker(std::wstring* error) : error_(error) {}

    bool File(const Json& json, TreeFile* file)
    {
        if (!json.is_object())
            return Fail("the file", MustBe("an object", json));
        DWORD version = 0, hotkey = 0;
        const Json *versionField = Required(json, "version", "the file"), *hotkeyField, *treeField;
        if (!versionField || !Number(*versionField, "version", MAXDWORD, &version))
            return false;
        if (version != kTreeFileVersion)
            return Fail("version", std::to_string(version) + " is not a version this Tabula reads (" +
                                       std::to_string(kTreeFileVersion) + ")");
        if (!(hotkeyField = Required(json, "hotkey", "the file")) || !Number(*hotkeyField, "hotkey", 0xFFFF, &hotkey))
            return false;
        file->hotkey = static_cast<WORD>(hotkey);
        return (treeField = Required(json, "tree", "the file")) && Entries(*treeField, "tree", 1, &file->tree);
    }

private:
    bool Fail(const std::string& place, const std::string& problem)
    {
        *error_ = Utf16(kNotAMenuFile + Shortened(place) + ": " + problem);
        return false;
    }

    // A place deep in the tree, cut to its first and last steps so that the message stays readable.
    static std::string Shortened(const std::string& place)
    {
        std::vector<size_t> dots;
        for (size_t i = 0; i < place.size(); ++i)
            if (place[i] == '.')
                dots.push_back(i);
        return dots.size() <= 8 ? place : place.substr(0, dots[2]) + " ... " + place.substr(dots[dots.size() - 3] + 1);
    }

    static std::string MustBe(const std::string& wanted, const Json& found)
    {
        const std::string type = found.type_name();
        const std::string article = type == "null" ? "" : type == "object" || type == "array" ? "an " : "a ";
        return "must be " + wanted + ", not " + article + type;
    }

    const Json* Required(const Json& object, const char* name, const std::string& place)
    {
        const auto found = object.find(name);
        if (found != object.end())
            return &*found;
        Fail(place, std::string("\"") + name + "\" is missing");
        return nullptr;
    }

    static const Json* Optional(const Json& object, const char* name)
    {
        const auto found = object.find(name);
        return found == object.end() ? nullptr : &*found;
    }

    bool Number(const Json& json, const std::string& place, DWORD largest, DWORD* number)
    {
        ULONGLONG wide = 0;
        if (!WideNumber(json, place, largest, &wide))
            return false;
        *number = static_cast<DWORD>(wide);
        return true;
    }

    bool WideNumber(const Json& json, const std::string& place, ULONGLONG largest, ULONGLONG* number)
    {
        if (!json.is_number_unsigned() || json.get<ULONGLONG>() > largest)
            return Fail(place, "must be a whole number from 0 to " + std::to_string(largest));
        *number = json.get<ULONGLONG>();
        return true;
    }

    bool Text(const Json& json, const std::string& place, std::wstring* text, size_t longest = kMaxTreeFileName)
    {
        if (!json.is_string())
            return Fail(place, MustBe("a string", json));
        *text = Utf16(json.get_ref<const std::string&>());
        if (text->size() > longest)
            return Fail(place, "longer than " + std::to_string(longest) + " characters");
        if (text->find(L'\0') != std::wstring::npos)
            return Fail(place, "holds a NUL character");
        return true;
    }

    bool Value(const Json& json, const std::string& place, const DocumentValue& kind, EntryValue* value)
    {
        ULONGLONG figure = 0;
        std::wstring text;
        if (kind.number ? !WideNumber(json, place, kind.wide ? ~ULONGLONG{0} : MAXDWORD, &figure)
                        : !Text(json, place, &text, kind.longest))
            return false;
        *value = !kind.number ? EntryValue(std::move(text))
                 : kind.wide  ? EntryValue(figure)
                              : EntryValue(static_cast<DWORD>(figure));
        return true;
    }

    bool Entries(const Json& json, const std::string& place, int level, std::vector<TreeFileEntry>* entries)
    {
        if (!json.is_array())
            return Fail(place, MustBe("an array", json));
        if (level > kMaxTreeFileDepth && !json.empty())
            return Fail(place, "sections nested deeper than " + std::to_string(kMaxTreeFileDepth) + " levels");
        entries->resize(json.size());
        for (size_t i = 0; i < json.size(); ++i)
            if (!Entry(json[i], place + "[" + std::to_string(i) + "]", level, &(*entries)[i]))
                return false;
        return true;
    }

    bool Entry(const Json& json, const std::string& place, int level, TreeFileEntry* entry)
    {
        if (!json.is_object())
            return Fail(place, MustBe("an object", json));
        const Json* kind = Required(json, "kind", place);
        if (!kind)
            return false;
        for (const auto& known : kKinds)
            if (kind->is_string() && kind->get_ref<const std::string&>() == known.name)
                entry->kind = known.kind;
        if (entry->kind == 0)
            return Fail(place + ".kind", "must be \"document\", \"section\" or \"separator\"");
        if (entry->kind != ITEM_SEPARATOR) {
            const Json* name = Required(json, "name", place);
            if (!name || !Text(*name, place + ".name", &entry->name))
                return false;
        }
        if (const Json* builtin = Optional(json, "builtin")) {
            if (!builtin->is_boolean())
                return Fail(place + ".builtin", MustBe("true or false", *builtin));
            entry->builtin = builtin->get<bool>();
        }
        for (const DocumentValue& value : kDocumentValues) {
            const Json* found = entry->kind == ITEM_DOCUMENT ? Optional(json, value.name) : nullptr;
            if (found && !Value(*found, place + "." + value.name, value, &entry->values[value.name]))
                return false;
        }
        return entry->kind != ITEM_SECTION || Children(json, place, level, entry);
    }

    bool Children(const Json& json, const std::string& place, int level, TreeFileEntry* entry)
    {
        const Json* children = Optional(json, "children");
        return !children || Entries(*children, place + ".children", level + 1, &entry->children);
    }

    std::wstring* error_;
};

void AppendLevel(CTodayMenu& menu, const std::vector<TreeFileEntry>& level, int sectionId)
{
    for (const TreeFileEntry& entry : level) {
        const int builtinId = BuiltinId(entry);
        const bool keepId = builtinId != 0 && !menu.Root.Ids->InUse(builtinId);
        switch (entry.kind) {
        case ITEM_DOCUMENT: {
            const int id = keepId ? menu.AppendDocumentWithID(entry.name, builtinId, sectionId)
                                  : menu.AppendDocument(entry.name, sectionId);
            for (const DocumentValue& value : kDocumentValues)
                if (const auto found = entry.values.find(value.name); id != -1 && found != entry.values.end())
                    value.apply(menu, id, found->second);
            break;
        }
        case ITEM_SECTION:
            if (const int id = menu.AppendSection(entry.name, sectionId); id != -1)
                AppendLevel(menu, entry.children, id);
            break;
        case ITEM_SEPARATOR:
            keepId ? menu.AppendSeparatorWithID(builtinId, sectionId) : menu.AppendSeparator(sectionId);
            break;
        }
    }
}

std::vector<TreeFileEntry> LevelOf(const CItemVector& list, bool profileAsVariable)
{
    std::vector<TreeFileEntry> level;
    for (const auto& item : list.Items) {
        TreeFileEntry entry;
        entry.kind = item->Type;
        entry.builtin = IsBuiltin(*item);
        if (item->Type == ITEM_DOCUMENT) {
            entry.name = profileAsVariable ? platform::WithProfileVariable(item->Path) : item->Path;
            for (const DocumentValue& value : kDocumentValues)
                if (std::optional<EntryValue> found = value.read(*item))
                    entry.values.emplace(value.name, std::move(*found));
        } else if (item->IsSection()) {
            entry.name = item->Caption;
            entry.children = LevelOf(*item->Children, profileAsVariable);
        } else if (item->Type != ITEM_SEPARATOR) {
            continue;   // not an entry kind: a save skips it too
        }
        level.push_back(std::move(entry));
    }
    return level;
}

}  // namespace

std::string FormatTreeFile(const TreeFile& file)
{
    Json json = Json::object();
    json["version"] = kTreeFileVersion;
    json["hotkey"] = file.hotkey;
    json["tree"] = Json::array();
    for (const TreeFileEntry& entry : file.tree)
        json["tree"].push_back(EntryJson(entry));
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::optional<TreeFile> ParseTreeFile(const std::string& text, std::wstring* error)
{
    if (text.size() > kMaxTreeFileBytes) {
        *error = TooLargeMessage();
        return std::nullopt;
    }
    Json json;
    try {
        json = Json::parse(text);
    } catch (const Json::parse_error& fault) {
        // "[json.exception.parse_error.101] parse error at line 3, column 5: ...": the part after the tag.
        const std::string what = fault.what();
        const size_t tag = what.find("] ");
        *error = Utf16(kNotAMenuFile + what.substr(tag == std::string::npos ? 0 : tag + 2));
        return std::nullopt;
    }
    TreeFile file;
    if (!Checker(error).File(json, &file))
        return std::nullopt;
    return file;
}

std::optional<TreeFile> ReadTreeFile(const std::wstring& path, std::wstring* error, bool* unreadable)
{
    std::string text;
    const platform::FileRead read = platform::ReadWholeFile(path, kMaxTreeFileBytes, &text);
    if (unreadable)
        *unreadable = read == platform::FileRead::Unreadable;
    if (read == platform::FileRead::Unreadable) {
        *error = L"Cannot read " + path + L".";
        return std::nullopt;
    }
    if (read == platform::FileRead::TooLarge) {
        *error = TooLargeMessage();
        return std::nullopt;
    }
    return ParseTreeFile(text, error);
}

TreeFile TreeFileOf(const CTodayMenu& menu, WORD hotkey, bool profileAsVariable)
{
    return TreeFile{hotkey, LevelOf(menu.Root, profileAsVariable)};
}

void BuildTreeFrom(CTodayMenu& menu, const TreeFile& file)
{
    menu.Clear();
    AppendLevel(menu, file.tree, 0);
    EnsureCommandEntries(&menu);
}

size_t CountEntries(const std::vector<TreeFileEntry>& level)
{
    size_t count = level.size();
    for (const TreeFileEntry& entry : level)
        count += CountEntries(entry.children);
    return count;
}

}  // namespace store
