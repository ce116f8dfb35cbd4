// The stored menu tree in the test prefix's registry: load and save, stores damaged by hand, saves cut short.
#include <algorithm>
#include <functional>
#include <map>

#include "MenuTesting.h"
#include "StoreTesting.h"
#include "platform/Files.h"
#include "store/RegHelper.h"
#include "store/StoreWriter.h"

using namespace storetest;
using namespace menutest;
namespace faults = platform::reg::faults;
using Change = faults::Change;

// Nothing beside the stored tree and no value of its own: what a finished save or load leaves.
static void CheckSettled(const std::wstring& when)
{
    const HKEY root = Open(RootPath());
    EXPECT_EQ(Values(root), 0u) << when;
    EXPECT_FALSE(KeyExists(KeyPath(store::kStagingName))) << when;
    EXPECT_FALSE(KeyExists(KeyPath(store::kRetiredName))) << when;
    RegCloseKey(root);
}

class Store : public testing::Test {
protected:
    void SetUp() override { ClearStore(); }
    void TearDown() override { ClearStore(); }
    // Loads into a fresh menu, checks its menus in step with it, and describes it; keeps how its menu shows.
    std::wstring Load()
    {
        CTodayMenu menu;
        store.LoadTree(&menu);
        menutest::CheckMenu(menu.Root);
        shown = Shown(menu.GetRootMenu());
        return Describe(menu.Root);
    }
    std::wstring StoreAndLoad(CTodayMenu& tree)
    {
        ClearStore();
        EXPECT_EQ(store.SaveTree(&tree), 0);
        EXPECT_EQ(StoredText(), Describe(tree.Root));
        CheckSettled(L"save");
        const std::wstring loaded = Load();
        faults::Reset();   // changes are counted from here
        return loaded;
    }
    CRegHelper store;
    std::wstring shown;
};

// The first start stores the defaults; a load rebuilds every level, built-in ids kept, the others from 5 depth-first.
TEST_F(Store, SaveAndLoadKeepEveryLevel)
{
    EXPECT_EQ(Load(), L"D1:\\My Documents -4 D2:Configuration D3:Exit");
    EXPECT_EQ(StoredText(), L"D1:\\My Documents -4 D2:Configuration D3:Exit");
    CheckSettled(L"first start");

    CTodayMenu menu;
    menutest::BuildDefaults(menu);
    menu.AppendDocumentWithID(L"C:\\x\\first.doc", 40, 0);
    menu.ChangeDocument(40, L"C:\\x\\first.doc", {L"-a \"b\"", L"%TEMP%", DWORD(SW_SHOWMINNOACTIVE), L"runas", L"C:\\i.dll,-2"});
    const int office = menu.AppendSection(L"R&D\tOffice", 0);
    menu.AppendDocumentWithID(L"C:\\x\\letter.doc", 123456, office);
    menu.AppendSeparatorWithID(1000, office);
    Build(menu, L"S:Inner[S:Deep[D:C:\\x\\deep.txt]] S:Lines[-] S:Empty S:", office);
    menu.MoveEntry(ID_CONFIGURATION, 0), menu.MoveEntry(ID_EXIT, 1);
    const std::wstring first = L"D5:C:\\x\\first.doc{Args:-a \"b\"|StartIn:%TEMP%|Show:7|Verb:runas|Icon:C:\\i.dll,-2}";
    EXPECT_EQ(StoreAndLoad(menu), L"D2:Configuration D3:Exit D1:\\My Documents -4 " + first + L" S6:R&D\tOffice[D7:C:\\x\\letter.doc "
                                  L"-8 S9:Inner[S10:Deep[D11:C:\\x\\deep.txt]] S12:Lines[-13] S14:Empty[] S15:[]]");
    EXPECT_EQ(shown, L"Configuration#2|Exit#3|My Documents#1|-|first#5|R&&D Office[letter#7|-|Inner[Deep[deep#11]]|Lines~[-]|Empty~[]|~[]]");
    menu.RemoveEntry(office);
    EXPECT_EQ(StoreAndLoad(menu), L"D2:Configuration D3:Exit D1:\\My Documents -4 " + first);

    // Every level loads, however deep, and a save stores it again as it was: 260 levels, a document at the bottom.
    CTodayMenu chain, loaded;
    std::wstring levels = L"D:C:\\x\\bottom.txt";
    for (int level = 0; level < 260; ++level)
        levels = L"S:" + std::to_wstring(level) + L"[" + levels + L"]";
    menutest::BuildDefaults(chain), Build(chain, levels);
    EXPECT_EQ(StoreAndLoad(chain), Describe(chain.Root));
    const std::wstring stored = StoredText();
    store.LoadTree(&loaded);
    ASSERT_EQ(store.SaveTree(&loaded), 0);
    EXPECT_EQ(StoredText(), stored);

    // 5,000 levels, which Wine's registry holds (Windows' holds 512 at most), load, save and go within seconds; a tree
    // left beside the stored one is deleted at any depth.
    ClearStore();
    PutChain(RootPath(), 5000), PutChain(KeyPath(store::kRetiredName), 5000);
    const DWORD start = GetTickCount();
    CTodayMenu deep;
    store.LoadTree(&deep);
    const std::wstring text = Describe(deep.Root);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'['), 5000);
    ASSERT_EQ(store.SaveTree(&deep), 0);
    EXPECT_LT(GetTickCount() - start, 30000u);   // each change costs Wine's registry more the deeper its key is
    EXPECT_EQ(Load(), text);
    CheckSettled(L"deep trees");
}

