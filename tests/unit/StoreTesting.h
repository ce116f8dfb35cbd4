#pragma once
// Helpers of the store tests: the store's keys in the test prefix's real registry, entry keys written
// by hand, and trees compared by shape.
#include <windows.h>

#include <string>
#include <vector>

#include "menu/TodayMenu.h"
#include "platform/Registry.h"
#include "store/StoreKeys.h"

namespace storetest {

inline std::wstring KeyPath(const wchar_t* name) { return std::wstring(store::kParentPath) + L"\\" + name; }

// Removes the stored tree and anything an earlier save left beside it.
inline void ClearStore()
{
    for (const wchar_t* name : {store::kStoreName, store::kStagingName, store::kRetiredName})
        RegDeleteTreeW(platform::reg::StoreHive(), KeyPath(name).c_str());
    platform::reg::faults::Reset();
}

inline bool KeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(platform::reg::StoreHive(), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// An open key below the store's hive, closed at the end of the scope.
class Key {
public:
    explicit Key(const std::wstring& path, bool create = false)
    {
        const HKEY hive = platform::reg::StoreHive();
        if (create)
            RegCreateKeyExW(hive, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        else
            RegOpenKeyExW(hive, path.c_str(), 0, KEY_ALL_ACCESS, &key_);
    }
    ~Key()
    {
        if (key_)
            RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

private:
    HKEY key_ = nullptr;
};

struct RawValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    DWORD Dword() const { return data.size() == 4 ? *reinterpret_cast<const DWORD*>(data.data()) : 0xBAD0BAD0u; }
    std::wstring Text() const
    {
        return std::wstring(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    }
};

inline RawValue ReadValue(const std::wstring& path, const wchar_t* name)
{
    RawValue value;
    Key key(path);
    DWORD size = 0;
    if (!key || RegQueryValueExW(key.get(), name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return value;
    value.data.resize(size);
    value.present = RegQueryValueExW(key.get(), name, nullptr, &value.type, value.data.data(), &size) == ERROR_SUCCESS;
    value.data.resize(size);
    return value;
}

inline DWORD CountValues(const std::wstring& path)
{
    Key key(path);
    DWORD values = 0;
    if (key)
        RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr);
    return values;
}

inline std::vector<std::wstring> SubkeyNames(const std::wstring& path)
{
    std::vector<std::wstring> names;
    Key key(path);
    for (DWORD i = 0; key; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    return names;
}

inline void SetDword(HKEY key, const wchar_t* name, DWORD value)
{
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

inline void SetText(HKEY key, const wchar_t* name, const std::wstring& text)
{
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// An entry key written by hand below the level at path; a separator when name is null.
inline void PutEntry(const std::wstring& level, const std::wstring& keyName, DWORD type, DWORD isSpec, DWORD id,
                     const wchar_t* name, DWORD pos)
{
    Key key(level + L"\\" + keyName, true);
    SetDword(key.get(), L"Type", type);
    SetDword(key.get(), L"IsSpec", isSpec);
    SetDword(key.get(), L"ID", id);
    if (name)
        SetText(key.get(), L"Name", name);
    SetDword(key.get(), L"Pos", pos);
}

inline std::wstring RootPath() { return KeyPath(store::kStoreName); }

// A list's entries in order, with their ids: "D5:path", "S6:title[...]", "-4".
inline std::wstring Describe(const CItemVector& list, bool withIds = true)
{
    std::wstring text;
    for (const CItem* item : list.Items) {
        if (!text.empty())
            text += L" ";
        const std::wstring id = withIds ? std::to_wstring(item->ID) : L"";
        switch (item->Type) {
        case ITEM_DOCUMENT:
            text += L"D" + id + L":" + item->Path;
            break;
        case ITEM_SECTION:
            text += L"S" + id + L":" + item->Caption + L"[" + (item->Children ? Describe(*item->Children, withIds) : L"") +
                    L"]";
            break;
        case ITEM_SEPARATOR:
            text += L"-" + id;
            break;
        default:
            text += L"?";
        }
    }
    return text;
}

}  // namespace storetest
