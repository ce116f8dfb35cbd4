// Menu files: export and import on the Options page, files that are not menu files, backups and Restore, %NAME% paths.
#include "SettingsTesting.h"
#include "config/OptionsPage.h"
#include "config/RestoreDialog.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "store/Options.h"
#include "store/TreeTransfer.h"
#include "app/CommandLine.h"
#include "store/StoreWriter.h"

using namespace settingstest;

namespace {

std::wstring Temp(const wchar_t* name) { wchar_t t[MAX_PATH] = {}; return std::wstring(t, GetTempPathW(MAX_PATH, t)) + name; }
void Write(const std::wstring& path, const std::string& text) { platform::WriteWholeFile(path, text); }
std::string Json(const std::string& tree) { return R"({"version": 1, "hotkey": 0, "tree": [)" + tree + "]}"; }
std::string Nested(int levels, const std::string& inner)
{
    std::string open, close;
    for (int i = 0; i < levels; ++i)
        open += R"({"kind": "section", "name": "s", "children": [)", close += "]}";
    return open + inner + close;
}
std::string Repeated(const std::string& text, size_t times) { std::string all; all.reserve(text.size() * times); while (times--) all += text; return all; }
ULONGLONG StoreChange()
{
    FILETIME time{};
    HKEY key = storetest::Open(storetest::RootPath());
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &time), RegCloseKey(key);
    return ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart;
}

// The settings window with its Options page; files chosen in the save and open dialogs are `path`.
class Transfer : public SettingsTest {
protected:
    const std::wstring path = Temp(L"tabula-transfer.json");
    void SetUp() override
    {
        SettingsTest::SetUp();
        platform::SetSaveFileAnswer([this](auto& r) { return lstrcpynW(r.lpstrFile, path.c_str(), r.nMaxFile) != nullptr; });
        file = path.c_str();
    }
    void TearDown() override { platform::SetSaveFileAnswer({}), DeleteFileW(path.c_str()), SettingsTest::TearDown(); }
    HWND Options() const { return CSettingsState::Of(window).Page(kOptionsTab); }
    std::string Exported() { std::string text; Press(Options(), IDC_EXPORT); platform::ReadWholeFile(path, 1 << 30, &text); return text; }
};

}  // namespace

// Every kind of entry, nested, with its own values and launch counts, exported and imported into an empty store, is stored
// as it was.
TEST_F(Transfer, ExportedThenImportedIntoAnEmptyStoreIsTheSameTree)
{
    menutest::Build(g_TodayMenu, L"S:R\x00E9sum\x00E9s \x6587\x66F8[D:C:\\a.txt S:Inner[- D:%TABULA_DIR%\\deep.txt] S:Empty] -");
    const int own = g_TodayMenu.AppendDocument(L"C:\\" + std::wstring(252, L'p'), 0), live = g_TodayMenu.AppendDocument(L"C:\\windows", 0);
    g_TodayMenu.AppendSection(std::wstring(255, L's'), 0);
    g_TodayMenu.RenameEntry(own, L"\x00C7" L"a va"), g_TodayMenu.ShowFolderContents(live, true), g_TodayMenu.MoveEntry(ID_EXIT, 0);
    g_TodayMenu.ChangeDocument(own, g_TodayMenu.Root.FindItem(own)->Path, {std::wstring(kMaxArguments, L'"'), L"D:\\", DWORD(SW_SHOWNORMAL), L"", L"%X%,9"});
    g_TodayMenu.Root.FindItem(live)->Launches = MAXDWORD, g_TodayMenu.Root.FindItem(live)->LastLaunch = 0x01DB0123456789ABull;   // 64 bits exact
    ASSERT_TRUE(store::SaveHotkey(store::Hotkey::From(MAKEWORD(VK_F7, HOTKEYF_CONTROL | HOTKEYF_ALT))) && !g_RegHelper.SaveTree(&g_TodayMenu));
    const auto values = [&] { return storetest::Read(storetest::RootPath() + L"\\" + std::to_wstring(own), L"Caption").Text().c_str() +
                                      std::to_wstring(storetest::Read(storetest::RootPath() + L"\\" + std::to_wstring(live), L"Expand").Dword()); };
    const std::wstring stored = storetest::StoredText();
    CheckDlgButton(Options(), IDC_EXPORT_PROFILE, BST_UNCHECKED);
    const std::string exported = Exported();
    storetest::ClearStore(), store::SaveHotkey({});
    Press(Options(), IDC_IMPORT);
    EXPECT_EQ(storetest::StoredText(), stored);
    EXPECT_EQ(values(), L"\x00C7" L"a va1");
    EXPECT_EQ(store::LoadHotkey().Value(), MAKEWORD(VK_F7, HOTKEYF_CONTROL | HOTKEYF_ALT));
    EXPECT_EQ(SendDlgItemMessageW(Options(), IDC_HOTKEY, HKM_GETHOTKEY, 0, 0), MAKEWORD(VK_F7, HOTKEYF_CONTROL | HOTKEYF_ALT));
    EXPECT_EQ(Exported(), exported);   // captions, live folders, launch counts and the hotkey too
    ExpectState(true, L"3/0:Exit|1/1:My Documents|4/2:-----------------|2/3:Configuration|5/4:W|7/5:x|8/6:R\x00E9sum\x00E9s|9/7:-----------------|"
                      L"10/8:-----------------|11/9:\x00C7" L"a va|12/10:windows|13/11:" + std::wstring(255, L's') + L"|",
                L"3/0:Exit|1/1:My Documents|2/3:Configuration|7/5:x|11/9:\x00C7" L"a va|12/10:windows|");
    EXPECT_TRUE(prompts.empty());
    // By default a path under the profile is written with %USERPROFILE%, and imported as written.
    CheckDlgButton(Options(), IDC_EXPORT_PROFILE, BST_CHECKED);
    g_TodayMenu.AppendDocument(platform::ExpandVariables(L"%USERPROFILE%\\notes.txt"), 0);
    EXPECT_NE(Exported().find(R"("%USERPROFILE%\\notes.txt")"), std::string::npos);
    Press(Options(), IDC_IMPORT);
    EXPECT_EQ(g_TodayMenu.Root.Items.back()->Path, L"%USERPROFILE%\\notes.txt");
}