// A store written or damaged by hand loads what makes sense in Pos order; the load changes only what a save left beside it.
TEST_F(Store, LoadsWhatMakesSenseOfAnyStore)
{
    const std::wstring root = RootPath(), staging = KeyPath(store::kStagingName), old = KeyPath(store::kRetiredName);
    const BYTE odd[] = {'C', 0, ':', 0, 'o', 0, 'x'};
    const WORD two = 1;
    const ULONGLONG eight = 1;
    const std::wstring huge = L"C:\\" + std::wstring(100000, L'h');
    const std::pair<std::function<void()>, std::wstring> cases[] = {
        {[&] { PutEntries(root, {L"2 1 1 2 8 Configuration", L"3 1 1 3 9 Exit", L"9 1 0 9 4294967295 last", L"5 1 0 5 7 seven",
                                 L"6 3 0 6 3", L"7 1 0 7 0 zero", L"8 1 0 8 1 none", L"10 1 0 10 1 short"});
               Put(root + L"\\8", L"Pos", 0, nullptr, 0), Put(root + L"\\10", L"Pos", REG_DWORD, &two, 2); },
         L"D5:zero -6 D7:seven D2:Configuration D3:Exit D8:last D9:short D10:none"},
        {[&] { PutEntries(root, {L"2 1 1 2 9 Configuration", L"3 1 1 3 10 Exit", L"5 1 0 0 1 5", L"6 1 0 0 1 6", L"7 1 0 0 0 7", L"8 1 0 0 1 8"}); },
         L"D5:7 D6:5 D7:6 D8:8 D2:Configuration D3:Exit"},
        {[&] { PutEntries(root, {L"2 1 1 2 20 Configuration", L"3 1 1 3 21 Exit", L"5 1 0 5 0 text type", L"6 2 0 6 1 no type",
                                 L"8 9 0 8 2 kind nine", L"13 3 1 13 3", L"14 1 1 44 4 id from key", L"15 1 0 15 5", L"16 1 0 16 6",
                                 L"17 1 0 17 7", L"18 2 0 18 8"});
               PutEntries(root + L"\\6", {L"7 1 0 7 0 under no type"});
               PutText(root + L"\\5", L"Type", L"1"), Put(root + L"\\6", L"Type", 0, nullptr, 0), PutDword(root + L"\\11", L"Type", 1);
               PutDword(root + L"\\12", L"Nothing", 1), Put(root + L"\\13", L"IsSpec", REG_QWORD, &eight, 8);
               Put(root + L"\\14", L"ID", REG_DWORD, &two, 2), Put(root + L"\\15", L"Name", REG_SZ, L"C:\\n", 8);
               Put(root + L"\\16", L"Name", REG_SZ, odd, sizeof(odd)), Put(root + L"\\17", L"Name", REG_BINARY, L"C:\\bin", 14);
               PutText(root + L"\\18", L"Name", huge); },
         L"-5 D14:id from key D6:C:\\n D7:C:o D8: S9:" + huge + L"[] D2:Configuration D3:Exit D10:"},
        {[&] { PutEntries(root, {L"2 1 1 2 10 Configuration", L"3 1 1 3 11 Exit", L"odd 2 0 77 0 Odd", L"20 2 0 21 1 Mismatched",
                                 L"21 1 0 21 2 other", L"00007 1 1 0 3 padded"});
               PutEntries(root + L"\\odd", {L"x 1 0 5 0 inside"}), PutEntries(root + L"\\20", {L"22 3 0 22 0"}); },
         L"S5:Odd[D6:inside] S7:Mismatched[-8] D9:other D10:padded D2:Configuration D3:Exit"},
        {[&] { PutEntries(root, {L"7 1 1 7 0 first", L"8 1 1 7 1 second", L"9 3 1 0 2", L"10 1 1 4294967295 3 minus one",
                                 L"11 1 1 65536 4 one past commands", L"12 3 1 2 5", L"13 1 1 3 6 Exit", L"14 1 1 3 7 Exit",
                                 L"15 1 1 65535 8 last command"}); },
         L"D7:first D5:second -6 D8:minus one D9:one past commands -10 D3:Exit D11:Exit D65535:last command D2:Configuration"},
        {[&] { PutEntries(root, {L"5 1 0 5 0 C:\\p", L"6 1 0 6 1 C:\\q", L"7 1 0 7 2 C:\\r"}), PutDword(root + L"\\5", L"Args", 1);
               Put(root + L"\\5", L"Show", REG_DWORD, &two, 2), Put(root + L"\\5", L"Icon", REG_BINARY, L"C:\\i", 8), PutText(root + L"\\6", L"Verb", L"");
               PutDword(root + L"\\7", L"Show", SW_SHOW); },
         L"D5:C:\\p D6:C:\\q{Verb:} D7:C:\\r D2:Configuration D3:Exit"},
        {[&] { PutEntries(root, {L"5 1 0 5 0 C:\\p", L"6 1 0 6 1 C:\\q"}), PutDword(root + L"\\5", L"Launches", 3);
               Put(root + L"\\5", L"LastLaunch", REG_QWORD, &eight, 8), PutText(root + L"\\6", L"Launches", L"3"), PutDword(root + L"\\6", L"LastLaunch", 1); },
         L"D5:C:\\p{Launches:3|LastLaunch:1} D6:C:\\q D2:Configuration D3:Exit"},
        {[&] { Put(root, nullptr, 0, nullptr, 0); }, L"D2:Configuration D3:Exit"},
        {[&] { PutEntries(root, {L"1 1 1 1 0 \\My Documents", L"5 2 0 5 1 Tools"}), PutEntries(root + L"\\5", {L"2 1 1 2 0 Configuration"}); },
         L"D1:\\My Documents S5:Tools[D2:Configuration] D3:Exit"},
        {[&] { PutEntries(staging, {L"9 1 0 9 0 half"}); }, L"D1:\\My Documents -4 D2:Configuration D3:Exit"},
        {[&] { PutEntries(root, {L"2 1 1 2 0 Configuration", L"3 1 1 3 1 Exit"}), PutEntries(staging, {L"5 1 0 5 0 new"});
               PutDword(staging, store::kCompleteValue, 1); }, L"D2:Configuration D3:Exit"},
        {[&] { PutEntries(staging, {L"3 1 1 3 0 Exit", L"2 1 1 2 1 Configuration"}), PutDword(staging, store::kCompleteValue, 1);
               PutEntries(old, {L"2 1 1 2 0 Configuration"}); }, L"D3:Exit D2:Configuration"},
        {[&] { PutEntries(old, {L"3 1 1 3 0 Exit"}); }, L"D3:Exit D2:Configuration"},
    };
    for (const auto& [write, loaded] : cases) {
        ClearStore();
        write();
        const bool stored = KeyExists(root);
        const std::wstring before = StoredText();
        EXPECT_EQ(Load(), loaded);
        CheckSettled(loaded);
        EXPECT_EQ(stored ? StoredText() : before, before) << loaded;   // a stored tree stays as it was
    }
}

