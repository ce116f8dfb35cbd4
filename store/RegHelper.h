#pragma once
// The store as the rest of the program knows it: the tree store (TreeStore.h), and the registry operations that the
// store is written with, under the names its callers use. The store's own files reach the registry through
// platform/Registry.h alone; these are that layer's operations, not a second way to it.
#include <windows.h>

#include <optional>
#include <string>

#include "platform/Registry.h"
#include "store/TreeStore.h"

class CRegHelper : public CTreeStore {
public:
    using unique_hkey = platform::reg::unique_hkey;

    CRegHelper() = default;
    ~CRegHelper() override = default;

    // Registry primitives: a key that cannot be had is none, a value that cannot be read is nothing.
    unique_hkey OpenKey(HKEY parent, const wchar_t* path);     // for reading
    unique_hkey CreateKey(HKEY parent, const wchar_t* path);   // for reading and writing
    bool SetDword(HKEY key, const wchar_t* name, DWORD value);
    bool SetString(HKEY key, const wchar_t* name, const wchar_t* text);
    std::optional<DWORD> GetDword(HKEY key, const wchar_t* name);          // a 4-byte REG_DWORD only
    std::optional<std::wstring> GetString(HKEY key, const wchar_t* name);  // REG_SZ or REG_EXPAND_SZ only
    LONG EnumSubkey(HKEY key, DWORD index, wchar_t* name, DWORD* length);
};
