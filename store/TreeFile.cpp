#include "store/TreeFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>

#include "platform/Environment.h"
#include "platform/Files.h"

namespace store {

namespace {

using Json = nlohmann::json;

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

const struct {
    int kind;
    const char* name;
} kKinds[] = {{ITEM_DOCUMENT, "document"}, {ITEM_SECTION, "section"}, {ITEM_SEPARATOR, "separator"}};

// The id that a built-in entry keeps, told by its kind and its name; 0 for none.
int BuiltinId(int kind, const std::wstring& name)
{
    if (kind == ITEM_SEPARATOR)
        return ID_FIRST_SEPARATOR;
    const std::pair<int, const wchar_t*> documents[] = {
        {ID_MY_DOCUMENTS, L"\\My Documents"}, {ID_CONFIGURATION, L"Configuration"}, {ID_EXIT, L"Exit"}};
    for (const auto& [id, builtin] : documents)
        if (kind == ITEM_DOCUMENT && name == builtin)
            return id;
    return 0;
}

// Writing: the layout of a JSON text indented by two spaces a level, written entry by entry from the flat tree, the
// texts escaped by the JSON library.
class Writer {
public:
    std::string Text(const TreeFile& file)
    {
        out_ = "{\n  \"version\": " + std::to_string(kTreeFileVersion) + ",\n  \"hotkey\": " +
               std::to_string(file.hotkey.Value()) + ",";
        if (!file.options.empty()) {
            out_ += "\n  \"options\": ";
            Numbers(file.options, [](DWORD value) { return std::optional<ULONGLONG>(value); });
            out_ += ",";
        }
        out_ += "\n  \"tree\": [";
        open_.push_back({2, true});
        for (const PlainEntry& entry : file.tree) {
            while (open_.size() > static_cast<size_t>(entry.level) + 1 && open_.size() > 1)
                CloseSection();
            if (open_.size() < static_cast<size_t>(entry.level) + 1)
                continue;   // below no section: not part of the tree
            Entry(entry);
        }
        while (open_.size() > 1)
            CloseSection();
        CloseArray();
        out_ += "\n}\n";
        return std::move(out_);
    }

private:
    struct Array {
        int indent;   // of the member that holds the array
        bool empty;
    };

    void Indent(int spaces) { out_.append(static_cast<size_t>(spaces), ' '); }

    // An object of numbers on one line, by name: those that number gives.
    template <typename Named, typename Number>
    void Numbers(const std::vector<Named>& named, Number number)
    {
        out_ += "{";
        bool first = true;
        for (const auto& each : named) {
            const std::optional<ULONGLONG> value = number(each.second);
            if (!value)
                continue;
            out_ += first ? "" : ", ";
            first = false;
            Quoted(Utf8(each.first));
            out_ += ": " + std::to_string(*value);
        }
        out_ += "}";
    }

    // A shared file's counts by machine: launches, then the last launch, each only where some machine has one.
    void MachineCounts(int indent, const std::vector<MachineLaunches>& machines)
    {
        std::vector<std::pair<std::wstring, const MachineLaunches*>> named;
        for (const MachineLaunches& machine : machines)
            named.emplace_back(machine.machine, &machine);
        const auto any = [&machines](auto has) { return std::any_of(machines.begin(), machines.end(), has); };
        if (any([](const MachineLaunches& m) { return m.launches.has_value(); })) {
            Member(indent, "LaunchesOn", false);
            Numbers(named, [](const MachineLaunches* m) {
                return m->launches ? std::optional<ULONGLONG>(*m->launches) : std::nullopt;
            });
        }
        if (any([](const MachineLaunches& m) { return m.lastLaunch.has_value(); })) {
            Member(indent, "LastLaunchOn", false);
            Numbers(named, [](const MachineLaunches* m) { return m->lastLaunch; });
        }
    }
    void Quoted(const std::string& text) { out_ += Json(text).dump(-1, ' ', false, Json::error_handler_t::replace); }
    void Member(int indent, const char* key, bool first)
    {
        out_ += first ? "\n" : ",\n";
        Indent(indent);
        Quoted(key);
        out_ += ": ";
    }

