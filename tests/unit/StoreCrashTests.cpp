// No tree is ever lost by a save: whatever change of a save is the last one to reach the registry,
// because the process died there or because the registry refused the rest, the next start loads
// the complete old tree or the complete new one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Shortcut.h"
#include "store/RegHelper.h"
#include "tests/unit/StoreTesting.h"
#include "tests/unit/TestTree.h"

using storetest::Describe;

namespace {

// The test program started again with this variable set runs one save of the new tree and is ended
// by the registry layer after the number of changes that the variable gives.
constexpr const wchar_t* kKillVariable = L"TABULA_KILL_AFTER_CHANGES";
constexpr UINT kKilledExitCode = 77;

// The tree as a session found it: 38 entries, 21 of them documents, on two levels.
void BuildOldTree(CTodayMenu& menu)
{
    testtree::BuildDefaults(menu);
    for (int s = 0; s < 4; ++s) {
        const int section = menu.AppendSection(L"Section " + std::to_wstring(s), 0);
        for (int d = 0; d < 7; ++d) {
            if (d % 2)
                menu.AppendSeparator(section);
            else
                menu.AppendDocument(L"C:\\docs\\s" + std::to_wstring(s) + L"\\file" + std::to_wstring(d) + L".txt",
                                    section);
        }
    }
    for (int d = 0; d < 2; ++d)
        menu.AppendDocument(L"C:\\top\\note" + std::to_wstring(d) + L".txt", 0);
}

// The same tree after a few edits: entries added, removed and moved at both levels.
void BuildNewTree(CTodayMenu& menu)
{
    BuildOldTree(menu);
    const int sectionB = menu.Root.Items[5]->ID;
    const int sectionC = menu.Root.Items[6]->ID;
    menu.RemoveEntry(menu.Root.Items[5]->Children->Items[2]->ID);
    menu.AppendDocument(L"C:\\docs\\added.txt", sectionC);
    menu.MoveEntry(menu.Root.Items[6]->ID, 0);
    menu.RemoveEntry(menu.Root.Items.back()->ID);
    menu.MoveEntry(ID_EXIT_ENTRY, static_cast<int>(menu.Root.Items.size()) - 1);
    menu.AppendSection(L"Fresh", 0);
    menu.MoveEntry(menu.Root.FindItem(sectionB)->Children->Items[0]->ID, 3);
}

void RunKilledSave(long changes)
{
    CTodayMenu menu;
    BuildNewTree(menu);
    CRegHelper store;
    platform::reg::faults::Reset();
    platform::reg::faults::TerminateAfter(changes, kKilledExitCode);
    const int result = store.SaveTree(&menu);
    ExitProcess(result == 0 ? 0 : 1);
}

// Runs before the tests are set up, and only in a started-again test program.
const bool g_killedSaveRan = [] {
    wchar_t value[32];
    const DWORD length = GetEnvironmentVariableW(kKillVariable, value, 32);
    if (length == 0 || length >= 32)
        return false;
    RunKilledSave(wcstol(value, nullptr, 10));
    return true;
}();

// Starts the test program again to save the new tree and die after that many changes; its exit code.
DWORD RunChildSave(long changes)
{
    const std::wstring program = RunningProgramPath();
    std::wstring commandLine = L"\"" + program + L"\"";
    SetEnvironmentVariableW(kKillVariable, std::to_wstring(changes).c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableW(kKillVariable, nullptr);
    if (!started)
        return static_cast<DWORD>(-1);
    DWORD exitCode = static_cast<DWORD>(-2);
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

class StoreCrashTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        storetest::ClearStore();
        BuildOldTree(oldTree_);
        BuildNewTree(newTree_);
        oldText_ = StoreAndLoad(oldTree_);
        newText_ = StoreAndLoad(newTree_);
        ASSERT_NE(oldText_, newText_);
        // The changes of one whole save, from the stored old tree.
        StoreOldTree();
        platform::reg::faults::Record(true);
        ASSERT_EQ(0, store_.SaveTree(&newTree_));
        journal_ = platform::reg::faults::Journal();
        saveChanges_ = platform::reg::faults::Changes();
        StoreOldTree();
    }
    void TearDown() override { storetest::ClearStore(); }

    std::wstring StoreAndLoad(CTodayMenu& tree)
    {
        storetest::ClearStore();
        EXPECT_EQ(0, store_.SaveTree(&tree));
        return LoadFresh();
    }

    std::wstring LoadFresh()
    {
        CTodayMenu loaded;
        store_.LoadTree(&loaded);
        return Describe(loaded.Root);
    }

    void StoreOldTree()
    {
        storetest::ClearStore();
        ASSERT_EQ(0, store_.SaveTree(&oldTree_));
        platform::reg::faults::Reset();
    }

    // The number of the n-th change of the save of this kind (1 for the first change of the save).
    long NthChange(platform::reg::faults::Change kind, int n) const
    {
        for (size_t i = 0; i < journal_.size(); ++i)
            if (journal_[i] == kind && --n == 0)
                return static_cast<long>(i) + 1;
        return -1;
    }

    // After a load the store holds the tree alone: no key beside it, no value of its own.
    void ExpectSettled(long k) const
    {
        EXPECT_FALSE(storetest::KeyExists(storetest::KeyPath(store::kStagingName))) << k;
        EXPECT_FALSE(storetest::KeyExists(storetest::KeyPath(store::kRetiredName))) << k;
        EXPECT_EQ(0u, storetest::CountValues(storetest::RootPath())) << k;
    }

    // The tree loaded after the save stopped at change k: the old one up to some k, the new one after.
    void ExpectOldThenNew(long k, const std::wstring& loaded, bool* sawNew) const
    {
        if (!*sawNew && loaded == newText_)
            *sawNew = true;
        EXPECT_EQ(*sawNew ? newText_ : oldText_, loaded) << "save stopped after change " << k;
    }

    CRegHelper store_;
    CTodayMenu oldTree_, newTree_;
    std::wstring oldText_, newText_;
    std::vector<platform::reg::faults::Change> journal_;
    long saveChanges_ = 0;
};

TEST_F(StoreCrashTest, ASaveWhoseRegistryRefusesEveryChangeAfterAnyPointLeavesTheOldOrTheNewTree)
{
    // A refused change changes nothing, so the registry is left as a process that died there leaves it.
    ASSERT_GT(saveChanges_, 200);
    bool sawNew = false;
    bool storeHoldsOldTree = false;
    for (long k = 0; k <= saveChanges_; ++k) {
        // A load that found the old tree leaves the store as StoreOldTree does.
        if (!storeHoldsOldTree)
            StoreOldTree();
        platform::reg::faults::RefuseAfter(k);
        const int result = store_.SaveTree(&newTree_);
        platform::reg::faults::Reset();
        const std::wstring loaded = LoadFresh();
        ExpectOldThenNew(k, loaded, &sawNew);
        // A save that says it stored the tree did.
        if (result == 0) {
            EXPECT_EQ(newText_, loaded) << k;
        }
        if (k == saveChanges_) {
            EXPECT_EQ(0, result);
        }
        ExpectSettled(k);
        storeHoldsOldTree = loaded == oldText_;
    }
    EXPECT_TRUE(sawNew);
}

TEST_F(StoreCrashTest, ASaveKilledAfterAnyChangeLeavesTheOldOrTheNewTree)
{
    using platform::reg::faults::Change;
    // A started-again test program costs about a quarter of a second under Wine: by default the kills
    // fall on the edges of every step of the save, every change with TABULA_STORE_KILL_EVERY_CHANGE set.
    const long firstRename = NthChange(Change::RenameKey, 1);
    const long secondRename = NthChange(Change::RenameKey, 2);
    ASSERT_GT(firstRename, 1);
    ASSERT_EQ(firstRename + 1, secondRename);
    const long mark = firstRename - 1, unmark = secondRename + 1;
    std::vector<long> kills = {0, 1, 2, mark / 2, mark - 1, mark, firstRename, secondRename, unmark, unmark + 1,
                               (unmark + saveChanges_) / 2, saveChanges_ - 1, saveChanges_};
    if (GetEnvironmentVariableW(L"TABULA_STORE_KILL_EVERY_CHANGE", nullptr, 0) != 0) {
        kills.clear();
        for (long k = 0; k <= saveChanges_; ++k)
            kills.push_back(k);
    }

    bool sawNew = false;
    for (const long k : kills) {
        StoreOldTree();
        const DWORD exitCode = RunChildSave(k);
        ASSERT_EQ(k < saveChanges_ ? kKilledExitCode : 0u, exitCode) << "child for change " << k;
        ExpectOldThenNew(k, LoadFresh(), &sawNew);
        ExpectSettled(k);
    }
    EXPECT_TRUE(sawNew);
}

TEST_F(StoreCrashTest, ASaveThatCannotCreateAnEntryKeyKeepsTheOldTreeAndSaysSo)
{
    // The third key that the save creates: the staging root, the first entry, then this one.
    platform::reg::faults::RefuseOne(NthChange(platform::reg::faults::Change::CreateKey, 3));
    EXPECT_EQ(-1, store_.SaveTree(&newTree_));
    platform::reg::faults::Reset();

    // Nothing of the failed save is left, before any load tidies up.
    EXPECT_FALSE(storetest::KeyExists(storetest::KeyPath(store::kStagingName)));
    EXPECT_FALSE(storetest::KeyExists(storetest::KeyPath(store::kRetiredName)));
    EXPECT_EQ(oldText_, LoadFresh());

    // A value that cannot be written is as bad as a missing key.
    platform::reg::faults::RefuseOne(NthChange(platform::reg::faults::Change::SetValue, 7));
    EXPECT_EQ(-1, store_.SaveTree(&newTree_));
    platform::reg::faults::Reset();
    EXPECT_EQ(oldText_, LoadFresh());

    // And the next save that can write stores the tree.
    EXPECT_EQ(0, store_.SaveTree(&newTree_));
    EXPECT_EQ(newText_, LoadFresh());
}

TEST_F(StoreCrashTest, ALoadThatFinishesAnInterruptedSaveCanItselfBeInterrupted)
{
    using platform::reg::faults::Change;
    const long firstRename = NthChange(Change::RenameKey, 1);
    // Saves stopped with no Tabula key, with the new tree still marked, and with the old tree half deleted.
    for (const long k : {firstRename, firstRename + 1, firstRename + 3}) {
        const auto interruptedSave = [&] {
            StoreOldTree();
            platform::reg::faults::RefuseAfter(k);
            store_.SaveTree(&newTree_);
            platform::reg::faults::Reset();
        };
        interruptedSave();
        CTodayMenu counted;
        store_.LoadTree(&counted);
        const long loadChanges = platform::reg::faults::Changes();
        EXPECT_GT(loadChanges, 0) << k;
        EXPECT_EQ(newText_, Describe(counted.Root)) << k;

        // The load's first changes finish the save; the rest delete the old tree, key by key, all alike.
        for (const long j : {0L, 1L, 2L, 3L, loadChanges - 1}) {
            interruptedSave();
            platform::reg::faults::RefuseAfter(j);
            CTodayMenu stopped;
            store_.LoadTree(&stopped);
            platform::reg::faults::Reset();
            EXPECT_EQ(newText_, Describe(stopped.Root)) << k << " " << j;
            EXPECT_EQ(newText_, LoadFresh()) << k << " " << j;
            ExpectSettled(k);
        }
    }
}

TEST_F(StoreCrashTest, StoreLeftBesideTheTreeByHandIsTidiedAndTheRightTreeLoaded)
{
    using storetest::PutEntry;
    const std::wstring staging = storetest::KeyPath(store::kStagingName);
    const auto mark = [&] { storetest::SetDword(storetest::Key(staging, true).get(), store::kCompleteValue, 1); };

    // An unmarked Tabula.new is not a tree, even when Tabula is missing.
    storetest::ClearStore();
    PutEntry(staging, L"9", 1, 0, 9, L"C:\\half.txt", 0);
    EXPECT_EQ(L"D1:\\My Documents -4 D2:Configuration D3:Exit", LoadFresh());
    ExpectSettled(0);

    // A marked one is a whole tree: it replaces a missing Tabula, not a present one.
    StoreOldTree();
    mark();
    PutEntry(staging, L"2", 1, 1, 2, L"Configuration", 0);
    PutEntry(staging, L"3", 1, 1, 3, L"Exit", 1);
    EXPECT_EQ(oldText_, LoadFresh());
    ExpectSettled(1);

    storetest::ClearStore();
    mark();
    PutEntry(staging, L"3", 1, 1, 3, L"Exit", 0);
    PutEntry(staging, L"2", 1, 1, 2, L"Configuration", 1);
    EXPECT_EQ(L"D3:Exit D2:Configuration", LoadFresh());
    ExpectSettled(2);
}

}  // namespace
