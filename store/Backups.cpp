#include "store/Backups.h"

#include <algorithm>
#include <cwchar>

#include "platform/Environment.h"
#include "platform/Files.h"
#include "store/Options.h"
#include "store/TreeFile.h"

namespace store {

namespace {

constexpr size_t kNumberDigits = 10;

std::wstring NameFor(ULONGLONG number, const SYSTEMTIME& utc)
{
    std::wstring digits = std::to_wstring(number);
    digits.insert(0, kNumberDigits - std::min(kNumberDigits, digits.size()), L'0');
    wchar_t time[32] = {};
    swprintf(time, 32, L"%04u%02u%02uT%02u%02u%02uZ", utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute,
             utc.wSecond);
    return L"tree-" + digits + L"-" + time + L".json";
}

// An earlier version's name, "tree-YYYYMMDD-HHMMSS.json", in local time.
std::wstring OldNameFor(const SYSTEMTIME& local)
{
    wchar_t name[64] = {};
    swprintf(name, 64, L"tree-%04u%02u%02u-%02u%02u%02u.json", local.wYear, local.wMonth, local.wDay, local.wHour,
             local.wMinute, local.wSecond);
    return name;
}

// The number that count digits at text[at] spell; false when they are not all digits.
bool Digits(const std::wstring& text, size_t at, size_t count, ULONGLONG* number)
{
    *number = 0;
    if (at + count > text.size())
        return false;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        *number = *number * 10 + static_cast<ULONGLONG>(text[i] - L'0');
    }
    return true;
}

// The time that "YYYYMMDD", a separator, then "HHMMSS" spell at text[at]; false when they spell none.
bool TimeAt(const std::wstring& text, size_t at, SYSTEMTIME* time)
{
    ULONGLONG parts[6] = {};
    const size_t starts[6] = {0, 4, 6, 9, 11, 13}, lengths[6] = {4, 2, 2, 2, 2, 2};
    for (int i = 0; i < 6; ++i)
        if (!Digits(text, at + starts[i], lengths[i], &parts[i]))
            return false;
    *time = SYSTEMTIME{WORD(parts[0]), WORD(parts[1]), 0, WORD(parts[2]), WORD(parts[3]), WORD(parts[4]), WORD(parts[5]), 0};
    return true;
}

// Reads a backup's name: its number (0 for an earlier version's) and the local time it was written at; false for a
// name that is not a backup's.
bool ReadName(const std::wstring& name, ULONGLONG* number, SYSTEMTIME* local)
{
    SYSTEMTIME time{};
    // "tree-" NNNNNNNNNN "-" YYYYMMDD "T" HHMMSS "Z.json"
    if (Digits(name, 5, kNumberDigits, number) && TimeAt(name, 6 + kNumberDigits, &time))
        return *number > 0 && NameFor(*number, time) == name && SystemTimeToTzSpecificLocalTime(nullptr, &time, local);
    // "tree-" YYYYMMDD "-" HHMMSS ".json"
    *number = 0;
    if (!TimeAt(name, 5, &time))
        return false;
    *local = time;
    return OldNameFor(time) == name;
}

}  // namespace

struct CBackups::Named {
    std::wstring name;
    ULONGLONG number;
    SYSTEMTIME time;
};

std::wstring CBackups::Folder() const
{
    if (!folder_.empty())
        return folder_;
    const std::wstring data = platform::AppDataFolder();
    return data.empty() ? data : data + L"\\Tabula\\Backups";
}

std::vector<CBackups::Named> CBackups::Sorted() const
{
    std::vector<Named> backups;
    for (std::wstring& name : platform::FileNames(Folder(), L"tree-*.json")) {
        Named backup{std::move(name), 0, {}};
        if (ReadName(backup.name, &backup.number, &backup.time))
            backups.push_back(std::move(backup));
    }
    // By number; an earlier version's names, numbered 0, by their times, which their names spell in order.
    std::sort(backups.begin(), backups.end(), [](const Named& a, const Named& b) {
        return a.number != b.number ? a.number < b.number : a.name < b.name;
    });
    return backups;
}

void CBackups::BeforeSave(const std::function<std::optional<PlainTree>()>& readStored)
{
    std::optional<PlainTree> stored = readStored();
    if (!stored)
        return;
    const Hotkey hotkey = LoadHotkey();
    const ULONGLONG digest = ContentDigest(*stored, hotkey);
    const std::wstring folder = Folder();
    std::vector<Named> backups = Sorted();
    // The newest backup holds this menu already: the menu is not lost, and a second copy of it would push an older
    // menu out.
    if (!backups.empty() && DigestOf(backups.back().name) == digest)
        return;
    const std::string text = FormatTreeFile(TreeFile{hotkey, std::move(*stored)});
    SYSTEMTIME now{};
    if (clock_)
        now = clock_();
    else
        GetSystemTime(&now);
    const ULONGLONG number = backups.empty() ? 1 : backups.back().number + 1;
    const std::wstring name = NameFor(number, now);
    if (folder.empty() || !platform::MakeFolders(folder) || !platform::WriteWholeFile(folder + L"\\" + name, text))
        return Fail();
    knownName_ = name, knownDigest_ = digest;
    backups.push_back({name, number, now});
    for (size_t i = 0; i + kKeptBackups < backups.size(); ++i)
        platform::RemoveFile(folder + L"\\" + backups[i].name);
}

std::optional<ULONGLONG> CBackups::DigestOf(const std::wstring& name)
{
    if (name == knownName_)
        return knownDigest_;
    std::wstring error;
    const std::optional<TreeFile> file = ReadTreeFile(Folder() + L"\\" + name, &error);
    if (!file)
        return std::nullopt;
    knownName_ = name, knownDigest_ = ContentDigest(file->tree, file->hotkey);
    return knownDigest_;
}

std::vector<Backup> CBackups::List() const
{
    std::vector<Backup> backups;
    const std::vector<Named> sorted = Sorted();
    for (auto named = sorted.rbegin(); named != sorted.rend(); ++named) {
        Backup backup{Folder() + L"\\" + named->name, named->time};
        std::wstring error;
        if (const std::optional<TreeFile> file = ReadTreeFile(backup.path, &error)) {
            backup.entries = file->tree.size();
            backups.push_back(std::move(backup));
        }
    }
    return backups;
}

void CBackups::Fail()
{
    if (reported_)
        return;
    reported_ = true;
    if (report_)
        report_(L"The menu was saved, but its backup could not be written to " + Folder() + L".");
}

}  // namespace store