    // Opens an element of the innermost array; the indent of its members.
    int Element()
    {
        Array& array = open_.back();
        out_ += array.empty ? "\n" : ",\n";
        array.empty = false;
        Indent(array.indent + 2);
        out_ += "{";
        return array.indent + 4;
    }

    void CloseArray()
    {
        const Array array = open_.back();
        open_.pop_back();
        if (!array.empty) {
            out_ += "\n";
            Indent(array.indent);
        }
        out_ += "]";
    }

    void CloseSection()
    {
        const int indent = open_.back().indent;
        CloseArray();
        out_ += "\n";
        Indent(indent - 2);
        out_ += "}";
    }

    void Entry(const PlainEntry& entry)
    {
        const int indent = Element();
        Member(indent, "kind", true);
        for (const auto& kind : kKinds)
            if (kind.kind == entry.kind)
                Quoted(kind.name);
        if (entry.kind != ITEM_SEPARATOR) {
            Member(indent, "name", false);
            Quoted(Utf8(entry.name));
        }
        if (IsBuiltinEntry(entry.kind, entry.id ? entry.id : entry.keep)) {
            Member(indent, "builtin", false);
            out_ += "true";
        }
        for (const DocumentValue& kind : DocumentValueTable()) {
            const std::optional<EntryValue> value = entry.kind == ITEM_DOCUMENT ? kind.get(entry.values) : std::nullopt;
            if (!value)
                continue;
            Member(indent, kind.key, false);
            if (const auto* text = std::get_if<std::wstring>(&*value))
                Quoted(Utf8(*text));
            else
                out_ += value->index() == 1 ? std::to_string(std::get<DWORD>(*value))
                                            : std::to_string(std::get<ULONGLONG>(*value));
        }
        if (entry.kind == ITEM_DOCUMENT)
            MachineCounts(indent, entry.values.machines);
        if (entry.kind == ITEM_SECTION) {
            Member(indent, "children", false);
            out_ += "[";
            open_.push_back({indent, true});
            return;
        }
        out_ += "\n";
        Indent(indent - 2);
        out_ += "}";
    }

    std::string out_;
    std::vector<Array> open_;
};

// A JSON value as the reading pass keeps it until its object ends: its type, and a text or a number.
struct Raw {
    enum Type { Absent, Null, Boolean, Number, Unsigned, Text, Object, Array } type = Absent;
    std::string text;
    ULONGLONG number = 0;
    bool flag = false;

    bool present() const { return type != Absent; }
    std::string TypeName() const
    {
        static const char* const names[] = {"", "null", "boolean", "number", "number", "string", "object", "array"};
        return names[type];
    }
};

// Reading: one pass over the text (the JSON library's SAX reader) that checks each value as it comes and builds the
// flat tree. Nothing is kept of keys it does not know; an entry's own values are kept only until its object ends.
class Reader : public nlohmann::json_sax<Json> {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    std::optional<TreeFile> Read(std::wstring* error)
    {
        bool read = false;
        try {
            read = Json::sax_parse(text_, this);
        } catch (const std::exception& fault) {
            // Only the library's own faults or a lack of memory reach here: a file that cannot be read as a menu.
            if (error_.empty())
                Fail(Place(), fault.what());
        }
        if (!read || !error_.empty()) {
            *error = Utf16(kNotAMenuFile + (error_.empty() ? std::string("cannot be read") : error_));
            return std::nullopt;
        }
        return std::move(file_);
    }

    bool null() override { return Scalar({Raw::Null}); }
    bool boolean(bool value) override { return Scalar({Raw::Boolean, {}, 0, value}); }
    bool number_integer(number_integer_t value) override
    {
        return Scalar(value < 0 ? Raw{Raw::Number} : Raw{Raw::Unsigned, {}, static_cast<ULONGLONG>(value)});
    }
    bool number_unsigned(number_unsigned_t value) override { return Scalar({Raw::Unsigned, {}, value}); }
    bool number_float(number_float_t, const string_t&) override { return Scalar({Raw::Number}); }
    bool string(string_t& value) override { return Scalar({Raw::Text, std::move(value)}); }
    bool binary(binary_t&) override { return Scalar({Raw::Null}); }   // a JSON text holds none

