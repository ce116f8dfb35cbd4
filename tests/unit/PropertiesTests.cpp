// The Properties dialog of a document, driven through its real controls, and its layouts.
#include "SettingsTesting.h"

using namespace settingstest;
namespace faults = platform::reg::faults;

namespace {

// What a row does in the dialog: the fields it sets (null leaves a text, -1 a choice, as it is), the icon picked ("" for
// Default), whether the Browse buttons pick the path and the start folder, and the button it presses.
struct Edit { const wchar_t *name, *path, *args, *startIn; int run, admin; const wchar_t* icon; bool browse; int button; };

void Fill(HWND dialog, const Edit& edit, std::wstring& icon)
{
    for (const auto& [control, text] : {std::pair{IDC_PROP_NAME, edit.name}, {IDC_PROP_PATH, edit.path}, {IDC_PROP_ARGS, edit.args}, {IDC_PROP_START, edit.startIn}})
        text ? SetDlgItemTextW(dialog, control, text) : 0;
    edit.run >= 0 ? SendDlgItemMessageW(dialog, IDC_PROP_RUN, CB_SETCURSEL, edit.run, 0) : 0;
    edit.admin >= 0 ? CheckDlgButton(dialog, IDC_PROP_ADMIN, edit.admin) : 0;
    edit.icon ? icon = edit.icon, apptest::Click(dialog, *edit.icon ? IDC_PROP_CHANGE_ICON : IDC_PROP_DEFAULT_ICON) : void();
    edit.browse ? apptest::Click(dialog, IDC_PROP_PATH_BROWSE), apptest::Click(dialog, IDC_PROP_START_BROWSE) : void();
}

}  // namespace

// Edits of C:\x, one after another in its real dialog: each field set, cleared and refused. An OK stores the tree once,
// Cancel and an OK that changes nothing not at all; a refusal says why and the dialog stays open (Cancel then closes it).
TEST_F(SettingsTest, PropertiesEditsAreOneStoreEach)
{
    const std::wstring top = L"D1:\\My Documents -4 D2:Configuration D3:Exit S5:W[D6:C:\\w] D7:", shell = L"C:\\windows\\system32\\shell32.dll,-3",
                       all = L"C:\\x{Caption:Mine|Args:-a \"b c\"|StartIn:C:\\windows|Show:3|Verb:runas|Icon:" + shell + L"}",
                       args(kMaxArguments, L'a'), longer = args + L"a", path(MAX_PATH, L'p');
    std::wstring icon;
    file = L"C:\\windows\\win.ini";
    platform::SetIconAnswer([&](HWND, const std::wstring&) { return icon; });
    platform::SetFolderAnswer([](HWND) { return std::wstring(L"C:\\windows"); });
    const struct { Edit edit; size_t prompts; long stores; std::wstring stored; } rows[] = {
        {{L"Mine", nullptr, L"-a \"b c\"", L"C:\\windows", 2, 1, shell.c_str(), false, IDOK}, 0, 1, all},
        {{L"Other", L"C:\\y", L"", L"", 0, 0, L"", false, IDCANCEL}, 0, 0, all},
        {{L"Other", nullptr, nullptr, nullptr, -1, -1, nullptr, false, IDOK}, 0, 1, L"C:\\x{Caption:Other" + all.substr(all.find(L'|'))},
        {{L"Mine", nullptr, nullptr, nullptr, -1, -1, nullptr, false, IDOK}, 0, 1, all},
        {{nullptr, nullptr, nullptr, nullptr, -1, -1, shell.c_str(), false, IDOK}, 0, 0, all},
        {{L"", L"", L"", nullptr, -1, -1, nullptr, false, IDOK}, 1, 0, all},
        {{L"", path.c_str(), L"", nullptr, -1, -1, nullptr, false, IDOK}, 1, 0, all},
        {{L"", nullptr, longer.c_str(), nullptr, -1, -1, nullptr, false, IDOK}, 1, 0, all},
        {{L"", nullptr, nullptr, path.c_str(), -1, -1, nullptr, false, IDOK}, 1, 0, all},
        {{L"", nullptr, args.c_str(), L"C:\\no such folder", 1, 0, L"", false, IDOK}, 0, 1, L"C:\\x{Args:" + args + L"|StartIn:C:\\no such folder|Show:7}"},
        {{nullptr, nullptr, L"", nullptr, 0, -1, nullptr, true, IDOK}, 0, 1, L"C:\\windows\\win.ini{StartIn:C:\\windows}"},
    };
    Tap(List(0), 5);
    for (const auto& row : rows) {
        int opened = 0;
        apptest::Watch dialog([&] {
            const HWND shown = apptest::FindDialog(L"Properties");
            shown && !opened++ ? Fill(shown, row.edit, icon) : void();
            shown ? apptest::Click(shown, opened == 1 ? row.edit.button : IDCANCEL) : void();
            return false;
        });
        prompts.clear(), faults::Reset(), faults::Record(true);
        Press(Page(0), IDC_PROPERTIES), g_StoreWriter.Flush();
        EXPECT_EQ(std::make_pair(opened, prompts.size()), std::make_pair(1 + int(row.prompts), row.prompts)) << &row - rows;
        // Each save ends by taking its finished mark off the new tree.
        EXPECT_EQ(std::count(faults::Journal().begin(), faults::Journal().end(), faults::Change::DeleteValue), row.stores) << &row - rows;
        EXPECT_EQ(storetest::StoredText(), top + row.stored);
        EXPECT_EQ(menutest::Describe(g_TodayMenu.Root), top + row.stored);
    }
    EXPECT_EQ(Selected(List(0)), 5);
    platform::SetIconAnswer({}), platform::SetFolderAnswer({});
}

// Every control stays inside the dialog on a 240x320 and a 320x240 screen, each taking its own layout.
TEST(PropertiesLayout, FitsPortraitAndLandscape)
{
    EXPECT_EQ(settingstest::PropertiesOutside(1), L"");
}
