#include "store/FileHome.h"

#include <algorithm>

#include "platform/Media.h"
#include "platform/Registry.h"

namespace store {

namespace {

// FNV-1a over the file's bytes: "the same content" is the same bytes.
ULONGLONG BytesDigest(const std::string& bytes)
{
    ULONGLONG digest = 14695981039346656037ULL;
    for (const char byte : bytes)
        digest = (digest ^ static_cast<unsigned char>(byte)) * 1099511628211ULL;
    return digest;
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

// The four entries every menu has, as a first start writes them.
PlainTree DefaultTree()
{
    PlainTree tree(4);
    tree[0].kind = ITEM_DOCUMENT, tree[0].name = L"\\My Documents", tree[0].keep = ID_MY_DOCUMENTS;
    tree[1].kind = ITEM_SEPARATOR, tree[1].keep = ID_FIRST_SEPARATOR;
    tree[2].kind = ITEM_DOCUMENT, tree[2].name = L"Configuration", tree[2].keep = ID_CONFIGURATION;
    tree[3].kind = ITEM_DOCUMENT, tree[3].name = L"Exit", tree[3].keep = ID_EXIT;
    return tree;
}

const MachineLaunches* FindMachine(const std::vector<MachineLaunches>& machines, const std::wstring& machine)
{
    const auto found = std::find_if(machines.begin(), machines.end(),
                                    [&machine](const MachineLaunches& m) { return m.machine == machine; });
    return found == machines.end() ? nullptr : &*found;
}

// The first document of the tree at this path.
const PlainEntry* FindDocument(const PlainTree& tree, const std::wstring& path)
{
    const auto found = std::find_if(tree.begin(), tree.end(), [&path](const PlainEntry& entry) {
        return entry.kind == ITEM_DOCUMENT && entry.name == path;
    });
    return found == tree.end() ? nullptr : &*found;
}

// Numbers a tree as a load does, each entry named by its id as the key a launch finds it by.
void Number(PlainTree& tree)
{
    NumberEntries(tree);
    for (PlainEntry& entry : tree)
        entry.key = entry.id ? std::to_wstring(entry.id) : std::wstring();
}

}  // namespace

std::wstring ThisMachine()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    std::wstring machine = GetComputerNameW(name, &size) ? std::wstring(name, size) : L"this machine";
    const platform::reg::unique_hkey key =
        platform::reg::OpenKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", KEY_READ | KEY_WOW64_64KEY);
    if (const std::optional<std::wstring> guid = key ? platform::reg::ReadString(key.get(), L"MachineGuid") : std::nullopt)
        machine += L" (" + guid->substr(0, 8) + L")";
    return machine;
}

CFileHome::CFileHome(std::wstring path, HomeKind kind, std::wstring machine)
    : path_(std::move(path)), kind_(kind), machine_(std::move(machine))
{
}

void CFileHome::SetReport(Report report)
{
    std::lock_guard<std::mutex> held(lock_);
    report_ = std::move(report);
}

void CFileHome::SetWriteLater(WriteLater later)
{
    std::lock_guard<std::mutex> held(optionsLock_);
    later_ = std::move(later);
}

void CFileHome::Fail(const std::wstring& text)
{
    if (report_)
        report_(text);
}

PlainTree CFileHome::Load()
{
    std::lock_guard<std::mutex> held(lock_);
    std::string bytes;
    const platform::FileRead read = platform::media::ReadFile(path_, kMaxTreeFileBytes, &bytes);
    const bool missing = read == platform::FileRead::Unreadable &&
                         platform::media::Attributes(path_) == INVALID_FILE_ATTRIBUTES &&
                         GetLastError() == ERROR_FILE_NOT_FOUND;
    std::wstring error;
    std::optional<TreeFile> file =
        read == platform::FileRead::Read ? ParseTreeFile(bytes, &error) : std::nullopt;
    if (file) {
        known_ = BytesDigest(bytes);
        TakeOptions(*file);
        Remember(file->tree);
        Number(file->tree);
        last_ = file->tree;
        return std::move(file->tree);
    }
    PlainTree tree = DefaultTree();
    Number(tree);
    if (missing) {
        // The first start: the defaults go into the file.
        WriteLocked(tree, {});
        return tree;
    }
    last_ = tree;
    if (read == platform::FileRead::Unreadable) {
        // Another copy's file that cannot be read now (a share away) is never written over unseen.
        unwritten_ = true;
        Fail(L"Cannot read the menu file " + path_ + L". The menu starts anew and is kept in memory until it can be read.");
        return tree;
    }
    // No menu file: kept beside before anything is written over it.
    const std::wstring kept = KeepBeside(bytes);
    known_ = BytesDigest(bytes);
    toldBroken_ = known_;
    Fail((error.empty() ? L"The menu file is too large." : error) + L" The menu starts anew" +
         (kept.empty() ? L"." : L"; the file was kept as " + kept + L"."));
    return tree;
}

std::optional<PlainTree> CFileHome::ReadStored()
{
    std::string bytes;
    std::wstring error;
    if (platform::media::ReadFile(path_, kMaxTreeFileBytes, &bytes) != platform::FileRead::Read)
        return std::nullopt;
    std::optional<TreeFile> file = ParseTreeFile(bytes, &error);
    if (!file)
        return std::nullopt;
    NumberEntries(file->tree);
    return std::move(file->tree);
}

void CFileHome::Remember(const PlainTree& tree)
{
    shared_.clear();
    for (const PlainEntry& entry : tree) {
        if (entry.kind != ITEM_DOCUMENT || shared_.count(entry.name))
            continue;
        Shared& shared = shared_[entry.name];
        const MachineLaunches* here = FindMachine(entry.values.machines, machine_);
        const DWORD total = entry.values.Launches.value_or(0), mine = here ? here->launches.value_or(0) : 0;
        shared.rest = total > mine ? total - mine : 0;
        shared.lastHere = here ? here->lastLaunch : std::nullopt;
        for (const MachineLaunches& machine : entry.values.machines)
            if (machine.machine != machine_)
                shared.others.push_back(machine);
    }
}

std::string CFileHome::Text(const PlainTree& tree) const
{
    TreeFile file{{}, tree, {}};
    {
        std::lock_guard<std::mutex> held(optionsLock_);
        file.hotkey = hotkey_, file.options = options_;
    }
    for (PlainEntry& entry : file.tree) {
        if (entry.kind != ITEM_DOCUMENT)
            continue;
        const auto found = shared_.find(entry.name);
        const Shared shared = found == shared_.end() ? Shared{} : found->second;
        // This machine's part is what the running count holds beyond the others'; its last launch is the running one
        // when no other machine launched it later.
        const DWORD total = entry.values.Launches.value_or(0);
        MachineLaunches here{machine_, total > shared.rest ? std::optional<DWORD>(total - shared.rest) : std::nullopt,
                             shared.lastHere};
        const auto laterElsewhere = [&entry](const MachineLaunches& other) {
            return other.lastLaunch >= entry.values.LastLaunch;
        };
        if (entry.values.LastLaunch && std::none_of(shared.others.begin(), shared.others.end(), laterElsewhere))
            here.lastLaunch = entry.values.LastLaunch;
        entry.values.machines = shared.others;
        if (here.launches || here.lastLaunch)
            entry.values.machines.push_back(here);
        std::sort(entry.values.machines.begin(), entry.values.machines.end(),
                  [](const MachineLaunches& a, const MachineLaunches& b) { return a.machine < b.machine; });
    }
    std::sort(file.options.begin(), file.options.end());
    return FormatTreeFile(file);
}

bool CFileHome::WriteLocked(const PlainTree& tree, const std::function<bool()>& ready)
{
    const std::string bytes = Text(tree);
    std::string current;
    const platform::FileRead read = platform::media::ReadFile(path_, kMaxTreeFileBytes, &current);
    if (read != platform::FileRead::Unreadable && (!known_ || BytesDigest(current) != *known_)) {
        // Another copy wrote the file since this one last saw it: this copy's version goes beside it, and the change
        // from outside is taken when the watch brings it.
        const std::wstring kept = KeepBeside(bytes);
        if (kept.empty()) {
            unwritten_ = true;
            return false;
        }
        unwritten_ = false;
        Fail(L"The menu file was changed elsewhere meanwhile. This copy's menu was kept as " + kept + L".");
        return true;
    }
    if (known_ && BytesDigest(bytes) == *known_ && read == platform::FileRead::Read) {
        last_ = tree;
        unwritten_ = false;
        return true;   // the file holds it already
    }
    if (ready && !ready())
        return false;
    DWORD error = 0;
    if (!platform::media::WriteFile(path_, bytes, &error)) {
        unwritten_ = true;
        if (!failureTold_)
            Fail(L"Cannot write the menu file " + path_ + L" (error " + std::to_wstring(error) +
                 L"). The menu is kept in memory and stored at the next change.");
        failureTold_ = true;
        return false;
    }
    known_ = BytesDigest(bytes);
    last_ = tree;
    unwritten_ = failureTold_ = false;
    std::wstring ignored;
    if (const std::optional<TreeFile> written = ParseTreeFile(bytes, &ignored))
        Remember(written->tree);
    return true;
}

bool CFileHome::Store(const PlainTree& tree, const std::function<bool()>& ready)
{
    std::lock_guard<std::mutex> held(lock_);
    return WriteLocked(tree, ready);
}

bool CFileHome::WriteLaunch(const std::vector<int>& ids, const std::wstring& path, std::optional<DWORD> launches,
                            std::optional<ULONGLONG> lastLaunch)
{
    std::lock_guard<std::mutex> held(lock_);
    if (ids.empty())
        return false;
    const auto document = std::find_if(last_.begin(), last_.end(), [&](const PlainEntry& entry) {
        return entry.id == ids.back() && entry.kind == ITEM_DOCUMENT && entry.name == path;
    });
    if (document == last_.end())
        return false;
    document->values.Launches = launches;
    document->values.LastLaunch = lastLaunch;
    return WriteLocked(PlainTree(last_), {});
}

void CFileHome::TakeOptions(const TreeFile& file)
{
    std::lock_guard<std::mutex> held(optionsLock_);
    optionsRead_ = true;
    hotkey_ = file.hotkey;
    options_ = file.options;
}

void CFileHome::ReadOptionsLocked()
{
    if (optionsRead_)
        return;
    optionsRead_ = true;
    std::string bytes;
    std::wstring error;
    if (platform::media::ReadFile(path_, kMaxTreeFileBytes, &bytes) != platform::FileRead::Read)
        return;
    if (const std::optional<TreeFile> file = ParseTreeFile(bytes, &error))
        hotkey_ = file->hotkey, options_ = file->options;
}

std::optional<DWORD> CFileHome::Option(const std::wstring& name)
{
    // Never behind a write that waits on its medium: the options have a lock of their own.
    std::lock_guard<std::mutex> held(optionsLock_);
    // Asked before the load (the hotkeys are claimed first, and a verb loads no menu): read from the file.
    ReadOptionsLocked();
    if (name == L"Hotkey")
        return hotkey_.Value();
    for (const auto& [option, value] : options_)
        if (option == name)
            return value;
    return std::nullopt;
}

bool CFileHome::SetOption(const std::wstring& name, DWORD value)
{
    WriteLater later;
    {
        std::lock_guard<std::mutex> held(optionsLock_);
        ReadOptionsLocked();
        if (name == L"Hotkey") {
            hotkey_ = Hotkey::From(value);
        } else {
            const auto found = std::find_if(options_.begin(), options_.end(),
                                            [&name](const auto& option) { return option.first == name; });
            if (found != options_.end())
                found->second = value;
            else
                options_.emplace_back(name, value);
        }
        later = later_;
    }
    // The file is written off this thread, in order with the trees, where a writer is set; here otherwise.
    // Before the first tree is loaded or stored there is nothing to write them with: they go with that tree.
    const auto write = [this] {
        std::lock_guard<std::mutex> held(lock_);
        if (!last_.empty())
            WriteLocked(PlainTree(last_), {});
    };
    if (!later) {
        write();
        return !Unwritten();
    }
    later(write);
    return true;
}

std::optional<TreeFile> CFileHome::Look(std::wstring* broken, ULONGLONG* digest)
{
    std::string bytes;
    if (platform::media::ReadFile(path_, kMaxTreeFileBytes, &bytes) != platform::FileRead::Read)
        return std::nullopt;
    *digest = BytesDigest(bytes);
    {
        std::lock_guard<std::mutex> held(lock_);
        if (known_ == *digest || toldBroken_ == *digest)
            return std::nullopt;
    }
    std::wstring error;
    std::optional<TreeFile> file = ParseTreeFile(bytes, &error);
    if (!file) {
        std::lock_guard<std::mutex> held(lock_);
        toldBroken_ = *digest;
        *broken = error;
    }
    return file;
}

bool CFileHome::Unwritten()
{
    std::lock_guard<std::mutex> held(lock_);
    return unwritten_;
}

std::wstring CFileHome::KeepConflict(const PlainTree& tree)
{
    std::lock_guard<std::mutex> held(lock_);
    const std::wstring kept = KeepBeside(Text(tree));
    if (!kept.empty())
        unwritten_ = false;
    return kept;
}

std::wstring CFileHome::KeepBeside(const std::string& bytes) const
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t stamp[32] = {};
    swprintf(stamp, 32, L"%04u-%02u-%02u %02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
             now.wSecond);
    const std::wstring base = FolderOf(path_) + L"\\tabula (conflict " + stamp;
    // Never over another conflict file: a second one within the same second is numbered.
    for (int number = 1; number <= 100; ++number) {
        const std::wstring name = base + (number == 1 ? L"" : L" " + std::to_wstring(number)) + L").json";
        if (platform::media::Attributes(name) == INVALID_FILE_ATTRIBUTES && platform::media::WriteFile(name, bytes, nullptr))
            return name;
    }
    return {};
}