// A launch writes its document's Launches and LastLaunch alone, into the key the document is stored under: at any depth,
// under the key name a renumbering load found. A document not stored yet, or whose key now holds another, gets nothing;
// the next save carries every count, and the next load reads them.
TEST_F(Store, ALaunchWritesItsTwoValuesIntoItsStoredKeyAlone)
{
    PutEntries(RootPath(), {L"12 1 0 12 0 C:\\a.txt", L"20 2 0 20 1 S", L"9 1 0 9 2 C:\\c.txt"});
    PutEntries(RootPath() + L"\\20", {L"21 1 0 21 0 C:\\b.txt"});
    CTodayMenu menu(&g_Services);
    store.LoadTree(&menu);
    ASSERT_EQ(Describe(menu.Root), L"D5:C:\\a.txt S6:S[D7:C:\\b.txt] D8:C:\\c.txt D2:Configuration D3:Exit");
    store::CStoreWriter writer(store);
    menu.SetLaunchRecorder([&](const CItem& document) { writer.RecordLaunch(store::LaunchRecordOf(document)); });
    PutText(RootPath() + L"\\9", L"Name", L"C:\\other.txt");
    const struct { int id; const wchar_t* key; } rows[] = {{5, L"12"}, {7, L"20\\21"}, {menu.AppendDocument(L"C:\\new.txt", 0), nullptr}, {8, nullptr}};
    for (const auto& [id, key] : rows) {
        faults::Reset(), faults::Record(true), menu.Launch(id), writer.Flush();
        EXPECT_EQ(faults::Journal(), (key ? std::vector<Change>{Change::SetValue, Change::SetValue} : std::vector<Change>{})) << id;
        const std::wstring path = RootPath() + L"\\" + (key ? key : L"none");
        EXPECT_EQ(std::make_pair(Read(path, L"Launches").Dword(), Read(path, L"LastLaunch").Qword()),
                  key ? std::make_pair(DWORD{1}, *menu.Root.FindItem(id)->LastLaunch) : std::make_pair(DWORD{0xBAD0BAD0u}, ULONGLONG{0xBAD0BAD0u})) << id;
    }
    faults::Reset();
    ASSERT_TRUE(writer.Write(store::SnapshotOf(menu)));
    EXPECT_EQ(StoredText(), Describe(menu.Root));
    EXPECT_EQ(Load(), Describe(menu.Root));
    // Once written by ids, a launch finds its key by them; the backup before the next save is of the store as the
    // launches since left it.
    menu.Launch(5);
    ASSERT_TRUE(writer.Write(store::SnapshotOf(menu)));
    std::string backup;
    platform::ReadWholeFile(writer.Backups().List().at(0).path, 1 << 24, &backup);
    EXPECT_NE(backup.find("\"LastLaunch\": " + std::to_string(*menu.Root.FindItem(5)->LastLaunch)), std::string::npos);
}

