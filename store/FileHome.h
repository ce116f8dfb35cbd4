#pragma once
// The menu kept in one menu file (store/TreeFile.h) in place of the registry: a portable copy's tabula.json beside the
// program, or a file the user follows (one in a folder that a sync service keeps). The file holds the tree, the
// hotkey and the other options, and each machine's launch counts beside the total, so that two machines' counts add up.
//
// A write never takes a content this copy has not seen: when the file holds what another copy wrote since this one
// last read or wrote it, this copy's version goes beside it as "tabula (conflict YYYY-MM-DD HHMMSS).json" and the file
// stays as it is, for the change from outside to be taken (TakeOutside). Whether a content is new is told by its bytes'
// digest, never by a time.
//
// Used on the GUI thread, the writer's thread and the watch's thread; one lock guards what it remembers of the file,
// another the options, so that asking for an option never waits on a write.
#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "store/Backups.h"
#include "store/TreeFile.h"

namespace store {

constexpr const wchar_t* kPortableFileName = L"tabula.json";

enum class HomeKind { Portable, Followed };

// This machine as a shared file names it: the computer's name, and the first part of its MachineGuid where there is
// one (two machines may bear one name).
std::wstring ThisMachine();

class CFileHome {
public:
    using Report = std::function<void(const std::wstring&)>;   // tells the user, from any thread

    CFileHome(std::wstring path, HomeKind kind, std::wstring machine = ThisMachine());

    const std::wstring& Path() const { return path_; }
    HomeKind Kind() const { return kind_; }
    void SetReport(Report report);
    // Where an option's write goes: queued behind the trees on the writer's thread (store/StoreWriter.h); none: at once.
    using WriteLater = std::function<void(std::function<void()>)>;
    void SetWriteLater(WriteLater later);

    // At start: the file's tree (unnumbered) with its counts merged for this machine; the defaults, written to the
    // file, where none exists. A file that cannot be read or is no menu file gives the defaults, is told of, and is
    // written over only once kept beside as a conflict file.
    PlainTree Load();

    // The stored tree, numbered, read without remembering anything: for backups and export. Nothing when the file
    // cannot be read or is no menu file.
    std::optional<PlainTree> ReadStored();

    // Writes a numbered tree with the options in force; see above for a file changed from outside. ready as the
    // registry store's. False when it could not be written: the first failure of a run is told, the next change tries
    // again.
    bool Store(const PlainTree& tree, const std::function<bool()>& ready = {});
    // Writes a document's launch counts: the file written again with the tree last stored.
    bool WriteLaunch(const std::vector<int>& ids, const std::wstring& path, std::optional<DWORD> launches,
                     std::optional<ULONGLONG> lastLaunch);

    // The options besides the tree ("Hotkey", "FindHotkey", "ShowRecent", "Theme"), as the registry keeps them.
    std::optional<DWORD> Option(const std::wstring& name);
    bool SetOption(const std::wstring& name, DWORD value);

    // A look at the file (on the watch's thread): nothing when it holds what this copy last wrote or took; otherwise
    // the menu file it holds (with its bytes' digest, for TakeOutside), or nothing and *broken set with the reason when it is no menu file (told once for each
    // content). A file that cannot be read is no change.
    std::optional<TreeFile> Look(std::wstring* broken, ULONGLONG* digest);
    // Whether this copy holds a change that the file has not taken (a write that failed).
    bool Unwritten();
    // This copy's tree written beside the file as a conflict file; its path, or empty when it could not be.
    std::wstring KeepConflict(const PlainTree& tree);
    // Takes a file read by Look as what the file holds: its counts merged with those of ours (the running tree), for
    // this machine, so that no launch is lost. The next Store writes on top of it.
    void TakeOutside(TreeFile& file, ULONGLONG digest, const PlainTree& ours);

    // The conflict files beside the file that are menu files, newest first, as Restore lists them.
    std::vector<Backup> Conflicts() const;

private:
    // What the file says of each document's launches on the other machines, by path.
    struct Shared {
        DWORD rest = 0;                         // the total less this machine's
        std::optional<ULONGLONG> lastHere;      // this machine's last launch
        std::vector<MachineLaunches> others;
    };

    std::string Text(const PlainTree& tree) const;
    void Remember(const PlainTree& tree);
    bool WriteLocked(const PlainTree& tree, const std::function<bool()>& ready);
    std::wstring KeepBeside(const std::string& bytes) const;
    void Fail(const std::wstring& text);
    void ReadOptionsLocked();   // with optionsLock_ held
    void TakeOptions(const TreeFile& file);

    const std::wstring path_;
    const HomeKind kind_;
    const std::wstring machine_;

    std::mutex lock_;   // held across the file's reads and writes
    Report report_;
    // The options, asked on the GUI thread: never held across a read or a write but the first read of them.
    mutable std::mutex optionsLock_;
    WriteLater later_;
    Hotkey hotkey_ = Hotkey::Default();
    std::vector<std::pair<std::wstring, DWORD>> options_;
    bool optionsRead_ = false;   // the options were read from the file (or it had none to read)
    std::map<std::wstring, Shared> shared_;
    PlainTree last_;                        // the tree last stored or taken, numbered
    std::optional<ULONGLONG> known_;        // the digest of the bytes this copy last wrote or took
    std::optional<ULONGLONG> toldBroken_;   // the digest of the last broken content told of
    bool unwritten_ = false;
    bool failureTold_ = false;
};

}  // namespace store