// A file that is not a menu file gets one message naming what is wrong and where; store and menu stay untouched.
TEST_F(Transfer, BrokenFilesChangeNothingAndSayWhatIsWrongWhere)
{
    ASSERT_EQ(g_RegHelper.SaveTree(&g_TodayMenu), 0);
    const std::wstring stored = storetest::StoredText(), shown = menutest::Describe(g_TodayMenu.Root);
    const ULONGLONG change = StoreChange();
    const std::pair<std::string, std::wstring> cases[] = {
        {"{\"version\": 1,\n\"hotkey\": 0,\n\"tree\": [}", L"at line 3, column"},
        {Json(R"({"kind": "section", "name": "S"}, {"kind": "section", "name": "T", "children": [{"kind": "document", "name": 7}]})"),
         L"tree[1].children[0].name: must be a string, not a number"},
        {R"({"version": 1, "tree": []})", L"the file: \"hotkey\" is missing"},
        {Json(R"({"kind": "document"})"), L"tree[0]: \"name\" is missing"},
        {Json(R"({"kind": "folder", "name": "C:\\x"})"), L"tree[0].kind: must be \"document\", \"section\" or \"separator\""},
        {Json(Nested(499, R"({"kind": "document", "name": false})")), L"children[0].children[0].name: must be a string, not a boolean"},
        {Json(Nested(500, R"({"kind": "separator"})")), L"children[0].children: sections nested deeper than 500 levels"},
        {Json(R"({"kind": "document", "name": ")" + std::string(256, 'x') + "\"}"), L"tree[0].name: longer than 255 characters"},
        {Json(R"({"kind": "document", "name": "x", "Args": ")" + std::string(2049, 'x') + "\"}"), L"tree[0].Args: longer than 2048 characters"},
        {std::string((16 << 20) + 1, ' '), L"larger than 16 MB"},
        // Numbers too large for the reader, wherever they stand; a known key given twice.
        {R"({"version": 1e400, "hotkey": 0, "tree": []})", L"version: number overflow"}, {R"({"version": 1, "hotkey": 1e400, "tree": []})", L"hotkey: number overflow"},
        {Json(R"({"kind": "document", "name": "x", "Show": 1e400})"), L"tree[0].Show: number overflow"},
        {Json(R"({"kind": "document", "name": "x", "Expand": -1e400})"), L"tree[0].Expand: number overflow"},
        {R"({"version": 1, "hotkey": 0, "tree": [], "other": [1e400]})", L"other: number overflow"},
        {Json(R"({"kind": "document", "name": "x", "name": "y"})"), L"tree[0]: \"name\" is given twice"},
        // A shared file's options and counts by machine: objects of whole numbers, each name once.
        {R"({"version": 1, "hotkey": 0, "options": [1], "tree": []})", L"options: must be an object, not an array"},
        {Json(R"({"kind": "document", "name": "x", "LaunchesOn": {"A": "3"}})"), L"tree[0].LaunchesOn.A: must be a whole number"},
        {Json(R"({"kind": "document", "name": "x", "LastLaunchOn": {"A": 1, "A": 2}})"), L"tree[0].LastLaunchOn: \"A\" is given twice"},
        // Huge files of any shape are answered at once: elements that are no entries, an object of 200,000 keys, and
        // more entries than the menu has ids.
        {R"({"version": 1, "hotkey": 0, "tree": [)" + Repeated("0,", 7 << 20) + "0]}", L"tree[0]: must be an object, not a number"},
        {R"({"version": 1, "tree": [], )" + Repeated("\"k\": 0, ", 200000) + R"("end": 0})", L"the file: \"hotkey\" is missing"},
        {Json(Repeated(R"({"kind": "separator"}, )", 65531) + R"({"kind": "separator"})"), L"tree: more entries than a menu can number (at most 65531"},
    };
    for (const auto& [text, where] : cases) {
        Write(path, text), prompts.clear();
        const DWORD start = GetTickCount();
        Press(Options(), IDC_IMPORT);
        EXPECT_LT(GetTickCount() - start, 20000u) << where;
        ASSERT_EQ(prompts.size(), 1u) << where;
        EXPECT_NE(std::get<1>(prompts[0]).find(where), std::wstring::npos) << std::get<1>(prompts[0]);
        EXPECT_EQ(StoreChange(), change) << where;
        EXPECT_EQ(storetest::StoredText(), stored) << where;
        EXPECT_EQ(menutest::Describe(g_TodayMenu.Root), shown) << where;
    }
}

