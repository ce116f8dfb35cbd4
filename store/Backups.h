#pragma once
// Automatic backups of the stored tree. Before a save replaces a stored tree that differs from the newest backup, that
// tree is written as a menu file (store/TreeFile.h) to Tabula\Backups\tree-YYYYMMDD-HHMMSS.json in the user's
// application data: at most one file a minute (a later save in the same minute rewrites that minute's file), the
// newest kKeptBackups kept. A backup that cannot be written never stops the save; the first such failure is reported.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/TreeFile.h"

class CTodayMenu;

namespace store {

constexpr size_t kKeptBackups = 20;

struct Backup {
    std::wstring path;
    SYSTEMTIME time{};    // local time of the minute it was taken in, as its name gives it
    size_t entries = 0;   // of its tree, all levels
};

class CBackups {
public:
    using Clock = std::function<SYSTEMTIME()>;                  // the local time now
    using Report = std::function<void(const std::wstring&)>;   // tells the user a backup failed

    void SetFolder(std::wstring folder) { folder_ = std::move(folder); }   // empty: Tabula\Backups of application data
    void SetClock(Clock clock) { clock_ = std::move(clock); }              // none: the system's clock
    void SetReport(Report report) { report_ = std::move(report); }
    std::wstring Folder() const;

    // Before a save: backs up the stored tree, as readStored loads it, when it differs from the newest backup.
    void BeforeSave(const std::function<bool(CTodayMenu*)>& readStored);
    // After a save or a load: the tree it stored or loaded (null when it stored none), known from then on without
    // reading the store, until the store changes otherwise.
    void AfterSave(const CTodayMenu* saved);
    // The stored tree changed without a save (a launch's counts): the next backup reads it from the store.
    void StoreChanged() { saved_.reset(); }

    // The backups that can be read, newest first.
    std::vector<Backup> List() const;

private:
    std::vector<std::wstring> SortedNames() const;   // oldest first
    void Fail();
    std::optional<std::vector<TreeFileEntry>> KnownTree() const;

    // The tree that the last save stored, and the stored tree key's last change right after it.
    std::optional<std::vector<TreeFileEntry>> saved_;
    std::optional<ULONGLONG> savedChange_;

    std::wstring folder_;
    Clock clock_;
    Report report_;
    bool reported_ = false;
};

}  // namespace store
