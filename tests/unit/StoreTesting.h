#pragma once
// The store in the test prefix's real registry: keys written by hand, the stored tree read in MenuTesting.h's text form.
#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "MenuTesting.h"
#include "app/Globals.h"
#include "store/StoreWriter.h"
#include "platform/Registry.h"
#include "store/StoreKeys.h"

namespace storetest {

inline std::wstring KeyPath(const wchar_t* name) { return std::wstring(store::kParentPath) + L"\\" + name; }
inline std::wstring RootPath() { return KeyPath(store::kStoreName); }
inline HKEY Open(const std::wstring& path, REGSAM rights = KEY_READ, HKEY parent = platform::reg::StoreHive())
{ HKEY key = nullptr; return RegOpenKeyExW(parent, path.c_str(), 0, rights, &key) ? nullptr : key; }
inline bool KeyExists(const std::wstring& path) { HKEY key = Open(path); return key && !RegCloseKey(key); }

// Removes the stored tree and anything an earlier save left beside it; no fault is planted.
inline void ClearStore()
{
    platform::reg::faults::Reset();
    for (const wchar_t* name : {store::kStoreName, store::kStagingName, store::kRetiredName})
        platform::reg::DeleteTree(platform::reg::StoreHive(), KeyPath(name).c_str());
    platform::reg::faults::Reset();
}

// Writes a value as raw bytes, creating its key; null data deletes the value.
inline void Put(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, size_t size)
{
    HKEY key = nullptr;
    RegCreateKeyExW(platform::reg::StoreHive(), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    data ? RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), DWORD(size)) : RegDeleteValueW(key, name);
    RegCloseKey(key);
}
inline void PutDword(const std::wstring& path, const wchar_t* name, DWORD value) { Put(path, name, REG_DWORD, &value, 4); }
inline void PutText(const std::wstring& path, const wchar_t* name, const std::wstring& text)
{ Put(path, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t)); }

// Entry keys below a level, one a line: "key Type IsSpec ID Pos [Name]".
inline void PutEntries(const std::wstring& level, std::initializer_list<const wchar_t*> entries)
{
    for (const wchar_t* entry : entries) {
        std::wistringstream in(entry);
        std::wstring key, name;
        DWORD number = 0;
        in >> key;
        for (const wchar_t* value : {L"Type", L"IsSpec", L"ID", L"Pos"})
            in >> number, PutDword(level + L"\\" + key, value, number);
        if (std::getline(in >> std::ws, name))
            PutText(level + L"\\" + key, L"Name", name);
    }
}

// A chain of sections below path, each key named "5" and holding only its Type (2): an id is made for each on loading.
inline void PutChain(const std::wstring& path, int levels)
{
    HKEY level = nullptr, key = nullptr;
    RegCreateKeyExW(platform::reg::StoreHive(), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &level, nullptr);
    for (const DWORD section = 2; levels-- > 0; RegCloseKey(level), level = key)
        RegCreateKeyExW(level, L"5", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), RegSetValueExW(key, L"Type", 0, REG_DWORD, (const BYTE*)&section, 4);
    RegCloseKey(level);
}

// A value as stored (REG_NONE and no bytes if absent); a number only if a 4-byte REG_DWORD.
struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    DWORD Dword() const { return type == REG_DWORD && bytes.size() == 4 ? *reinterpret_cast<const DWORD*>(bytes.data()) : 0xBAD0BAD0u; }
    ULONGLONG Qword() const { return type == REG_QWORD && bytes.size() == 8 ? *reinterpret_cast<const ULONGLONG*>(bytes.data()) : 0xBAD0BAD0u; }
    std::wstring Text() const { return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2); }
};
inline Value Read(HKEY key, const wchar_t* name)
{
    Value value;
    DWORD size = 0;
    if (key && !RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size))
        value.bytes.resize(size), RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(), &size);
    return value;
}
inline Value Read(const std::wstring& path, const wchar_t* name) { const HKEY key = Open(path); const Value value = Read(key, name); return RegCloseKey(key), value; }

inline DWORD Values(HKEY key)
{ DWORD values = 0; return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr, nullptr), values; }