// The stored tree as the next backup reads it, after this store loaded it or saved it, is the tree as it is now: a
// change made by hand at any depth, or a tree that another copy put in its place, is seen.
TEST_F(Store, ReadsOfTheStoredTreeSeeEveryChangeMadeSince)
{
    const std::wstring base = L"D1:\\My Documents -4 D2:Configuration D3:Exit ", work = RootPath() + L"\\5";
    const struct { const wchar_t* what; std::function<void()> change; std::wstring stored; } rows[] = {
        {L"nothing", [] {}, base + L"S5:Work[D6:C:\\a.txt]"},
        {L"a name in a section", [&] { PutText(work + L"\\6", L"Name", L"C:\\by hand"); }, base + L"S5:Work[D6:C:\\by hand]"},
        {L"an entry added to a section", [&] { PutEntries(work, {L"9 1 0 9 1 C:\\added"}); }, base + L"S5:Work[D6:C:\\a.txt D7:C:\\added]"},
        {L"an entry removed", [&] { platform::reg::DeleteTree(platform::reg::StoreHive(), (work + L"\\6").c_str()); }, base + L"S5:Work[]"},
        {L"the tree replaced by another copy", [] {
             CTodayMenu other;
             BuildDefaults(other), Build(other, L"D:C:\\other.txt"), CRegHelper().SaveTree(&other);
         }, base + L"D5:C:\\other.txt"}};
    for (const bool saved : {false, true})
        for (const auto& row : rows) {
            ClearStore();
            CTodayMenu menu;
            BuildDefaults(menu), Build(menu, L"S:Work[D:C:\\a.txt]");
            saved ? store.SaveTree(&menu) : (CRegHelper().SaveTree(&menu), store.LoadTree(&menu));
            row.change();
            const std::optional<store::PlainTree> read = store.ReadStored();
            ASSERT_TRUE(read) << row.what;
            CTodayMenu built;
            store::BuildMenu(built, *read);
            EXPECT_EQ(Describe(built.Root), row.stored) << row.what << (saved ? L" after a save" : L" after a load");
        }
}