void CFileHome::TakeOutside(TreeFile& file, ULONGLONG digest, const PlainTree& ours)
{
    std::lock_guard<std::mutex> held(lock_);
    for (PlainEntry& entry : file.tree) {
        if (entry.kind != ITEM_DOCUMENT)
            continue;
        std::vector<MachineLaunches>& machines = entry.values.machines;
        auto here = std::find_if(machines.begin(), machines.end(),
                                 [this](const MachineLaunches& m) { return m.machine == machine_; });
        const DWORD inFile = here != machines.end() ? here->launches.value_or(0) : 0;
        const DWORD total = entry.values.Launches.value_or(0), rest = total > inFile ? total - inFile : 0;
        // This copy's own launches that the file has not taken yet count too.
        const PlainEntry* running = FindDocument(ours, entry.name);
        const auto shared = shared_.find(entry.name);
        const DWORD runningTotal = running ? running->values.Launches.value_or(0) : 0;
        const DWORD runningRest = shared != shared_.end() ? shared->second.rest : 0;
        const DWORD mine = std::max(inFile, runningTotal > runningRest ? runningTotal - runningRest : 0);
        if (!mine)
            continue;
        if (here == machines.end())
            here = machines.insert(machines.end(), MachineLaunches{machine_});
        here->launches = mine;
        entry.values.Launches = rest + mine;
        if (running && running->values.LastLaunch > entry.values.LastLaunch)
            entry.values.LastLaunch = here->lastLaunch = running->values.LastLaunch;
    }
    known_ = digest;
    TakeOptions(file);
    Remember(file.tree);
    unwritten_ = false;
}

std::vector<Backup> CFileHome::Conflicts() const
{
    std::vector<Backup> conflicts;
    const std::wstring folder = FolderOf(path_);
    std::vector<std::wstring> names = platform::FileNames(folder, L"tabula (conflict *).json");
    // The name holds the time it was kept at, in an order that sorts as the time does.
    std::sort(names.rbegin(), names.rend());
    for (const std::wstring& name : names) {
        Backup conflict{folder + L"\\" + name};
        std::wstring error;
        const std::optional<TreeFile> file = ReadTreeFile(conflict.path, &error);
        WIN32_FILE_ATTRIBUTE_DATA data{};
        FILETIME local{};
        if (!file || !GetFileAttributesExW(conflict.path.c_str(), GetFileExInfoStandard, &data) ||
            !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &conflict.time))
            continue;
        conflict.entries = file->tree.size();
        conflicts.push_back(std::move(conflict));
    }
    return conflicts;
}

}  // namespace store
