#include "store/RegHelper.h"

#include <cwchar>

#include "menu/Item.h"

CRegHelper::unique_hkey CRegHelper::OpenKey(HKEY parent, const wchar_t* path)
{
    return platform::reg::OpenKey(parent, path, platform::reg::kReadRights);
}

CRegHelper::unique_hkey CRegHelper::CreateKey(HKEY parent, const wchar_t* path)
{
    return platform::reg::CreateKey(parent, path);
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

std::optional<DWORD> CRegHelper::GetDword(HKEY key, const wchar_t* name) { return platform::reg::ReadDword(key, name); }

std::optional<std::wstring> CRegHelper::GetString(HKEY key, const wchar_t* name)
{
    return platform::reg::ReadString(key, name);
}

LONG CRegHelper::EnumSubkey(HKEY key, DWORD index, wchar_t* name, DWORD* length)
{
    return platform::reg::EnumSubkey(key, index, name, length);
}

CRegHelper::unique_hkey CRegHelper::WriteEntry(HKEY parent, int id, int pos, DWORD type, DWORD isSpec,
                                               const wchar_t* name)
{
    unique_hkey key = CreateKey(parent, std::to_wstring(id).c_str());
    // The order of the values is part of the layout.
    const bool written = key && SetDword(key.get(), L"Type", type) && SetDword(key.get(), L"IsSpec", isSpec) &&
                         SetDword(key.get(), L"ID", static_cast<DWORD>(id)) &&
                         (!name || SetString(key.get(), L"Name", name)) &&
                         SetDword(key.get(), L"Pos", static_cast<DWORD>(pos));
    return written ? std::move(key) : nullptr;
}

CRegHelper::unique_hkey CRegHelper::WriteDocument(HKEY parent, const std::wstring& path, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_DOCUMENT, 0, path.c_str());
}

CRegHelper::unique_hkey CRegHelper::WriteSpecialDocument(HKEY parent, const std::wstring& path, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_DOCUMENT, 1, path.c_str());
}

CRegHelper::unique_hkey CRegHelper::WriteSection(HKEY parent, const std::wstring& title, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_SECTION, 0, title.c_str());
}

CRegHelper::unique_hkey CRegHelper::WriteSeparator(HKEY parent, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_SEPARATOR, 0, nullptr);
}

CRegHelper::unique_hkey CRegHelper::WriteSpecialSeparator(HKEY parent, int id, int pos)
{
    return WriteEntry(parent, id, pos, ITEM_SEPARATOR, 1, nullptr);
}
