#include "platform/Registry.h"

#include "platform/Handles.h"

#include <string>
#include <utility>

namespace platform {
namespace reg {

namespace {

// Registry key names hold at most 255 characters.
constexpr DWORD kKeyNameChars = 256;

long g_changes = 0;
long g_refuseAfter = -1;
long g_refuseOne = -1;
long g_terminateAfter = -1;
UINT g_exitCode = 0;
bool g_recording = false;
std::vector<faults::Change> g_journal;

// Counts one change and says whether it may go to the registry; the fault injection ends the
// process here.
bool MayChange(faults::Change kind)
{
    if (g_terminateAfter >= 0 && g_changes >= g_terminateAfter)
        TerminateProcess(GetCurrentProcess(), g_exitCode);
    ++g_changes;
    if (g_recording)
        g_journal.push_back(kind);
    return (g_refuseAfter < 0 || g_changes <= g_refuseAfter) && g_changes != g_refuseOne;
}

HKEY DecideStoreHive()
{
    HKEY software = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_CREATE_SUB_KEY, &software) != ERROR_SUCCESS)
        return HKEY_CURRENT_USER;
    RegCloseKey(software);
    return HKEY_LOCAL_MACHINE;
}

}  // namespace

HKEY StoreHive()
{
    static const HKEY hive = DecideStoreHive();
    return hive;
}

LONG OpenKey(HKEY parent, const wchar_t* path, REGSAM rights, HKEY* key)
{
    *key = nullptr;
    const LONG status = RegOpenKeyExW(parent, path, 0, rights, key);
    if (status != ERROR_SUCCESS)
        *key = nullptr;
    return status;
}

LONG CreateKey(HKEY parent, const wchar_t* path, HKEY* key)
{
    *key = nullptr;
    if (!MayChange(faults::Change::CreateKey))
        return ERROR_WRITE_FAULT;
    const LONG status = RegCreateKeyExW(parent, path, 0, nullptr, 0, kWriteRights, nullptr, key, nullptr);
    if (status != ERROR_SUCCESS)
        *key = nullptr;
    return status;
}

LONG SetValue(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    if (!MayChange(faults::Change::SetValue))
        return ERROR_WRITE_FAULT;
    return RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
}

LONG DeleteValue(HKEY key, const wchar_t* name)
{
    if (!MayChange(faults::Change::DeleteValue))
        return ERROR_WRITE_FAULT;
    return RegDeleteValueW(key, name);
}

LONG DeleteTree(HKEY parent, const wchar_t* path)
{
    // Deepest first, without recursion: a stored tree of any depth is deleted in the same machine stack.
    // chain holds the open keys from the top down, each opened below the one before it.
    std::vector<std::pair<handles::unique_hkey, std::wstring>> chain;
    HKEY opened = nullptr;
    LONG status = OpenKey(parent, path, KEY_READ | DELETE, &opened);
    if (status != ERROR_SUCCESS)
        return status;
    chain.emplace_back(handles::unique_hkey(opened), path);
    while (!chain.empty()) {
        wchar_t name[kKeyNameChars];
        DWORD length = kKeyNameChars;
        // Deleting a key's first subkey moves the next one to index 0.
        status = RegEnumKeyExW(chain.back().first.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_SUCCESS) {
            status = OpenKey(chain.back().first.get(), name, KEY_READ | DELETE, &opened);
            if (status != ERROR_SUCCESS)
                return status;
            chain.emplace_back(handles::unique_hkey(opened), name);
            continue;
        }
        if (status != ERROR_NO_MORE_ITEMS)
            return status;
        const std::wstring leaf = std::move(chain.back().second);
        chain.pop_back();   // the key is closed before it is deleted
        if (!MayChange(faults::Change::DeleteKey))
            return ERROR_WRITE_FAULT;
        status = RegDeleteKeyW(chain.empty() ? parent : chain.back().first.get(), leaf.c_str());
        if (status != ERROR_SUCCESS)
            return status;
    }
    return ERROR_SUCCESS;
}

LONG RenameKey(HKEY parent, const wchar_t* path, const wchar_t* newName)
{
    if (!MayChange(faults::Change::RenameKey))
        return ERROR_WRITE_FAULT;
    return RegRenameKey(parent, path, newName);
}

LONG Flush(HKEY key) { return RegFlushKey(key); }

namespace faults {

void Reset()
{
    g_changes = 0;
    g_refuseAfter = -1;
    g_refuseOne = -1;
    g_terminateAfter = -1;
    g_recording = false;
    g_journal.clear();
}

long Changes() { return g_changes; }

void RefuseAfter(long changes) { g_refuseAfter = changes; }

void RefuseOne(long number) { g_refuseOne = number; }

void TerminateAfter(long changes, UINT exitCode)
{
    g_terminateAfter = changes;
    g_exitCode = exitCode;
}

void Record(bool on) { g_recording = on; }

const std::vector<Change>& Journal() { return g_journal; }

}  // namespace faults

}  // namespace reg
}  // namespace platform