// The data of a hand-over of a file: the moment its sender stops waiting, wait ms from now (but in an earlier version's,
// which names none), then the path.
std::vector<BYTE> HandOverData(const std::wstring& file, ULONG_PTR tag = kHandOverData, LONGLONG wait = 60000)
{
    std::vector<BYTE> data;
    const ULONGLONG deadline = GetTickCount64() + wait;
    if (tag == kHandOverData)
        data.assign(reinterpret_cast<const BYTE*>(&deadline), reinterpret_cast<const BYTE*>(&deadline + 1));
    data.insert(data.end(), reinterpret_cast<const BYTE*>(file.c_str()), reinterpret_cast<const BYTE*>(file.c_str() + file.size() + 1));
    return data;
}
LRESULT HandOver(const std::wstring& file, ULONG_PTR tag = kHandOverData, LONGLONG wait = 60000)
{
    std::vector<BYTE> data = HandOverData(file, tag, wait);
    const COPYDATASTRUCT copy{tag, DWORD(data.size()), data.data()};
    return OnImportHandedOver(g_hMainWnd, &copy);
}

// The newest backup's first user entry after the built-in ones, for each of the newest `count` backups.
std::vector<std::wstring> Newest(size_t count)
{
    std::vector<std::wstring> names;
    std::wstring error;
    for (const store::Backup& backup : g_StoreWriter.Backups().List())
        if (names.size() < count)
            names.push_back(store::ReadTreeFile(backup.path, &error)->tree.at(4).name);
    return names;
}

