#pragma once
// The store in the test prefix's real registry: keys written by hand, the stored tree read in MenuTesting.h's text form.
#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "store/StoreKeys.h"

namespace storetest {

inline std::wstring KeyPath(const wchar_t* name) { return std::wstring(store::kParentPath) + L"\\" + name; }
inline std::wstring RootPath() { return KeyPath(store::kStoreName); }
inline HKEY Open(const std::wstring& path, REGSAM rights = KEY_READ)
{ HKEY key = nullptr; return RegOpenKeyExW(platform::reg::StoreHive(), path.c_str(), 0, rights, &key) ? nullptr : key; }
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

// A value as stored (REG_NONE and no bytes if absent); a number only if a 4-byte REG_DWORD.
struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    DWORD Dword() const { return type == REG_DWORD && bytes.size() == 4 ? *reinterpret_cast<const DWORD*>(bytes.data()) : 0xBAD0BAD0u; }
    std::wstring Text() const { return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2); }
};
inline Value Read(const std::wstring& path, const wchar_t* name)
{
    Value value;
    DWORD size = 0;
    const HKEY key = Open(path);
    if (key && !RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size))
        value.bytes.resize(size), RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(), &size);
    return RegCloseKey(key), value;
}

inline std::vector<std::wstring> Subkeys(const std::wstring& path, DWORD* values = nullptr)
{
    std::vector<std::wstring> names;
    const HKEY key = Open(path);
    wchar_t name[256];
    for (DWORD length = 256; key && !RegEnumKeyExW(key, DWORD(names.size()), name, &length, nullptr, nullptr, nullptr, nullptr); length = 256)
        names.push_back(name);
    if (key && values)
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, values, nullptr, nullptr, nullptr, nullptr);
    return RegCloseKey(key), names;
}

// The stored tree in Pos order; "!" marks an entry not as saved (key its id, Pos its index, IsSpec for 1-4, values exact;
// a document may add its own Caption and Expand 1).
inline std::wstring StoredText(const std::wstring& path = RootPath())
{
    std::vector<std::pair<DWORD, std::wstring>> entries;
    for (const std::wstring& name : Subkeys(path)) {
        const std::wstring key = path + L"\\" + name, id = std::to_wstring(Read(key, L"ID").Dword());
        const DWORD type = Read(key, L"Type").Dword(), special = Read(key, L"IsSpec").Dword(), number = Read(key, L"ID").Dword();
        const Value caption = Read(key, L"Name");
        DWORD values = 0;
        Subkeys(key, &values);
        const bool sound = name == id && special == (type == 1 ? number >= 1 && number <= 3 : type == 3 && number == 4) &&
                           values == (type == 3 ? 4u : 5u) + (type == 1) * ((Read(key, L"Caption").type == REG_SZ) + (Read(key, L"Expand").Dword() == 1)) &&
                           (type == 3 || (caption.type == REG_SZ && caption.Text() == caption.Text().c_str() + std::wstring(1, L'\0')));
        entries.push_back({Read(key, L"Pos").Dword(), (sound ? L"" : L"!") + (type == 3 ? L"-" + id : (type == 1 ? L"D" : L"S") + id + L":" +
                           caption.Text().c_str() + (type == 2 ? L"[" + StoredText(key) + L"]" : L""))});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::wstring text;
    for (size_t i = 0; i < entries.size(); ++i)
        text += (i ? L" " : L"") + std::wstring(entries[i].first == i ? L"" : L"!") + entries[i].second;
    return text;
}

}  // namespace storetest
