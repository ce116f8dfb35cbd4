#pragma once
// Helpers of the store's tests: the store's keys in the test prefix's real registry, values and entry keys
// written by hand, and the stored tree read back in the text form of MenuTesting.h.
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

// Removes the stored tree and anything an earlier save left beside it; no fault is planted.
inline void ClearStore()
{
    platform::reg::faults::Reset();
    for (const wchar_t* name : {store::kStoreName, store::kStagingName, store::kRetiredName})
        platform::reg::DeleteTree(platform::reg::StoreHive(), KeyPath(name).c_str());
    platform::reg::faults::Reset();
}

inline bool KeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    const bool found = RegOpenKeyExW(platform::reg::StoreHive(), path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (found)
        RegCloseKey(key);
    return found;
}

// Writes a value as raw bytes, creating its key; a null data pointer deletes the value instead.
inline void Put(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, size_t size)
{
    HKEY key = nullptr;
    RegCreateKeyExW(platform::reg::StoreHive(), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (data)
        RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    else
        RegDeleteValueW(key, name);
    RegCloseKey(key);
}
inline void PutDword(const std::wstring& path, const wchar_t* name, DWORD value)
{
    Put(path, name, REG_DWORD, &value, sizeof(value));
}
inline void PutText(const std::wstring& path, const wchar_t* name, const std::wstring& text)
{
    Put(path, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// Entry keys written by hand below a level, one a line: "key type isSpec id pos [name]" (no "Name" without one).
inline void PutEntries(const std::wstring& level, std::initializer_list<const wchar_t*> entries)
{
    for (const wchar_t* entry : entries) {
        std::wistringstream in(entry);
        std::wstring key, name;
        DWORD numbers[4] = {};
        in >> key >> numbers[0] >> numbers[1] >> numbers[2] >> numbers[3];
        static const wchar_t* const names[] = {L"Type", L"IsSpec", L"ID", L"Pos"};
        for (int i = 0; i < 4; ++i)
            PutDword(level + L"\\" + key, names[i], numbers[i]);
        if (std::getline(in >> std::ws, name))
            PutText(level + L"\\" + key, L"Name", name);
    }
}

// A value as stored: its type and bytes; absent values have type REG_NONE and no bytes.
struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    DWORD Dword() const { return bytes.size() == 4 ? *reinterpret_cast<const DWORD*>(bytes.data()) : 0xBAD0BAD0u; }
    std::wstring Text() const { return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2); }
};

inline Value Read(const std::wstring& path, const wchar_t* name)
{
    Value value;
    DWORD size = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(platform::reg::StoreHive(), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    if (RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(), &size);
    }
    RegCloseKey(key);
    return value;
}

// The names of a key's subkeys and the number of its values.
inline std::vector<std::wstring> Subkeys(const std::wstring& path, DWORD* values = nullptr)
{
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(platform::reg::StoreHive(), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    for (DWORD i = 0, length = 256; RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == 0;
         ++i, length = 256)
        names.push_back(name);
    if (values)
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, values, nullptr, nullptr, nullptr,
                         nullptr);
    RegCloseKey(key);
    return names;
}

// The stored tree below path in the text form, each level in the order of its "Pos" values.
inline std::wstring StoredText(const std::wstring& path = RootPath())
{
    std::vector<std::pair<DWORD, std::wstring>> entries;
    for (const std::wstring& name : Subkeys(path)) {
        const std::wstring key = path + L"\\" + name;
        const std::wstring id = std::to_wstring(Read(key, L"ID").Dword());
        const std::wstring text = Read(key, L"Name").Text().c_str();
        switch (Read(key, L"Type").Dword()) {
        case 1: entries.push_back({Read(key, L"Pos").Dword(), L"D" + id + L":" + text}); break;
        case 2: entries.push_back({Read(key, L"Pos").Dword(), L"S" + id + L":" + text + L"[" + StoredText(key) + L"]"}); break;
        default: entries.push_back({Read(key, L"Pos").Dword(), L"-" + id}); break;
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::wstring text;
    for (const auto& entry : entries)
        text += (text.empty() ? L"" : L" ") + entry.second;
    return text;
}

}  // namespace storetest
