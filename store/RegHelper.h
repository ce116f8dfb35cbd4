#pragma once
#include <windows.h>

#include <string>

#include "menu/BaseObj.h"

class CTodayMenu;
class CItemVector;

// The program's one gateway to the registry, and the store of the menu tree.
class CRegHelper : public CBaseObj {
public:
    CRegHelper() = default;
    ~CRegHelper() override = default;

    // Registry primitives: failures come back as a null key, false or the status code.
    HKEY OpenKey(HKEY parent, const wchar_t* path);
    HKEY CreateKey(HKEY parent, const wchar_t* path);
    bool SetDword(HKEY key, const wchar_t* name, DWORD value);
    bool SetString(HKEY key, const wchar_t* name, const wchar_t* text);
    bool GetDword(HKEY key, const wchar_t* name, DWORD* value);
    bool GetString(HKEY key, const wchar_t* name, wchar_t** text);   // release with delete[]
    LONG EnumSubkey(HKEY key, DWORD index, wchar_t* name, DWORD* length);

    // The store of the menu tree.
    int LoadTree(CTodayMenu* menu);
    int SaveTree(CTodayMenu* menu);
    HKEY CreateDefaults();
    void LoadLevel(HKEY level, CTodayMenu* menu, int parentId);
    void SaveLevel(HKEY level, const CItemVector* list);
};