    bool start_object(std::size_t) override
    {
        if (stack_.empty())
            return Push({Frame::File, "the file"});
        Frame& top = stack_.back();
        if (top.kind == Frame::Skip)
            return ++top.skipped, true;
        if (top.kind == Frame::Entries)
            return StartEntry();
        if (top.kind == Frame::Named)
            return Fail(top.place + "." + top.pending, MustBe("a whole number", "object"));
        const Frame::Names names = NamesOf(top);
        if (names != Frame::NoNames) {
            const std::string place = top.kind == Frame::File ? top.pending : top.place + "." + top.pending;
            if (!Seen(top, top.pending))
                return false;
            Frame named{Frame::Named, place};
            named.names = names;
            return Push(std::move(named));
        }
        return Compound(Raw::Object);
    }

    bool end_object() override
    {
        Frame& top = stack_.back();
        if (top.kind == Frame::Skip)
            return Unskip();
        if (top.kind == Frame::Named)
            return stack_.pop_back(), true;
        const bool done = top.kind == Frame::File ? EndFile() : EndEntry();
        stack_.pop_back();
        return done;
    }

    bool start_array(std::size_t) override
    {
        if (stack_.empty())
            return Fail("the file", MustBe("an object", "array"));
        Frame& top = stack_.back();
        if (top.kind == Frame::Skip)
            return ++top.skipped, true;
        if (top.kind == Frame::Entries)
            return Fail(top.place + "[" + std::to_string(top.count) + "]", MustBe("an object", "array"));
        if (top.kind == Frame::Named)
            return Fail(top.place + "." + top.pending, MustBe("a whole number", "array"));
        if (top.kind == Frame::File && top.pending == "tree")
            return Seen(top, "tree") && Push({Frame::Entries, "tree", 1});
        if (top.kind == Frame::Entry && top.pending == "children")
            return Children();
        return Compound(Raw::Array);
    }

    bool end_array() override
    {
        Frame& top = stack_.back();
        if (top.kind == Frame::Skip)
            return Unskip();
        stack_.pop_back();
        return true;
    }

    bool key(string_t& name) override
    {
        Frame& top = stack_.back();
        if (top.kind != Frame::Skip)
            top.pending = std::move(name);
        return true;
    }

    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& fault) override
    {
        // "[json.exception.parse_error.101] parse error at line 3, column 5: ...": the part after the tag. A number too
        // large for the library ("number overflow") names no line: the place and the line are added.
        const std::string what = fault.what();
        const size_t tag = what.find("] ");
        const std::string problem = what.substr(tag == std::string::npos ? 0 : tag + 2);
        if (problem.rfind("parse error", 0) == 0)
            return Fail({}, problem);
        return Fail(Place(), problem + " at " + LineAndColumn(position));
    }

private:
    // What is being read: the file's object, an array of entries, an entry, or a value of a key it does not know.
    struct Frame {
        // Named: an object of numbers by name, the file's options or a document's counts by machine.
        enum Kind { File, Entries, Entry, Skip, Named } kind;
        std::string place;     // "the file", "tree", "tree[3]", "tree[3].children"
        int level = 0;         // an array of entries: the level of the tree it holds, 1 for the top one
        size_t count = 0;      // an array of entries: its elements so far
        std::string pending;   // the key whose value comes next
        size_t skipped = 0;    // a skipped value: its nesting still open
        // An entry: where it stands in the tree, and its values as read.
        size_t index = 0;
        size_t childrenFrom = 0;   // where its children start in the tree, once they came
        bool childrenChecked = false;
        std::array<Raw, 3> own;    // kind, name, builtin
        std::vector<Raw> values;   // by the rows of the document values' list
        Raw children;
        Raw version, hotkey, tree;   // the file's
        // The file's options, and a document's counts by machine, as read; which of them a Named frame reads.
        Raw options, launchesOn, lastLaunchOn;
        std::vector<std::pair<std::wstring, DWORD>> optionValues;
        std::vector<MachineLaunches> machines;
        enum Names { NoNames, Options, LaunchesOn, LastLaunchOn } names = NoNames;
    };
    enum Own { kKind, kName, kBuiltin };

