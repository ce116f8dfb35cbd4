#include "store/Backups.h"

#include <algorithm>
#include <cwchar>

#include "menu/TodayMenu.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "store/Options.h"
#include "store/StoreKeys.h"
#include "store/TreeFile.h"

namespace store {

namespace {

// "tree-YYYYMMDD-HHMMSS.json": names sort as their times do, and a minute is the name up to its seconds.
constexpr size_t kNameLength = 25;
constexpr size_t kMinuteLength = 18;

std::wstring NameFor(const SYSTEMTIME& time)
{
    wchar_t name[64] = {};
    swprintf(name, 64, L"tree-%04u%02u%02u-%02u%02u%02u.json", time.wYear, time.wMonth, time.wDay, time.wHour,
             time.wMinute, time.wSecond);
    return name;
}

// The time a backup's name gives; false for a name that is not a backup's.
bool TimeOf(const std::wstring& name, SYSTEMTIME* time)
{
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (name.size() != kNameLength || swscanf(name.c_str(), L"tree-%4u%2u%2u-%2u%2u%2u.json", &year, &month, &day,
                                              &hour, &minute, &second) != 6)
        return false;
    *time = SYSTEMTIME{WORD(year), WORD(month), 0, WORD(day), WORD(hour), WORD(minute), WORD(second), 0};
    return NameFor(*time) == name;
}

// When the stored tree's key last changed: a save replaces the key, and a change by hand below it changes its list.
std::optional<ULONGLONG> StoredTreeChange()
{
    const std::wstring path = std::wstring(kParentPath) + L"\\" + kStoreName;
    const platform::reg::unique_hkey key = platform::reg::OpenKey(platform::reg::StoreHive(), path.c_str());
    return key ? platform::reg::LastChange(key.get()) : std::nullopt;
}

}  // namespace

std::wstring CBackups::Folder() const
{
    if (!folder_.empty())
        return folder_;
    const std::wstring data = platform::AppDataFolder();
    return data.empty() ? data : data + L"\\Tabula\\Backups";
}

std::vector<std::wstring> CBackups::SortedNames() const
{
    std::vector<std::wstring> names = platform::FileNames(Folder(), L"tree-*.json");
    SYSTEMTIME ignored{};
    names.erase(std::remove_if(names.begin(), names.end(), [&](const auto& name) { return !TimeOf(name, &ignored); }),
                names.end());
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::vector<TreeFileEntry>> CBackups::KnownTree() const
{
    if (saved_ && savedChange_ && StoredTreeChange() == savedChange_)
        return saved_;
    return std::nullopt;
}

void CBackups::AfterSave(const CTodayMenu* saved)
{
    saved_.reset();
    savedChange_ = StoredTreeChange();
    if (saved)
        saved_ = TreeFileOf(*saved, 0, false).tree;
}

void CBackups::BeforeSave(const std::function<bool(CTodayMenu*)>& readStored)
{
    // The tree that this helper stored last, unless the store changed since; otherwise read as the next load reads it.
    TreeFile file{LoadHotkey(), {}};
    if (std::optional<std::vector<TreeFileEntry>> known = KnownTree()) {
        file.tree = std::move(*known);
    } else {
        CTodayMenu stored;
        if (!readStored(&stored))
            return;
        file.tree = TreeFileOf(stored, 0, false).tree;
    }
    const std::string text = FormatTreeFile(file);
    const std::wstring folder = Folder();
    std::vector<std::wstring> names = SortedNames();
    std::string newest;
    const std::wstring newestPath = names.empty() ? L"" : folder + L"\\" + names.back();
    if (!names.empty() && platform::ReadWholeFile(newestPath, kMaxTreeFileBytes, &newest) == platform::FileRead::Read &&
        newest == text)
        return;
    SYSTEMTIME now{};
    if (clock_)
        now = clock_();
    else
        GetLocalTime(&now);
    std::wstring name = NameFor(now);
    if (!names.empty() && names.back().compare(0, kMinuteLength, name, 0, kMinuteLength) == 0)
        name = names.back();   // this minute's backup is brought up to date
    else
        names.push_back(name);
    if (folder.empty() || !platform::MakeFolders(folder) || !platform::WriteWholeFile(folder + L"\\" + name, text))
        return Fail();
    std::sort(names.begin(), names.end());
    for (size_t i = 0; i + kKeptBackups < names.size(); ++i)
        platform::RemoveFile(folder + L"\\" + names[i]);
}

std::vector<Backup> CBackups::List() const
{
    std::vector<Backup> backups;
    std::vector<std::wstring> names = SortedNames();
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        Backup backup{Folder() + L"\\" + *name};
        std::wstring error;
        const std::optional<TreeFile> file = ReadTreeFile(backup.path, &error);
        if (file && TimeOf(*name, &backup.time))
            backups.push_back({backup.path, backup.time, CountEntries(file->tree)});
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