// Every menu a save replaces stays in a backup of its own, in the order written, whatever the clock does (saves in
// one second, then an hour back); the newest 20 are kept. A name changed by hand inside an entry's key is what the
// next backup holds. An import and the save after it in the same second keep the menu the import replaced; Restore
// brings one back and is backed up itself; a backup that cannot be written is reported once and never stops a save.
TEST_F(Transfer, BackupsKeepEveryReplacedMenuInTheOrderWritten)
{
    const std::wstring folder = Temp(L"tabula-backups");
    for (const std::wstring& name : platform::FileNames(folder, L"*"))
        DeleteFileW((folder + L"\\" + name).c_str());
    WORD hour = 5;
    g_StoreWriter.Backups().SetFolder(folder);
    g_StoreWriter.Backups().SetClock([&] { return SYSTEMTIME{2026, 1, 0, 1, hour, 0, 0, 0}; });
    const auto save = [&](const std::wstring& tree) {
        menutest::Reset(g_TodayMenu), menutest::BuildDefaults(g_TodayMenu), menutest::Build(g_TodayMenu, L"D:" + tree);
        return g_StoreWriter.Write(store::SnapshotOf(g_TodayMenu));
    };
    for (int tree = 0; tree <= 25; ++tree)
        hour = tree < 12 ? 5 : 4, save(L"C:\\t" + std::to_wstring(tree));
    const std::vector<store::Backup> backups = g_StoreWriter.Backups().List();
    ASSERT_EQ(backups.size(), 20u);
    EXPECT_EQ(backups[0].entries, 5u);
    EXPECT_EQ(Newest(20).back(), L"C:\\t5");
    EXPECT_EQ(Newest(2), (std::vector<std::wstring>{L"C:\\t24", L"C:\\t23"}));
    storetest::PutText(storetest::RootPath() + L"\\5", L"Name", L"C:\\by hand");
    save(L"C:\\t26");
    EXPECT_EQ(Newest(2), (std::vector<std::wstring>{L"C:\\by hand", L"C:\\t24"}));
    Write(path, Json(R"({"kind": "document", "name": "\\My Documents", "builtin": true}, {"kind": "separator", "builtin": true},
                        {"kind": "document", "name": "Configuration", "builtin": true}, {"kind": "document", "name": "Exit", "builtin": true},
                        {"kind": "document", "name": "C:\\imported"})"));
    Press(Options(), IDC_IMPORT);
    ASSERT_TRUE(g_StoreWriter.Write(store::SnapshotOf(g_TodayMenu)));   // as Exit stores it
    EXPECT_EQ(Newest(2), (std::vector<std::wstring>{L"C:\\imported", L"C:\\t26"}));
    apptest::Watch restore([] { const HWND d = apptest::FindDialog(L"Restore"); return d && SendDlgItemMessageW(d, IDC_BACKUP_LIST, LB_SETCURSEL, 1, 0) == 1 && (apptest::Click(d, IDOK), true); });
    Press(Options(), IDC_RESTORE);
    EXPECT_TRUE(restore.done());
    EXPECT_EQ(storetest::StoredText(), L"D1:\\My Documents -4 D2:Configuration D3:Exit D5:C:\\t26");
    ExpectState(true, L"1/0:My Documents|4/1:-----------------|2/2:Configuration|3/3:Exit|5/4:t26|",
                L"1/0:My Documents|2/2:Configuration|3/3:Exit|5/4:t26|");
    EXPECT_EQ(Newest(2), (std::vector<std::wstring>{L"C:\\imported", L"C:\\t26"}));
    // Under a file, no folder can be made.
    int reports = 0;
    g_StoreWriter.Backups().SetFolder(path + L"\\Backups"), Write(path, "");
    g_StoreWriter.Backups().SetReport([&](const std::wstring&) { ++reports; });
    EXPECT_TRUE(save(L"C:\\t27") && save(L"C:\\t28"));
    EXPECT_EQ(storetest::StoredText(), L"D1:\\My Documents -4 D2:Configuration D3:Exit D5:C:\\t28");
    EXPECT_EQ(reports, 1);
    g_StoreWriter.Backups() = store::CBackups();
}

// A menu file handed over while a command waits on a dialog: the command finds its target again afterwards, and when it
// has gone with the old tree, writes nothing and says so. The ids of the handed tree fall where the old ones were.
TEST_F(Transfer, AHandOverDuringADialogChangesNoOtherEntry)
{
    Write(path, Json(R"({"kind": "section", "name": "H", "children": [{"kind": "document", "name": "C:\\h"}]},
                        {"kind": "document", "name": "C:\\handed"})"));
    const std::wstring handed = L"S5:H[D6:C:\\h] D7:C:\\handed D2:Configuration D3:Exit";
    const auto handOver = [&] { return HandOver(path); };
    const auto dialog = [&](const wchar_t* caption, int field, const wchar_t* text, int ok) {
        return [=] { const HWND d = apptest::FindDialog(caption); return d && handOver() && SetDlgItemTextW(d, field, text) && (apptest::Click(d, ok), true); };
    };
    bool onMessage = false;
    platform::SetMessageAnswer([&](auto... asked) { prompts.emplace_back(asked...), onMessage && handOver(); return IDOK; });
    platform::SetOpenFileAnswer([&](auto& r) { handOver(); return lstrcpynW(r.lpstrFile, L"C:\\picked.txt", r.nMaxFile) != nullptr; });
    platform::SetFolderAnswer([&](HWND) { handOver(); return std::wstring(L"C:\\picked"); });
    const struct { int page, item, command; std::function<bool()> watch; const wchar_t* told; std::wstring stored; } rows[] = {
        {0, 5, IDC_PROPERTIES, dialog(L"Properties", IDC_PROP_NAME, L"Mine", IDOK), L"Properties", handed},
        {0, 0, IDC_ADD_SECTION, dialog(L"Add Section", IDC_SECTION_NAME, L"New", IDC_ADD_SECTION_OK), nullptr, L"S5:H[D6:C:\\h] D7:C:\\handed D2:Configuration D3:Exit S8:New[]"},
        {1, 0, IDC_ADD_DOCUMENT, {}, L"Add Document", handed},
        {1, 0, IDC_ADD_FOLDER, {}, L"Add Folder", handed},
        {0, 0, IDC_SECTIONS_DELETE, {}, L"Error", handed},
    };
    for (const auto& row : rows) {
        Reopen();
        onMessage = row.told && !wcscmp(row.told, L"Error");
        const HWND box = GetDlgItem(documents, IDC_SECTION_BOX);
        SendMessageW(box, CB_SETCURSEL, 1, 0), Press(documents, IDC_SECTION_BOX, CBN_SELCHANGE);   // section W, id 5
        Tap(List(row.page), row.item);
        apptest::Watch watch(row.watch ? row.watch : [] { return true; });
        Press(Page(row.page), row.command);
        EXPECT_EQ(storetest::StoredText(), row.stored) << &row - rows;
        EXPECT_EQ(menutest::Describe(g_TodayMenu.Root), row.stored) << &row - rows;
        EXPECT_EQ(prompts.size(), row.told ? 1u : 0u) << &row - rows;
        EXPECT_EQ(prompts.empty() ? L"" : std::get<2>(prompts[0]), row.told ? row.told : L"") << &row - rows;
    }
    platform::SetFolderAnswer({});
}

// A hand-over is answered with its own tag and the exit code, and is applied only while its sender still waits; an
// earlier version's hand-over (the path alone) is still taken and answered as it was.
TEST_F(Transfer, HandOversAnswerWithTheirTagAndComeInTime)
{
    const std::wstring bad = path + L".bad";
    Write(bad, "{");
    const struct { ULONG_PTR tag; LONGLONG wait; std::wstring file; LRESULT answer; bool applied; } rows[] = {
        {kHandOverData, 60000, path, kHandOverAnswer, true}, {kHandOverData, 2000, path, kHandOverAnswer | 4, false},
        {kHandOverData, -1000, path, kHandOverAnswer | 4, false}, {kHandOverData, 60000, bad, kHandOverAnswer | 2, false},
        {kHandOverData, 60000, path + L".none", kHandOverAnswer | 3, false}, {kImportFileData, 0, path, 0, true}, {7, 0, path, 1, false},
    };
    for (const auto& row : rows) {
        Reopen(), Write(path, Json(R"({"kind": "document", "name": "C:\\handed"})"));
        EXPECT_EQ(HandOver(row.file, row.tag, row.wait), row.answer) << &row - rows;
        EXPECT_EQ(storetest::StoredText(), row.applied ? L"D5:C:\\handed D2:Configuration D3:Exit" : L"") << &row - rows;
    }
    DeleteFileW(bad.c_str());
}

// A stored path may hold %NAME% variables, expanded where it is opened (before "\My Documents" stands for the
// documents folder); one that is not set stays as written.
TEST(DevicePath, ExpandsVariablesBeforeMyDocuments)
{
    wchar_t documents[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, documents);
    SetEnvironmentVariableW(L"TABULA_DIR", L"C:\\tabula dir"), SetEnvironmentVariableW(L"TABULA_DEVICE", L"\\My Documents");
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"%TABULA_DIR%\\a.txt", L"C:\\tabula dir\\a.txt"}, {L"%TABULA_UNSET%\\a.txt", L"%TABULA_UNSET%\\a.txt"},
        {L"%TABULA_DEVICE%\\b.txt", documents + std::wstring(L"\\b.txt")}, {L"C:\\100%\\c.txt", L"C:\\100%\\c.txt"},
    };
    for (const auto& [stored, opened] : cases)
        EXPECT_EQ(platform::ResolveDevicePath(stored), opened);
}