    bool Push(Frame frame)
    {
        stack_.push_back(std::move(frame));
        return true;
    }

    bool Fail(const std::string& place, const std::string& problem)
    {
        if (error_.empty())
            error_ = (place.empty() ? std::string() : Shortened(place) + ": ") + problem;
        return false;
    }

    // The place of the value being read, for a fault that the library finds in it: within a value of a key it does not
    // know, that key's.
    std::string Place() const
    {
        auto frame = stack_.rbegin();
        while (frame != stack_.rend() && frame->kind == Frame::Skip)
            ++frame;
        if (frame == stack_.rend())
            return "the file";
        if (frame->kind == Frame::File)
            return frame->pending.empty() ? frame->place : frame->pending;
        if (frame->kind == Frame::Entry)
            return frame->pending.empty() ? frame->place : frame->place + "." + frame->pending;
        return frame->place;
    }

    std::string LineAndColumn(size_t position) const
    {
        position = std::min(position, text_.size());
        const size_t line = 1 + static_cast<size_t>(std::count(text_.begin(), text_.begin() + position, '\n'));
        const size_t lineStart = text_.rfind('\n', position ? position - 1 : 0);
        const size_t column = position - (lineStart == std::string::npos || position == 0 ? 0 : lineStart + 1);
        return "line " + std::to_string(line) + ", column " + std::to_string(column);
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

    static std::string MustBe(const std::string& wanted, const std::string& type)
    {
        const std::string article = type == "null" ? "" : type == "object" || type == "array" ? "an " : "a ";
        return "must be " + wanted + ", not " + article + type;
    }

    // A key given twice would leave which of its values counts to the reader's choice: the file is refused.
    bool Seen(Frame& frame, const std::string& key)
    {
        Raw* raw = frame.kind == Frame::File ? (key == "version"  ? &frame.version
                                                : key == "hotkey" ? &frame.hotkey
                                                : key == "options" ? &frame.options
                                                                   : &frame.tree)
                                             : FieldOf(frame, key);
        if (raw && raw->present())
            return Fail(frame.place, "\"" + key + "\" is given twice");
        if (raw)
            raw->type = Raw::Object;   // marked as seen; its value follows
        return true;
    }

    // The entry's slot for a key it knows, or null.
    Raw* FieldOf(Frame& entry, const std::string& key)
    {
        static const char* const own[] = {"kind", "name", "builtin"};
        for (size_t i = 0; i < 3; ++i)
            if (key == own[i])
                return &entry.own[i];
        if (key == "children")
            return &entry.children;
        if (key == "LaunchesOn")
            return &entry.launchesOn;
        if (key == "LastLaunchOn")
            return &entry.lastLaunchOn;
        size_t row = 0;
        for (const DocumentValue& value : DocumentValueTable()) {
            if (key == value.key)
                return &entry.values[row];
            ++row;
        }
        return nullptr;
    }

    // A scalar value of the key pending in the innermost object, or an array's element.
    bool Scalar(Raw value)
    {
        if (stack_.empty())
            return Fail("the file", MustBe("an object", value.TypeName()));
        Frame& top = stack_.back();
        switch (top.kind) {
        case Frame::Skip: return true;
        case Frame::Entries:
            return Fail(top.place + "[" + std::to_string(top.count) + "]", MustBe("an object", value.TypeName()));
        case Frame::File: return FileValue(top, std::move(value));
        case Frame::Entry: return EntryField(top, std::move(value));
        case Frame::Named: return NamedValue(top, value);
        }
        return true;
    }

    // Which object of numbers by name the key pending in an object opens, if any.
    static Frame::Names NamesOf(const Frame& frame)
    {
        if (frame.kind == Frame::File && frame.pending == "options")
            return Frame::Options;
        if (frame.kind == Frame::Entry && frame.pending == "LaunchesOn")
            return Frame::LaunchesOn;
        if (frame.kind == Frame::Entry && frame.pending == "LastLaunchOn")
            return Frame::LastLaunchOn;
        return Frame::NoNames;
    }

    // A number of an object of numbers by name: an option, or a machine's count of the document whose entry holds it.
    bool NamedValue(Frame& named, const Raw& value)
    {
        const std::string place = named.place + "." + named.pending;
        std::string key = std::move(named.pending);
        named.pending.clear();
        std::wstring name;
        if (!Text({Raw::Text, key}, place, kMaxTreeFileKey, &name))
            return false;
        if (name.empty())
            return Fail(named.place, "holds an empty name");
        const bool wide = named.names == Frame::LastLaunchOn;
        if (!Number(value, place, wide ? ~ULONGLONG{0} : MAXDWORD))
            return false;
        const std::string twice = "\"" + key + "\" is given twice";
        if (named.names == Frame::Options) {
            auto& options = stack_.front().optionValues;
            for (const auto& option : options)
                if (option.first == name)
                    return Fail(named.place, twice);
            if (options.size() == kMaxTreeFileOptions)
                return Fail(named.place, "more than " + std::to_string(kMaxTreeFileOptions) + " options");
            options.emplace_back(std::move(name), static_cast<DWORD>(value.number));
            return true;
        }
        std::vector<MachineLaunches>& machines = stack_[stack_.size() - 2].machines;
        auto machine = std::find_if(machines.begin(), machines.end(),
                                    [&name](const MachineLaunches& m) { return m.machine == name; });
        if (machine == machines.end()) {
            if (machines.size() == kMaxTreeFileMachines)
                return Fail(named.place, "more than " + std::to_string(kMaxTreeFileMachines) + " machines");
            machine = machines.insert(machines.end(), MachineLaunches{std::move(name)});
        }
        if (wide ? machine->lastLaunch.has_value() : machine->launches.has_value())
            return Fail(named.place, twice);
        if (wide)
            machine->lastLaunch = value.number;
        else
            machine->launches = static_cast<DWORD>(value.number);
        return true;
    }

    // An object or an array where a key of this object takes a plain value, or a key it does not know.
    bool Compound(Raw::Type type)
    {
        Frame& top = stack_.back();
        Raw value{type};
        const bool known = top.kind == Frame::File ? top.pending == "version" || top.pending == "hotkey" ||
                                                         top.pending == "tree" || top.pending == "options"
                                                   : FieldOf(top, top.pending) != nullptr;
        if (!known)
            return Push({Frame::Skip, {}, 0, 0, {}, 1});
        if (!(top.kind == Frame::File ? FileValue(top, value) : EntryField(top, value)))
            return false;
        // Its contents are not looked at: the value is refused, or left out with its entry's kind.
        return Push({Frame::Skip, {}, 0, 0, {}, 1});
    }

    bool Unskip()
    {
        if (--stack_.back().skipped == 0)
            stack_.pop_back();
        return true;
    }

    bool FileValue(Frame& file, Raw value)
    {
        const std::string key = std::move(file.pending);
        file.pending.clear();
        if (key != "version" && key != "hotkey" && key != "tree" && key != "options")
            return true;
        if (!Seen(file, key))
            return false;
        if (key == "tree")
            return Fail("tree", MustBe("an array", value.TypeName()));
        if (key == "options")
            return Fail("options", MustBe("an object", value.TypeName()));
        (key == "version" ? file.version : file.hotkey) = value;
        // Checked at once, so that a file of another version is told as such before anything in its tree.
        return key == "version" ? Version(value) : Number(value, "hotkey", 0xFFFF);
    }

    bool Number(const Raw& value, const std::string& place, ULONGLONG largest)
    {
        if (value.type != Raw::Unsigned || value.number > largest)
            return Fail(place, "must be a whole number from 0 to " + std::to_string(largest));
        return true;
    }

    bool Version(const Raw& value)
    {
        if (!Number(value, "version", MAXDWORD))
            return false;
        if (value.number != kTreeFileVersion)
            return Fail("version", std::to_string(value.number) + " is not a version this Tabula reads (" +
                                       std::to_string(kTreeFileVersion) + ")");
        return true;
    }

    bool EndFile()
    {
        const Frame& file = stack_.back();
        for (const char* name : {"version", "hotkey", "tree"}) {
            const Raw& raw = name[0] == 'v' ? file.version : name[0] == 'h' ? file.hotkey : file.tree;
            if (!raw.present())
                return Fail("the file", std::string("\"") + name + "\" is missing");
        }
        file_.hotkey = Hotkey::From(static_cast<DWORD>(file.hotkey.number));
        file_.options = file.optionValues;
        // Each entry that needs a fresh id takes one of the menu's ids: a tree that needs more is no menu.
        if (FreshIdsNeeded(file_.tree) > FreshIdCount())
            return TooManyEntries();
        return true;
    }

    bool TooManyEntries()
    {
        return Fail("tree", "more entries than a menu can number (at most " + std::to_string(FreshIdCount()) +
                                " besides the four built-in ones)");
    }

    bool StartEntry()
    {
        Frame& entries = stack_.back();
        const std::string place = entries.place + "[" + std::to_string(entries.count++) + "]";
        if (entries.level > kMaxTreeFileDepth)
            return Fail(entries.place, "sections nested deeper than " + std::to_string(kMaxTreeFileDepth) + " levels");
        // The four built-in entries keep their ids; every other one takes a fresh id: no file holds more entries than
        // that, so what the reading keeps stays bounded.
        if (file_.tree.size() >= FreshIdCount() + 4)
            return TooManyEntries();
        Frame entry{Frame::Entry, place, entries.level};
        entry.index = file_.tree.size();
        entry.values.resize(DocumentValueTable().count);
        file_.tree.emplace_back();
        file_.tree.back().level = entries.level - 1;
        return Push(std::move(entry));
    }

    bool EntryField(Frame& entry, Raw value)
    {
        Raw* field = FieldOf(entry, entry.pending);
        const std::string key = std::move(entry.pending);
        entry.pending.clear();
        if (!field)
            return true;
        if (!Seen(entry, key))
            return false;
        *field = std::move(value);
        return true;
    }

    // The kind an entry names, or 0.
    static int KindOf(const Raw& kind)
    {
        for (const auto& known : kKinds)
            if (kind.type == Raw::Text && kind.text == known.name)
                return known.kind;
        return 0;
    }

    bool Children()
    {
        Frame& entry = stack_.back();
        if (!Seen(entry, "children"))
            return false;
        entry.children.type = Raw::Array;
        // What the entry has shown so far is checked first, as a reader of the whole entry would; the entries of a kind
        // that has none are not looked at.
        if (!Check(entry, false))
            return false;
        const int kind = KindOf(entry.own[kKind]);
        if (entry.own[kKind].present() && kind != ITEM_SECTION)
            return Push({Frame::Skip, {}, 0, 0, {}, 1});
        entry.childrenFrom = file_.tree.size();
        return Push({Frame::Entries, entry.place + ".children", entry.level + 1});
    }

    bool Text(const Raw& raw, const std::string& place, size_t longest, std::wstring* text)
    {
        if (raw.type != Raw::Text)
            return Fail(place, MustBe("a string", raw.TypeName()));
        // No character takes more than three bytes a UTF-16 unit: a text that long is too long without reading it.
        if (raw.text.size() > 3 * longest)
            return Fail(place, "longer than " + std::to_string(longest) + " characters");
        *text = Utf16(raw.text);
        if (text->size() > longest)
            return Fail(place, "longer than " + std::to_string(longest) + " characters");
        if (text->find(L'\0') != std::wstring::npos)
            return Fail(place, "holds a NUL character");
        return true;
    }

    // Checks an entry's values in a fixed order; `whole` once its object has ended, when a missing one is a fault.
    bool Check(const Frame& entry, bool whole)
    {
        PlainEntry& plain = file_.tree[entry.index];
        const Raw& kind = entry.own[kKind];
        if (!kind.present())
            return !whole || Fail(entry.place, "\"kind\" is missing");
        plain.kind = KindOf(kind);
        if (plain.kind == 0)
            return Fail(entry.place + ".kind", "must be \"document\", \"section\" or \"separator\"");
        if (plain.kind != ITEM_SEPARATOR) {
            if (!entry.own[kName].present())
                return !whole || Fail(entry.place, "\"name\" is missing");
            if (!Text(entry.own[kName], entry.place + ".name", kLongestName, &plain.name))
                return false;
        }
        const Raw& builtin = entry.own[kBuiltin];
        if (builtin.present() && builtin.type != Raw::Boolean)
            return Fail(entry.place + ".builtin", MustBe("true or false", builtin.TypeName()));
        plain.keep = builtin.flag ? BuiltinId(plain.kind, plain.name) : 0;
        size_t row = 0;
        for (const DocumentValue& value : DocumentValueTable()) {
            const Raw& raw = entry.values[row++];
            if (plain.kind != ITEM_DOCUMENT || !raw.present())
                continue;
            const std::string place = entry.place + "." + value.key;
            std::wstring text;
            const bool wide = value.kind == ValueKind::Wide;
            if (value.kind == ValueKind::Text ? !Text(raw, place, value.longest, &text)
                                              : !Number(raw, place, wide ? ~ULONGLONG{0} : MAXDWORD))
                return false;
            // A number that the value does not take (a window state no document has) is left out, as a load leaves it.
            if (value.kind == ValueKind::Text)
                value.set(plain.values, std::move(text));
            else if (wide)
                value.set(plain.values, raw.number);
            else if (value.takes(static_cast<DWORD>(raw.number)))
                value.set(plain.values, static_cast<DWORD>(raw.number));
        }
        if (plain.kind == ITEM_SECTION && entry.children.present() && entry.children.type != Raw::Array)
            return Fail(entry.place + ".children", MustBe("an array", entry.children.TypeName()));
        for (const auto& [raw, key] : {std::pair{&entry.launchesOn, ".LaunchesOn"}, {&entry.lastLaunchOn, ".LastLaunchOn"}})
            if (plain.kind == ITEM_DOCUMENT && raw->present() && raw->type != Raw::Object)
                return Fail(entry.place + key, MustBe("an object", raw->TypeName()));
        if (plain.kind == ITEM_DOCUMENT)
            plain.values.machines = entry.machines;
        return true;
    }

    bool EndEntry()
    {
        const Frame& entry = stack_.back();
        file_.tree[entry.index] = PlainEntry{0, file_.tree[entry.index].level};
        if (!Check(entry, true))
            return false;
        // Entries read before the kind said that this one holds none are no part of the tree.
        if (file_.tree[entry.index].kind != ITEM_SECTION && entry.childrenFrom > entry.index)
            file_.tree.resize(entry.childrenFrom);
        return true;
    }

    const std::string& text_;
    std::vector<Frame> stack_;
    TreeFile file_;
    std::string error_;
};

}  // namespace

std::string FormatTreeFile(const TreeFile& file) { return Writer().Text(file); }

std::optional<TreeFile> ParseTreeFile(const std::string& text, std::wstring* error)
{
    if (text.size() > kMaxTreeFileBytes) {
        *error = TooLargeMessage();
        return std::nullopt;
    }
    return Reader(text).Read(error);
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

TreeFile TreeFileOf(PlainTree tree, Hotkey hotkey, bool profileAsVariable)
{
    if (profileAsVariable)
        for (PlainEntry& entry : tree)
            if (entry.kind == ITEM_DOCUMENT)
                entry.name = platform::WithProfileVariable(entry.name);
    return TreeFile{hotkey, std::move(tree)};
}

}  // namespace store
