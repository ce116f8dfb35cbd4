// Menu files: export and import on the Options page, files that are not menu files, backups and Restore, %NAME% paths.
#include "SettingsTesting.h"
#include "config/OptionsPage.h"
#include "config/RestoreDialog.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "store/Options.h"
#include "store/TreeTransfer.h"

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
ULONGLONG StoreChange() { HKEY key = storetest::Open(storetest::RootPath()); const auto change = platform::reg::LastChange(key); RegCloseKey(key); return change.value_or(0); }

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
    ASSERT_TRUE(store::SaveHotkey(MAKEWORD(VK_F7, HOTKEYF_CONTROL | HOTKEYF_ALT)) && !g_RegHelper.SaveTree(&g_TodayMenu));
    const auto values = [&] { return storetest::Read(storetest::RootPath() + L"\\" + std::to_wstring(own), L"Caption").Text().c_str() +
                                      std::to_wstring(storetest::Read(storetest::RootPath() + L"\\" + std::to_wstring(live), L"Expand").Dword()); };
    const std::wstring stored = storetest::StoredText();
    CheckDlgButton(Options(), IDC_EXPORT_PROFILE, BST_UNCHECKED);
    const std::string exported = Exported();
    storetest::ClearStore(), store::SaveHotkey(0);
    Press(Options(), IDC_IMPORT);
    EXPECT_EQ(storetest::StoredText(), stored);
    EXPECT_EQ(values(), L"\x00C7" L"a va1");
    EXPECT_EQ(store::LoadHotkey(), MAKEWORD(VK_F7, HOTKEYF_CONTROL | HOTKEYF_ALT));
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
    };
    for (const auto& [text, where] : cases) {
        Write(path, text), prompts.clear();
        Press(Options(), IDC_IMPORT);
        ASSERT_EQ(prompts.size(), 1u) << where;
        EXPECT_NE(std::get<1>(prompts[0]).find(where), std::wstring::npos) << std::get<1>(prompts[0]);
        EXPECT_EQ(StoreChange(), change) << where;
        EXPECT_EQ(storetest::StoredText(), stored) << where;
        EXPECT_EQ(menutest::Describe(g_TodayMenu.Root), shown) << where;
    }
}

// 26 saves over 25 simulated minutes keep the newest 20 backups, one a minute; Restore brings one back and backs up
// the tree it replaces; a backup that cannot be written is reported once and never stops a save.
TEST_F(Transfer, BackupsKeepTwentyAndRestoreIsBackedUp)
{
    const std::wstring folder = Temp(L"tabula-backups");
    for (const std::wstring& name : platform::FileNames(folder, L"*"))
        DeleteFileW((folder + L"\\" + name).c_str());
    WORD minute = 0, second = 0;
    g_RegHelper.Backups.SetFolder(folder);
    g_RegHelper.Backups.SetClock([&] { return SYSTEMTIME{2026, 1, 0, 1, 0, minute, second, 0}; });
    const auto save = [&](int tree) {
        menutest::Reset(g_TodayMenu), menutest::BuildDefaults(g_TodayMenu);
        menutest::Build(g_TodayMenu, L"D:C:\\t" + std::to_wstring(tree));
        return g_RegHelper.SaveTree(&g_TodayMenu);
    };
    for (int tree = 0; tree <= 25; ++tree)
        minute = WORD(std::min(tree, 24)), second = WORD(tree), save(tree);
    std::vector<store::Backup> backups = g_RegHelper.Backups.List();
    ASSERT_EQ(backups.size(), 20u);
    EXPECT_EQ(BackupLabel(backups[0]), L"2026-01-01 00:24   5 entries");   // minute 24's, updated by the last save
    EXPECT_EQ(BackupLabel(backups[19]), L"2026-01-01 00:05   5 entries");
    std::wstring error;
    EXPECT_EQ(store::ReadTreeFile(backups[0].path, &error)->tree[4].name, L"C:\\t24");
    minute = 40;
    apptest::Watch restore([] { const HWND d = apptest::FindDialog(L"Restore"); return d && SendDlgItemMessageW(d, IDC_BACKUP_LIST, LB_SETCURSEL, 3, 0) == 3 && (apptest::Click(d, IDOK), true); });
    Press(Options(), IDC_RESTORE);
    EXPECT_TRUE(restore.done());
    EXPECT_EQ(storetest::StoredText(), L"D1:\\My Documents -4 D2:Configuration D3:Exit D5:C:\\t20");
    ExpectState(true, L"1/0:My Documents|4/1:-----------------|2/2:Configuration|3/3:Exit|5/4:t20|",
                L"1/0:My Documents|2/2:Configuration|3/3:Exit|5/4:t20|");
    backups = g_RegHelper.Backups.List();
    EXPECT_EQ(BackupLabel(backups[0]), L"2026-01-01 00:40   5 entries");
    EXPECT_EQ(store::ReadTreeFile(backups[0].path, &error)->tree[4].name, L"C:\\t25");
    // Under a file, no folder can be made.
    int reports = 0;
    g_RegHelper.Backups.SetFolder(path + L"\\Backups"), Write(path, "");
    g_RegHelper.Backups.SetReport([&](const std::wstring&) { ++reports; });
    EXPECT_EQ(save(26) + save(27), 0);
    EXPECT_EQ(storetest::StoredText(), L"D1:\\My Documents -4 D2:Configuration D3:Exit D5:C:\\t27");
    EXPECT_EQ(reports, 1);
    g_RegHelper = CRegHelper();
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
