#pragma once
// Automatic backups of the stored tree. Before a save replaces a stored tree, that tree (with the stored hotkey) is
// written as a menu file (store/TreeFile.h) to Tabula\Backups in the user's application data, unless the newest backup
// holds exactly that menu already. No backup is ever written over: every menu that a save, an import or a restore
// replaced stays in a backup of its own until it is one of more than kKeptBackups.
//
// A backup is named tree-NNNNNNNNNN-YYYYMMDDTHHMMSSZ.json: NNNNNNNNNN counts the backups written, one more than the
// highest number in the folder, and the time is when it was written, in UTC. The backups are ordered by their number,
// so a clock that goes back (the end of daylight saving time, a date set by hand) never puts a new backup behind an old
// one. Backups named tree-YYYYMMDD-HHMMSS.json (local time), as earlier versions wrote them, come before every
// numbered one, in the order of their times. A backup that cannot be written never stops the save; the first such
// failure is reported.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/PlainTree.h"

namespace store {

constexpr size_t kKeptBackups = 20;

struct Backup {
    std::wstring path;
    SYSTEMTIME time{};    // the local time it was written at
    size_t entries = 0;   // of its tree, all levels
};

class CBackups {
public:
    using Clock = std::function<SYSTEMTIME()>;                  // the time now, in UTC
    using Report = std::function<void(const std::wstring&)>;   // tells the user a backup failed

    void SetFolder(std::wstring folder) { folder_ = std::move(folder); }   // empty: Tabula\Backups of application data
    void SetClock(Clock clock) { clock_ = std::move(clock); }              // none: the system's clock
    void SetReport(Report report) { report_ = std::move(report); }
    std::wstring Folder() const;

    // Before a save: backs up the stored tree, as readStored reads it, unless the newest backup holds that menu, which
    // is told by the digest of their contents: the stored tree is made into a file's text only to be written.
    void BeforeSave(const std::function<std::optional<PlainTree>()>& readStored);

    // The backups that can be read, newest first.
    std::vector<Backup> List() const;

private:
    struct Named;
    std::vector<Named> Sorted() const;   // in the order they were written
    void Fail();
    // The digest of the backup of that name; read from its file unless it is the newest one known.
    std::optional<ULONGLONG> DigestOf(const std::wstring& name);

    // The newest backup known, by name, and the digest of its content.
    std::wstring knownName_;
    ULONGLONG knownDigest_ = 0;

    std::wstring folder_;
    Clock clock_;
    Report report_;
    bool reported_ = false;
};

}  // namespace store
