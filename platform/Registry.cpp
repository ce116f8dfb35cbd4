#include "platform/Registry.h"

#include "platform/Media.h"

#include <cwchar>
#include <utility>

namespace platform {
namespace reg {

namespace {

// Registry key names hold at most 255 characters; a name is never longer than a counted string can be.
constexpr DWORD kKeyNameChars = 256;
constexpr DWORD kLongestName = 32768;

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

unique_hkey OpenKey(HKEY parent, const wchar_t* path, REGSAM rights)
{
    HKEY key = nullptr;
    return unique_hkey(RegOpenKeyExW(parent, path, 0, rights, &key) == ERROR_SUCCESS ? key : nullptr);
}

std::optional<DWORD> ReadDword(HKEY key, const wchar_t* name)
{
    DWORD type = REG_NONE, data = 0, size = sizeof(data);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(data))
        return std::nullopt;
    return data;
}

std::optional<ULONGLONG> ReadQword(HKEY key, const wchar_t* name)
{
    DWORD type = REG_NONE, size = sizeof(ULONGLONG);
    ULONGLONG data = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_QWORD || size != sizeof(data))
        return std::nullopt;
    return data;
}

std::optional<std::wstring> ReadString(HKEY key, const wchar_t* name)
{
    // Most texts fit a path's room: one call reads them. A longer one is read at its size.
    {
        wchar_t text[MAX_PATH + 2] = {};
        DWORD type = REG_NONE, read = MAX_PATH * sizeof(wchar_t);
        const LONG status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &read);
        if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ))
            return std::wstring(text, wcsnlen(text, read / sizeof(wchar_t)));
        if (status != ERROR_MORE_DATA)
            return std::nullopt;
    }
    // The value may be rewritten between the size query and the read: a few tries, then give up.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = REG_NONE, size = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        // Room for an odd last byte and a terminator that the data may lack.
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
        DWORD read = size;
        const LONG status =
            RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || read > size)
            return std::nullopt;
        return std::wstring(buffer.data(), wcsnlen(buffer.data(), read / sizeof(wchar_t)));
    }
    return std::nullopt;
}

KeyWatch::KeyWatch(HKEY parent, const wchar_t* name)
    : parent_(OpenKey(parent, L"", KEY_NOTIFY)), key_(OpenKey(parent, name, KEY_NOTIFY)),
      besideChanged_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), belowChanged_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    watching_ = parent_ && key_ && besideChanged_ && belowChanged_ &&
                RegNotifyChangeKeyValue(parent_.get(), FALSE, REG_NOTIFY_CHANGE_NAME, besideChanged_.get(), TRUE) ==
                    ERROR_SUCCESS &&
                RegNotifyChangeKeyValue(key_.get(), TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                        belowChanged_.get(), TRUE) == ERROR_SUCCESS;
}

bool KeyWatch::Changed() const
{
    return !watching_ || WaitForSingleObject(besideChanged_.get(), 0) != WAIT_TIMEOUT ||
           WaitForSingleObject(belowChanged_.get(), 0) != WAIT_TIMEOUT;
}

std::optional<DWORD> ValueCount(HKEY key)
{
    DWORD values = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                         nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return values;
}

bool HasValue(HKEY key, const wchar_t* name)
{
    return RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG EnumSubkey(HKEY key, DWORD index, wchar_t* name, DWORD* length)
{
    return RegEnumKeyExW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
}

bool Subkeys::Read(DWORD index)
{
    for (DWORD size = kKeyNameChars;; size *= 2) {
        name_.resize(size);
        DWORD length = size;
        status_ = EnumSubkey(key_, index, name_.data(), &length);
        if (status_ == ERROR_SUCCESS) {
            name_.resize(length);
            return true;
        }
        if (status_ != ERROR_MORE_DATA || size >= kLongestName)
            return false;
    }
}

Subkeys::iterator& Subkeys::iterator::operator++()
{
    if (!range_->Read(++index_))
        range_ = nullptr;
    return *this;
}

unique_hkey CreateKey(HKEY parent, const wchar_t* path)
{
    HKEY key = nullptr;
    if (!MayChange(faults::Change::CreateKey) ||
        RegCreateKeyExW(parent, path, 0, nullptr, 0, kWriteRights, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return unique_hkey(key);
}

LONG SetValue(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    if (!MayChange(faults::Change::SetValue))
        return ERROR_WRITE_FAULT;
    return RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
}

bool WriteDword(HKEY key, const wchar_t* name, DWORD value)
{
    return SetValue(key, name, REG_DWORD, &value, sizeof(value)) == ERROR_SUCCESS;
}

bool WriteQword(HKEY key, const wchar_t* name, ULONGLONG value)
{
    return SetValue(key, name, REG_QWORD, &value, sizeof(value)) == ERROR_SUCCESS;
}

bool WriteString(HKEY key, const wchar_t* name, const wchar_t* text)
{
    const size_t length = wcslen(text);
    if (length >= MAXDWORD / sizeof(wchar_t))
        return false;
    const DWORD size = static_cast<DWORD>((length + 1) * sizeof(wchar_t));
    return SetValue(key, name, REG_SZ, text, size) == ERROR_SUCCESS;
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
    std::vector<std::pair<unique_hkey, std::wstring>> chain;
    unique_hkey top = OpenKey(parent, path, KEY_READ | DELETE);
    if (!top)
        return ERROR_FILE_NOT_FOUND;
    chain.emplace_back(std::move(top), path);
    while (!chain.empty()) {
        // Deleting a key's first subkey moves the next one to the front.
        Subkeys below(chain.back().first.get());
        if (const auto first = below.begin(); first != below.end()) {
            unique_hkey child = OpenKey(chain.back().first.get(), first->c_str(), KEY_READ | DELETE);
            if (!child)
                return ERROR_ACCESS_DENIED;
            chain.emplace_back(std::move(child), *first);
            continue;
        }
        if (below.Status() != ERROR_NO_MORE_ITEMS)
            return below.Status();
        const std::wstring leaf = std::move(chain.back().second);
        chain.pop_back();   // the key is closed before it is deleted
        if (!MayChange(faults::Change::DeleteKey))
            return ERROR_WRITE_FAULT;
        const LONG status = RegDeleteKeyW(chain.empty() ? parent : chain.back().first.get(), leaf.c_str());
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

LONG Flush(HKEY key) { return media::FlushKey(key); }

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
