#pragma once
#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "menu/BaseObj.h"
#include "platform/Registry.h"
#include "store/Backups.h"

class CTodayMenu;
class CItemVector;

// Appends "Configuration" and "Exit" to the top level unless the tree holds them, as every load does: whatever was
// stored, the user can reach the settings and leave.
void EnsureCommandEntries(CTodayMenu* menu);

// One entry key of a level, as read while that level is loaded.
struct StoredEntry {
    DWORD Type = 0;       // 0 when the key has no usable "Type"
    DWORD IsSpec = 0;
    DWORD ID = 0;         // 0 when neither "ID" nor the key name gives one
    std::wstring Name;    // empty when absent
    std::wstring Key;     // the entry key's own name: a section's children are below it
    DWORD Expand = 0;     // 1: a document shown as a live sub-menu of its folder's contents
    std::optional<std::wstring> Caption;   // a document's own caption ("Caption"); none: the one made from its path
};

// The store of the menu tree in the registry, and the primitives it is written with.
class CRegHelper : public CBaseObj {
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

    // Entry writers: the entry's key below parent, named by the id, with its values; none when the key or one of its
    // values could not be written.
    unique_hkey WriteDocument(HKEY parent, const std::wstring& path, int id, int pos);
    unique_hkey WriteSpecialDocument(HKEY parent, const std::wstring& path, int id, int pos);
    unique_hkey WriteSection(HKEY parent, const std::wstring& title, int id, int pos);
    unique_hkey WriteSeparator(HKEY parent, int id, int pos);
    unique_hkey WriteSpecialSeparator(HKEY parent, int id, int pos);

    // The store of the menu tree.
    int LoadTree(CTodayMenu* menu);   // always 0
    int SaveTree(CTodayMenu* menu);   // 0 when stored; -1 when the stored tree stayed as it was
    unique_hkey CreateDefaults();
    void LoadLevel(HKEY level, CTodayMenu* menu, int parentId);
    bool SaveLevel(HKEY level, const CItemVector* list);   // false at the first entry not written

    // Each save first backs up the tree it replaces (store/Backups.h).
    store::CBackups Backups;

private:
    unique_hkey WriteEntry(HKEY parent, int id, int pos, DWORD type, DWORD isSpec, const wchar_t* name);
    std::multimap<ULONGLONG, StoredEntry> ReadLevel(HKEY level);
    void LoadLevelAt(HKEY level, CTodayMenu* menu, int parentId, int depth);
    void AppendStored(HKEY level, const StoredEntry& entry, CTodayMenu* menu, int parentId, int depth);
    std::optional<StoredEntry> ReadEntry(HKEY level, const wchar_t* keyName, ULONGLONG* order);
};