// A document's stored values named in kValueNames as Describe shows them; *count: how many, each of its one right type.
inline std::wstring StoredValues(HKEY key, DWORD* count, std::wstring text = L"")
{
    for (const wchar_t* name : menutest::kValueNames) {
        const Value value = Read(key, name);
        const bool number = !wcscmp(name, L"Show") || !wcscmp(name, L"Launches"), wide = !wcscmp(name, L"LastLaunch");
        if (value.type == (wide ? REG_QWORD : number ? REG_DWORD : REG_SZ))
            ++*count, text += (text.empty() ? L"{" : L"|") + std::wstring(name) + L":" +
                              (wide ? std::to_wstring(value.Qword()) : number ? std::to_wstring(value.Dword()) : value.Text().c_str());
    }
    return text.empty() ? text : text + L"}";
}

// The stored tree in Pos order; "!" marks an entry not as saved (key its id, Pos its index, IsSpec for 1-4, values exact;
// a document may add its own Caption, Expand 1 and properties, shown as Describe shows them). Read level by level through open keys: a tree of any depth.
inline std::wstring StoredText(const std::wstring& path = RootPath())
{
    g_StoreWriter.Flush();   // what the program's writer still has to write is written first, as Exit has it
    struct Level { HKEY key; std::vector<std::tuple<DWORD, std::wstring, std::wstring>> entries; size_t next; };   // Pos, text, section key
    const auto read = [](HKEY level) {
        Level read{level, {}, 0};
        for (const std::wstring& name : platform::reg::Subkeys(level)) {
            const HKEY key = Open(name, KEY_READ, level);
            const DWORD type = Read(key, L"Type").Dword(), special = Read(key, L"IsSpec").Dword(), number = Read(key, L"ID").Dword();
            const std::wstring id = std::to_wstring(number);
            const Value caption = Read(key, L"Name");
            DWORD own = 0;
            const std::wstring values = type == 1 ? StoredValues(key, &own) : L"";
            const bool sound = name == id && special == (type == 1 ? number >= 1 && number <= 3 : type == 3 && number == 4) &&
                               Values(key) == (type == 3 ? 4u : 5u) + (type == 1) * (own + (Read(key, L"Expand").Dword() == 1)) &&
                               (type == 3 || (caption.type == REG_SZ && caption.Text() == caption.Text().c_str() + std::wstring(1, L'\0')));
            read.entries.emplace_back(Read(key, L"Pos").Dword(), (sound ? L"" : L"!") + (type == 3 ? L"-" + id : (type == 1 ? L"D" : L"S") + id + L":" +
                                      caption.Text().c_str() + values), type == 2 ? name : L"");
            RegCloseKey(key);
        }
        std::stable_sort(read.entries.begin(), read.entries.end(), [](const auto& a, const auto& b) { return std::get<0>(a) < std::get<0>(b); });
        return read;
    };
    std::wstring text;
    for (std::vector<Level> levels{read(Open(path))}; !levels.empty();) {
        Level& level = levels.back();
        if (level.next == level.entries.size()) {
            RegCloseKey(level.key), levels.pop_back();
            text += levels.empty() ? L"" : L"]";
            continue;
        }
        const size_t index = level.next++;
        const auto& [pos, entry, section] = level.entries[index];
        text += (index ? L" " : L"") + std::wstring(pos == index ? L"" : L"!") + entry + (section.empty() ? L"" : L"[");
        if (!section.empty())
            levels.push_back(read(Open(section, KEY_READ, level.key)));
    }
    return text;
}

// Every key below SOFTWARE of both hives whose name starts with "Tabula", with its values, as text: what the program keeps.
inline std::wstring TabulaKeys(HKEY key = nullptr, const std::wstring& path = L"")
{
    std::wstring text;
    if (!key) {
        for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
            for (const std::wstring& name : platform::reg::Subkeys(Open(L"SOFTWARE", KEY_READ, hive)))
                if (name.rfind(L"Tabula", 0) == 0)
                    text += TabulaKeys(Open(L"SOFTWARE\\" + name, KEY_READ, hive), name);
        return text;
    }
    wchar_t name[256];
    for (DWORD i = 0, size = 256; !RegEnumValueW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr); ++i, size = 256) {
        const Value value = Read(key, name);
        text += path + L":" + name + L"=" + std::wstring(value.bytes.begin(), value.bytes.end()) + L"\n";
    }
    for (const std::wstring& sub : platform::reg::Subkeys(key))
        text += TabulaKeys(Open(sub, KEY_READ, key), path + L"\\" + sub);
    return RegCloseKey(key), text + path + L"\n";
}

}  // namespace storetest
