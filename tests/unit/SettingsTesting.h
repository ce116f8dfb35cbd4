#pragma once
// Helpers of the settings window's tests: the real window opened modeless, its prompts answered, its lists read back.
#include "AppTesting.h"
#include "MenuTesting.h"
#include "StoreTesting.h"
#include "app/Globals.h"
#include "store/RegHelper.h"
#include "platform/DialogLayout.h"
#include "config/ItemList.h"
#include "config/Page.h"
#include "config/PageLayout.h"
#include "config/SettingsContext.h"
#include "config/SettingsWindow.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "res/resource.h"

#include <commctrl.h>

namespace settingstest {

// The program's own tree and store, as the main window hands them to the settings window.
inline const SettingsContext& Settings() { static const SettingsContext settings{g_hInstance, &g_TodayMenu, &g_RegHelper}; return settings; }

// A list's items as "id/image:text|"; Rows(section) what a page's list must show of a level (0: the top level).
inline std::wstring Rows(HWND list)
{
    std::wstring rows;
    wchar_t text[300];
    LVITEMW item{};
    for (item.mask = LVIF_PARAM | LVIF_IMAGE | LVIF_TEXT, item.pszText = text, item.cchTextMax = 300;
         ListView_GetItem(list, &item); ++item.iItem)
        rows += std::to_wstring(item.lParam) + L"/" + std::to_wstring(item.iImage) + L":" + text + L"|";
    return rows;
}
inline std::wstring Rows(int section, bool documentsOnly)
{
    const CItem* found = g_TodayMenu.Root.FindItem(section);
    const CItemVector& level = found && found->IsSection() ? *found->Children : g_TodayMenu.Root;
    std::wstring rows;
    for (size_t i = 0; i < level.Items.size(); ++i)
        if (const CItem& item = *level.Items[i]; !documentsOnly || item.Type == ITEM_DOCUMENT)
            rows += std::to_wstring(item.ID) + L"/" + std::to_wstring(i) + L":" +
                    (item.Type == ITEM_SEPARATOR ? L"-----------------" : item.Caption) + L"|";
    return rows;
}

inline int Selected(HWND list) { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }
inline void Press(HWND page, int id, int code = BN_CLICKED) { SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, code), 0); }
// A tap on a list item: it becomes the selected and focused item (state 3) and the selection mark.
inline void Tap(HWND list, int item) { ListView_SetItemState(list, item, 3, 3); ListView_SetSelectionMark(list, item); }

using Prompt = std::tuple<HWND, std::wstring, std::wstring, UINT>;   // a message box: owner, text, caption, style

// The settings window over the defaults, W[C:\w] and C:\x, no store; message boxes recorded, pickers given file.
class SettingsTest : public ::testing::Test {
protected:
    HWND window = nullptr, sections = nullptr, documents = nullptr;
    std::vector<Prompt> prompts;
    const wchar_t* file = nullptr;

    void SetUp() override
    {
        platform::SetMessageAnswer([this](auto... asked) { return prompts.emplace_back(asked...), IDOK; });
        platform::SetOpenFileAnswer([this](auto& r) { return file && lstrcpynW(r.lpstrFile, file, r.nMaxFile); });
        Reopen();
    }
    void TearDown() override { DestroyWindow(window); platform::SetMessageAnswer({}); platform::SetOpenFileAnswer({}); }
    void Reopen()
    {
        DestroyWindow(window), menutest::Reset(g_TodayMenu), menutest::BuildDefaults(g_TodayMenu);
        menutest::Build(g_TodayMenu, L"S:W[D:C:\\w] D:C:\\x");
        storetest::ClearStore(), prompts.clear();
        window = CreateDialogIndirectParamW(g_hInstance, platform::FindDialogTemplate(g_hInstance, IDD_SETTINGS), nullptr, SettingsDlgProc, reinterpret_cast<LPARAM>(&Settings()));
        ASSERT_TRUE(window && (sections = g_hSectionsPage) && (documents = g_hDocumentsPage));
    }

    HWND Page(int page) const { return page ? documents : sections; }
    HWND List(int page) const { return GetDlgItem(Page(page), page ? IDC_DOCUMENTS_LIST : IDC_SECTIONS_LIST); }
    HWND Tabs() const { return GetDlgItem(window, IDC_TABS); }
    void SwitchTab(int tab)
    {
        NMHDR header{Tabs(), IDC_TABS, static_cast<UINT>(TCN_SELCHANGE)};
        TabCtrl_SetCurSel(Tabs(), tab), SendMessageW(window, WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&header));
    }

    // Menu, store (none unless stored), the Sections list and the Documents list of the chosen section show the tree.
    void ExpectState(bool stored)
    {
        menutest::CheckMenu(g_TodayMenu.Root);
        EXPECT_EQ(storetest::StoredText(), stored ? menutest::Describe(g_TodayMenu.Root) : L"");
        EXPECT_EQ(Rows(List(0)), Rows(0, false));
        EXPECT_EQ(Rows(List(1)), Rows(CurrentDocumentsSection(), true));
    }
};

}  // namespace settingstest
