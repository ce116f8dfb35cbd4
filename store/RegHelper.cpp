#include "store/RegHelper.h"

#include <cwchar>
#include <vector>

#include "menu/Item.h"
#include "platform/Registry.h"

HKEY CRegHelper::OpenKey(HKEY parent, const wchar_t* path)
{
    HKEY key = nullptr;
    platform::reg::OpenKey(parent, path, platform::reg::kReadRights, &key);
    return key;
}

HKEY CRegHelper::CreateKey(HKEY parent, const wchar_t* path)
{
    HKEY key = nullptr;
    platform::reg::CreateKey(parent, path, &key);
    return key;
}

bool CRegHelper::SetDword(HKEY key, const wchar_t* name, DWORD value)
{
    return platform::reg::SetValue(key, name, REG_DWORD, &value, sizeof(value)) == ERROR_SUCCESS;
}

bool CRegHelper::SetString(HKEY key, const wchar_t* name, const wchar_t* text)
{
    const size_t length = wcslen(text);
    if (length >= MAXDWORD / sizeof(wchar_t))
        return false;
    const DWORD size = static_cast<DWORD>((length + 1) * sizeof(wchar_t));
    return platform::reg::SetValue(key, name, REG_SZ, text, size) == ERROR_SUCCESS;
}

bool CRegHelper::GetDword(HKEY key, const wchar_t* name, DWORD* value)
{
    DWORD type = REG_NONE, data = 0, size = sizeof(data);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(data))
        return false;
    *value = data;
    return true;
}

bool CRegHelper::GetString(HKEY key, const wchar_t* name, std::wstring* text)
{
    text->clear();
    // The value may be rewritten between the size query and the read: a few tries, then give up.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = REG_NONE, size = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return false;
        // Room for an odd last byte and a terminator that the data may lack.
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
        DWORD read = size;
        const LONG status =
            RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || read > size)
            return false;
        text->assign(buffer.data(), wcsnlen(buffer.data(), read / sizeof(wchar_t)));
        return true;
    }
    return false;
}

LONG CRegHelper::EnumSubkey(HKEY key, DWORD index, wchar_t* name, DWORD* length)
{
    return RegEnumKeyExW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
}

HKEY CRegHelper::WriteEntry(HKEY parent, int id, int pos, DWORD type, DWORD isSpec, const wchar_t* name)
{
    HKEY key = CreateKey(parent, std::to_wstring(id).c_str());
    if (!key)
        return nullptr;
    // The order of the values is part of the layout.
    const bool written = SetDword(key, L"Type", type) && SetDword(key, L"IsSpec", isSpec) &&
                         SetDword(key, L"ID", static_cast<DWORD>(id)) && (!name || SetString(key, L"Name", name)) &&
                         SetDword(key, L"Pos", static_cast<DWORD>(pos));
    if (!written) {
        RegCloseKey(key);
        return nullptr;
    }
    return key;
}

HKEY CRegHelper::WriteDocument(HKEY parent, const std::wstring& path, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_DOCUMENT, 0, path.c_str());
}

HKEY CRegHelper::WriteSpecialDocument(HKEY parent, const std::wstring& path, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_DOCUMENT, 1, path.c_str());
}

HKEY CRegHelper::WriteSection(HKEY parent, const std::wstring& title, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_SECTION, 0, title.c_str());
}

HKEY CRegHelper::WriteSeparator(HKEY parent, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_SEPARATOR, 0, nullptr);
}

HKEY CRegHelper::WriteSpecialSeparator(HKEY parent, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_SEPARATOR, 1, nullptr);
}
