#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "menu/BaseObj.h"

class CTodayMenu;
class CItemVector;

// One entry key of a level, as read while that level is loaded.
struct StoredEntry {
    DWORD Type = 0;       // 0 when the key has no usable "Type"
    DWORD IsSpec = 0;
    DWORD ID = 0;         // 0 when neither "ID" nor the key name gives one
    std::wstring Name;    // empty when absent
    std::wstring Key;     // the entry key's own name: a section's children are below it
};

// The program's one gateway to the registry, and the store of the menu tree.
class CRegHelper : public CBaseObj {
public:
    CRegHelper() = default;
    ~CRegHelper() override = default;

    // Registry primitives: failures come back as a null key, false or the status code.
    HKEY OpenKey(HKEY parent, const wchar_t* path);     // for reading
    HKEY CreateKey(HKEY parent, const wchar_t* path);   // for reading and writing
    bool SetDword(HKEY key, const wchar_t* name, DWORD value);
    bool SetString(HKEY key, const wchar_t* name, const wchar_t* text);
    // Only a REG_DWORD of exactly 4 bytes is read; anything else leaves *value as it was.
    bool GetDword(HKEY key, const wchar_t* name, DWORD* value);
    // A REG_SZ or REG_EXPAND_SZ up to its first NUL, or to its last whole character when it has
    // none; anything else gives false and an empty text.
    bool GetString(HKEY key, const wchar_t* name, std::wstring* text);
    LONG EnumSubkey(HKEY key, DWORD index, wchar_t* name, DWORD* length);

    // Entry writers: the entry's key below parent, named by the id, with its values; the open key,
    // or null when the key or one of its values could not be written.
    HKEY WriteDocument(HKEY parent, const std::wstring& path, int id, int pos);
    HKEY WriteSpecialDocument(HKEY parent, const std::wstring& path, int id, int pos);
    HKEY WriteSection(HKEY parent, const std::wstring& title, int id, int pos);
    HKEY WriteSeparator(HKEY parent, int id, int pos);
    HKEY WriteSpecialSeparator(HKEY parent, int id, int pos);

    // The store of the menu tree.
    int LoadTree(CTodayMenu* menu);   // always 0
    int SaveTree(CTodayMenu* menu);   // 0 when stored; -1 when the stored tree stayed as it was
    HKEY CreateDefaults();
    void LoadLevel(HKEY level, CTodayMenu* menu, int parentId);
    bool SaveLevel(HKEY level, const CItemVector* list);   // false at the first entry not written

private:
    HKEY WriteEntry(HKEY parent, int id, int pos, DWORD type, DWORD isSpec, const wchar_t* name);
    std::multimap<ULONGLONG, StoredEntry> ReadLevel(HKEY level);
    void LoadLevelAt(HKEY level, CTodayMenu* menu, int parentId, int depth);
    void AppendStored(HKEY level, const StoredEntry& entry, CTodayMenu* menu, int parentId, int depth);
    bool ReadEntry(HKEY level, const wchar_t* keyName, StoredEntry* entry, ULONGLONG* order);
};
