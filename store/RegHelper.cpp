#include "store/RegHelper.h"

namespace reg = platform::reg;

CRegHelper::unique_hkey CRegHelper::OpenKey(HKEY parent, const wchar_t* path)
{
    return reg::OpenKey(parent, path, reg::kReadRights);
}

CRegHelper::unique_hkey CRegHelper::CreateKey(HKEY parent, const wchar_t* path) { return reg::CreateKey(parent, path); }

bool CRegHelper::SetDword(HKEY key, const wchar_t* name, DWORD value) { return reg::WriteDword(key, name, value); }

bool CRegHelper::SetString(HKEY key, const wchar_t* name, const wchar_t* text)
{
    return reg::WriteString(key, name, text);
}

std::optional<DWORD> CRegHelper::GetDword(HKEY key, const wchar_t* name) { return reg::ReadDword(key, name); }

std::optional<std::wstring> CRegHelper::GetString(HKEY key, const wchar_t* name) { return reg::ReadString(key, name); }

LONG CRegHelper::EnumSubkey(HKEY key, DWORD index, wchar_t* name, DWORD* length)
{
    return reg::EnumSubkey(key, index, name, length);
}