using CutShortSave = Store;

// Cut short anywhere, save or load leave the old or new tree whole; one refused write abandons it, a refused tidy-up is redone.
TEST_F(CutShortSave, AtAnyChangeLeavesTheOldOrTheNewTree)
{
    CTodayMenu oldTree, newTree;
    menutest::BuildDefaults(oldTree), menutest::BuildDefaults(newTree);
    Build(oldTree, L"D:C:\\a.txt S:S[D:C:\\b.txt -] -");
    Build(newTree, L"S:T[D:C:\\c.txt S:U[D:C:\\d.txt]] D:C:\\a.txt");
    const std::wstring newText = StoreAndLoad(newTree), oldText = StoreAndLoad(oldTree);
    faults::Record(true);
    ASSERT_EQ(store.SaveTree(&newTree), 0);
    const std::vector<Change> journal = faults::Journal();
    const std::map<Change, int> refusedSave = {{Change::CreateKey, -1}, {Change::SetValue, -1}, {Change::RenameKey, -1},
                                               {Change::DeleteValue, 0}, {Change::DeleteKey, 0}};
    const long moved = std::find(journal.begin(), journal.end(), Change::RenameKey) - journal.begin() + 1;
    bool sawNew = false;
    for (long k = 0; k <= static_cast<long>(journal.size()); ++k) {
        StoreAndLoad(oldTree);
        faults::RefuseAfter(k);
        const int result = store.SaveTree(&newTree);
        faults::Reset(), faults::RefuseAfter(k % 4);
        const std::wstring cut = Load();
        faults::Reset();
        const std::wstring loaded = Load();
        sawNew = sawNew || loaded == newText;
        EXPECT_EQ(loaded, sawNew ? newText : oldText) << "save stopped after change " << k;
        EXPECT_EQ(cut, loaded) << k;
        EXPECT_TRUE(result != 0 || loaded == newText) << k;
        EXPECT_TRUE(k < moved || loaded == newText) << k;
        CheckSettled(L"after change " + std::to_wstring(k));
        if (k == 0)
            continue;
        StoreAndLoad(oldTree);
        faults::RefuseOne(k);
        const int refused = store.SaveTree(&newTree), expected = refusedSave.at(journal[k - 1]);
        faults::Reset();
        EXPECT_EQ(refused, expected) << "change " << k << " refused";
        if (expected != 0) {
            EXPECT_EQ(StoredText(), oldText) << k;
            CheckSettled(L"refused save " + std::to_wstring(k));
        }
        EXPECT_EQ(Load(), expected ? oldText : newText) << k;
        CheckSettled(L"load after refused change " + std::to_wstring(k));
    }
    EXPECT_TRUE(sawNew);
}
